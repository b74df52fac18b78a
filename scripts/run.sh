#!/usr/bin/env bash
# Installs what is missing, builds Kelvane and starts it: the window on the
# user's display, or the console report where there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake --preset app >/dev/null
cmake --build --preset app

bin=build/app/app
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$bin/kelvane" ]; then
  exec "$bin/kelvane"
fi
echo "No display here (DISPLAY and WAYLAND_DISPLAY are unset): printing kelvane-report instead."
exec "$bin/kelvane-report"
