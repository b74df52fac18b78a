# Runs inside the guest (sourced by run-guest's /init, as root): reads the
# emulated drives with kelvane-report and with the guest's own smartctl, in
# these steps, each printed as one kv_block:
#   smartctl-sdX         smartctl -i -A for every disk, before anything else
#   report               kelvane-report --json as root with all capabilities
#   report-no-rawio      the same without CAP_SYS_RAWIO (dropped with capsh)
#   timing-*             the time of KV_TIMING_RUNS runs of a few commands
#   smart-off            smartctl -s off on the disk whose serial is KV_SMART_OFF_SERIAL
#   smartctl-after-off   smartctl -i -A on that disk: the SMART read is refused
#   report-smart-off     kelvane-report --json again
# Every report runs under a timeout, so a read that hangs shows as rc=143.

kv_report() {
  timeout "${KV_REPORT_TIMEOUT:-60}" kelvane-report --json
}

# A monotonic clock in nanoseconds: busybox's date has no %N.
kv_now() {
  if [ -r /proc/timer_list ]; then
    sed -n 's/^now at \([0-9]*\) nsecs$/\1/p' /proc/timer_list | head -n 1
  else
    awk '{ printf "%d\n", $1 * 1000000000 }' /proc/uptime
  fi
}

# kv_time NAME COMMAND...: runs COMMAND KV_TIMING_RUNS times, output dropped.
kv_time() {
  kv_tname=$1; shift
  kv_runs=${KV_TIMING_RUNS:-10}
  kv_t0=$(kv_now)
  kv_i=0
  kv_failed=0
  while [ $kv_i -lt "$kv_runs" ]; do
    "$@" >/dev/null 2>&1 || kv_failed=$((kv_failed + 1))
    kv_i=$((kv_i + 1))
  done
  kv_t1=$(kv_now)
  echo "==KV-TIMING $kv_tname runs=$kv_runs failed=$kv_failed ns=$((kv_t1 - kv_t0))=="
}

kv_disks=$(cd /sys/block && ls -d sd* 2>/dev/null)
for d in $kv_disks; do
  kv_block "smartctl-$d" smartctl -i -A "/dev/$d"
done

kv_block report kv_report

kv_no_rawio() {
  capsh --drop=cap_sys_rawio --shell=/bin/sh -- -c \
    'grep -E "^Cap(Eff|Bnd):" /proc/self/status; exec timeout "${KV_REPORT_TIMEOUT:-60}" kelvane-report --json'
}
kv_block report-no-rawio kv_no_rawio

if [ -n "$KV_TIMING_RUNS" ]; then
  kv_first=$(echo $kv_disks | cut -d' ' -f1)
  kv_time report kv_report
  # The same wrapper twice, once without CAP_SYS_RAWIO, where the kernel
  # refuses every ATA command at once: the difference is the commands' cost.
  # The two alternate, so that a change in the host's load hits both alike.
  kv_with=0 kv_without=0 kv_i=0
  while [ $kv_i -lt "$KV_TIMING_RUNS" ]; do
    kv_t0=$(kv_now)
    capsh --drop=cap_wake_alarm --shell=/bin/sh -- -c 'exec kelvane-report --json' >/dev/null 2>&1
    kv_t1=$(kv_now)
    capsh --drop=cap_sys_rawio --shell=/bin/sh -- -c 'exec kelvane-report --json' >/dev/null 2>&1
    kv_t2=$(kv_now)
    kv_with=$((kv_with + kv_t1 - kv_t0))
    kv_without=$((kv_without + kv_t2 - kv_t1))
    kv_i=$((kv_i + 1))
  done
  echo "==KV-TIMING report-wrapped runs=$KV_TIMING_RUNS failed=0 ns=$kv_with=="
  echo "==KV-TIMING report-wrapped-no-rawio runs=$KV_TIMING_RUNS failed=0 ns=$kv_without=="
  kv_time smartctl-i-A-one-disk smartctl -i -A "/dev/$kv_first"
fi

kv_off=""
for d in $kv_disks; do
  if smartctl -i "/dev/$d" | grep -q "^Serial Number: *$KV_SMART_OFF_SERIAL\$"; then kv_off=$d; fi
done
if [ -n "$kv_off" ]; then
  kv_block smart-off sh -c "echo device=/dev/$kv_off; smartctl -s off /dev/$kv_off"
  kv_block smartctl-after-off smartctl -i -A "/dev/$kv_off"
  kv_block report-smart-off kv_report
fi
