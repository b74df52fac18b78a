#!/usr/bin/env python3
"""Reads QEMU's emulated ATA drives with kelvane-report inside a guest and checks
what it reports.

One guest run carries every case (see guest-cases.sh); its console goes to a
log file, which the checks then read:

  vm_cases.py run --harness run-guest --report kelvane-report --log guest.log
  vm_cases.py check identity|drive-order|attributes|smart-off|no-rawio \
      --log guest.log --catalogue tests/fixtures/catalogue.tsv
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time

# The drives of the guest, in the order they are attached. Each text is given
# to QEMU as is; QEMU cuts it to the ATA field's length (model 40, serial 20,
# firmware 8) and pads it with blanks. `geometry` is (cylinders, heads,
# sectors per track) when the disk sets it, None for QEMU's own guess.
DISKS = [
    # Blanks inside the model stay; short texts come back without QEMU's padding.
    dict(bus="piix", model="KELVANE  ALPHA  DISK", serial="KVA-0001", firmware="A1.0",
         geometry=(65, 16, 63)),
    # Every field filled to the last byte: nothing cut, nothing trimmed.
    dict(bus="piix", model="KELVANE-BETA-FORTY-CHARACTER-MODEL-NAME!",
         serial="KVB0123456789ABCDEFG", firmware="B2.00.08", geometry=(520, 2, 63)),
    # A model longer than the field (QEMU cuts it, leaving a blank at the end)
    # and a serial with leading blanks.
    dict(bus="ahci", model="KELVANE GAMMA WITH A MODEL NAME THAT IS LONGER THAN FORTY",
         serial="  KVG-7", firmware="G7", geometry=None),
    # SMART is switched off on this one inside the guest before the last read.
    dict(bus="ahci", model="KELVANE DELTA", serial="KVD-SMART-OFF", firmware="D4",
         geometry=(1092, 4, 15)),
]
SMART_OFF_SERIAL = "KVD-SMART-OFF"
# An empty CD-ROM drive, which the drive list leaves out.
CDROMS = ["piix"]

# What QEMU 7.2's emulated disk reports.
QEMU_ATTRIBUTE_IDS = [1, 3, 4, 5, 9, 12, 190]
QEMU_BUFFER_SIZE = "512"

CAP_SYS_RAWIO = 17
PANEL_HINT_MIN = 326
DISK_SIZE = "32M"


def expected_identity(disk):
    """The texts as the drive must report them: cut to the field, trimmed."""
    def text(value, width):
        return value[:width].strip(" ")
    return dict(model=text(disk["model"], 40), serial=text(disk["serial"], 20),
                firmware=text(disk["firmware"], 8))


def disk_option(disk):
    props = [f"model={disk['model']}", f"serial={disk['serial']}", f"ver={disk['firmware']}"]
    if disk["geometry"]:
        cyls, heads, secs = disk["geometry"]
        props += [f"cyls={cyls}", f"heads={heads}", f"secs={secs}"]
    for p in props:
        if "," in p:
            raise ValueError(f"a comma would split the QEMU option: {p}")
    return f"{disk['bus']}:" + ",".join(props)


# ---------------------------------------------------------------- the guest run

def run(args):
    log = args.log
    for stale in (log, log + ".failed"):
        if os.path.exists(stale):
            os.remove(stale)
    payload = os.path.join(os.path.dirname(os.path.abspath(__file__)), "guest-cases.sh")
    tools = []
    for name in ("smartctl", "capsh"):
        path = shutil.which(name) or shutil.which(name, path="/usr/sbin:/sbin")
        if not path:
            sys.exit(f"vm_cases: {name} not found (scripts/install-deps.sh test installs it)")
        tools.append(path)
    cmd = [args.harness, "--payload", payload, "--timeout", str(args.timeout),
           "--disk-size", DISK_SIZE,
           "--include", f"{args.report}:/bin/kelvane-report",
           "--env", f"KV_SMART_OFF_SERIAL={SMART_OFF_SERIAL}",
           "--env", f"KV_TIMING_RUNS={args.timing_runs}" if args.timing_runs else "KV_TIMING_RUNS="]
    for tool in tools:
        cmd += ["--include", tool]
    for disk in DISKS:
        cmd += ["--disk", disk_option(disk)]
    for bus in CDROMS:
        cmd += ["--cdrom", bus]
    start = time.monotonic()
    proc = subprocess.run(cmd, stdout=subprocess.PIPE, text=True, errors="replace")
    wall = time.monotonic() - start
    if proc.returncode != 0:
        with open(log + ".failed", "w") as f:
            f.write(proc.stdout)
        sys.exit(f"vm_cases: the guest run failed (exit status {proc.returncode}); "
                 f"console in {log}.failed")
    with open(log + ".tmp", "w") as f:
        f.write(proc.stdout)
    os.replace(log + ".tmp", log)
    report_figures(proc.stdout, wall)
    print(f"vm_cases: guest log in {log}")


def report_figures(console, wall):
    host = re.search(r"^==KV-HOST wall_ms=(\d+)", console, re.M)
    print(f"whole run (initramfs, boot, payload, power-off): {wall:.1f} s"
          + (f"; QEMU alone {int(host.group(1)) / 1000:.1f} s" if host else ""))
    drives = len(DISKS)
    per_run = {}
    for m in re.finditer(r"^==KV-TIMING (\S+) runs=(\d+) failed=(\d+) ns=(\d+)==", console, re.M):
        name, runs, failed, ns = m.group(1), int(m.group(2)), int(m.group(3)), int(m.group(4))
        per_run[name] = ns / runs / 1e6
        print(f"guest: {name}: {per_run[name]:.1f} ms a run over {runs} runs ({failed} failed)")
    if {"report-wrapped", "report-wrapped-no-rawio"} <= set(per_run):
        # Without CAP_SYS_RAWIO the kernel refuses every ATA command at once,
        # so that run is the report's own cost: start-up, drive list, opens, output.
        commands = (per_run["report-wrapped"] - per_run["report-wrapped-no-rawio"]) / drives
        print(f"guest: IDENTIFY, SMART READ DATA and SMART READ ATTRIBUTE THRESHOLDS: "
              f"about {commands:.1f} ms a drive ({drives} drives)")


# ---------------------------------------------------------------- the log

class Guest:
    """The blocks of one guest console log."""

    def __init__(self, path):
        try:
            with open(path) as f:
                text = f.read()
        except FileNotFoundError:
            sys.exit(f"vm_cases: no guest log at {path}: the guest run (test vm.guest) "
                     "did not succeed")
        self.blocks = {}
        for m in re.finditer(r"^==KV-BEGIN (\S+)==\n(.*?)^==KV-END \1 rc=(\d+)==$",
                             text, re.M | re.S):
            self.blocks[m.group(1)] = (m.group(2), int(m.group(3)))
        if "block-devices" not in self.blocks:
            sys.exit(f"vm_cases: {path} holds no guest output")

    def block(self, name):
        if name not in self.blocks:
            fail(f"the guest printed no '{name}' block")
        return self.blocks[name]

    def block_devices(self):
        return self.block("block-devices")[0].split()

    def disks(self):
        """The guest's whole disks, in natural order (sda ... sdz, sdaa ...)."""
        names = [n for n in self.block_devices() if re.fullmatch(r"sd[a-z]+", n)]
        return sorted(names, key=lambda n: (len(n), n))

    def report(self, name):
        out, rc = self.block(name)
        check(rc == 0, f"{name}: kelvane-report ended with status {rc}"
              + (" (timed out)" if rc == 143 else "") + f"\n{out}")
        start, end = out.find("{"), out.rfind("}")
        check(start >= 0 and end > start, f"{name}: no JSON in the output:\n{out}")
        try:
            return json.loads(out[start:end + 1])["drives"]
        except (ValueError, KeyError) as e:
            fail(f"{name}: unreadable report ({e}):\n{out}")

    def smartctl(self, dev):
        """smartctl -i -A of one disk: its identity and its attribute rows."""
        out, rc = self.block(f"smartctl-{dev}")
        check(rc == 0, f"smartctl -i -A /dev/{dev} failed with status {rc}:\n{out}")
        info = {}
        for key, field in (("Device Model", "model"), ("Serial Number", "serial"),
                           ("Firmware Version", "firmware")):
            m = re.search(rf"^{key}:\s*(.*?)\s*$", out, re.M)
            info[field] = m.group(1) if m else None
        rows = []
        table = re.search(r"^ID# ATTRIBUTE_NAME.*?\n(.*?)(?:\n\n|\Z)", out, re.M | re.S)
        check(table is not None, f"smartctl -A /dev/{dev} printed no attribute table:\n{out}")
        for line in table.group(1).splitlines():
            f = line.split()
            if len(f) >= 6 and f[0].isdigit():
                rows.append(dict(id=int(f[0]), value=int(f[3]), worst=int(f[4]),
                                 threshold=int(f[5])))
        info["rows"] = rows
        return info

    def disk_by_serial(self):
        """Which of DISKS each guest disk is, by the serial smartctl reads."""
        found = {}
        for dev in self.disks():
            serial = self.smartctl(dev)["serial"]
            matches = [d for d in DISKS if expected_identity(d)["serial"] == serial]
            check(len(matches) == 1, f"/dev/{dev} has serial {serial!r}, not one of the test's disks")
            found[dev] = matches[0]
        return found


