#!/usr/bin/env python3
"""support_pages.py: dorvik-support's pages as headless Chromium builds them.

  rows SUPPORT MACHINES     a site of every profile's log (plus a log that is
                            no report and one cut off): the fleet page's table,
                            as Chromium's DOM holds it sorted by result
                            ("#sort=2"), has the CSV's rows, and its counts
                            the rows that name each cause
  hostile SUPPORT SIM MACHINES
                            markup, quotes and ampersands in registry values,
                            in a log's line and in file names, through explain
                            --html and fleet --html: the DOM shows them as
                            text and runs none; no CSV cell reads as a formula
"""
import csv
import html.parser
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

FORMULA_STARTS = ("=", "+", "-", "@", "\t", "\r")


def dump_dom(page, fragment=""):
    with tempfile.TemporaryDirectory() as profile:
        out = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu",
             "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--no-first-run", "--user-data-dir=" + profile,
             "--dump-dom", pathlib.Path(page).resolve().as_uri() + fragment],
            capture_output=True, text=True, timeout=120, check=True)
    return out.stdout


class Dom(html.parser.HTMLParser):
    """The tables' rows as cell texts, the elements by tag, the text outside scripts."""

    def __init__(self, text):
        super().__init__()
        self.tables, self.tags, self.text, self.body, self.heads = {}, [], [], {}, []
        self._table = self._row = self._cell = None
        self._in_script = False
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append(tag)
        if tag == "body":
            self.body = attrs
        elif tag == "table":
            self._table = self.tables.setdefault(attrs.get("id"), [])
        elif tag == "tr" and self._table is not None:
            self._row = []
            self._table.append(self._row)
        elif tag in ("td", "th") and self._row is not None:
            self._cell = []
            if tag == "th":
                self.heads.append(attrs.get("class", ""))
        self._in_script = tag == "script"

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self._cell is not None:
            self._row.append("".join(self._cell))
            self._cell = None
        elif tag == "table":
            self._table = self._row = None
        elif tag == "script":
            self._in_script = False

    def handle_data(self, data):
        if self._cell is not None:
            self._cell.append(data)
        if not self._in_script:
            self.text.append(data)


def fleet(support, logs, out):
    csv_path, html_path = os.path.join(out, "fleet.csv"), os.path.join(out, "fleet.html")
    subprocess.run([support, "fleet", logs, "--csv", csv_path, "--html", html_path],
                   check=False, capture_output=True)
    with open(csv_path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    return rows, html_path


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)


