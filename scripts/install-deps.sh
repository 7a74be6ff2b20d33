#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages. Quick when all is present.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev googletest zlib1g-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 xvfb xdotool imagemagick fonts-wqy-microhei
  clang libclang-rt-14-dev llvm nsis)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# Another package manager (an automatic update, a second build) may hold the package lock for a
# while: wait for it, up to LOCK_WAIT seconds, rather than failing at once.
LOCK_WAIT=${LOCK_WAIT:-600}
apt_waiting() {
  local waited=0 out rc
  while :; do
    out=$("$@" 2>&1) && { [[ -n "$out" ]] && echo "$out"; return 0; }
    rc=$?
    if ! grep -qiE 'could not get lock|unable to (acquire|lock)' <<<"$out" || ((waited >= LOCK_WAIT)); then
      echo "$out" >&2
      ((waited >= LOCK_WAIT)) && echo "The package lock was still held after ${LOCK_WAIT} s." >&2
      return $rc
    fi
    ((waited == 0)) && echo "Another package manager holds the package lock; waiting for it (up to ${LOCK_WAIT} s)..." >&2
    sleep 5; waited=$((waited + 5))
  done
}
apt_waiting $sudo apt-get update -qq
apt_waiting $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
