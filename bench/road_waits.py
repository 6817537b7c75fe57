"""What the end-to-end road (tests/e2e, its first road: three cameras, a new kelvaro account) must wait, page by
page: the waits the recorder, the cameras, the account service and the page rules impose, with a simulator that
answers at once. Every figure is computed from the constants the program uses, read from its sources by name, so
a changed constant changes the table (and a renamed one stops the bench with its name).

Each entry is (page key, what, seconds, where it comes from).
"""
import json
import math
import re
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent


def ms(path, name):
    """The integer a named constant (or field default) of path is set to, in seconds."""
    text = (SOURCE / path).read_text()
    found = re.search(rf"\b{name}\s*=\s*(?:std::chrono::milliseconds\()?(\d+)", text)
    if not found:
        raise KeyError(f"{name} is not set in {path}: the road's waits need it")
    return int(found.group(1)) / 1000


def followed(work_s, poll_s):
    """A result read by a poll every poll_s from the moment the work starts: seen at the first poll after the work
    has ended. The work's own requests take a moment, so a result due exactly on a poll is seen at the next one."""
    return (math.floor(round(work_s / poll_s, 6)) + 1) * poll_s


class Names:
    """The constants by where they live."""
    http = "net/HttpGet.cpp"
    worker = "net/DeviceCommandWorker.h"
    search = "net/DeviceSearch.h"
    disks = "steps/recorder/Disks.h"
    disk_format = "steps/recorder/DiskFormat.h"
    camera_page = "pages/cameras/CameraSearchDlg.h"
    camera_list = "steps/cameras/CameraListStep.h"
    camera_password = "steps/cameras/CameraPasswordStep.h"
    camera_update = "steps/cameras/CameraUpdateStep.h"
    cloud_status = "steps/cloud/CloudStatusStep.h"
    cloud_account = "steps/cloud/CloudAccountSteps.h"
    veil = "ui/Waiting.h"


