# -*- coding: utf-8 -*-
# What both modules share: the answer file written from inline data, the secrets handed over on standard
# input, and the JSON Lines report of vrx-provision read back into recorders, steps and a summary.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import math
import os
import re

# The answer file's secrets given inline (`<name>`) rather than as `<name>_env` or `<name>_file`.
INLINE_SECRET_KEYS = frozenset(('password', 'new_password', 'admin_password', 'current_admin_password'))

ENV_NAME = re.compile(r'^[A-Za-z_][A-Za-z0-9_]*$')
BARE_KEY = re.compile(r'^[A-Za-z0-9_-]+$')

# Recorder results that end the task as failed; "skipped" recorders (after --fail-fast) only follow a failure.
FAILING_RESULTS = ('failed', 'refused', 'interrupted')

UNQUOTED_MAC_HINT = ('YAML reads an unquoted MAC such as 10:20:30:40:50:59 as a number; '
                     'write it in quotes: "10:20:30:40:50:59"')


class AnswerError(ValueError):
    """Inline answers or options that cannot be handed to vrx-provision as they are."""


def mac_text(value, where):
    """A MAC as given in a playbook: text, or an error that says how YAML turned it into something else."""
    if isinstance(value, str):
        return value
    raise AnswerError('%s is %s (%r), not text: %s' % (where, type(value).__name__, value, UNQUOTED_MAC_HINT))


def check_inline_answers(answers, base_dir, where='answers'):
    """Returns a copy of inline answers fit for the answer file: MACs are text, no secret stands inline, and a
    relative `*_file` path is made absolute against base_dir (the file itself is written elsewhere)."""
    if isinstance(answers, dict):
        checked = {}
        for key, value in answers.items():
            at = '%s.%s' % (where, key)
            if key in INLINE_SECRET_KEYS:
                raise AnswerError('%s: a secret is refused inline; give %s_env = "NAME" and the value as '
                                  'secrets.NAME (handed over on standard input, never written)' % (at, key))
            if key == 'mac':
                checked[key] = mac_text(value, at)
            elif key.endswith('_file') and isinstance(value, str) and value and not os.path.isabs(value):
                checked[key] = os.path.normpath(os.path.join(base_dir, value))
            else:
                checked[key] = check_inline_answers(value, base_dir, at)
        return checked
    if isinstance(answers, list):
        return [check_inline_answers(v, base_dir, '%s[%d]' % (where, i)) for i, v in enumerate(answers)]
    return answers


def check_secrets(secrets):
    """The secrets option: NAME -> text, NAME being an answer file's `*_env` name."""
    for name, value in (secrets or {}).items():
        if not ENV_NAME.match(name):
            raise AnswerError('secrets: %r is no *_env name (letters, digits and _, not starting with a digit)'
                              % name)
        if not isinstance(value, str):
            # The value itself is never shown: YAML may have turned "007" into 7.
            raise AnswerError('secrets.%s is %s, not text: quote it in the playbook or vault file'
                              % (name, type(value).__name__))


# TOML ------------------------------------------------------------------------------------------------------

def _toml_key(key):
    return key if BARE_KEY.match(key) else _toml_string(key)


def _toml_string(text):
    out = ['"']
    for ch in text:
        if ch == '"':
            out.append('\\"')
        elif ch == '\\':
            out.append('\\\\')
        elif ord(ch) < 0x20 or ord(ch) == 0x7f:
            out.append('\\u%04x' % ord(ch))
        else:
            out.append(ch)
    out.append('"')
    return ''.join(out)


def _is_table_list(value):
    return isinstance(value, list) and len(value) > 0 and all(isinstance(v, dict) for v in value)


def _toml_value(value, where):
    if isinstance(value, bool):
        return 'true' if value else 'false'
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        if not math.isfinite(value):
            raise AnswerError('%s: %r has no place in an answer file' % (where, value))
        return repr(value)
    if isinstance(value, str):
        return _toml_string(value)
    if isinstance(value, list):
        if any(isinstance(v, dict) for v in value):
            raise AnswerError('%s mixes tables and values' % where)
        return '[' + ', '.join(_toml_value(v, '%s[%d]' % (where, i)) for i, v in enumerate(value)) + ']'
    if value is None:
        raise AnswerError('%s has no value (an empty YAML key); give one or leave the key out' % where)
    raise AnswerError('%s: a %s has no place in an answer file' % (where, type(value).__name__))


def _toml_table(lines, path, table, where):
    plain = [(k, v) for k, v in table.items() if not isinstance(v, dict) and not _is_table_list(v)]
    for key, value in plain:
        lines.append('%s = %s' % (_toml_key(key), _toml_value(value, '%s.%s' % (where, key))))
    for key, value in table.items():
        sub = path + [_toml_key(key)]
        if isinstance(value, dict):
            lines.append('')
            lines.append('[%s]' % '.'.join(sub))
            _toml_table(lines, sub, value, '%s.%s' % (where, key))
        elif _is_table_list(value):
            for i, item in enumerate(value):
                lines.append('')
                lines.append('[[%s]]' % '.'.join(sub))
                _toml_table(lines, sub, item, '%s.%s[%d]' % (where, key, i))


