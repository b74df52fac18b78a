#!/usr/bin/env python3
"""Runs kelvane-report on simulated drives and checks what it prints.

Usage: check_report.py REPORT GOLDEN FIXTURE...
    REPORT   the kelvane-report executable
    GOLDEN   the expected --json output for FIXTURE...
Set KELVANE_UPDATE_GOLDEN=1 to rewrite GOLDEN from the current output.
"""
import difflib
import json
import os
import subprocess
import sys

DRIVE_KEYS = {"entry", "path", "device", "temperature", "smart", "model", "serial", "firmware",
              "buffer_size", "cylinders", "heads", "sectors_per_track", "attributes", "panel",
              "panel_hint"}
ROW_KEYS = {"id", "name", "value", "worst", "threshold", "description"}

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, file=sys.stderr)


def run(report, *args):
    return subprocess.run([report, *args], capture_output=True, timeout=60)


def check_shape(doc):
    if not isinstance(doc, dict) or set(doc) != {"drives"} or not isinstance(doc["drives"], list):
        fail('the top level is not {"drives": [...]}')
        return
    for n, drive in enumerate(doc["drives"]):
        if set(drive) != DRIVE_KEYS:
            fail(f"drive {n}: keys {sorted(set(drive) ^ DRIVE_KEYS)} differ")
            continue
        if not isinstance(drive["smart"], bool):
            fail(f"drive {n}: smart is not true/false")
        for key in DRIVE_KEYS - {"smart", "attributes"}:
            if not isinstance(drive[key], str):
                fail(f"drive {n}: {key} is not a string")
        for r, row in enumerate(drive["attributes"]):
            if set(row) != ROW_KEYS or not all(isinstance(v, str) for v in row.values()):
                fail(f"drive {n} row {r}: not six strings {sorted(ROW_KEYS)}")


def parse(raw, what):
    text = raw.decode("utf-8")  # raises on anything but UTF-8
    for c in text:
        if ord(c) < 0x20 and c != "\n":
            fail(f"{what}: raw control character U+{ord(c):04X} in the output")
            break
    return json.loads(text)


def main():
    report, golden, fixtures = sys.argv[1], sys.argv[2], sys.argv[3:]

    result = run(report, "--json", "--fixtures", *fixtures)
    if result.returncode != 0:
        fail(f"--json exited with {result.returncode}: {result.stderr.decode(errors='replace')}")
        return
    doc = parse(result.stdout, "--json")
    check_shape(doc)
    actual = json.dumps(doc, indent=1, ensure_ascii=False, sort_keys=True).splitlines()
    if os.environ.get("KELVANE_UPDATE_GOLDEN") == "1":
        with open(golden, "wb") as f:
            f.write(result.stdout)
    with open(golden, "rb") as f:
        expected_doc = json.loads(f.read().decode("utf-8"))
    expected = json.dumps(expected_doc, indent=1, ensure_ascii=False, sort_keys=True).splitlines()
    if actual != expected:
        fail("--json output differs from " + golden + ":\n" + "\n".join(
            difflib.unified_diff(expected, actual, "expected", "actual", lineterm="")))

    # No drive at all: an empty list, and still exit status 0.
    no_drive = [f for f in fixtures if f.endswith("no-drive.drive")]
    if no_drive:
        result = run(report, "--json", "--fixtures", no_drive[0])
        if result.returncode != 0 or parse(result.stdout, "no drive") != {"drives": []}:
            fail("no drive: expected {\"drives\": []} and status 0")
        result = run(report, "--fixtures", no_drive[0])
        if result.returncode != 0 or b"No physical drive" not in result.stdout:
            fail("no drive, text: expected the no-drive line and status 0")

    # The text form names every drive entry and its model.
    result = run(report, "--fixtures", *fixtures)
    text = result.stdout.decode("utf-8")
    if result.returncode != 0:
        fail(f"text form exited with {result.returncode}")
    for drive in doc.get("drives", []):
        for key in ("entry", "model"):
            if drive[key] and drive[key] not in text:
                fail(f"text form lacks {drive[key]!r}")

    # Bad arguments: a message on stderr and a non-zero status.
    for args in (["--bogus"], ["--fixtures"], ["stray"], ["--fixtures", "/nonexistent.drive"]):
        result = run(report, *args)
        if result.returncode == 0 or not result.stderr.strip():
            fail(f"{args}: expected a message and a non-zero status")
    result = run(report, "--help")
    if result.returncode != 0 or b"--fixtures" not in result.stdout:
        fail("--help: expected the usage with --fixtures and status 0")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
