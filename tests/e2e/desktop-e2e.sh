#!/bin/bash
# The real window on a real (virtual) desktop: Xvfb, openbox as window manager
# and, when installed, tint2 as notification-area host. Two simulated drives;
# the second one is picked through the drop-down with real mouse clicks, then
# Refresh is clicked, and the window's state must show the second drive.
# With a tray host: the entry shows the temperature in its colour, a minimize
# through the window manager hides the window, a click on the entry brings it
# back. Screenshots are kept in ARTIFACTS.
#
#   desktop-e2e.sh FIXTURE_WINDOW FIXTURE_DIR ARTIFACTS
#
# Only the processes this script starts are ended, by their PIDs.
set -u

WINDOW_BIN=$1
FIXTURES=$2
ARTIFACTS=$3
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
PIDS=()
FAILURES=0

cleanup() {
  exec 7>&- 2>/dev/null
  [ -f "$WORK/app.out" ] && cp "$WORK/app.out" "$ARTIFACTS/window-states.txt"
  [ -f "$WORK/app.err" ] && cp "$WORK/app.err" "$ARTIFACTS/window-stderr.txt"
  local pid
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
    pid=${PIDS[i]}
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

log() { echo "e2e: $*"; }
fail() {
  echo "e2e: FAIL: $*"
  FAILURES=$((FAILURES + 1))
}
die() {
  echo "e2e: FAIL: $*"
  [ -f "$WORK/app.out" ] && sed 's/^/  app: /' "$WORK/app.out" | tail -40
  [ -f "$WORK/app.err" ] && sed 's/^/  app stderr: /' "$WORK/app.err" | tail -20
  local f
  for f in xvfb openbox tint2; do
    [ -s "$WORK/$f.log" ] && sed "s/^/  $f: /" "$WORK/$f.log" | tail -20
  done
  exit 1
}

# Waits up to $2 tenths of a second for the command $1 to succeed.
wait_for() {
  local tries=$2
  while ((tries-- > 0)); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

# ---- The desktop ----------------------------------------------------------

start_display() {
  Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 8>"$WORK/displayfd" &
  PIDS+=($!)
  wait_for '[ -s "$WORK/displayfd" ]' 300 || die "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$WORK/displayfd")"
  log "display $DISPLAY"
}

start_window_manager() {
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  PIDS+=($!)
  # openbox owns the WM_S0 selection once it runs.
  wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' 300 ||
    die "openbox did not start"
}

# A tray host in the bottom panel; returns 1 when tint2 is not installed.
start_tray_host() {
  command -v tint2 >/dev/null || return 1
  cat >"$WORK/tint2rc" <<'EOF'
panel_items = S
panel_position = bottom right horizontal
panel_size = 40 24
panel_background_id = 0
systray_padding = 4 2 4
systray_icon_size = 16
systray_sort = ascending
EOF
  tint2 -c "$WORK/tint2rc" >"$WORK/tint2.log" 2>&1 &
  PIDS+=($!)
  wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && xdotool search --class tint2 >/dev/null 2>&1' 300 ||
    die "tint2 did not start"
  return 0
}

# ---- The window and its state ---------------------------------------------

start_app() {
  mkfifo "$WORK/commands"
  export XDG_RUNTIME_DIR="$WORK/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  QT_QPA_PLATFORM=xcb "$WINDOW_BIN" --commands "$@" <"$WORK/commands" >"$WORK/app.out" 2>"$WORK/app.err" &
  APP_PID=$!
  PIDS+=($APP_PID)
  exec 7>"$WORK/commands"
  wait_for 'grep -q "^ready" "$WORK/app.out"' 300 || die "the window did not come up"
  WINDOW_ID=$(awk -F'\t' '/^ready/ {print $2; exit}' "$WORK/app.out")
  wait_for 'xwininfo -id "$WINDOW_ID" 2>/dev/null | grep -q IsViewable' 300 || die "the window is not mapped"
}

# Asks the window for its state; the block lands in $WORK/state.
STATE_COUNT=0
dump() {
  STATE_COUNT=$((STATE_COUNT + 1))
  echo dump >&7
  wait_for '[ "$(grep -c "^end$" "$WORK/app.out")" -ge $((STATE_COUNT + 0)) ]' 300 || die "no state from the window"
  awk -v n="$STATE_COUNT" '/^begin$/ {k++} k == n {print} /^end$/ && k == n {exit}' "$WORK/app.out" >"$WORK/state"
}

# A field of the state: state KIND NAME -> the rest of that line.
state() { awk -F'\t' -v k="$1" -v n="$2" '$1 == k && $2 == n {sub(/^[^\t]*\t[^\t]*\t/, ""); print; exit}' "$WORK/state"; }

# The centre of a widget on screen, from its geometry line.
centre_of() { state geometry "$1" | awk '{print int($1 + $3 / 2), int($2 + $4 / 2)}'; }

click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.1
  xdotool click 1
  sleep 0.3
}