def toml_document(table, where='answers'):
    """A TOML document of a mapping: values first, then tables and arrays of tables (the answer file's
    [[recorder]] and their [[recorder.disk]] follow each other as TOML nests them)."""
    lines = []
    _toml_table(lines, [], table, where)
    return '\n'.join(lines).lstrip('\n') + '\n'


def secrets_document(secrets):
    """What `--secrets -` reads: NAME = "value", one a line."""
    return ''.join('%s = %s\n' % (name, _toml_string(value)) for name, value in sorted((secrets or {}).items()))


# The report --------------------------------------------------------------------------------------------------

class Report:
    """vrx-provision's JSON Lines report: the start record, each recorder's steps and result, the end record.
    A report without its end record is unfinished."""

    def __init__(self, text):
        self.start = None
        self.end = None
        self.recorders = []   # in the order they first appear: {"recorder", ..., "steps": [...]}
        self.unreadable = []  # lines of standard output that are no report record
        by_mac = {}
        for line in (text or '').splitlines():
            if not line.strip():
                continue
            try:
                record = json.loads(line)
            except ValueError:
                self.unreadable.append(line)
                continue
            if not isinstance(record, dict):
                self.unreadable.append(line)
                continue
            kind = record.get('type')
            if kind == 'start':
                self.start = record
            elif kind == 'end':
                self.end = record
            elif kind in ('step', 'recorder'):
                mac = record.get('recorder', '')
                entry = by_mac.get(mac)
                if entry is None:
                    entry = by_mac[mac] = {'recorder': mac, 'index': record.get('index'), 'result': None,
                                           'steps': []}
                    self.recorders.append(entry)
                if kind == 'step':
                    entry['steps'].append(dict((k, v) for k, v in record.items() if k not in ('type', 'recorder')))
                else:
                    entry.update((k, v) for k, v in record.items() if k != 'type')
            else:
                self.unreadable.append(line)

    @property
    def finished(self):
        return self.end is not None

    def steps(self, status):
        return [(r['recorder'], s) for r in self.recorders for s in r['steps'] if s.get('status') == status]

    def failures(self):
        """Each recorder that failed, was refused or interrupted, in its own words: "MAC result: detail"."""
        words = []
        for r in self.recorders:
            if r.get('result') in FAILING_RESULTS:
                detail = r.get('detail') or self._last_step_detail(r)
                words.append('%s %s%s' % (r['recorder'], r['result'], ': ' + detail if detail else ''))
        return words

    @staticmethod
    def _last_step_detail(recorder):
        for step in reversed(recorder['steps']):
            if step.get('status') in FAILING_RESULTS and step.get('detail'):
                return '%s: %s' % (step.get('step'), step['detail'])
        return ''

    def diff(self, statuses):
        """Ansible's diff, one per recorder that changes: its steps' values before and after, a line each."""
        diffs = []
        for r in self.recorders:
            steps = [s for s in r['steps'] if s.get('status') in statuses
                     and (s.get('before') is not None or s.get('after') is not None)]
            if not steps:
                continue
            diffs.append({
                'before_header': 'recorder %s' % r['recorder'],
                'after_header': 'recorder %s' % r['recorder'],
                'before': ''.join('%s: %s\n' % (s.get('step'), _shown(s.get('before'))) for s in steps),
                'after': ''.join('%s: %s\n' % (s.get('step'), _shown(s.get('after'))) for s in steps),
            })
        return diffs

    def summary(self):
        if self.end is None:
            return None
        return dict((k, v) for k, v in self.end.items() if k != 'type')


def _shown(value):
    return '(none)' if value is None else str(value)


def program(module):
    """The vrx-provision the task names: a path as it is, a bare name found on PATH (or a clear failure)."""
    executable = module.params['executable']
    return executable if '/' in executable else module.get_bin_path(executable, required=True)


def exit_words(rc, stderr):
    """The failure of a run that gave no recorder's words, by its exit code."""
    text = (stderr or '').strip()
    if rc == 2:
        return 'vrx-provision refused the command line or the answer file: %s' % (text or 'exit code 2')
    if rc == 3:
        return 'vrx-provision could not run: %s' % (text or 'exit code 3')
    if rc in (130, 143) or rc < 0:
        signals = {130: 'SIGINT', 143: 'SIGTERM', -2: 'SIGINT', -15: 'SIGTERM'}
        return 'vrx-provision was stopped by %s' % signals.get(rc, 'signal %d' % abs(rc))
    return 'vrx-provision ended with exit code %d%s' % (rc, ': ' + text if text else '')
