#!/usr/bin/env python3
"""prefix_snapshot.py: what a Wine prefix holds, to show what a session changed.

  prefix_snapshot.py snapshot PREFIX OUT.json
      Records every directory, file and link below PREFIX (size, mtime,
      SHA-256 of the content, link target) and the registry files' keys and
      values.
  prefix_snapshot.py diff BEFORE.json AFTER.json
      Prints one line per difference, without the values, so that the
      differences of two sessions can be compared line by line.

The registry files (system.reg, user.reg, userdef.reg) are compared by their
keys and values rather than as bytes: Wine rewrites them whole whenever it
saves them, and stamps every key it saves with the time the key was last
written ("[key] SECONDS" and a "#time=" line below it). A stamp that moved
still shows that someone wrote to the key: it is a difference of its own
("#stamp"), never dropped.
"""

import hashlib
import json
import os
import re
import stat
import sys

REGISTRY_FILES = ("system.reg", "user.reg", "userdef.reg")
KEY_LINE = re.compile(r"^\[(.*)\](?: (\d+))?$")
VALUE_NAME = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=')


def registry(path):
    """{"[key] #stamp": stamp, "[key] NAME": line} for every key and value."""
    entries, key = {}, None
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read().replace("\\\n", "")  # values continued on the next line
    for line in text.splitlines():
        match = KEY_LINE.match(line)
        if match and not line.startswith("[ "):
            key = f"[{match.group(1)}]"
            entries[key + " #stamp"] = match.group(2) or ""
        elif key is None or not line:
            continue
        elif line.startswith("#time="):
            entries[key + " #stamp"] += " " + line[len("#time="):]
        else:
            # Values by their name; "#class=", "#link" and the like: the key's.
            name = VALUE_NAME.match(line)
            entries[key + " " + (name.group(1) if name else line.split("=", 1)[0])] = line
    return entries


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def snapshot(prefix):
    state = {}
    for root, dirs, files in os.walk(prefix):  # links to directories are not followed
        for name in dirs + files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            if stat.S_ISLNK(info.st_mode):
                kind, fields = "link", {"target": os.readlink(path)}
            elif stat.S_ISDIR(info.st_mode):
                kind, fields = "dir", {"mtime": info.st_mtime_ns}
            elif stat.S_ISREG(info.st_mode):
                kind, fields = "file", {"size": info.st_size, "mtime": info.st_mtime_ns,
                                        "sha256": sha256(path)}
            else:
                kind, fields = "other", {"mode": info.st_mode}
            state[f"{kind} {os.path.relpath(path, prefix)}"] = fields
    for name in REGISTRY_FILES:
        if state.pop(f"file {name}", None) is not None:
            for entry, line in registry(os.path.join(prefix, name)).items():
                state[f"reg {name} {entry}"] = {"value": line}
    return state


def main(argv):
    if len(argv) == 4 and argv[1] == "snapshot":
        with open(argv[3], "w", encoding="utf-8") as f:
            json.dump(snapshot(argv[2]), f)
        return 0
    if len(argv) == 4 and argv[1] == "diff":
        before, after = (json.load(open(path, encoding="utf-8")) for path in argv[2:4])
        for entry in sorted(set(before) | set(after)):
            old, new = before.get(entry), after.get(entry)
            if old is None:
                print("added", entry)
            elif new is None:
                print("removed", entry)
            elif old != new:
                print(f"changed {entry} ({','.join(k for k in sorted(new) if old[k] != new[k])})")
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
