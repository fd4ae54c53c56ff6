#!/usr/bin/env python3
"""compare_run.py: judges one "Run w/Log" of Dorvik.exe on a provisioned machine.

Compares what the dialog driver saw and the log the program wrote with the
machine profile's expected report and icons, and with the simulated run on
the machine as provisioned. Lines that Wine decides are compared with what
Wine gives, not skipped:
  - the "System Date / Time" line: Wine's clock cannot be set. It must have
    the expected line's shape (the locale's order, separators and clock) and
    a time between the driver's clock readings before and after the run;
  - lines naming the Windows directory: Wine's is always C:\\windows, so the
    profile's directory is replaced by it in the expected line.
Exit status 1 with one line per difference on standard output.
"""
import argparse
import datetime
import re
import sys
import tomllib
from pathlib import Path

DATE_LINE = "System Date / Time: "
WINE_WINDOWS_DIR = "C:\\windows"
ICON_WORDS = {"AOK": "enabled check", "ERR": "enabled x", "?": "enabled question",
              "n/r": "disabled none"}
TOLERANCE = datetime.timedelta(seconds=2)

failures = []


def fail(what):
    failures.append(what)


def driver_values(lines, key):
    prefix = key + ": "
    return [line[len(prefix):] for line in lines if line.startswith(prefix)]


def parse_report_time(text, locale):
    """The local time of a date line's text, read by the machine's locale."""
    date_text, _, time_text = text.partition(" / ")
    sep, order = re.escape(locale["sdate"][0]), locale["idate"]
    parts = re.fullmatch(rf"(\d+){sep}(\d+){sep}(\d+)", date_text)
    if not parts:
        return None
    a, b, c = (int(p) for p in parts.groups())
    year, month, day = {"0": (c, a, b), "1": (c, b, a), "2": (a, b, c)}[order]
    tsep = re.escape(locale["stime"][0])
    clock = re.fullmatch(rf"(\d\d){tsep}(\d\d){tsep}(\d\d)(am|pm)?", time_text)
    if not clock:
        return None
    hour, minute, second = (int(p) for p in clock.groups()[:3])
    if locale["itime"] == "0":
        if clock.group(4) is None:
            return None
        # As on a clock face: midnight reads 12am, noon 12pm.
        hour = hour % 12 + (12 if clock.group(4) == "pm" else 0)
    try:
        return datetime.datetime(year, month, day, hour % 24, minute, second)
    except ValueError:
        return None


def check_date_line(expected, actual, locale, earliest, latest):
    suffix = expected[-2:] in ("am", "pm")
    body = expected[:-2] if suffix else expected
    shape = "".join(r"\d" if ch.isdigit() else re.escape(ch) for ch in body)
    shape += "(am|pm)" if suffix else ""
    if not re.fullmatch(shape, actual):
        fail(f"date line {actual!r} has not the shape of {expected!r}")
        return
    when = parse_report_time(actual[len(DATE_LINE):], locale)
    if when is None or not earliest - TOLERANCE <= when <= latest + TOLERANCE:
        fail(f"date line {actual!r} is not the time of the run ({earliest} to {latest})")


def compare_with_expected(expected, actual, windows_dir, locale, earliest, latest):
    if len(expected) != len(actual):
        fail(f"the log has {len(actual)} lines, the expected report {len(expected)}")
    folded_dir = windows_dir.lower()
    for number, (want, got) in enumerate(zip(expected, actual), 1):
        if want.startswith(DATE_LINE):
            check_date_line(want, got, locale, earliest, latest)
            continue
        at = want.lower().find(folded_dir + "\\")
        if at >= 0 and folded_dir != WINE_WINDOWS_DIR.lower():
            want = want[:at] + WINE_WINDOWS_DIR + want[at + len(windows_dir):]
        if want != got:
            fail(f"expected.log:{number}: expected {want!r}, the log has {got!r}")


def compare_with_simulation(simulated, actual, locale):
    if len(simulated) != len(actual):
        fail(f"the log has {len(actual)} lines, the simulated run {len(simulated)}")
    for number, (want, got) in enumerate(zip(simulated, actual), 1):
        if want == got:
            continue
        if want.startswith(DATE_LINE) and got.startswith(DATE_LINE):
            a = parse_report_time(want[len(DATE_LINE):], locale)
            b = parse_report_time(got[len(DATE_LINE):], locale)
            if a and b and abs(a - b) <= TOLERANCE * 2:
                continue
        fail(f"simulated log line {number}: {want!r}, the log has {got!r}")


def icon_states(icon_text):
    """expected-icons.txt form ("3053 ...: AOK") as the driver's words."""
    states = {}
    for line in icon_text.splitlines():
        if line.strip():
            ident, _, word = line.rpartition(": ")
            states[ident.split()[0]] = ICON_WORDS.get(word, word)
    return states


def main():
    args = argparse.ArgumentParser()
    args.add_argument("--profile", required=True, type=Path)
    args.add_argument("--driver", required=True, type=Path)
    args.add_argument("--log", required=True, type=Path, help="the log the program wrote")
    args.add_argument("--log-name", default="Dorvik.txt")
    args.add_argument("--sim-log", required=True, type=Path)
    args.add_argument("--sim-output", required=True, type=Path)
    a = args.parse_args()

    machine = tomllib.loads((a.profile / "machine.toml").read_text())
    locale = {"sdate": "/", "idate": "0", "stime": ":", "itime": "0"}
    locale.update(machine.get("locale", {}))
    driver = a.driver.read_bytes().decode("cp1252").splitlines()
    times = [datetime.datetime.strptime(t, "%Y-%m-%d %H:%M:%S")
             for t in driver_values(driver, "local-time")]
    earliest, latest = times[0], times[-1]

    raw = a.log.read_bytes()
    if not raw.endswith(b"\r\n") or raw.count(b"\n") != raw.count(b"\r\n"):
        fail("a log line does not end in CR LF")
    actual = raw.decode("cp1252").split("\r\n")[:-1]
    if driver_values(driver, "list") != actual:
        fail("the status list differs from the log")
    temp_path = driver_values(driver, "fact-temp-path")[0]
    if driver_values(driver, "msgbox-caption") != ["Dorvik Information"] or \
            driver_values(driver, "msgbox-text") != ["Log File written to:",
                                                     temp_path + a.log_name]:
        fail("the information box does not name the log's path")

    expected = (a.profile / "expected.log").read_bytes().decode("cp1252").split("\r\n")[:-1]
    compare_with_expected(expected, actual, machine["directories"]["windows"], locale,
                          earliest, latest)
    simulated = a.sim_log.read_bytes().decode("cp1252").split("\r\n")[:-1]
    compare_with_simulation(simulated, actual, locale)

    shown = {line.split()[0]: line.split(" ", 1)[1] for line in driver_values(driver, "icon")}
    for source, text in (("expected-icons.txt", (a.profile / "expected-icons.txt").read_text()),
                         ("the simulated run", a.sim_output.read_text().split("\n\n")[-1])):
        if icon_states(text) != shown:
            fail(f"icons differ from {source}: {icon_states(text)} shown {shown}")

    for line in failures:
        print("FAIL:", line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
