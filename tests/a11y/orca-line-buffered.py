#!/usr/bin/env python3
"""Runs Orca with its debug file written line by line.

Orca opens its --debug-file block-buffered, so what it has said reaches the file only in 8 KiB pieces (and
the last piece perhaps never). This launcher opens that one file line-buffered and then runs Orca as usual.

  orca-line-buffered.py DEBUG_FILE [orca options...]
"""
import builtins
import runpy
import sys

debug_file = sys.argv[1]
real_open = builtins.open


def line_buffered_open(file, mode="r", *args, **kwargs):
    if file == debug_file and "w" in mode:
        return real_open(file, mode, buffering=1, encoding="utf-8", errors="replace")
    return real_open(file, mode, *args, **kwargs)


builtins.open = line_buffered_open
sys.argv = ["orca"] + sys.argv[2:]
runpy.run_path("/usr/bin/orca", run_name="__main__")