expect_state() {
  local got
  got=$(state "$1" "$2")
  if [ "$got" = "$3" ]; then
    log "ok: $1 $2 = $3"
  else
    fail "$1 $2: expected '$3', got '$got'"
  fi
}

screenshot() {
  import -window root "$ARTIFACTS/$1.png" && log "screenshot $ARTIFACTS/$1.png"
}

# ---- The cases ------------------------------------------------------------

# A fixed window: 456 x 518, minimize and close but no maximize or resize.
case_fixed_window() {
  local actions size
  actions=$(xprop -id "$WINDOW_ID" _NET_WM_ALLOWED_ACTIONS)
  size=$(xwininfo -id "$WINDOW_ID" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
  [ "$size" = 456x518 ] && log "ok: client area $size" || fail "client area $size, not 456x518"
  case "$actions" in
    *MAXIMIZE*) fail "the window manager offers maximize: $actions" ;;
    *MINIMIZE*) log "ok: minimize without maximize" ;;
    *) fail "the window manager offers no minimize: $actions" ;;
  esac
  xdotool windowsize "$WINDOW_ID" 600 700
  sleep 0.3
  size=$(xwininfo -id "$WINDOW_ID" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
  [ "$size" = 456x518 ] && log "ok: no resize" || fail "resized to $size"
}

# Picks the second drive in the real drop-down, then clicks Refresh.
case_second_drive() {
  dump
  expect_state shown DriveComboBox "Physical Drive 1"
  expect_state shown ModelNumberEdit "Corvane DT1000 HD-7200"
  read -r x y < <(centre_of DriveComboBox)
  click_at "$x" "$y"
  dump
  local item
  item=$(awk -F'\t' '$1 == "popup" && $2 == "DriveComboBox" && $3 == 1 {print $4; exit}' "$WORK/state")
  [ -n "$item" ] || die "the drop-down did not open"
  read -r ix iy iw ih <<<"$item"
  screenshot drop-down-open
  click_at $((ix + iw / 2)) $((iy + ih / 2))
  dump
  expect_state shown DriveComboBox "Physical Drive 2"
  expect_state shown ModelNumberEdit "Corvane SN500 SATA SSD 500GB"
  read -r x y < <(centre_of RefrashButton)
  click_at "$x" "$y"
  dump
  expect_state index DriveComboBox 1
  expect_state shown ModelNumberEdit "Corvane SN500 SATA SSD 500GB"
  expect_state shown SerialNumberEdit "2239E6A1B7C4"
  expect_state shown FirmwareRevEdit "SVT01B6Q"
  expect_state shown BufferSizeEdit "0"
  expect_state shown TemperatureLabel "31 °C"
  expect_state rows StatusListView 14
  expect_state shown SMARTCheckBox "S.M.A.R.T Enabled	checked"
  # The check box keeps showing the drive's flag whatever the user clicks.
  read -r x y < <(centre_of SMARTCheckBox)
  click_at "$x" "$y"
  dump
  expect_state shown SMARTCheckBox "S.M.A.R.T Enabled	checked"
  screenshot second-drive
}

