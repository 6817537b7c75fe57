#!/usr/bin/env python3
"""What a blind user hears: Orca listens to the wizard and we read what it would have said. Two walks:

  - "cameras" (the default): the camera, cloud and summary pages;
  - "setup": from the welcome page to the camera page.

Orca (speech and braille off, its debug log on and written line by line) runs on a private session bus and
accessibility bus, against the wizard on Xvfb, with the simulated recorder, cameras and kelvaro service, all
inside the network sandbox. The walk is made with keys only (xdotool), and every step waits for the words
Orca says in answer, so the walk is also the check:

  - the scan's count ("5 cameras found") and the focus on the first row, a ticked row "checked", an unticked
    one "not checked", and a grey row unavailable (Orca 43 says "grayed"); a fifth tick "Four cameras are the
    most.";
  - typing on a password field's eye changes nothing, and no typed password is ever spoken;
  - the sign-up form announced, the terms box "checked" after one Space and "not checked" after two;
  - the cloud field error spoken as its field is left, and again when NEXT finds it.

The setup walk hears every page's title and instruction as it arrives, before the focused control; the
language box's value and a new choice; the recorder search's start and its result; the password page's
fields and a length error; the zone box's value, Escape closing the zone list, a refused zone in words; the
format's start and end; and no typed password.

  orca-walk.py BUILD_DIR SOURCE_DIR [cameras|setup]

The lines Orca said for the walk are kept in BUILD_DIR/a11y/orca-walk-speech.txt (orca-walk-setup-speech.txt
for the setup walk), its whole debug log in orca-debug.log (orca-setup-debug.log) beside it.
"""
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RECORDER_IP = "127.0.17.1"
RECORDER_MAC = "00:1d:4f:a0:17:01"
CAMERA_PASSWORD = "Qz7lobby"   # typed into the password popup: must never be spoken
CLOUD_PASSWORD = "Wv4cloud"    # typed into the sign-up form: must never be spoken
ADMIN_PASSWORD = "Nvr4pass1"   # the recorder's new administrator password: must never be spoken
SHORT_PASSWORD = "abc"         # too short: the length error
STEP_SECONDS = 12              # how long one step may wait for Orca's answer


def enter_sandbox_and_buses():
    """Re-runs this script inside the network sandbox, then on a private session bus."""
    if os.environ.get("VRX_SANDBOX") != "1":
        sandbox = os.path.join(sys.argv[2], "scripts", "sandbox")
        os.execv(sandbox, [sandbox, "--", sys.executable] + sys.argv)
    if os.environ.get("VRX_ORCA_WALK_BUS") != "1":
        os.environ["VRX_ORCA_WALK_BUS"] = "1"
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)


def heard(expect, said):
    """Whether Orca said what expect (a regular expression) describes: in one utterance, or across the
    utterances of one step (a row's name, its role and its state come as separate utterances)."""
    return any(re.search(expect, s) for s in said) or re.search(expect, " ".join(said)) is not None


