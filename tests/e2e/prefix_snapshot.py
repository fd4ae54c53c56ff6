#!/usr/bin/env python3
"""prefix_snapshot.py: what a Wine prefix holds, to show what a session changed.

  prefix_snapshot.py snapshot PREFIX OUT.json
      Records every directory, file and link below PREFIX (path, size, mtime,
      SHA-256 of the content) and the registry files' keys and values, parsed.
  prefix_snapshot.py diff BEFORE.json AFTER.json
      Prints one line per difference, in a stable form without the values,
      so that the differences of two sessions can be compared line by line.

The registry files (system.reg, user.reg, userdef.reg) are compared by their
keys and values rather than as bytes: Wine rewrites them whole whenever it
saves them, and stamps every key it saves with the time the key was last
written ("[key] SECONDS" and a "#time=" line below it). Those stamps are not
part of what a program reads, but a stamp that moved still shows that
someone wrote to the key: it is reported as its own kind of difference,
"key-stamp", never dropped. Only the file-level change of a registry file
(its size, mtime and bytes) is left to the parsed comparison.
"""

import hashlib
import json
import os
import re
import stat
import sys

REGISTRY_FILES = ("system.reg", "user.reg", "userdef.reg")
KEY_LINE = re.compile(r"^\[(.*)\](?: (\d+))?$")


def parse_registry(path):
    """{key: {"stamp": str, "values": {name: text}}}; names and keys as Wine writes them."""
    keys = {}
    current = None
    pending = ""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if pending:
                line = pending + line
                pending = ""
            if line.endswith("\\") and current is not None and not line.startswith("["):
                pending = line[:-1]  # a value continued on the next line
                continue
            match = KEY_LINE.match(line)
            if match and not line.startswith("[ "):
                current = {"stamp": match.group(2) or "", "values": {}}
                keys[match.group(1)] = current
            elif current is None or not line:
                continue
            elif line.startswith("#time="):
                current["stamp"] += " " + line[len("#time="):]
            elif line.startswith("#"):
                # "#class=", "#link" and the like: properties of the key.
                current["values"]["#" + line[1:].split("=", 1)[0]] = line
            else:
                name, _, data = split_value(line)
                current["values"][name] = data
    return keys


def split_value(line):
    """A value line: its name (@ for the default) and its data."""
    if line.startswith("@="):
        return "@", "=", line[2:]
    if line.startswith('"'):
        i = 1
        while i < len(line):
            if line[i] == "\\":
                i += 2
                continue
            if line[i] == '"':
                break
            i += 1
        return line[: i + 1], "=", line[i + 2 :]
    return line, "", ""


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def snapshot(prefix):
    entries = {}
    registry = {}
    for root, dirs, files in os.walk(prefix):
        dirs.sort()
        for name in sorted(dirs + files):
            path = os.path.join(root, name)
            rel = os.path.relpath(path, prefix)
            info = os.lstat(path)
            if stat.S_ISLNK(info.st_mode):
                entries[rel] = {"kind": "link", "target": os.readlink(path)}
            elif stat.S_ISDIR(info.st_mode):
                entries[rel] = {"kind": "dir", "mtime": info.st_mtime_ns}
            elif stat.S_ISREG(info.st_mode):
                entries[rel] = {
                    "kind": "file",
                    "size": info.st_size,
                    "mtime": info.st_mtime_ns,
                    "sha256": sha256(path),
                }
            else:
                entries[rel] = {"kind": "other", "mode": info.st_mode}
        # Links to directories (dosdevices' drives) are recorded, not followed.
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(root, d))]
    for name in REGISTRY_FILES:
        path = os.path.join(prefix, name)
        if os.path.exists(path):
            registry[name] = parse_registry(path)
    return {"entries": entries, "registry": registry}


def diff_entries(before, after):
    lines = []
    for rel in sorted(set(before) | set(after)):
        if os.path.basename(rel) in REGISTRY_FILES and os.path.dirname(rel) == "":
            continue  # compared by keys and values below
        old, new = before.get(rel), after.get(rel)
        if old is None:
            lines.append(f"added {new['kind']} {rel}")
        elif new is None:
            lines.append(f"removed {old['kind']} {rel}")
        elif old != new:
            what = ",".join(k for k in sorted(set(old) | set(new)) if old.get(k) != new.get(k))
            lines.append(f"changed {new['kind']} {rel} ({what})")
    return lines


def diff_registry(name, before, after):
    lines = []
    for key in sorted(set(before) | set(after)):
        old, new = before.get(key), after.get(key)
        if old is None:
            lines.append(f"reg {name} added key [{key}]")
            continue
        if new is None:
            lines.append(f"reg {name} removed key [{key}]")
            continue
        for value in sorted(set(old["values"]) | set(new["values"])):
            a, b = old["values"].get(value), new["values"].get(value)
            if a is None:
                lines.append(f"reg {name} added value [{key}] {value}")
            elif b is None:
                lines.append(f"reg {name} removed value [{key}] {value}")
            elif a != b:
                lines.append(f"reg {name} changed value [{key}] {value}")
        if old["stamp"] != new["stamp"]:
            lines.append(f"reg {name} key-stamp [{key}]")
    return lines


def main(argv):
    if len(argv) == 4 and argv[1] == "snapshot":
        with open(argv[3], "w", encoding="utf-8") as f:
            json.dump(snapshot(argv[2]), f)
        return 0
    if len(argv) == 4 and argv[1] == "diff":
        with open(argv[2], encoding="utf-8") as f:
            before = json.load(f)
        with open(argv[3], encoding="utf-8") as f:
            after = json.load(f)
        lines = diff_entries(before["entries"], after["entries"])
        for name in REGISTRY_FILES:
            lines += diff_registry(
                name, before["registry"].get(name, {}), after["registry"].get(name, {})
            )
        for line in lines:
            print(line)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