def road_waits():
    n = Names
    scenario = json.loads((SOURCE / "sim" / "scenarios" / "default.json").read_text())
    format_s = float(scenario.get("recorder", {}).get("format_seconds", 0))
    listed = len(scenario.get("cameras", []))  # the cameras the recorder lists on page 10
    chosen = 3                                 # the road ticks Front Door, Lobby and Hallway
    settle = ms(n.http, "kSettleDelay")        # the HTTP client's pause before connecting, before each request, in Close
    start = ms(n.worker, "kStartPauseMs") + settle  # a worker command's start: its pause, then connecting

    def command(requests, poll_s):
        """A worker command of that many requests, started and then read every poll_s until its status is set."""
        return start + followed(ms(n.worker, "kCommandPauseMs") + requests * settle, poll_s)

    stop = ms(n.worker, "kStopPauseMs")  # the worker stopped: its pause, then the handles close at once

    def direct(requests):
        """A page's own requests on one connection: connect, each request, Close."""
        return (requests + 2) * settle

    tick = ms(n.veil, "kTickMs")                  # the waiting veil looks at its job every tick

    return [
        ("p6", "first search after the page opens", 0.5, "recorder search page"),
        ("p6", "discovery collection window", ms(n.search, "kSearchWindowMs"), f"{n.search} kSearchWindowMs"),
        ("p6", "pause after the results", 0.5, "recorder search page"),
        ("p7", "blank-password probe (datagram answer)", 0.0, ""),
        ("p7", "settle before the password datagram", 0.5, "recorder password page"),
        ("p8", "zone list and current zone behind the veil (connect, 2 requests, close)",
         0.05 + followed(direct(2), tick), f"the page's 50 ms load timer; {n.http} kSettleDelay; {n.veil} kTickMs"),
        ("p8", "set the zone and start recording behind the veil (connect, 2 requests, close)",
         followed(direct(2), tick), f"{n.http} kSettleDelay; {n.veil} kTickMs"),
        ("p9", "disk poller's first pass (2 bays: connect, request, pause after it)",
         2 * (2 * settle + ms(n.disks, "kAfterDiskRequestMs")) + ms(n.disks, "kBetweenBaysMs"),
         f"{n.http} kSettleDelay, {n.disks} kAfterDiskRequestMs, kBetweenBaysMs"),
        ("p9", f"two disks behind the progress veil, each: settle, worker stopped, settle, the progress read "
               f"first (command 2007, worker stopped), command 2006, worker stopped, then progress polls (pause, "
               f"command 2007, worker stopped) until the recorder's {format_s:g} s format has ended",
         followed(stop + 2 * (2 * ms(n.disk_format, "kFormatSettleMs") + stop +
                              command(1, ms(n.disk_format, "kFormatPollStepMs")) + stop +
                              command(1, ms(n.disk_format, "kFormatStartStepMs")) + stop +
                              followed(format_s, ms(n.disk_format, "kFormatAttemptPauseMs") +
                                       command(1, ms(n.disk_format, "kFormatPollStepMs")) + stop)), tick),
         f"{n.worker} kStartPauseMs, kCommandPauseMs, kStopPauseMs; {n.disk_format} kFormatSettleMs, "
         f"kFormatStartStepMs, kFormatAttemptPauseMs, kFormatPollStepMs; the simulator's format_seconds"),

        ("p10", "the page's start timer", ms(n.camera_page, "kStartTimerMs"), f"{n.camera_page} kStartTimerMs"),
        ("p10", "camera list: worker stopped, settle, command 2015 (2 requests) read every scan poll",
         stop + ms(n.camera_list, "kSettleMs") + command(2, ms(n.camera_list, "periodMs")),
         f"{n.worker} kStartPauseMs, kCommandPauseMs, kStopPauseMs; {n.camera_list} kSettleMs, periodMs"),
        # The popups are told the job's outcome when it ends: no poll of their own.
        ("p10", "camera password popup, check: the connection closed, command 2018 read every password poll",
         settle + command(1, ms(n.camera_password, "periodMs")),
         f"{n.worker} kStartPauseMs, kCommandPauseMs; {n.camera_password} periodMs"),
        ("p10", "camera password popup, create: the connection closed, command 2017, the first read's pause, then "
                "the command read every password poll",
         settle + start + ms(n.camera_password, "kFirstSetReadMs") +
         followed(max(0.0, ms(n.worker, "kCommandPauseMs") + settle - ms(n.camera_password, "kFirstSetReadMs")),
                  ms(n.camera_password, "periodMs")),
         f"{n.worker} kStartPauseMs, kCommandPauseMs; {n.camera_password} kFirstSetReadMs, periodMs"),
        ("p10", "cloud state behind the veil: /config/kelvaroreginfo, worker stopped, command 2012 read every portal poll",
         followed(direct(1) + stop + command(1, ms(n.cloud_status, "periodMs")), tick),
         f"{n.cloud_status} periodMs; {n.veil} kTickMs"),
        ("p10", f"camera update behind the veil: worker stopped, {listed} gaps, {chosen} x (command 2009 read every "
                f"change poll, worker stopped, pause)",
         followed(stop + listed * ms(n.camera_update, "kGapMs") +
                  chosen * (command(1, ms(n.camera_update, "periodMs")) + stop +
                            ms(n.camera_update, "kAfterChangeMs")), tick),
         f"{n.camera_update} kGapMs, kAfterChangeMs, periodMs; {n.veil} kTickMs"),

        ("p11", "sign-up behind the veil: command 1000, settle; 3 x (worker stopped, settle, command 1002/2011/2014 "
                "read every poll); the recorder told directly; worker stopped",
         followed(start + ms(n.cloud_account, "kSettleMs") +
                  3 * (stop + ms(n.cloud_account, "kSettleMs") + command(1, ms(n.cloud_account, "kPollMs"))) +
                  direct(1) + stop, tick),
         f"{n.cloud_account} kSettleMs, kPollMs; {n.worker} kStartPauseMs, kCommandPauseMs, kStopPauseMs; "
         f"{n.veil} kTickMs"),

        ("p12", "none: FINISH writes the launcher at once", 0.0, ""),
    ]


def main():
    """The quick check `make test` runs: every wait computed from the sources (a constant that moved or was
    renamed fails here, with its name, before the bench meets it), and the table printed."""
    import sys
    try:
        waits = road_waits()
    except (KeyError, OSError) as error:
        print(f"road_waits: {error}", file=sys.stderr)
        return 1
    bad = [w for w in waits if not (math.isfinite(w[2]) and w[2] >= 0) or (w[2] > 0 and not w[3])]
    for page, what, seconds, where in waits:
        print(f"{page:4} {seconds:7.3f} s  {what}")
    if bad:
        print(f"road_waits: a wait that is not a number of seconds, or has no source: {bad}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
