#!/bin/bash
# Figures of the desktop window on the Qt backend, offscreen, on simulated
# drives (kelvane-fixture-window):
#   - start-up to the first paint of the filled window, against a bare Qt
#     window of the same size, empty and with one line of text (which sets
#     up the fonts), measured in the same run (medians of RUNS);
#   - peak resident memory of both;
#   - CPU time of one refresh of a 30-attribute drive, with and without the
#     repaint that follows;
#   - wake-ups of the idle program between timer ticks: the event loop's own
#     count and the poll-family system calls strace sees, over IDLE seconds.
#
#   tests/bench/desktop-figures.sh [BUILD_DIR] [RUNS] [IDLE]
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$ROOT/build/default}
RUNS=${2:-7}
IDLE=${3:-10}
FIXTURE_WINDOW=$BUILD/tests/e2e/kelvane-fixture-window
BARE_WINDOW=$BUILD/tests/e2e/kelvane-bare-window
FIXTURES=$ROOT/tests/fixtures
for bin in "$FIXTURE_WINDOW" "$BARE_WINDOW"; do
  [ -x "$bin" ] || { echo "missing $bin (build the kelvane-fixture-window and kelvane-bare-window targets)"; exit 1; }
done

export QT_QPA_PLATFORM=offscreen
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# One start: prints "startup-ms peak-rss-kB".
run_once() {
  /usr/bin/time -f 'rss %M' -o "$WORK/time" "$@" >"$WORK/out" 2>/dev/null
  echo "$(awk -F'\t' '/^startup-ms/ {print $2}' "$WORK/out") $(awk '/^rss/ {print $2}' "$WORK/time")"
}

: >"$WORK/bare" && : >"$WORK/text" && : >"$WORK/kelvane"
for ((i = 0; i < RUNS; i++)); do
  # Alternate, so that all see the same machine load.
  run_once "$BARE_WINDOW" >>"$WORK/bare"
  run_once "$BARE_WINDOW" --text >>"$WORK/text"
  run_once "$FIXTURE_WINDOW" --startup-time "$FIXTURES/desktop-hdd.drive" >>"$WORK/kelvane"
done
bare_ms=$(cut -d' ' -f1 "$WORK/bare" | median)
kv_ms=$(cut -d' ' -f1 "$WORK/kelvane" | median)
text_ms=$(cut -d' ' -f1 "$WORK/text" | median)
bare_rss=$(cut -d' ' -f2 "$WORK/bare" | median)
kv_rss=$(cut -d' ' -f2 "$WORK/kelvane" | median)
echo "start-up to first paint (median of $RUNS, offscreen):"
printf '  bare Qt window        %7.1f ms\n' "$bare_ms"
printf '  bare window with text %7.1f ms\n' "$text_ms"
printf '  Kelvane, one drive    %7.1f ms   (%.2f x the bare window, %.2f x with text; aim 1.3 x)\n' \
  "$kv_ms" "$(echo "$kv_ms / $bare_ms" | bc -l)" "$(echo "$kv_ms / $text_ms" | bc -l)"
echo "peak resident memory (median):"
printf '  bare Qt window        %7.1f MB\n' "$(echo "$bare_rss / 1024" | bc -l)"
printf '  Kelvane, one drive    %7.1f MB   (aim under 40 MB)\n' "$(echo "$kv_rss / 1024" | bc -l)"

"$FIXTURE_WINDOW" --refresh-cost 500 "$FIXTURES/thirty-attributes.drive" >"$WORK/refresh" 2>/dev/null
echo "one refresh of a $(awk -F'\t' '/^rows/ {print $2}' "$WORK/refresh")-attribute drive (mean of 500, CPU time):"
printf '  refresh alone         %7.1f us   (aim under 1000 us)\n' \
  "$(awk -F'\t' '/^refresh-cpu-us/ {print $2}' "$WORK/refresh")"
printf '  refresh and repaint   %7.1f us\n' \
  "$(awk -F'\t' '/^refresh-and-paint-cpu-us/ {print $2}' "$WORK/refresh")"

echo "idle between timer ticks, $IDLE s (timer period 30 s):"
if command -v strace >/dev/null; then
  strace -f -qq -e trace=poll,ppoll,select,pselect6,epoll_wait,epoll_pwait -o "$WORK/strace" \
    "$FIXTURE_WINDOW" --idle-wakeups "$IDLE" "$FIXTURES/desktop-hdd.drive" >"$WORK/idle" 2>/dev/null
  # Poll calls that returned in the counted window: the first one second is start-up.
  polls=$(wc -l <"$WORK/strace")
else
  "$FIXTURE_WINDOW" --idle-wakeups "$IDLE" "$FIXTURES/desktop-hdd.drive" >"$WORK/idle" 2>/dev/null
  polls="(strace not installed)"
fi
echo "  event-loop wake-ups   $(awk -F'\t' '/^idle-wakeups/ {print $2}' "$WORK/idle")   (1 is the timeout that ends the count)"
echo "  poll-family calls     $polls   (whole run, start-up included, all threads)"
