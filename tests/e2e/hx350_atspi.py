"""Drives the real hx350 window through AT-SPI against hx350-sim on a pseudo-terminal.

The scenarios run on a private Xvfb screen inside `dbus-run-session` (see run_e2e.sh). Qt 6.4 exposes no accessible
id, so controls are found by their accessible description, which the window sets to the control name
("NNumber3", "RadioGroupPort[2]"); tabs by their caption; menu items by their text.

Every wait here is bounded: a scenario that hangs fails with a message naming what it waited for, and the
processes it started are ended in `finally` blocks (Session is a context manager).
"""

import os
import re
import selectors
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SKIP = 77  # ctest SKIP_RETURN_CODE

try:
    import pyatspi
except ImportError:  # pragma: no cover - depends on the machine
    pyatspi = None

DEFAULT_DEADLINE = 30.0  # the tool polls its port every 4-5 s: an answer shows 5-10 s after a command


class E2EFailure(AssertionError):
    pass


class E2EFatal(E2EFailure):
    """A failure that no further waiting can mend (the tool exited): wait_until lets it through at once."""


def log(*parts):
    print("[%s]" % time.strftime("%H:%M:%S"), *parts, flush=True)


def wait_until(predicate, what, timeout=DEFAULT_DEADLINE, interval=0.25):
    """Polls `predicate` until it returns a truthy value, which is returned; fails after `timeout` s."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except E2EFatal:
            raise
        except Exception as error:  # an accessible that went away mid-walk: try again
            last_error = error
        if time.monotonic() >= deadline:
            detail = " (last error: %r)" % (last_error,) if last_error else ""
            raise E2EFailure("timed out after %.0f s waiting for %s%s" % (timeout, what, detail))
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise E2EFailure(message)


# ---------------------------------------------------------------------------------------------- transcript

_ENTRY = re.compile(r"^\S+ \S+ (in |out) (\d+) bytes?: ")


def read_transcript(path):
    """The simulator's transcript as a list of (direction, bytes), direction "in" (from the tool) or "out"."""
    entries = []
    try:
        with open(path, encoding="latin-1") as f:
            lines = f.read().split("\n")
    except FileNotFoundError:
        return entries
    current = None
    for line in lines:
        m = _ENTRY.match(line)
        if m:
            current = [m.group(1).strip(), bytearray(), int(m.group(2))]
            entries.append(current)
        elif line.startswith("    ") and current is not None:
            current[1].extend(bytes.fromhex(line.strip()))
    return [(d, bytes(b)) for d, b, n in entries if len(b) == n]


# ------------------------------------------------------------------------------------------------- session


def find_binaries():
    """(hx350, hx350-sim): the programs named by HX350_BIN and HX350_SIM (run_e2e.sh sets both)."""
    tool = os.environ.get("HX350_BIN")
    sim = os.environ.get("HX350_SIM")
    if not tool or not sim:
        raise E2EFailure("HX350_BIN and HX350_SIM must name the built programs")
    return tool, sim


def environment_ready():
    """None when the window can be driven here, else why not (the scenario then exits with SKIP)."""
    if pyatspi is None:
        return "pyatspi is not installed (python3-pyatspi)"
    if not os.environ.get("DISPLAY"):
        return "no X display (run through run_e2e.sh)"
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        return "no session bus (run through run_e2e.sh)"
    return None


class Simulator:
    """hx350-sim in module mode on a fresh pseudo-terminal, with a transcript."""

    def __init__(self, program, workdir):
        self.transcript = os.path.join(workdir, "transcript.txt")
        self.process = subprocess.Popen(
            [program, "--mode", "module", "--transcript", self.transcript],
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            text=True,
        )
        # The first line is the terminal's path, flushed at once.
        line = _read_line(self.process.stdout, 10.0)
        if not line.startswith("/dev/"):
            self.stop()
            raise E2EFailure("hx350-sim printed no terminal path: %r" % line)
        self.pty = line.strip()

    def entries(self):
        return read_transcript(self.transcript)

    def stop(self):
        _stop(self.process)


def _read_line(stream, timeout):
    sel = selectors.DefaultSelector()
    sel.register(stream, selectors.EVENT_READ)
    if not sel.select(timeout):
        return ""
    return stream.readline()


