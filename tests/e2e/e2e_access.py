"""The window as a screen reader meets it: on every page each visible control that can be operated has a
name, a button's, check box's and radio button's name begins with the caption it shows, a label's name is its
text; and the names follow when the captions change ("Read" turns the "WR" buttons into "RD")."""

import os
import subprocess
import sys

from hx350_atspi import Session, check, log, pyatspi, run, wait_until

PAGES = ["Main", "Abonents", "External SMS", "Int/Ext SMS", "IOname", "Analog", "Temperature", "SMS Shedule",
         "IO control", "Other", "GPRS, FTP", "Serial Port", "RunTime"]


def design_captions():
    """Design name -> caption of every button, check box and radio button, from the headless form."""
    program = os.environ.get("HX350_CAPTIONS")
    check(program, "HX350_CAPTIONS must name the caption lister")
    captions = {}
    for line in subprocess.run([program], check=True, capture_output=True, encoding="latin-1").stdout.splitlines():
        name, _, caption = line.partition("\t")
        captions[name] = caption
    return captions


def operable_roles():
    return {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TEXT,
            pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_SLIDER,
            pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_PAGE_TAB,
            pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU}


def shown(node):
    states = node.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def walk(node, depth=0):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        if depth < 40:
            yield from walk(child, depth + 1)


def problems_under(root, captions):
    """(controls looked at, what is wrong) for the shown controls below `root`."""
    operable = operable_roles()
    looked, wrong = 0, []
    for node in walk(root):
        if not shown(node):
            continue
        role = node.getRole()
        name, description = node.name, node.description
        if role == pyatspi.ROLE_LABEL:
            try:
                text = node.queryText().getText(0, -1)
            except NotImplementedError:  # a label that offers no text to read: nothing to compare
                continue
            if text and name != text:
                wrong.append("label %s is named %r but shows %r" % (description or "?", name, text))
            looked += 1
        elif role in operable:
            looked += 1
            if not name:
                wrong.append("%s %s has no name" % (node.getRoleName(), description or "?"))
            caption = captions.get(description)
            if caption and not name.startswith(caption):
                wrong.append("%s is named %r, not after its caption %r" % (description, name, caption))
    return looked, wrong


def every_page_is_named():
    captions = design_captions()
    check(len(captions) > 300, "the caption lister gave %d captions" % len(captions))
    with Session() as s:
        frames = [s.app.getChildAtIndex(i) for i in range(s.app.childCount)]
        frame = next(f for f in frames if f is not None and f.getRole() == pyatspi.ROLE_FRAME)
        for page in PAGES:
            s.select_tab(page)
            # The whole window: the page shown, the tabs, the menu bar, the memos and buttons below.
            looked, wrong = problems_under(frame, captions)
            log("%s: %d controls, %d wrong" % (page, looked, len(wrong)))
            check(not wrong, "page %s:\n  %s" % (page, "\n  ".join(wrong)))

        # "Read" turns the page's write buttons into read requests; their names say so.
        s.select_tab("External SMS")
        s.set_checked("GetText", True)
        page = s.pages["External SMS"]

        def slot_buttons():
            return [n for n in walk(page) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and shown(n)
                    and n.description.startswith("TXTSMSb")]

        wait_until(lambda: all(b.name.startswith("RD") for b in slot_buttons()),
                   "the slot buttons to be named RD", timeout=5)
        buttons = slot_buttons()
        check(len(buttons) == 42, "%d slot buttons are shown, not 42" % len(buttons))
        log("after Read:", buttons[0].name)
        s.set_checked("GetText", False)
        wait_until(lambda: all(b.name.startswith("WR") for b in slot_buttons()),
                   "the slot buttons to be named WR again", timeout=5)


if __name__ == "__main__":
    sys.exit(run([every_page_is_named]))
