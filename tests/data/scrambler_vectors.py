#!/usr/bin/env python3
"""Known answers for the password scrambler, worked out apart from the C++
code: prints the table rows pasted into tests/host/scrambler_test.cpp.

Each stored code is the plain code plus the code of the key character at the
same position (the key repeats over the text); eight sums are replaced by
the codes 248 to 255. Each plain text starts with characters chosen to hit
the six replaced sums that encoding can reach, followed by an ordinary
password.
"""

STORED = {127: 254, 129: 255, 35: 253, 141: 252, 143: 251, 144: 250, 36: 249, 157: 248}
REACHABLE = [127, 129, 141, 143, 144, 157]


def key_text(serial):
    signed = serial - (1 << 32) if serial >= (1 << 31) else serial
    return str(signed)


def encode(plain, key):
    out = []
    for j, c in enumerate(plain):
        s = c + ord(key[j % len(key)])
        s = STORED.get(s, s)
        assert s <= 255
        out.append(s)
    return bytes(out)


def literal(data):
    """A C++ string literal; a hex digit right after a hex escape starts a
    new literal piece, so that the escape stops where it should."""
    text, escaped = "", False
    for b in data:
        plain = 32 <= b < 127 and chr(b) not in '"\\?'
        if plain and escaped and chr(b) in "0123456789abcdefABCDEF":
            text += '" "'
        text += chr(b) if plain else "\\x%02X" % b
        escaped = not plain
    return '"' + text + '"'


def vector(serial, password):
    key = key_text(serial)
    hits = bytes(s - ord(key[j % len(key)]) for j, s in enumerate(REACHABLE))
    plain = hits + password
    print("    {0x%08X, \"%s\", %s, %s}," % (serial, key, literal(plain), literal(encode(plain, key))))


vector(0x12345678, b"Pa55word!")
vector(0x8BADF00D, b"Segredo#2024")
vector(0x00000000, b"abc")
