#!/usr/bin/env bash
# Installs the Debian packages Kelvane needs, and only those missing.
#   scripts/install-deps.sh run    build and run the program
#   scripts/install-deps.sh test   build and run the whole test suite
set -euo pipefail

profile=${1:-run}

build=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core)
testing=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth openbox tint2 xdotool x11-apps x11-utils imagemagick
  qemu-system-x86 linux-image-amd64 busybox-static cpio kmod smartmontools libcap2-bin python3)

case "$profile" in
  run) wanted=("${build[@]}") ;;
  test) wanted=("${build[@]}" "${testing[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root (apt-get install ${missing[*]}) or run this script as root." >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
