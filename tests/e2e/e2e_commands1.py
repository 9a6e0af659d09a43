"""Numbers, phone book, event texts, IO names and outputs, written and read back through the window against
the simulated module."""

import sys

from hx350_atspi import Session, log, run


def send(s, button, command, answer=None, memo="MemoSMSinput"):
    """Presses `button`, waits until `command` is on the line and, when given, `answer` in the memo."""
    before = len(s.sent_commands())
    s.press(button)
    s.wait_sent(command, after=before)
    if answer is not None:
        s.wait_text(memo, lambda t: answer in t, "the answer %r" % answer)


def alarm_number(s, number, skip_crlf):
    s.select_tab("Serial Port")
    s.set_checked("SkipCRLFcb", skip_crlf)
    s.select_tab("Abonents")
    s.set_checked("RadioGroupNR[2]", True)  # number 3
    s.set_text("NNumber3", number)
    send(s, "SetNr", "SETNN3 " + number, "SETNN3 OK")
    s.set_text("NNumber3", "")
    send(s, "GetNr", "GETNR3")
    s.wait_text("NNumber3", lambda t: t == number, "NNumber3 to show %s read back (Skip CR/LF %s)"
                % (number, "on" if skip_crlf else "off"))


def numbers_texts_and_outputs():
    with Session() as s:
        log("alarm number 3, Skip CR/LF off and on")
        alarm_number(s, "+4917012345678", False)
        alarm_number(s, "+4930999888", True)
        alarm_number(s, "+4940111222", False)

        log("phone book")
        s.set_checked("RadioGroupPB[1]", True)  # entry 2
        s.set_text("PBnr2", "+4989555000")
        send(s, "ToPhoneBook", "SETPB2 +4989555000", "SETPB2 OK")
        for n in range(1, 8):
            s.set_text("PBnr%d" % n, "x%d" % n)
        send(s, "ReadPB", "GETPB")
        s.wait_text("PBnr2", lambda t: t == "+4989555000", "PBnr2 to show the stored entry")
        for n in (1, 3, 4, 5, 6, 7):
            s.wait_text("PBnr%d" % n, lambda t: t == "", "PBnr%d to show the empty entry" % n, timeout=5)

        log("external text, slot 5")
        s.select_tab("External SMS")
        s.set_checked("GetText", False)
        text = "Pump 2 pressure low"
        s.set_text("TXTSMS5", text)
        send(s, "TXTSMSb5", "SETTX05 " + text, "SETTX05 OK")
        s.set_text("TXTSMS5", "")
        s.set_checked("GetText", True)
        send(s, "TXTSMSb5", "GETTX05")
        s.wait_text("TXTSMS5", lambda t: t.rstrip() == text, "TXTSMS5 to fill from the module")
        s.set_checked("GetText", False)

        log("IO name, slot 60")
        s.select_tab("IOname")
        s.set_checked("nGetText", False)
        name = "Door open"
        s.set_text("iTXTSMS60", name)
        send(s, "TXTSMSb60", "SETTI60 " + name, "SETTI60 OK")
        s.set_text("iTXTSMS60", "")
        s.set_checked("nGetText", True)
        send(s, "TXTSMSb60", "GETTI60")
        s.wait_text("iTXTSMS60", lambda t: t.rstrip() == name, "iTXTSMS60 to fill from the module")
        s.set_checked("nGetText", False)

        log("output 2 on and off")
        s.select_tab("IO control")
        send(s, "SetOut2", "SETOU2", "OUT2 1")
        s.wait_text("Output2", lambda t: t == "ON ", "Output2 to read ON", timeout=5)
        send(s, "ResetOut2", "RSTOU2", "OUT2 0")
        s.wait_text("Output2", lambda t: t == "OFF", "Output2 to read OFF", timeout=5)


if __name__ == "__main__":
    sys.exit(run([numbers_texts_and_outputs]))