def _stop(process, grace=5.0):
    if process is None or process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(grace)


class Session:
    """A temporary working folder, a simulator, and the tool started in that folder on Com1.

    Use as a context manager; `restart_tool()` ends the window and starts it again in the same folder
    (against the same simulator, so the module keeps what was written to it)."""

    def __init__(self, keep=False):
        self.tool_program, self.sim_program = find_binaries()
        self.workdir = tempfile.mkdtemp(prefix="hx350-e2e-")
        self.keep = keep or bool(os.environ.get("HX350_E2E_KEEP"))
        self.sim = None
        self.tool = None
        self.app = None
        self.by_description = {}
        self.tabs = {}
        self.menu_items = {}
        self.pages = {}

    def __enter__(self):
        try:
            self.sim = Simulator(self.sim_program, self.workdir)
            self.start_tool()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None:
            log("failure; working folder", self.workdir)
            self.dump_transcript_tail()
        self.close(keep=self.keep or kind is not None)
        return False

    def close(self, keep=False):
        try:
            self.stop_tool()
        finally:
            if self.sim is not None:
                self.sim.stop()
                self.sim = None
            if not keep:
                shutil.rmtree(self.workdir, ignore_errors=True)

    @property
    def cfg_path(self):
        return os.path.join(self.workdir, "HX350.cfg")

    # -- the tool process

    def start_tool(self):
        env = dict(os.environ)
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        env.setdefault("LC_ALL", "C.UTF-8")
        self.tool_log = open(os.path.join(self.workdir, "tool.log"), "a")
        self.tool = subprocess.Popen(
            [self.tool_program, "--port", "COM1=" + self.sim.pty],
            cwd=self.workdir,
            env=env,
            stdout=self.tool_log,
            stderr=subprocess.STDOUT,
        )
        self.app = wait_until(self._find_application, "the tool's accessible application", timeout=20)
        # Without a settings file start-up warns once in a modal box; accept it before indexing.
        self.dismiss_alerts(timeout=1.5)
        wait_until(self._index, "the main window's controls", timeout=20)
        log("tool up, %d controls indexed" % len(self.by_description))

    def _tool_output(self):
        try:
            with open(os.path.join(self.workdir, "tool.log"), encoding="latin-1") as f:
                return f.read()[-2000:] or "(none)"
        except OSError:
            return "(none)"

    def stop_tool(self):
        if self.tool is not None:
            _stop(self.tool)
            self.tool = None
            self.tool_log.close()
        self.app = None
        self.by_description = {}

    def restart_tool(self):
        self.stop_tool()
        self.start_tool()

    def _find_application(self):
        if self.tool.poll() is not None:
            raise E2EFatal("the tool exited early with status %s; its output: %s"
                           % (self.tool.returncode, self._tool_output()))
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None:
                continue
            try:
                if app.get_process_id() == self.tool.pid:
                    return app
            except Exception:
                continue
        return None

    def _index(self):
        """Walks the application once: descriptions, tabs and menu items (about two seconds)."""
        by_description, tabs, menu_items, pages = {}, {}, {}, {}
        frame = None

        def walk(node, depth):
            nonlocal frame
            role = node.getRole()
            if role == pyatspi.ROLE_FRAME and frame is None:
                frame = node
            description = node.description
            if description and description not in by_description:
                by_description[description] = node
            if role == pyatspi.ROLE_PAGE_TAB and node.name not in tabs:
                tabs[node.name] = node
            elif role == pyatspi.ROLE_MENU_ITEM:
                menu_items.setdefault(node.name, node)
            elif role == pyatspi.ROLE_LAYERED_PANE:
                # The tab widget's stack: one filler per page, named by its caption.
                for i in range(node.childCount):
                    page = node.getChildAtIndex(i)
                    if page is not None and page.name:
                        pages.setdefault(page.name, page)
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is not None and depth < 40:
                    walk(child, depth + 1)

        walk(self.app, 0)
        if frame is None or "MemoSMSinput" not in by_description or len(tabs) < 13:
            return False
        self.by_description, self.tabs, self.menu_items, self.pages = by_description, tabs, menu_items, pages
        return True

    # -- finding and reading

    def find(self, description):
        node = self.by_description.get(description)
        if node is None:
            raise E2EFailure("no control with the accessible description %r" % description)
        return node

    def text(self, description):
        """The accessible text of a line edit or memo (a memo's lines joined by line breaks)."""
        t = self.find(description).queryText()
        return t.getText(0, -1)

    def checked(self, description):
        return self.find(description).getState().contains(pyatspi.STATE_CHECKED)

    def showing(self, description):
        return self.find(description).getState().contains(pyatspi.STATE_SHOWING)

    def value(self, description):
        return int(round(self.find(description).queryValue().currentValue))

    def name(self, description):
        return self.find(description).name

    # -- acting

    def _do(self, node, action, what):
        actions = node.queryAction()
        for i in range(actions.nActions):
            if actions.getName(i) == action:
                if not actions.doAction(i):
                    raise E2EFailure("%s refused the action %s" % (what, action))
                return
        raise E2EFailure("%s has no action %s" % (what, action))

    def press(self, description):
        self._do(self.find(description), "Press", description)

    def toggle(self, description):
        self._do(self.find(description), "Toggle", description)

    def set_checked(self, description, checked):
        """Toggles a check box or radio button until its state is `checked` (one toggle when it differs)."""
        if self.checked(description) != checked:
            self.toggle(description)
            wait_until(lambda: self.checked(description) == checked,
                       "%s to become %s" % (description, "checked" if checked else "unchecked"), timeout=5)

    def set_text(self, description, text):
        node = self.find(description)
        node.queryEditableText().setTextContents(text)
        wait_until(lambda: self.text(description) == text, "%s to read %r" % (description, text), timeout=5)

    def set_value(self, description, value):
        """Sets a scroll bar or slider as an assistive tool would (user input: its handler runs)."""
        node = self.find(description)
        node.queryValue().currentValue = float(value)
        wait_until(lambda: self.value(description) == value, "%s to hold %d" % (description, value),
                   timeout=5)

    def select_tab(self, caption):
        tab = self.tabs.get(caption)
        if tab is None:
            raise E2EFailure("no page tab %r (have %s)" % (caption, sorted(self.tabs)))
        page = self.pages.get(caption)
        if page is None:
            raise E2EFailure("no page %r (have %s)" % (caption, sorted(self.pages)))
        self._do(tab, "Press", "page tab " + caption)
        wait_until(lambda: page.getState().contains(pyatspi.STATE_SHOWING),
                   "page %r to be shown" % caption, timeout=5)
        # A page gets its controls the first time it is shown: learn the ones not seen before.
        wait_until(lambda: self._index_page(page), "the controls of page %r" % caption, timeout=5)

    def _index_page(self, page):
        """Adds the descriptions found under `page`; true when it has any control."""
        found = 0

        def walk(node, depth):
            nonlocal found
            description = node.description
            if description:
                found += 1
                self.by_description.setdefault(description, node)
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is not None and depth < 40:
                    walk(child, depth + 1)

        walk(page, 0)
        return found > 0

    def menu(self, item):
        """Triggers the menu item with text `item` (e.g. "Save Setting")."""
        node = self.menu_items.get(item)
        if node is None:
            raise E2EFailure("no menu item %r (have %s)" % (item, sorted(self.menu_items)))
        self._do(node, "Press", "menu item " + item)

    # -- modal boxes

    def alerts(self):
        """The texts of the message boxes open now, as (alert accessible, [label texts])."""
        found = []
        if self.app is None:
            return found
        for i in range(self.app.childCount):
            child = self.app.getChildAtIndex(i)
            if child is None or child.getRole() != pyatspi.ROLE_ALERT:
                continue
            labels = [c.name for c in _descendants(child) if c.getRole() == pyatspi.ROLE_LABEL and c.name]
            found.append((child, labels))
        return found

    def dismiss_alerts(self, timeout=0.0):
        """Presses OK in every open message box (waiting up to `timeout` s for one); returns their texts.
        Fails when boxes keep coming for 10 s more (a box that does not close, or one per poll)."""
        texts = []
        deadline = time.monotonic() + timeout
        give_up = deadline + 10.0
        while True:
            if time.monotonic() >= give_up:
                raise E2EFailure("message boxes do not close: %s" % texts)
            boxes = self.alerts()
            for box, labels in boxes:
                texts.extend(labels)
                for node in _descendants(box):
                    if node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                        log("message box %s: pressing %s" % (labels, node.name))
                        self._do(node, "Press", "message box button")
                        break
            if boxes:
                time.sleep(0.3)
                continue
            if time.monotonic() >= deadline:
                return texts
            time.sleep(0.2)

    # -- the line

    def sent_commands(self):
        """The commands the tool put on the line so far, framing and padding removed."""
        commands = []
        for direction, data in self.sim.entries():
            if direction != "in":
                continue
            for line in re.split(rb"[\r\x00]+", data):
                line = line.decode("latin-1")
                if line.startswith(" " * 14 + "SETUP:"):
                    line = line[20:]
                line = line.strip(" \n")
                if line:
                    commands.append(line)
        return commands

    def wait_sent(self, command, after=0, timeout=10.0):
        """Waits until `command` (exact, padding removed) is among the commands sent after index `after`."""
        return wait_until(lambda: command in self.sent_commands()[after:],
                          "the tool to send %r" % command, timeout=timeout)

    def answers(self):
        """The module's answer lines so far (CR LF removed, empty lines dropped)."""
        lines = []
        for direction, data in self.sim.entries():
            if direction == "out":
                lines.extend(l for l in data.decode("latin-1").replace("\r", "\n").split("\n") if l.strip())
        return lines

    def exchange(self, button, command, memo="MemoSMSinput", timeout=DEFAULT_DEADLINE):
        """Presses `button`, waits until `command` is on the line and the module's answer to it shows in
        `memo` (the tool reads its port every few seconds); returns the answer's first line."""
        sent_before, answers_before = len(self.sent_commands()), len(self.answers())
        self.press(button)
        self.wait_sent(command, after=sent_before)
        answer = wait_until(lambda: self.answers()[answers_before:], "the module's answer to %r" % command,
                            timeout=10)[0]
        self.wait_text(memo, lambda t: answer.strip() in t, "the answer %r in %s" % (answer, memo), timeout)
        return answer

    def wait_text(self, description, predicate, what, timeout=DEFAULT_DEADLINE):
        """Waits until the text of `description` satisfies `predicate` (message boxes are accepted meanwhile);
        returns the text."""
        seen = [None]

        def ready():
            self.dismiss_alerts()
            seen[0] = self.text(description)
            return predicate(seen[0])

        try:
            wait_until(ready, what, timeout=timeout)
        except E2EFailure as error:
            raise E2EFailure("%s; %s holds %r" % (error, description, seen[0])) from None
        return seen[0]

    def dump_transcript_tail(self, lines=40):
        try:
            with open(self.sim.transcript, encoding="latin-1") as f:
                tail = f.read().splitlines()[-lines:]
            log("transcript tail:\n" + "\n".join(tail))
        except Exception as error:
            log("no transcript:", error)


def _descendants(node, depth=0):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        if depth < 10:
            yield from _descendants(child, depth + 1)


def run(scenarios):
    """Runs the named scenario functions in order; exit status 0, 1 (a failure) or SKIP."""
    why = environment_ready()
    if why:
        print("SKIP:", why)
        return _verdict(SKIP)
    passed, failed = 0, 0
    for scenario in scenarios:
        started = time.monotonic()
        log("== %s" % scenario.__name__)
        try:
            scenario()
            passed += 1
            log("PASS %s (%.1f s)" % (scenario.__name__, time.monotonic() - started))
        except Exception as error:
            failed += 1
            log("FAIL %s (%.1f s): %s" % (scenario.__name__, time.monotonic() - started, error))
            traceback.print_exc(file=sys.stdout)
    print("%d passed, %d failed" % (passed, failed), flush=True)
    return _verdict(0 if failed == 0 else 1)


def _verdict(status):
    """Leaves `status` where run_e2e.sh looks for it, and returns it."""
    path = os.environ.get("HX350_E2E_STATUS")
    if path:
        with open(path, "w") as f:
            f.write("%d\n" % status)
    return status