def rows_test(support, machines, work):
    site = os.path.join(work, "site")
    os.makedirs(os.path.join(site, "building b"))
    names = sorted(n for n in os.listdir(machines)
                   if os.path.isfile(os.path.join(machines, n, "expected.log")))
    for i, name in enumerate(names):
        folder = site if i % 2 else os.path.join(site, "building b")
        shutil.copy(os.path.join(machines, name, "expected.log"), os.path.join(folder, name + ".log"))
    with open(os.path.join(machines, names[0], "expected.log"), "rb") as f:
        whole = f.read()
    with open(os.path.join(site, "zz-cut-off.log"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(site, "zz-notes.txt"), "w") as f:
        f.write("not a report, \"quoted\", with commas\n")
    rows, page = fleet(support, site, work)
    check(len(rows) == len(names) + 3, "a header and one CSV row per log: %d rows" % len(rows))
    check(len({len(r) for r in rows}) == 1, "every CSV row as long as the header")
    # One load, sorted by the page's script at load: the CSV's rows in the
    # script's order, the worst result first, as found within one result.
    dom = Dom(dump_dom(page, "#sort=2"))
    table = dom.tables.get("machines", [])
    worst_first = ["not readable", "ERR", "unsure", "AOK"]
    expected = rows[:1] + sorted(rows[1:], key=lambda r: worst_first.index(r[2]))
    check(table == expected, "the page's table holds the CSV's rows:\n%s\n%s" % (table[:3], expected[:3]))
    check("sortable" in dom.heads[-1], "the page's script ran (headings made sortable)")
    # The counts: each cause with the number of rows that name it.
    named = [c.split(": ")[0] if r[2] == "not readable" else c
             for r in rows[1:] for c in r[-2].split("; ") if c]
    counted = {cause: int(n) for cause, n in dom.tables["causes"][1:]}
    check(counted == {c: named.count(c) for c in named}, "the causes counted: %s" % counted)
    return len(table)


HOSTILE_VALUES = {
    "ProcessorNameString": "<script>document.body.dataset.ran='cpu'</script>",
    "CSDVersion": "Pack \\\"1\\\" & <mark>bold</mark> 'single'",
    "MainDriver": "<img src=x onerror=\\\"document.body.dataset.ran='tmex'\\\">",
}
HOSTILE_SHOWN = ["<script>document.body.dataset.ran='cpu'</script>",
                 "Pack \"1\" & <mark>bold</mark> 'single'",
                 "<img src=x onerror=\"document.body.dataset.ran='tmex'\">"]
HOSTILE_NAMES = ["<img src=x onerror=document.body.dataset.ran=1>", "=1+2", "+cmd", "-2", "@sum",
                 "a&amp;b \"q\", 'q'"]
EDITED_LINE = "<script>document.body.dataset.ran='edited'</script>"


def hostile_test(support, sim, machines, work):
    profile = os.path.join(work, "profile")
    shutil.copytree(os.path.join(machines, "winxp-complete"), profile)
    with open(os.path.join(profile, "registry.reg"), encoding="latin-1") as f:
        reg = f.read()
    for name, value in HOSTILE_VALUES.items():
        start = reg.index('"%s"=' % name)
        reg = reg[:start] + '"%s"="%s"' % (name, value) + reg[reg.index("\n", start):]
    with open(os.path.join(profile, "registry.reg"), "w", encoding="latin-1") as f:
        f.write(reg)
    log = os.path.join(work, "hostile.log")
    subprocess.run([sim, profile, "--log", log], check=True, capture_output=True)
    explained = os.path.join(work, "explain.html")
    subprocess.run([support, "explain", log, "--html", explained], capture_output=True)
    site = os.path.join(work, "site")
    os.makedirs(site)
    with open(log, "rb") as f:
        text = f.read()
    for name in HOSTILE_NAMES:
        shutil.copy(log, os.path.join(site, name + ".log"))
    with open(os.path.join(site, "edited.log"), "wb") as f:
        f.write(text.replace(b"CPU Speed: 2394 MHz", EDITED_LINE.encode()))
    rows, page = fleet(support, site, work)
    for cell in (c for r in rows for c in r):
        check(not cell.startswith(FORMULA_STARTS), "a CSV cell read as a formula: %r" % cell)
    for path, shown, scripts in ((explained, HOSTILE_SHOWN, 0),
                                 (page, HOSTILE_NAMES + [EDITED_LINE], 1)):
        dom = Dom(dump_dom(path))
        text = "".join(dom.text)
        for s in shown:
            check(s in text, "%s shows %r as text" % (os.path.basename(path), s))
        check(dom.tags.count("script") == scripts and "img" not in dom.tags and "mark" not in dom.tags,
              "%s holds no element from a log: %s" % (os.path.basename(path), sorted(set(dom.tags))))
        check("data-ran" not in dom.body, "%s ran a log's script" % os.path.basename(path))
    return len(rows) - 1


def main():
    with tempfile.TemporaryDirectory() as work:
        if sys.argv[1] == "rows":
            n = rows_test(sys.argv[2], sys.argv[3], work)
        else:
            n = hostile_test(sys.argv[2], sys.argv[3], sys.argv[4], work)
    print("1 passed, 0 failed (%d rows)" % n)


if __name__ == "__main__":
    main()