class Walk:
    def __init__(self, build, source, mode="cameras"):
        self.build = build
        self.source = source
        self.mode = mode
        self.out = os.path.join(build, "a11y")
        os.makedirs(self.out, exist_ok=True)
        self.tmp = tempfile.mkdtemp(prefix="vrx-orca-walk.")
        self.procs = []
        self.suffix = "" if mode == "cameras" else "-" + mode
        self.log_path = os.path.join(self.out, "orca%s-debug.log" % self.suffix)
        self.takes_focus = {}  # window id -> whether it accepts the input focus (its WM_HINTS)
        self.read_pos = 0
        self.spoken = []      # every SPEECH OUTPUT line so far, in order
        self.steps = []       # (step, [lines]) for the report
        self.failures = []
        self.diagnosis = []   # what the wizard showed and Orca followed when the first step failed

    # ------------------------------------------------------------------ processes
    def start(self, args, env=None, **kw):
        p = subprocess.Popen(args, env=env or os.environ.copy(), **kw)
        self.procs.append(p)
        return p

    def stop_all(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
        for p in reversed(self.procs):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def start_display(self):
        r, w = os.pipe()
        self.start(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                   pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.out, "xvfb.log"), "w"))
        os.close(w)
        # Read up to the line's end, and keep our end open: Xvfb may write the number and the newline
        # separately, and dies when its second write finds the pipe closed.
        self.display_pipe = r
        text = b""
        while not text.endswith(b"\n"):
            chunk = os.read(r, 64)
            if not chunk:
                break
            text += chunk
        number = text.decode().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        os.environ["DISPLAY"] = ":" + number
        os.environ.pop("WAYLAND_DISPLAY", None)

    def start_simulator(self):
        scenario = os.path.join(HERE, "orca-walk.json")
        sim_out = open(os.path.join(self.tmp, "sim.out"), "w+")
        self.start([os.path.join(self.build, "sim", "vrx-sim"), scenario, "--state-dir",
                    os.path.join(self.tmp, "sim")], stdout=sim_out, stderr=subprocess.STDOUT)
        for _ in range(150):
            sim_out.seek(0)
            first = sim_out.readline()
            if first.startswith("READY"):
                ca = re.search(r" ca=(\S+)", first)
                if ca:
                    os.environ["VRX_EXTRA_CA_FILE"] = ca.group(1)
                return
            time.sleep(0.1)
        raise RuntimeError("the simulator did not become ready")

    def start_accessibility_bus(self):
        """The accessibility bus, up before Orca and the wizard look for it (on a busy machine its activation on
        first use can come too late for Orca, which then gives up)."""
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                "org.a11y.Bus.GetAddress"], capture_output=True, text=True)
            if r.returncode == 0 and "unix:" in r.stdout:
                return
            time.sleep(0.1)
        raise RuntimeError("the accessibility bus did not start")

    def start_orca(self):
        prefs = os.path.join(self.tmp, "orca-prefs")
        os.makedirs(prefs)
        quiet = {"enableSpeech": False, "enableBraille": False, "enableBrailleMonitor": False,
                 "enableSound": False, "enableMouseReview": False}
        profile = {"profile": ["Default", "default"]}
        profile.update(quiet)
        with open(os.path.join(prefs, "user-settings.conf"), "w") as f:
            json.dump({"general": dict(quiet), "profiles": {"default": profile}, "pronunciations": {},
                       "keybindings": {}}, f)
        env = os.environ.copy()
        env["HOME"] = self.tmp
        env["XDG_CONFIG_HOME"] = os.path.join(self.tmp, "config")
        env["XDG_DATA_HOME"] = os.path.join(self.tmp, "data")
        # On a busy machine Orca now and then fails to open the display at its start and ends at once: it is
        # tried again then.
        open(os.path.join(self.out, "orca.out"), "w").close()
        for attempt in range(3):
            open(self.log_path, "w").close()
            orca = self.start_orca_once(prefs, env)
            if self.wait_log(r"ORCA: Starting registry", 30, lambda: orca.poll() is not None):
                time.sleep(1.0)
                return
            print("orca-walk: Orca ended at its start (attempt %d), see orca.out" % (attempt + 1))
            time.sleep(2.0)
        raise RuntimeError("Orca did not start")

    def start_orca_once(self, prefs, env):
        # Orca opens its debug file block-buffered; the launcher makes it line-buffered, so every line is
        # there to read as soon as Orca has written it. Debian's own Python: Orca and its AT-SPI bindings are
        # installed for it.
        launcher = os.path.join(HERE, "orca-line-buffered.py")
        return self.start(["/usr/bin/python3", launcher, self.log_path, "--user-prefs", prefs, "--debug-file",
                           self.log_path, "--disable", "speech,braille,braille-monitor"],
                          env=env, stdout=open(os.path.join(self.out, "orca.out"), "a"), stderr=subprocess.STDOUT)

    def wait_log(self, pattern, seconds, gone):
        """True once Orca's log matches pattern; False after seconds, or as soon as gone() says it ended."""
        end = time.time() + seconds
        while time.time() < end:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                if re.search(pattern, f.read()):
                    return True
            if gone():
                return False
            time.sleep(0.2)
        return False

    def start_wizard(self):
        env = os.environ.copy()
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1",
                    "LANG": "C.UTF-8", "VRX_BUILD_DIR": self.build, "VRX_SOURCE_DIR": self.source})
        args = ["--from-welcome"] if self.mode == "setup" else [RECORDER_IP, RECORDER_MAC]
        self.wizard = self.start([os.path.join(self.build, "tests", "a11y", "orca-walk-wizard")] + args, env=env,
                                 stdout=open(os.path.join(self.out, "wizard%s.out" % self.suffix), "w"),
                                 stderr=subprocess.STDOUT)
        window = ""
        for _ in range(100):
            window = self.find_host_window()
            if window:
                break
            time.sleep(0.1)
        if not window:
            raise RuntimeError("the wizard's window did not appear")
        self.host_window = window
        self.visible_before = [window]
        root = re.search(r"Window id: (0x[0-9a-f]+)", subprocess.run(["xwininfo", "-root"], capture_output=True,
                                                                      text=True).stdout)
        if not root:
            raise RuntimeError("xwininfo did not name the root window")
        self.root_window = str(int(root.group(1), 16))
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)

    def find_host_window(self):
        """The wizard's window: the visible one of the host's size (the spoken-message windows are 1 x 1)."""
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.wizard.pid)],
                           capture_output=True, text=True)
        for window in r.stdout.split():
            geometry = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True, text=True).stdout
            if "860x640" in geometry:
                return window
        return ""

    def accepts_focus(self, window):
        """Whether a window of the wizard takes the input focus (the waiting veil and the spoken-message windows
        do not: a window manager never gives them the focus, nor back from them)."""
        if window not in self.takes_focus:
            hints = subprocess.run(["xprop", "-id", window, "WM_HINTS"], capture_output=True, text=True).stdout
            self.takes_focus[window] = "input focus: False" not in hints
        return self.takes_focus[window]

    def give_back_focus(self):
        """What a window manager does when a popup window closes: the window under it gets the focus again.
        Xvfb has no window manager, so this harness does it: when the focused window has gone, and also when a
        window of the wizard closed while X already had the focus on the main window. Then Qt may never hear that
        the main window is active again (no focus-in comes for a window that has the focus), nor Orca, which then
        reads nothing more of it: the focus goes to the root window and back, as a window manager's would move."""
        focused = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True).stdout.strip()
        visible = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.wizard.pid)],
                                 capture_output=True, text=True).stdout.split()
        for window in visible:
            self.accepts_focus(window)
        closed = any(self.takes_focus.get(w, True) for w in set(self.visible_before) - set(visible))
        self.visible_before = visible
        if self.host_window not in visible:
            return
        if focused not in visible:
            subprocess.run(["xdotool", "windowfocus", self.host_window], check=False)
        elif closed and focused == self.host_window:
            subprocess.run(["xdotool", "windowfocus", self.root_window], check=False)
            time.sleep(0.05)
            subprocess.run(["xdotool", "windowfocus", self.host_window], check=False)

    # ------------------------------------------------------------------ Orca's log
    def read_new(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            f.seek(self.read_pos)
            chunk = f.read()
            # Only whole lines: the rest is read next time.
            cut = chunk.rfind("\n") + 1
            self.read_pos += len(chunk[:cut].encode("utf-8", errors="replace"))
            for line in chunk[:cut].splitlines():
                # SPEECH OUTPUT: 'words'{voice} (or 'key ' {voice} for a key's echo)
                m = re.search(r"SPEECH OUTPUT: '(.*?)'\s*(\{[^{}]*\})?\s*$", line)
                if m:
                    self.spoken.append(m.group(1).strip())

    def step(self, name, keys=(), text=None, expect=None, seconds=STEP_SECONDS, settle=0.8):
        """Presses keys (or types text), then waits until Orca has said something matching expect (a regular
        expression), or for settle seconds of its words when nothing is expected. Returns the lines said."""
        self.read_new()
        start = len(self.spoken)
        log_start = self.read_pos
        for key in keys:
            subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=False)
            time.sleep(0.15)
        if text is not None:
            subprocess.run(["xdotool", "type", "--delay", "120", text], check=False)
        end = time.time() + (seconds if expect else settle)
        matched = False
        while time.time() < end:
            time.sleep(0.2)
            self.give_back_focus()
            self.read_new()
            if expect and heard(expect, self.spoken[start:]):
                matched = True
                time.sleep(settle)  # what Orca says right after belongs to this step too
                self.read_new()
                break
        said = self.spoken[start:]
        self.steps.append((name, said))
        if expect and not matched:
            self.failures.append("%s: expected Orca to say /%s/, it said %r" % (name, expect, said))
            self.diagnose(log_start)
        return said

    def tab_to(self, name, expect, limit=12):
        log_start = self.read_pos
        heard_on_the_way = []
        for _ in range(limit):
            said = self.step(name, ["Tab"], settle=0.6)
            self.steps.pop()
            heard_on_the_way += said
            if heard(expect, said):
                self.steps.append((name, said))
                return said
        self.steps.append((name, heard_on_the_way))
        self.failures.append("%s: Tab never reached /%s/, it said %r" % (name, expect, heard_on_the_way))
        self.diagnose(log_start)
        return []

    def diagnose(self, log_start):
        """Once, at the first failed step: the wizard's windows as X sees them, and what Orca followed of windows
        and focus since that step began (Orca reads out only what happens in the window it believes active)."""
        if self.diagnosis:
            return
        def run(*args):
            return subprocess.run(list(args), capture_output=True, text=True).stdout.strip()
        focused = run("xdotool", "getwindowfocus")
        ended = self.wizard.poll()
        lines = [] if ended is None else ["the wizard has ended, exit status %d" % ended]
        lines += ["X focus: %s (%s); the wizard's window: %s" % (focused, run("xdotool", "getwindowname", focused),
                                                                 self.host_window)]
        for window in run("xdotool", "search", "--onlyvisible", "--pid", str(self.wizard.pid)).split():
            lines.append("visible window %s %r %s" % (window, run("xdotool", "getwindowname", window),
                                                      " ".join(run("xdotool", "getwindowgeometry", window).split()[3:])))
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            f.seek(log_start)
            events = [l.rstrip() for l in f if re.search(r"EVENT MANAGER: window:|OBJECT EVENT: object:state-changed:"
                                                           r"(focused|active)|Changing locusOfFocus|SPEECH OUTPUT", l)]
        lines += ["orca: " + l[:200] for l in events[-60:]]
        self.diagnosis = lines

    def check(self, ok, what):
        if not ok:
            self.failures.append(what)

    # ------------------------------------------------------------------ the walk
    def walk(self):
        # Page 10: the scan ends with its count, and the first row takes the focus.
        said = self.step("scan ends", expect=r"^5 cameras found\.?$", seconds=30)
        self.check(heard(r"127\.0\.20\.1.*not checked", said),
                   "the first row is not heard when the scan ends: %r" % said)
        self.step("Space on row 1", ["space"], expect=r"^checked$")
        self.step("Space on row 1 again", ["space"], expect=r"^not checked$")
        self.step("Space on row 1 a third time", ["space"], expect=r"^checked$")
        self.step("Down to row 2", ["Down"], expect=r"127\.0\.20\.2.*not checked")
        self.step("Space on row 2", ["space"], expect=r"^checked$")
        self.step("Down to row 3", ["Down"], expect=r"127\.0\.20\.3.*not checked")
        self.step("Space on row 3", ["space"], expect=r"^checked$")
        self.step("Down to row 4", ["Down"], expect=r"127\.0\.20\.4.*not checked")
        self.step("Space on row 4: its password popup", ["space"], expect=r"[Pp]assword")
        self.step("type the camera's password", text=CAMERA_PASSWORD, settle=1.5)
        self.step("Tab to the eye", ["Tab"], expect=r"Show password")
        self.step("type on the eye", text="xyz", settle=1.5)
        self.step("back to the field", ["shift+Tab"], settle=1.0)
        # The camera proves the password: the popup closes and the row is back, ticked.
        self.step("Enter: the camera checks the password", ["Return"], expect=r"127\.0\.20\.4.*check box checked",
                  seconds=20)
        self.step("Down to row 5", ["Down"], expect=r"127\.0\.20\.5.*not checked.*(grayed|unavailable)")
        self.step("Space on row 5: a fifth camera", ["space"], expect=r"^Four cameras are the most\.$")
        self.tab_to("Tab to NEXT", r"^NEXT")
        # Page 11: the choices, the sign-up form and its errors.
        said = self.step("NEXT: the cloud page", ["space"], expect=r"I already have a kelvaro", seconds=60)
        self.check(not heard(r"Minimise", said), "NEXT passed the focus to Minimise: %r" % said)
        self.step("Down: sign up", ["Down"], expect=r"^Sign-up form shown")
        self.tab_to("Tab to the e-mail", r"Email")
        self.step("type an e-mail without its domain", text="owner@", settle=1.0)
        said = self.tab_to("Tab to the password", r"^Password")
        self.check(heard(r"(?i)^Error: Invalid email address", said),
                   "the e-mail error is not spoken as the field is left: %r" % said)
        self.step("type the password", text=CLOUD_PASSWORD, settle=1.0)
        self.tab_to("Tab to the confirmation", r"Confirm Password")
        self.step("type the confirmation", text=CLOUD_PASSWORD, settle=1.0)
        self.tab_to("Tab to the terms", r"I have read and agree")
        self.step("Space on the terms", ["space"], expect=r"^checked$")
        self.step("Space on the terms again", ["space"], expect=r"^not checked$")
        self.step("Space on the terms a third time", ["space"], expect=r"^checked$")
        self.tab_to("Tab to NEXT", r"^NEXT")
        self.step("NEXT: the e-mail is refused", ["space"], expect=r"(?i)^Error: Invalid email address")
        # The summary: skip the cloud service.
        self.step("Shift+Tab to the choices", ["shift+Tab"], settle=0.8)
        self.step("Down: no kelvaro service", ["Down"], expect=r"I don't want to use kelvaro")
        self.tab_to("Tab to NEXT", r"^NEXT")
        self.steps_before_summary = len(self.steps)
        self.step("NEXT: the summary", ["space"], expect=r"FINISH|[Ss]ummary|Congratulations", seconds=20)

    def walk_setup(self):
        """From the welcome page to the camera page by keys alone."""
        # Page 1: the welcome is heard, then the language box with its value.
        said = self.step("the welcome page", expect=r"Select your Language.*combo box.*English", seconds=30)
        self.check(heard(r"Welcome to the Halvik NVR", said), "the welcome is not heard: %r" % said)
        self.step("Space: the language list", ["space"], expect=r"English")
        self.step("Down to Español", ["Down", "Down", "Down"], expect=r"Español")
        self.step("Space: Español chosen", ["space"], expect=r"combo box.*Español")
        self.step("Space, Up three times: English", ["space", "Up", "Up", "Up"], expect=r"English")
        self.step("Space: English chosen", ["space"], expect=r"Select your Language.*combo box.*English")
        self.tab_to("Tab to START", r"^START")
        # Pages 2 to 5: the title and the instruction, then the focused control.
        arrivals = [
            ("START: the requirements", r"^Requirements\. You will need a router"),
            ("NEXT: connect the power", r"^Connect your device\. Connect your VRX-410Q power adapter"),
            ("NEXT: connect the network", r"^Connect your device\. Connect your ethernet cable"),
            ("NEXT: wait for the LED", r"^Connect your device\. After the LED .* turns blue, click Next"),
        ]
        for name, arrival in arrivals:
            said = self.arrive(name, arrival, r"push button|link")
            if not heard(r"^NEXT", said):
                self.tab_to("Tab to NEXT", r"^NEXT")
        # Page 6: the search is heard starting and ending, and the found recorder is the focused row.
        said = self.step("NEXT: the recorder search", ["space"], expect=r"^Select your NVR device\.")
        if not heard(r"Searching", said):
            said += self.step("the search starts", expect=r"Searching", seconds=15)
        if not heard(r"1 NVR found", said):
            said += self.step("the search ends", expect=r"1 NVR found", seconds=20)
        if not heard(r"127\.0\.17\.1.*selected", said):
            self.step("the found recorder", expect=r"127\.0\.17\.1.*selected", seconds=5)
        self.tab_to("Tab to NEXT", r"^NEXT")
        # Page 7: create mode; the fields, a length error as the field is left, no password spoken.
        said = self.arrive("NEXT: the password page", r"^Secure your NVR\. Create and confirm a password",
                           r"^Password.*password text", seconds=30)
        said = self.step("type a short password", text=SHORT_PASSWORD, settle=1.0)
        self.check(not heard(r"Must be 6-31", said), "the length error is spoken while typing: %r" % said)
        said = self.step("Tab: the length error", ["Tab"], expect=r"Must be 6-31 characters")
        self.step("Shift+Tab: back to the password", ["shift+Tab"], expect=r"Password", settle=1.0)
        self.step("type the password", ["ctrl+a", "BackSpace"], text=ADMIN_PASSWORD, settle=1.0)
        self.tab_to("Tab to the confirmation", r"^Confirm Password")
        self.step("type the confirmation", text=ADMIN_PASSWORD, settle=1.0)
        self.tab_to("Tab to NEXT", r"^NEXT")
        # Page 8: the zone box's value; Escape closes the list; a refused zone in words.
        said = self.arrive("NEXT: the time zone page", r"^Set time zone\.", r"Time zone.*combo box", seconds=30)
        if not heard(r"Dublin, Lisbon, London", said):
            self.step("the current zone", expect=r"Dublin, Lisbon, London", seconds=15)
        self.step("Space: the zone list", ["space"], expect=r"Dublin, Lisbon, London")
        self.step("Down: Amsterdam", ["Down"], expect=r"Amsterdam")
        self.step("Escape: the list closes", ["Escape"], expect=r"Time zone.*combo box.*Dublin, Lisbon, London")
        self.step("Space: the zone list again", ["space"], expect=r"Dublin, Lisbon, London")
        self.step("Down: Amsterdam again", ["Down"], expect=r"Amsterdam")
        self.step("Space: Amsterdam chosen", ["space"], expect=r"combo box.*Amsterdam")
        self.tab_to("Tab to NEXT", r"^NEXT")
        said = self.step("NEXT: the zone is refused", ["space"], expect=r"Please choose a time zone for your NVR",
                         seconds=20)
        self.check(not heard(r"400 Bad Request", said), "the refused zone is spoken as an HTTP status: %r" % said)
        self.step("Shift+Tab to the zone box", ["shift+Tab", "shift+Tab"], expect=r"combo box.*Amsterdam")
        self.step("Space: the zone list, at Amsterdam", ["space"], expect=r"Amsterdam")
        self.step("Up: London", ["Up"], expect=r"London")
        self.step("Space: London chosen", ["space"], expect=r"combo box.*London")
        self.tab_to("Tab to NEXT", r"^NEXT")
        # Page 9: the disks; the format's start and end.
        said = self.arrive("NEXT: the disk page", r"^Setup HDD for NVR\. Please connect up to two hard drives",
                           r"^NEXT", seconds=30)
        said = self.step("NEXT: the warning", ["space"], expect=r"Important Alert")
        if not heard(r"^OK", said):
            self.tab_to("Tab to OK", r"^OK")
        self.step("OK: the format starts", ["space"], expect=r"Formatting", seconds=15)
        said = self.step("the format ends", expect=r"formatted successfully", seconds=40)
        self.steps_before_summary = len(self.steps)
        if not heard(r"cameras found", said):
            self.step("the camera page", expect=r"cameras found", seconds=60)

    def arrive(self, name, arrival, control, keys=("space",), seconds=STEP_SECONDS):
        """A page arriving after keys: its announcement, then its focused control, in this order."""
        said = self.step(name, list(keys), expect=arrival, seconds=seconds)
        if heard(arrival, said) and not heard(control, said):
            said += self.step(name + ": its first control", expect=control)
            self.steps[-2:] = [(name, said)]
        self.step_heard_after(name, said, arrival, control)
        return said

    def step_heard_after(self, name, said, first, then):
        """That what matches then was said after what matches first, in one step."""
        at_first = next((i for i, s in enumerate(said) if re.search(first, s)), None)
        at_then = next((i for i, s in enumerate(said) if re.search(then, s)), None)
        if at_first is None or at_then is None or at_then < at_first:
            self.failures.append("%s: expected /%s/ and then /%s/, Orca said %r" % (name, first, then, said))

    def checks_after(self):
        before = [s for _, said in self.steps[:getattr(self, "steps_before_summary", len(self.steps))] for s in said]
        for secret in (CAMERA_PASSWORD, CLOUD_PASSWORD, ADMIN_PASSWORD):
            self.check(not any(secret.lower() in s.lower() for s in before),
                       "a typed password was spoken before the summary: %s" % secret)
            # Spelled out one character at a time is as bad as the whole word.
            run = "".join(s for s in before if len(s) == 1)
            self.check(secret.lower() not in run.lower(), "a typed password was spelled out: %s" % secret)

    def report(self):
        path = os.path.join(self.out, "orca-walk%s-speech.txt" % self.suffix)
        with open(path, "w", encoding="utf-8") as f:
            for name, said in self.steps:
                f.write("# %s\n" % name)
                for s in said:
                    f.write("SPEECH OUTPUT: '%s'\n" % s)
        print("orca-walk: what Orca said is in %s" % path)
        for failure in self.failures:
            print("orca-walk: FAILED: %s" % failure)
        for line in self.diagnosis:
            print("orca-walk: at the first failure: %s" % line)
        if self.failures:
            with open(os.path.join(self.out, "wizard%s.out" % self.suffix), errors="replace") as f:
                for line in f.readlines()[-20:]:
                    print("orca-walk: wizard said: %s" % line.rstrip())
        return 1 if self.failures else 0


def main():
    if len(sys.argv) not in (3, 4) or (len(sys.argv) == 4 and sys.argv[3] not in ("cameras", "setup")):
        print("usage: orca-walk.py BUILD_DIR SOURCE_DIR [cameras|setup]", file=sys.stderr)
        return 2
    enter_sandbox_and_buses()
    walk = Walk(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]),
                sys.argv[3] if len(sys.argv) == 4 else "cameras")
    try:
        walk.start_display()
        walk.start_simulator()
        walk.start_accessibility_bus()
        walk.start_orca()
        walk.start_wizard()
        if walk.mode == "setup":
            walk.walk_setup()
        else:
            walk.walk()
        walk.checks_after()
    except RuntimeError as e:
        walk.failures.append(str(e))
    finally:
        walk.stop_all()
    return walk.report()


if __name__ == "__main__":
    sys.exit(main())
