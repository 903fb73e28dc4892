#!/usr/bin/env python3
"""Writes a seeded corpus of hostile cfg.ini files for the settings tests, and beside them
expected.tsv: for each file the five values the program must load from it, found by a plain reading
of its own (the private-profile rules: lines split at CR and LF, names trimmed and matched without
regard to case, the first [setting] section and the first key in it counting, matched quotes
stripped, text after a NUL ignored, then the program's decimal rules).
Usage: make-cfg-corpus.py OUT_DIR [SEED]. The same seed always gives the same files."""
import random
import re
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


# White space as the profile reader trims it (Ctrl+Z counts too) and as the decimal reading skips it.
SPACES = set("\t\n\v\f\r \x85\xa0\u1680\u2028\u2029\u202f\u205f\u3000") | {chr(c) for c in range(0x2000, 0x200B)}
DIGIT_RUNS = [0x30, 0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6, 0x0D66, 0x0E50,
              0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10]


def decode(data):
    """The text of a file as the profile reader sees it: by its byte-order mark, else the ANSI code
    page (1252 here), every byte one character."""
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8", "replace")
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le", "replace")
    return "".join(bytes([b]).decode("cp1252") if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else chr(b)
                   for b in data)


def trim(text, spaces=SPACES | {"\x1a"}):
    start, end = 0, len(text)
    while start < end and text[start] in spaces:
        start += 1
    while end > start and text[end - 1] in spaces:
        end -= 1
    return text[start:end]


def profile_value(data, section, key):
    """The text GetPrivateProfileString gives for section/key, or None when it gives nothing."""
    sections = []  # [name, {key: value}] in file order; keys before any section have no section
    current = None
    for line in re.split(r"[\r\n]+", decode(data)):
        line = trim(line)
        if not line:
            continue
        if line.startswith("[") and "]" in line[1:]:
            current = {}
            sections.append([line[1:line.rindex("]")], current])
            continue
        name, has_value, value = line.partition("=")
        name = trim(name).split("\0")[0].lower()
        if current is not None and name and name not in current:
            current[name] = trim(value) if has_value else None
    for name, keys in sections:
        if trim(name.split("\0")[0]).lower() == section:
            value = keys.get(key)
            if value is None:
                return None
            value = value.split("\0")[0]
            if len(value) > 1 and value[0] in "'\"" and value[-1] == value[0]:
                value = value[1:-1]
            return value or None
    return None


def decimal(text):
    i = 0
    while i < len(text) and text[i] in SPACES:
        i += 1
    sign = 1
    if i < len(text) and text[i] in "+-":
        sign = -1 if text[i] == "-" else 1
        i += 1
    magnitude = 0
    while i < len(text):
        digit = next((ord(text[i]) - run for run in DIGIT_RUNS if 0 <= ord(text[i]) - run < 10), None)
        if digit is None:
            break
        magnitude = min(magnitude * 10 + digit, 2 ** 31)
        i += 1
    return max(-(2 ** 31), min(2 ** 31 - 1, sign * magnitude))


def expected_values(data):
    values = []
    for key in KEYS:
        text = profile_value(data, "setting", key)
        values.append(0 if text is None else decimal(text))
    return values


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
    files = dict(fixed)
    for i in range(200):
        files[f"random-{i:03d}"] = encode(rng, settings_text(rng))
    with open(out / "expected.tsv", "w") as manifest:
        for name, data in files.items():
            (out / f"{name}.ini").write_bytes(data)
            manifest.write("\t".join([f"{name}.ini"] + [str(v) for v in expected_values(data)]) + "\n")
    print(f"{len(files)} files in {out} (seed {seed})")


if __name__ == "__main__":
    main()
