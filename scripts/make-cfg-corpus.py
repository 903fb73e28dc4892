#!/usr/bin/env python3
"""Writes a seeded corpus of hostile cfg.ini files for the end-to-end tests.
Usage: make-cfg-corpus.py OUT_DIR [SEED]. The same seed always gives the same files."""
import random
import sys
from pathlib import Path

KEYS = ["next", "stop", "key1", "key2", "interval"]
FULL_WIDTH = "".join(chr(0xFF10 + d) for d in range(10))
ARABIC = "".join(chr(0x0660 + d) for d in range(10))


def number(rng):
    kind = rng.randrange(10)
    if kind == 0:
        return str(rng.randrange(-(10 ** 30), 10 ** 30))  # far beyond 32 bits
    if kind == 1:
        return rng.choice(["+", "-", "", "abc", "12abc", " 42", "\t-7", "0x1F", "1e3", "--5", "+-5"])
    if kind == 2:
        return "".join(FULL_WIDTH[int(c)] for c in str(rng.randrange(0, 100000)))
    if kind == 3:
        return "".join(ARABIC[int(c)] for c in str(rng.randrange(0, 100000)))
    if kind == 4:
        return rng.choice(["2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295"])
    if kind == 5:
        return str(rng.randrange(0, 70000)) + rng.choice(["\x01", "\x07", "\x1b", "\x7f", ""])
    return str(rng.randrange(-1000, 100000))


def key_name(rng, key):
    choice = rng.randrange(6)
    if choice == 0:
        return key.upper()
    if choice == 1:
        return key.capitalize()
    if choice == 2:
        return " " + key + " "
    return key


def settings_text(rng):
    lines = []
    if rng.random() < 0.3:
        lines.append("; written by hand")
    if rng.random() < 0.2:
        lines += ["[other]", "next=1", "interval=2"]
    lines.append(rng.choice(["[setting]", "[SETTING]", "[Setting]", " [setting] ", "[setting"]))
    for _ in range(rng.randrange(0, 9)):
        kind = rng.randrange(10)
        if kind == 0:
            lines.append(rng.choice(KEYS))  # a line without '='
        elif kind == 1:
            lines.append("=" + number(rng))
        elif kind == 2:
            lines.append("junk line \x02\x03")
        else:
            key = rng.choice(KEYS)
            lines.append(key_name(rng, key) + rng.choice(["=", " = ", "= ", "=\""]) + number(rng))
    if rng.random() < 0.3:
        lines += ["[setting]", "interval=" + number(rng)]  # a repeated section
    ending = rng.choice(["\r\n", "\n", "\r\n"])
    text = ending.join(lines)
    if rng.random() < 0.7:
        text += ending  # otherwise the final line end is missing
    return text


def encode(rng, text):
    kind = rng.randrange(10)
    if kind == 0:
        return b"\xef\xbb\xbf" + text.encode("utf-8")
    if kind == 1:
        return b"\xff\xfe" + text.encode("utf-16-le")
    if kind == 2:
        return text.encode("utf-8")
    return text.encode("utf-8", "replace") if any(ord(c) > 127 for c in text) else text.encode("ascii")


def main():
    out = Path(sys.argv[1])
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 20261208
    rng = random.Random(seed)
    out.mkdir(parents=True, exist_ok=True)
    for old in out.glob("*.ini"):
        old.unlink()
    fixed = {
        "empty": b"",
        "only-nul": b"\0" * 64,
        "nul-inside": b"[setting]\r\nnext=70\0 4\r\nstop=635\r\ninterval=25\0\r\n",
        "utf8-bom": b"\xef\xbb\xbf[setting]\r\ninterval=250\r\nkey1=65\r\n",
        "utf16-bom": b"\xff\xfe" + "[setting]\r\ninterval=\uff12\uff15\uff10\r\nstop=634\r\n".encode("utf-16-le"),
        "no-section": b"next=1\r\nstop=2\r\n",
        "only-interval": b"[setting]\r\ninterval=250\r\n",
        "no-final-line-end": b"[setting]\r\nnext=704\r\ninterval=300",
        "huge-numbers": b"[setting]\r\nnext=99999999999999999999\r\ninterval=-99999999999999999999\r\n",
        "signs-alone": b"[setting]\r\nnext=+\r\nstop=-\r\ninterval=+\r\n",
        "repeated-keys": b"[setting]\r\ninterval=100\r\ninterval=200\r\nnext=1\r\nnext=2\r\n",
        "other-case": b"[SETTING]\r\nINTERVAL=321\r\nNext=704\r\n",
        "control-chars": b"[setting]\r\ninterval=\x01\x02 12\r\nkey2=\x1b[31m\r\n",
        "huge-file": b"[junk]\r\n" + (b"x=" + b"y" * 1000 + b"\r\n") * 10000 + b"[setting]\r\ninterval=777\r\n",
    }
    for name, data in fixed.items():
        (out / f"{name}.ini").write_bytes(data)
    for i in range(200):
        (out / f"random-{i:03d}.ini").write_bytes(encode(rng, settings_text(rng)))
    print(f"{len(fixed) + 200} files in {out} (seed {seed})")


if __name__ == "__main__":
    main()
