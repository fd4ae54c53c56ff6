#!/usr/bin/env python3
"""make_registry_export.py: a whole-registry export of a given size, as regedit writes one.

Usage: make_registry_export.py SIZE_MB FORMAT OUT [--seed N]

FORMAT is "5" (Windows Registry Editor Version 5.00: UTF-16LE with a
byte-order mark) or "4" (REGEDIT4: Windows-1252 text). The export has every
root key an export of the whole registry has, HKEY_LOCAL_MACHINE the
largest; keys nested several levels deep, the parents before their children;
and every kind of value: texts with escapes and letters beyond ASCII, the
default value, dword:, hex: (binary), hex(2): and hex(7): texts (UTF-16 in
version 5, the code page in REGEDIT4), hex(0):, hex(4):, hex(5):, hex(8):,
hex(b):; long hex data continued on the next lines at regedit's width.
The same size and seed always give the same bytes.
"""

import argparse
import random

ROOTS = [  # (root key, share of the keys)
    ("HKEY_LOCAL_MACHINE", 0.55),
    ("HKEY_CLASSES_ROOT", 0.15),
    ("HKEY_CURRENT_USER", 0.12),
    ("HKEY_USERS", 0.12),
    ("HKEY_CURRENT_CONFIG", 0.06),
]
WORDS = ["Software", "Microsoft", "Windows", "CurrentVersion", "Services", "Control", "Class",
         "Enum", "Hardware", "Description", "Parameters", "Security", "Setup", "Explorer",
         "Shell Extensions", "Policies", "Uninstall", "Fonts", "Installer", "Products",
         "Features", "Components", "Printers", "Network", "Tcpip", "Linkage", "Device Parameters",
         "Properties", "Capabilities", "Café", "Größe", "Résumé", "Ærø", "Señal", "Zürich"]
# Letters beyond ASCII that Windows-1252 has, so that both formats can carry them.
LETTERS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 éèüößñÆ€™–…"
LINE_WIDTH = 76  # regedit continues a hex line once it passes this column


def name(rng):
    word = rng.choice(WORDS)
    return word if rng.random() < 0.5 else f"{word}{rng.randrange(1000)}"


def text(rng, length):
    return "".join(rng.choice(LETTERS) for _ in range(length))


def quoted(value):
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def hex_lines(prefix, data):
    """prefix + the bytes as hex, continued with "\\" and a two-space indent."""
    parts = [f"{b:02x}" for b in data]
    lines, line = [], prefix
    for i, part in enumerate(parts):
        piece = part + ("," if i + 1 < len(parts) else "")
        if len(line) + len(piece) > LINE_WIDTH and line.strip():
            lines.append(line + "\\")
            line = "  "
        line += piece
    lines.append(line)
    return "\r\n".join(lines)


def encode_text(value, unicode):
    return value.encode("utf-16-le" if unicode else "cp1252") + (b"\0\0" if unicode else b"\0")


def value_line(rng, unicode):
    label = "@" if rng.random() < 0.05 else quoted(name(rng) + rng.choice(["", "\\Path", " \"q\""]))
    kind = rng.randrange(12)
    if kind < 4:
        return f"{label}={quoted(text(rng, rng.randrange(4, 60)))}"
    if kind < 6:
        return f"{label}=dword:{rng.getrandbits(32):08x}"
    if kind == 6:
        return hex_lines(f"{label}=hex:", rng.randbytes(rng.randrange(1, 200)))
    if kind == 7:
        return hex_lines(f"{label}=hex(2):", encode_text("%SystemRoot%\\" + text(rng, 30), unicode))
    if kind == 8:
        items = [text(rng, rng.randrange(3, 20)) for _ in range(rng.randrange(1, 5))]
        data = b"".join(encode_text(item, unicode) for item in items) + encode_text("", unicode)
        return hex_lines(f"{label}=hex(7):", data)
    if kind == 9:
        return hex_lines(f"{label}=hex(b):", rng.randbytes(8))
    type_number = rng.choice([0, 4, 5, 8, 9])
    return hex_lines(f"{label}=hex({type_number:x}):", rng.randbytes(rng.randrange(0, 120)))


def key_blocks(rng, unicode, target_chars):
    """Key blocks, depth first, until about target_chars characters."""
    written = 0
    counts = [int(share * 1000) for _, share in ROOTS]
    while written < target_chars:
        for (root, _), count in zip(ROOTS, counts):
            stack = [root]
            for _ in range(count):
                depth = rng.randrange(1, 7)
                del stack[min(depth, len(stack)):]
                stack.append(name(rng))
                values = [value_line(rng, unicode) for _ in range(rng.randrange(0, 9))]
                block = "\r\n".join(["[" + "\\".join(stack) + "]"] + values) + "\r\n\r\n"
                written += len(block)
                yield block
                if written >= target_chars:
                    return


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("size_mb", type=float)
    parser.add_argument("format", choices=["4", "5"])
    parser.add_argument("out")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    unicode = args.format == "5"
    rng = random.Random(args.seed)
    size = int(args.size_mb * 1000 * 1000)
    header = "Windows Registry Editor Version 5.00" if unicode else "REGEDIT4"
    with open(args.out, "wb") as out:
        if unicode:
            out.write(b"\xff\xfe")
        chunk = [header + "\r\n\r\n"]
        for block in key_blocks(rng, unicode, size // 2 if unicode else size):
            chunk.append(block)
            if len(chunk) >= 2000:
                out.write("".join(chunk).encode("utf-16-le" if unicode else "cp1252"))
                chunk = []
        out.write("".join(chunk).encode("utf-16-le" if unicode else "cp1252"))


if __name__ == "__main__":
    main()
