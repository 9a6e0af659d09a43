#!/usr/bin/env python3
"""Writes golden.cfg, a settings file made by hand from the record layout.

The offsets below are typed in from the layout description, not taken from the C++ table, so that the
golden file checks the reader and writer against an independent statement of where each field lives.
Every field holds a distinctive value; string bytes after each text's length and the reserved ranges hold
non-zero filler, so a reader that looks in the wrong place or a writer that does not keep what it read
shows up at once.

Run from anywhere: python3 make_golden.py  (writes golden.cfg next to this script). The values are
repeated in tests/app/settings_golden_test.cpp; change both together.
"""
import os
import struct

SIZE = 4204
image = bytearray(SIZE)
covered = bytearray(SIZE)  # 1 where a row of the layout below has claimed the byte


def claim(offset, size):
    for i in range(offset, offset + size):
        assert not covered[i], "overlap at %d" % i
        covered[i] = 1


def tail_filler(offset):
    # Bytes after a string's length: never zero, never a printable letter a writer would produce.
    return 0x80 | (offset * 7 % 0x7F)


def reserved(offset, size):
    claim(offset, size)
    for i in range(offset, offset + size):
        image[i] = 0xC0 | (i & 0x3F)


def int32(offset, value):
    claim(offset, 4)
    image[offset:offset + 4] = struct.pack("<i", value)


def word16(offset, value):
    claim(offset, 2)
    image[offset:offset + 2] = struct.pack("<H", value)


def byte(offset, value):
    claim(offset, 1)
    image[offset] = value


def text(offset, capacity, value):
    data = value.encode("latin-1")
    assert len(data) <= capacity, value
    claim(offset, capacity + 1)
    image[offset] = len(data)
    image[offset + 1:offset + 1 + len(data)] = data
    for i in range(offset + 1 + len(data), offset + 1 + capacity):
        image[i] = tail_filler(i)


def external_text(n):
    return ("E%02d-abcdefghijklmnopqrstuvwxyz" % n)[: n % 27]


def internal_text(n):
    return ("I%02d name-\xe9\xfc\xdf-xyz" % n)[: n % 16]


int32(0, 3)            # BaudRateIndex
int32(4, 2)            # ComPortIndex
int32(8, 99999)        # WaitSmsTimeout
int32(12, 7)           # PollFactor
text(16, 20, "+37060012345")  # ModulePhone
reserved(37, 23)
for n in range(1, 55):  # ExternalText[1..54], string[26]
    text(60 + (n - 1) * 27, 26, external_text(n))
reserved(1518, 81)
for n in range(1, 79):  # InternalText[1..78], string[15]
    text(1599 + (n - 1) * 16, 15, internal_text(n))
reserved(2847, 305)
int32(3152, 45)        # TempTimeout
reserved(3156, 4)
int32(3160, 77)        # AnalogTimeout
reserved(3164, 4)
int32(3168, 9)         # DigitalFilter
for n in range(1, 6):  # PulseDuration[1..5]
    int32(3172 + (n - 1) * 4, n + 3)
reserved(3192, 12)
int32(3204, 6)         # SampleRate
byte(3208, 1)          # DeleteIncomingSms
byte(3209, 0)          # SmsModeOn
reserved(3210, 2)
for k in range(1, 17):  # AnalogLevel[1..16]
    int32(3212 + (k - 1) * 4, 5 * k + 1)
for k in range(1, 17):  # TempLevel[1..16]
    int32(3276 + (k - 1) * 4, -99 + 15 * k)
text(3340, 4, "1F-0")          # TempNumberFilter
text(3345, 8, "A-3C")          # AnalogNumberFilter
text(3354, 12, "0123ABC")      # DigitalNumberFilter
text(3367, 40, "internet.example.net")  # GprsApn
text(3408, 40, "gprsuser")              # GprsUserId
text(3449, 40, "s3cret!")               # GprsPassword
text(3490, 40, "192.168.100.200")       # GprsIpAddress
text(3531, 40, "ftp-host-with-forty-characters.example.c")  # FtpHostName (full)
text(3572, 40, "logger")                # FtpUserName
text(3613, 16, "pw-16-characters")      # FtpPassword (full)
text(3630, 16, "/data/hx350")           # FtpDirName
reserved(3647, 9)
int32(3656, 2)         # TempFormat
int32(3660, 5)         # DataLoggerTime
text(3664, 16, "10 1 0  1+-     ")     # OtherString
byte(3681, 0xAB)       # CarriedByte1
byte(3682, 0x5C)       # CarriedByte2
text(3683, 40, "http://one.example.com/in")  # HttpHost1
for n in range(1, 8):  # SubscriberNumber[1..7]
    text(3724 + (n - 1) * 21, 20, "+3706100000%d" % n)
for n in range(1, 8):  # PhoneBookNumber[1..7]
    text(3871 + (n - 1) * 21, 20, "8612000%d%d" % (n, n))
text(4018, 20, "+37060054321")  # ModulePhoneCopy
text(4039, 9, "T07xx1223")      # ScheduleCode
byte(4049, 0)                   # ScheduleCodeFlag
reserved(4050, 34)
int32(4084, -123456789)  # CarriedInt1
int32(4088, 0x12345678)  # CarriedInt2
reserved(4092, 20)
int32(4112, 3)           # CarriedInt3
word16(4116, 0xBEEF)     # CarriedWord1
word16(4118, 0x0102)     # CarriedWord2
byte(4120, 1)            # SkipCrLf
reserved(4121, 2)
text(4123, 4, "1.25")    # AnalogCoeff
for n, value in enumerate(["0.5", "1.0", "2.5", "10.0"], start=1):  # AnalogMultiplier[1..4]
    text(4128 + (n - 1) * 5, 4, value)
for n, value in enumerate([1, 0, 1], start=1):  # Analog420[1..3]
    byte(4148 + n - 1, value)
reserved(4151, 1)
int32(4152, 1)           # ReferenceLevel
int32(4156, 8)           # DataLoggerRate
text(4160, 40, "http://two.example.com:8080/post")  # HttpHost2
reserved(4201, 3)

assert all(covered), "uncovered byte at %d" % covered.index(0)
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden.cfg"), "wb") as out:
    out.write(image)