# The tray entry's picture: the temperature in its range colour.
case_tray_icon() {
  dump
  local entry
  entry=$(awk -F'\t' '$1 == "trayicon" {print $3; exit}' "$WORK/state")
  expect_state tray visible=1 "added=1	index=31"
  read -r tx ty tw th <<<"$entry"
  if [ -z "$entry" ] || [ "${tw:-0}" -le 0 ]; then
    fail "the tray entry has no place on screen ($entry)"
    return
  fi
  screenshot tray
  # Count the clearly blue pixels in the entry: 31 is drawn blue.
  local blue
  blue=$(convert "$ARTIFACTS/tray.png" -crop "${tw}x${th}+${tx}+${ty}" +repage -depth 8 txt:- |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk '$3 > 150 && $1 < 100 && $2 < 160 {n++} END {print n + 0}')
  if [ "$blue" -ge 8 ]; then
    log "ok: the tray entry at $tx,$ty shows $blue blue pixels"
  else
    fail "the tray entry at $tx,$ty shows no blue number ($blue blue pixels)"
  fi
  TRAY_X=$((tx + tw / 2))
  TRAY_Y=$((ty + th / 2))
}

# Minimize through the window manager hides the window; the entry brings it back.
case_minimize_and_restore() {
  xdotool windowminimize "$WINDOW_ID"
  wait_for '! xwininfo -id "$WINDOW_ID" 2>/dev/null | grep -q IsViewable' 150 || fail "the window stays on screen after minimize"
  sleep 0.3
  dump
  expect_state form visible=0 "minimized=1	component-visible=0	component-minimized=1"
  screenshot minimized
  click_at "$TRAY_X" "$TRAY_Y"
  wait_for 'xwininfo -id "$WINDOW_ID" 2>/dev/null | grep -q IsViewable' 150 || fail "the window does not come back from the tray"
  sleep 0.3
  dump
  expect_state form visible=1 "minimized=0	component-visible=1	component-minimized=0"
  screenshot restored
}

# Closing through the window manager ends the program with code 0.
case_close() {
  xdotool windowactivate --sync "$WINDOW_ID" 2>/dev/null || true
  xdotool key --window "$WINDOW_ID" alt+F4
  local tries=50
  while ((tries-- > 0)) && kill -0 "$APP_PID" 2>/dev/null; do sleep 0.1; done
  if kill -0 "$APP_PID" 2>/dev/null; then
    fail "the window did not close on alt+F4"
    echo quit >&7
    tries=30
    while ((tries-- > 0)) && kill -0 "$APP_PID" 2>/dev/null; do sleep 0.1; done
    kill "$APP_PID" 2>/dev/null
  fi
  wait "$APP_PID"
  local code=$?
  [ "$code" -eq 0 ] && log "ok: exit code 0" || fail "exit code $code"
}

# ---- Run ------------------------------------------------------------------

start_display
start_window_manager
HAVE_TRAY=0
start_tray_host && HAVE_TRAY=1
start_app "$FIXTURES/desktop-hdd.drive" "$FIXTURES/ssd.drive"
sleep 0.5
screenshot first-drive
case_fixed_window
case_second_drive
if [ "$HAVE_TRAY" = 1 ]; then
  case_tray_icon
  [ -n "${TRAY_X:-}" ] && case_minimize_and_restore
else
  log "tint2 not installed: tray cases skipped"
fi
case_close

if [ "$FAILURES" -gt 0 ]; then
  echo "e2e: $FAILURES check(s) failed"
  sed 's/^/  app stderr: /' "$WORK/app.err" | tail -20
  exit 1
fi
log "all checks passed"
