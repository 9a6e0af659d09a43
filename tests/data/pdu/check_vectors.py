#!/usr/bin/python3
"""Checks the PDU vectors of this folder with an independent decoder (python3-gammu).

Usage: check_vectors.py [FOLDER]   (default: the folder of this script)
Exit status: 0 all rows agree, 1 a row disagrees, 77 the decoder is not installed (skip).

The codec under test is not involved: every row with a PDU (except the deliberately broken "edited" rows) is
decoded here and its fields compared with what the row claims. Texts are compared septet by septet, so the
tool's receive table (which differs from the TS 23.038 default alphabet on purpose) is written out below
from its definition, independently of the C++ table.
"""

import os
import sys

try:
    import gammu
except ImportError:
    print("python3-gammu is not installed: vectors not checked")
    sys.exit(77)

# TS 23.038 clause 6.2.1, default alphabet, septet 00 to 7F. 1B is the escape to the extension table.
GSM_DEFAULT = (
    "@£$¥èéùìòÇ\nØø\rÅå"
    "Δ_ΦΓΛΩΠΨΣΘΞ\x1bÆæßÉ"
    " !\"#¤%&'()*+,-./"
    "0123456789:;<=>?"
    "¡ABCDEFGHIJKLMNO"
    "PQRSTUVWXYZÄÖÑÜ§"
    "¿abcdefghijklmno"
    "pqrstuvwxyzäöñüà"
)
assert len(GSM_DEFAULT) == 128
SEPTET_OF = {ch: i for i, ch in enumerate(GSM_DEFAULT)}
SEPTET_OF["\u00b9"] = 0x1B  # the decoder shows an escape that starts no extension character this way

# The tool's receive table, as its definition lists it: (first septet, last septet, Latin-1 code or None for
# "the same code").
RECEIVE_ROWS = [
    (0x00, 0x00, 0x40), (0x01, 0x01, 0x20), (0x02, 0x02, 0x24), (0x03, 0x03, 0x59), (0x04, 0x04, 0xE8),
    (0x05, 0x05, 0xE9), (0x06, 0x06, 0xF9), (0x07, 0x07, 0xEC), (0x08, 0x08, 0xF2), (0x09, 0x09, 0xE7),
    (0x0A, 0x0A, 0x0A), (0x0B, 0x0B, 0x20), (0x0C, 0x0C, 0xF8), (0x0D, 0x0D, 0x0D), (0x0E, 0x0E, 0x20),
    (0x0F, 0x0F, 0xE5), (0x10, 0x10, 0x20), (0x11, 0x11, 0x5F), (0x12, 0x1B, 0x20), (0x1C, 0x1C, 0xC6),
    (0x1D, 0x1D, 0xE6), (0x1E, 0x1E, 0xDF), (0x1F, 0x1F, 0xE6), (0x20, 0x23, None), (0x24, 0x24, 0xA4),
    (0x25, 0x3F, None), (0x40, 0x40, 0xA1), (0x41, 0x5A, None), (0x5B, 0x5F, 0x2A), (0x60, 0x60, 0xBF),
    (0x61, 0x7A, None), (0x7B, 0x7B, 0xE4), (0x7C, 0x7C, 0xF5), (0x7D, 0x7D, 0xF1), (0x7E, 0x7E, 0xFC),
    (0x7F, 0x7F, 0xE0),
]
RECEIVE = {}
for first, last, code in RECEIVE_ROWS:
    for septet in range(first, last + 1):
        RECEIVE[septet] = septet if code is None else code
assert sorted(RECEIVE) == list(range(128))


def unescape(field):
    out = []
    i = 0
    while i < len(field):
        ch = field[i]
        if ch == "\\" and i + 1 < len(field):
            nxt = field[i + 1]
            if nxt == "x":
                out.append(chr(int(field[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}[nxt])
            i += 2
            continue
        out.append(ch)
        i += 1
    return "".join(out)


def rows(path):
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            yield line.split("\t")


def septets(gsm_text):
    return [SEPTET_OF[ch] for ch in gsm_text]


def check_encode(folder):
    problems = 0
    checked = 0
    for name, number, text, pdu, source in rows(os.path.join(folder, "encode.tsv")):
        number, text = unescape(number), unescape(text)
        if pdu == "-":
            continue
        checked += 1
        msg = gammu.DecodePDU(bytes.fromhex(pdu), True)
        expect_number = number if number != "+" else ""
        found = {
            "upper-case hex": pdu == pdu.upper(),
            "type": msg["Type"] == "Submit",
            "number": msg["Number"] == expect_number,
            "message reference": msg["MessageReference"] == 0x30,
            "validity": msg["SMSC"]["Validity"] == "60M",
            "coding": msg["Coding"] == "Default_No_Compression",
            "length": msg["Length"] == len(text),
            "septets": septets(msg["Text"]) == [ord(c) & 0x7F for c in text],
        }
        for what, ok in found.items():
            if not ok:
                problems += 1
                print(f"encode.tsv {name}: {what} disagrees: {msg}")
    return checked, problems


def check_decode(folder):
    problems = 0
    checked = 0
    for name, pdu, text, status, source in rows(os.path.join(folder, "decode.tsv")):
        if source == "edited":
            continue
        checked += 1
        pdu, text = unescape(pdu), unescape(text)
        msg = gammu.DecodePDU(bytes.fromhex(pdu), True)
        sc_octets = int(pdu[0:2], 16)
        first_octet = int(pdu[2 * sc_octets + 2:2 * sc_octets + 4], 16)
        shown = "".join(chr(RECEIVE[s]) for s in septets(msg["Text"]))
        found = {
            "type": msg["Type"] == ("Deliver" if first_octet & 3 == 0 else "Submit"),
            "text": shown == text,
            "status": status == ("complete" if text else "no-user-data"),
        }
        for what, ok in found.items():
            if not ok:
                problems += 1
                print(f"decode.tsv {name}: {what} disagrees: {shown!r} vs {text!r}, {msg}")
    return checked, problems


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    enc_checked, enc_problems = check_encode(folder)
    dec_checked, dec_problems = check_decode(folder)
    print(f"checked {enc_checked} encoder rows and {dec_checked} decoder rows: "
          f"{enc_problems + dec_problems} disagreements")
    return 1 if enc_problems + dec_problems else 0


if __name__ == "__main__":
    sys.exit(main())