class Failure(Exception):
    pass


def fail(message):
    raise Failure(message)


def check(condition, message):
    if not condition:
        fail(message)


def by_device(drives, name):
    table = {}
    for d in drives:
        check(d.get("device") not in table, f"{name}: {d.get('device')} listed twice")
        table[d.get("device")] = d
    return table


def load_catalogue(path):
    names, descriptions = {}, {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            ident = int(fields[0])
            names[ident] = fields[1]
            descriptions[ident] = fields[2] if len(fields) > 2 else ""
    return names, descriptions


# ---------------------------------------------------------------- the checks

def check_identity(guest, _args):
    """Model, serial, firmware, geometry and buffer size read back exactly."""
    drives = by_device(guest.report("report"), "report")
    for dev, disk in guest.disk_by_serial().items():
        want = expected_identity(disk)
        got = drives.get(f"/dev/{dev}")
        check(got is not None, f"/dev/{dev} ({want['model']}) is not in the report")
        seen = guest.smartctl(dev)
        for field in ("model", "serial", "firmware"):
            check(seen[field] == want[field],
                  f"/dev/{dev}: smartctl reads {field} {seen[field]!r}, the disk was given "
                  f"{want[field]!r}: the test's expectation is wrong")
            check(got[field] == want[field],
                  f"/dev/{dev}: {field} reads back {got[field]!r}, expected {want[field]!r}")
        if disk["geometry"]:
            for field, value in zip(("cylinders", "heads", "sectors_per_track"), disk["geometry"]):
                check(got[field] == str(value),
                      f"/dev/{dev}: {field} reads back {got[field]!r}, expected '{value}'")
        else:
            for field in ("cylinders", "heads", "sectors_per_track"):
                check(got[field] not in ("", "0"), f"/dev/{dev}: no {field} ({got[field]!r})")
        check(got["buffer_size"] == QEMU_BUFFER_SIZE,
              f"/dev/{dev}: buffer size {got['buffer_size']!r}, expected {QEMU_BUFFER_SIZE!r}")
        check(got["smart"] is True, f"/dev/{dev}: the SMART flag is {got['smart']!r}, expected true")
        print(f"/dev/{dev}: {got['model']!r} {got['serial']!r} {got['firmware']!r} "
              f"{got['cylinders']}/{got['heads']}/{got['sectors_per_track']} buffer {got['buffer_size']}")


def check_drive_order(guest, _args):
    """Physical Drive 1, 2, ... are sda, sdb, ... ; the CD-ROM is left out."""
    drives = guest.report("report")
    disks = guest.disks()
    check(any(n.startswith("sr") for n in guest.block_devices()),
          f"the guest has no CD-ROM drive to leave out: {guest.block_devices()}")
    check(len(disks) == len(DISKS), f"the guest sees {disks}, expected {len(DISKS)} disks")
    listed = [d.get("device") for d in drives]
    check(listed == [f"/dev/{n}" for n in disks],
          f"the report lists {listed}, expected {['/dev/' + n for n in disks]}")
    identities = guest.disk_by_serial()
    for i, (drive, dev) in enumerate(zip(drives, disks)):
        check(drive["entry"] == f"Physical Drive {i + 1}",
              f"entry {i}: {drive['entry']!r}, expected 'Physical Drive {i + 1}'")
        check(drive["path"] == f"\\\\.\\PhysicalDrive{i}",
              f"entry {i}: path {drive['path']!r}, expected '\\\\.\\PhysicalDrive{i}'")
        check(drive["serial"] == expected_identity(identities[dev])["serial"],
              f"{drive['entry']} ({dev}) shows serial {drive['serial']!r}, "
              f"but {dev} is {expected_identity(identities[dev])['serial']!r}")
        print(f"{drive['entry']}: {drive['path']} {drive['device']} {drive['model']!r}")


def expect_rows(name, dev, got, want_rows, catalogue):
    names, descriptions = catalogue
    ids = [r["id"] for r in want_rows]
    check(ids == QEMU_ATTRIBUTE_IDS,
          f"/dev/{dev}: smartctl lists ids {ids}, QEMU 7.2 reports {QEMU_ATTRIBUTE_IDS}")
    rows = got["attributes"]
    check(len(rows) == len(want_rows),
          f"{name} /dev/{dev}: {len(rows)} rows, smartctl shows {len(want_rows)}: {rows}")
    for row, want in zip(rows, want_rows):
        expected = dict(id=f"{want['id']:02X}", name=names[want["id"]], value=str(want["value"]),
                        worst=str(want["worst"]), threshold=str(want["threshold"]),
                        description=descriptions[want["id"]])
        for field, value in expected.items():
            check(row.get(field) == value,
                  f"{name} /dev/{dev} row {expected['id']}: {field} {row.get(field)!r}, "
                  f"expected {value!r}")
    # No 194 or 231 among the rows, so there is no temperature.
    check(not {194, 231} & set(ids), f"/dev/{dev}: a temperature attribute appeared: extend the test")
    check(got["temperature"] == "",
          f"{name} /dev/{dev}: temperature {got['temperature']!r} without a 194 or 231 row")
    panel = descriptions[want_rows[0]["id"]]
    check(got["panel"] == panel, f"{name} /dev/{dev}: panel {got['panel']!r}, expected the "
          f"description of the first row {panel!r}")
    hint = panel if len(panel) >= PANEL_HINT_MIN else ""
    check(got["panel_hint"] == hint, f"{name} /dev/{dev}: panel hint {got['panel_hint']!r}, "
          f"expected {hint!r}")


def check_attributes(guest, args):
    """Every drive's rows are those smartctl reads in the same guest."""
    catalogue = load_catalogue(args.catalogue)
    drives = by_device(guest.report("report"), "report")
    for dev in guest.disks():
        got = drives.get(f"/dev/{dev}")
        check(got is not None, f"/dev/{dev} is not in the report")
        expect_rows("report", dev, got, guest.smartctl(dev)["rows"], catalogue)
        print(f"/dev/{dev}: " + ", ".join(
            f"{r['id']} {r['value']}/{r['worst']}/{r['threshold']}" for r in got["attributes"]))


def check_smart_off(guest, args):
    """SMART off: identity still reads, no rows, no hang; the other drives unchanged."""
    catalogue = load_catalogue(args.catalogue)
    out, rc = guest.block("smart-off")
    check(rc == 0, f"smartctl -s off failed in the guest (status {rc}):\n{out}")
    m = re.search(r"^device=/dev/(\S+)$", out, re.M)
    check(m is not None, f"the smart-off step names no device:\n{out}")
    off = m.group(1)
    after, after_rc = guest.block("smartctl-after-off")
    # QEMU keeps its IDENTIFY page as it was, so smartctl still calls SMART
    # enabled there; the SMART reads themselves are refused.
    check(after_rc != 0 and "Read SMART Data failed" in after
          and "ID# ATTRIBUTE_NAME" not in after,
          f"SMART still answers on /dev/{off} after smartctl -s off (status {after_rc}):\n{after}")
    identities = guest.disk_by_serial()
    drives = by_device(guest.report("report-smart-off"), "report-smart-off")
    check(sorted(drives) == [f"/dev/{d}" for d in guest.disks()],
          f"after SMART off the report lists {sorted(drives)}")
    for dev in guest.disks():
        got = drives[f"/dev/{dev}"]
        want = expected_identity(identities[dev])
        for field in ("model", "serial", "firmware"):
            check(got[field] == want[field],
                  f"/dev/{dev} after SMART off: {field} {got[field]!r}, expected {want[field]!r}")
        if dev == off:
            check(got["attributes"] == [],
                  f"/dev/{dev} has SMART off but shows rows: {got['attributes']}")
            check(got["temperature"] == "", f"/dev/{dev}: temperature {got['temperature']!r}")
            check(got["buffer_size"] == QEMU_BUFFER_SIZE, f"/dev/{dev}: buffer size {got['buffer_size']!r}")
            print(f"/dev/{dev} (SMART off): {got['model']!r}, no rows")
        else:
            expect_rows("report-smart-off", dev, got, guest.smartctl(dev)["rows"], catalogue)


def check_no_rawio(guest, _args):
    """Without CAP_SYS_RAWIO the reads fail cleanly: no rows, no identity, no crash."""
    out, _ = guest.block("report-no-rawio")
    caps = dict(re.findall(r"^(Cap\w+):\s*([0-9a-f]+)$", out, re.M))
    check(set(caps) == {"CapEff", "CapBnd"}, f"the capability lines are missing:\n{out}")
    for name, mask in caps.items():
        check(not int(mask, 16) >> CAP_SYS_RAWIO & 1,
              f"{name} {mask} still holds CAP_SYS_RAWIO: the case did not run without it")
    check(int(caps["CapEff"], 16) != 0, "CapEff is empty: the case dropped every capability")
    drives = guest.report("report-no-rawio")
    check(len(drives) <= len(DISKS), f"{len(drives)} entries for {len(DISKS)} disks")
    for i, got in enumerate(drives):
        check(got["entry"] == f"Physical Drive {i + 1}", f"entry {i}: {got['entry']!r}")
        check(got["attributes"] == [], f"{got['device']} shows rows without CAP_SYS_RAWIO: "
              f"{got['attributes']}")
        for field in ("model", "serial", "firmware", "temperature"):
            check(got[field] == "", f"{got['device']}: {field} {got[field]!r} without CAP_SYS_RAWIO")
        for field in ("cylinders", "heads", "sectors_per_track", "buffer_size"):
            check(got[field] == "0", f"{got['device']}: {field} {got[field]!r} without CAP_SYS_RAWIO")
    print(f"without CAP_SYS_RAWIO: {len(drives)} entries listed, none with rows or identity")


CHECKS = {
    "identity": check_identity,
    "drive-order": check_drive_order,
    "attributes": check_attributes,
    "smart-off": check_smart_off,
    "no-rawio": check_no_rawio,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run", help="boot the guest once and keep its console log")
    r.add_argument("--harness", required=True)
    r.add_argument("--report", required=True, help="the kelvane-report binary")
    r.add_argument("--log", required=True)
    r.add_argument("--timeout", type=int, default=240)
    r.add_argument("--timing-runs", type=int, default=0,
                   help="also time this many report runs inside the guest")
    c = sub.add_parser("check", help="check one case in a guest log")
    c.add_argument("case", choices=sorted(CHECKS))
    c.add_argument("--log", required=True)
    c.add_argument("--catalogue", required=True)
    args = parser.parse_args()
    if args.command == "run":
        run(args)
        return 0
    guest = Guest(args.log)
    try:
        CHECKS[args.case](guest, args)
    except Failure as e:
        print(f"FAIL {args.case}: {e}", file=sys.stderr)
        return 1
    print(f"ok {args.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
