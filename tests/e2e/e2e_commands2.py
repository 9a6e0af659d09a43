"""Thresholds, schedule, uplink settings, options, timeout filters and run-time mode through the window
against the simulated module; then saving, a restart and the saved values shown again."""

import os
import sys

from hx350_atspi import Session, check, log, run, wait_until

ANALOG2 = {"ScrollBarMin22": 5, "ScrollBarMin21": 15, "ScrollBarMax21": 85, "ScrollBarMax22": 95}
ANALOG2_EDITS = {"Minlv22": "05", "Minlv21": "15", "Maxlv21": "85", "Maxlv22": "95"}
TEMP1 = {"ScrollBarT1Min2": -20, "ScrollBarT1Min1": -5, "ScrollBarT1Max1": 35, "ScrollBarT1Max2": 60}
TEMP1_EDITS = {"tMinlv12": "-20", "tMinlv11": "-5", "tMaxlv11": "35", "tMaxlv12": "60"}
FILTERS = {"TTimeout1SB": 5, "TTimeout2SB": 12, "ATimeout1SB": 20, "ATimeout2SB": 0, "DFilterSB": 3}
APN = "internet.example"
RECORD_SIZE = 4204


def set_values(s, values):
    for description, value in values.items():
        s.set_value(description, value)


def check_texts(s, texts, when):
    for description, text in texts.items():
        s.wait_text(description, lambda t, text=text: t == text,
                    "%s to show %r %s" % (description, text, when), timeout=5)


def check_values(s, values, when):
    for description, value in values.items():
        check(s.value(description) == value,
              "%s holds %d %s, not %d" % (description, s.value(description), when, value))


def settings_save_and_restart():
    with Session() as s:
        log("analog input 2 thresholds")
        s.select_tab("Analog")
        set_values(s, ANALOG2)
        check_texts(s, ANALOG2_EDITS, "after the sliders moved")
        s.exchange("Level2Cmd", "ANLEV2,05,15,85,95")

        log("temperature input 1 thresholds")
        s.select_tab("Temperature")
        set_values(s, TEMP1)
        check_texts(s, TEMP1_EDITS, "after the sliders moved")
        s.exchange("Button3", "TCLEV1-020-005+035+060")

        log("schedule")
        s.select_tab("SMS Shedule")
        s.set_checked("SMSShed[1]", True)  # Temperature
        s.set_checked("RadioGroup1[4]", True)  # other: the first send hour instead of a period
        s.set_checked("CheckBoxS1", True)
        s.set_value("TrackBar1", 8)
        s.set_checked("CheckBoxS3", True)
        s.set_value("TrackBar3", 17)
        s.exchange("SetShedule", "SETSH,T08  17")
        s.set_checked("CheckBox3", True)  # number 2 as well as number 1
        s.exchange("Button28", "SNFLT3")

        log("APN written and read back")
        s.select_tab("GPRS, FTP")
        s.set_checked("ReadGPRS1", False)
        s.set_text("APN", APN)
        s.exchange("APNbtn", "SETAP " + APN)
        s.set_text("APN", "")
        s.set_checked("ReadGPRS1", True)
        s.exchange("APNbtn", "GETAP")
        s.wait_text("APN", lambda t: t == APN, "the APN edit to fill from the answer")
        s.set_checked("ReadGPRS1", False)

        log("options and timeout filters")
        s.select_tab("Other")
        design_mask = s.text("StringStr1")
        check(len(design_mask) >= 15, "option mask %r" % design_mask)
        s.set_checked("oCheckBox4", True)
        s.set_checked("oCheckBox7", True)
        expected = list(design_mask)
        expected[3] = "E"
        expected[6] = "E"
        expected = "".join(expected)
        s.wait_text("StringStr1", lambda t: t == expected, "the option mask to read %r" % expected, timeout=5)
        s.exchange("SetOther", "SETMP " + expected.rstrip())
        set_values(s, FILTERS)
        check_texts(s, {"TTimeout1": "5", "TTimeout2": "12", "ATimeout1": "20", "DFilter": "3"}, "")
        s.exchange("Button19", "SETTF,05,12,20,00 3")

        log("run-time mode")
        s.select_tab("RunTime")
        s.exchange("Button15", "RTMOD2")

        log("save and restart")
        s.select_tab("Main")
        s.menu("Save Setting")
        wait_until(lambda: s.dismiss_alerts() is not None and _size(s.cfg_path) == RECORD_SIZE,
                   "the settings file to be written", timeout=10)
        with open(s.cfg_path, "rb") as f:
            record = f.read()
        check(APN.encode() in record, "the APN is not in the saved record")
        check(b"T08  17  " in record, "the schedule code is not in the saved record")
        check(expected.encode() in record, "the option mask is not in the saved record")

        s.restart_tool()
        check(not s.alerts(), "a message box is open after a restart with a settings file")
        # Each page gets its controls when first shown, with the values loaded at start-up.
        s.select_tab("Analog")
        check_values(s, ANALOG2, "after restart")
        check_texts(s, ANALOG2_EDITS, "after restart")
        s.select_tab("Temperature")
        check_values(s, TEMP1, "after restart")
        check_texts(s, TEMP1_EDITS, "after restart")
        s.select_tab("SMS Shedule")
        check(s.checked("SMSShed[1]"), "the schedule type is not Temperature after restart")
        check(s.checked("RadioGroup1[4]"), "the schedule period is not 'other' after restart")
        check(s.checked("CheckBoxS1") and s.value("TrackBar1") == 8, "send hour 1 is not 8 after restart")
        check(not s.checked("CheckBoxS2"), "send hour 2 is enabled after restart")
        check(s.checked("CheckBoxS3") and s.value("TrackBar3") == 17, "send hour 3 is not 17 after restart")
        s.select_tab("GPRS, FTP")
        check(s.text("APN") == APN, "APN after restart: %r" % s.text("APN"))
        s.select_tab("Other")
        check_values(s, {"TTimeout1SB": 5, "ATimeout1SB": 20, "DFilterSB": 3}, "after restart")
        # The option boxes always start from their design values; the saved mask stays in the record.
        check(s.text("StringStr1") == design_mask, "option mask after restart: %r" % s.text("StringStr1"))

        log("the restored schedule goes out as saved")
        s.select_tab("SMS Shedule")
        s.exchange("SetShedule", "SETSH,T08  17")


def _size(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return -1


if __name__ == "__main__":
    sys.exit(run([settings_save_and_restart]))
