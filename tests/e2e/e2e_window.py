"""The window against the simulated module: a status request on the line and its answer, saving the
settings from the menu, and a restart that shows the saved values."""

import os
import re
import sys

from hx350_atspi import Session, check, log, run, wait_until

RECORD_SIZE = 4204


def read_status_and_save_and_restart():
    with Session() as s:
        check(s.showing("MemoSMSinput"), "the Received memo is not shown")
        s.select_tab("Main")
        before = len(s.sent_commands())
        s.press("ReadState")
        s.wait_sent("GETST", after=before)

        # The framed request: 14 spaces, "SETUP:", the keyword padded with spaces, CR and NUL: 27 bytes.
        raw = b"".join(data for direction, data in s.sim.entries() if direction == "in")
        frames = [m.group(0) for m in re.finditer(rb" {14}SETUP:GETST *\r\x00", raw)]
        check(frames, "no framed GETST on the line: %r" % raw[-80:])
        check(len(frames[-1]) == 27,
              "the GETST frame is %d bytes, not 27: %r" % (len(frames[-1]), frames[-1]))

        memo = s.wait_text("MemoSMSinput", lambda t: re.search(r"ST +OUT=", t),
                           "the status answer in MemoSMSinput")
        log("MemoSMSinput:", memo.replace("\n", " | ")[:160])
        check("GSM=" in memo, "the status line is incomplete: %r" % memo)

        # Values of several kinds, to see them again after a restart.
        s.set_text("BRnumber", "+4917055501234")
        s.select_tab("Abonents")
        s.set_text("NNumber3", "+4930555123")
        s.select_tab("Serial Port")
        s.set_checked("SkipCRLFcb", True)
        s.set_value("TrackBar5", 2500)
        wait_until(lambda: s.text("Edit1") == "2500", "Edit1 to show the timeout 2500", timeout=5)
        s.select_tab("Main")

        check(not os.path.exists(s.cfg_path), "a settings file exists before saving")
        s.menu("Save Setting")
        wait_until(lambda: os.path.exists(s.cfg_path) and os.path.getsize(s.cfg_path) == RECORD_SIZE,
                   "HX350.cfg of %d bytes" % RECORD_SIZE, timeout=10)
        with open(s.cfg_path, "rb") as f:
            record = f.read()
        check(b"+4917055501234" in record, "the module's number is not in the saved record")
        check(b"+4930555123" in record, "alarm number 3 is not in the saved record")

        s.restart_tool()
        # A settings file exists now: start-up shows no warning box.
        check(not s.alerts(), "a message box is open after a restart with a settings file")
        check(s.text("BRnumber") == "+4917055501234", "BRnumber after restart: %r" % s.text("BRnumber"))
        # The other pages get their controls when first shown, with the values loaded at start-up.
        s.select_tab("Abonents")
        check(s.text("NNumber3") == "+4930555123", "NNumber3 after restart: %r" % s.text("NNumber3"))
        s.select_tab("Serial Port")
        check(s.checked("SkipCRLFcb"), "Skip CR/LF is not ticked after restart")
        check(s.value("TrackBar5") == 2500, "TrackBar5 after restart: %d" % s.value("TrackBar5"))
        check(s.text("Edit1") == "2500", "Edit1 after restart: %r" % s.text("Edit1"))
        check(s.checked("RadioGroupPort[0]"), "Com1 is not the chosen port after restart")

        # The restarted window still talks to the module.
        s.select_tab("Main")
        before = len(s.sent_commands())
        s.press("ReadState")
        s.wait_sent("GETST", after=before)


if __name__ == "__main__":
    sys.exit(run([read_status_and_save_and_restart]))
