#!/usr/bin/env bash
# Release packages under build/dist: a portable zip per bitness (the program, its Resources and BIOS
# folders, a readme and the licence) and one installer for both bitnesses.
# DIST_TEST_AMD64=1 also makes build/dist/test/setup-amd64.exe, the same installer on the 64-bit
# stub, for tests on a machine that runs no 32-bit code.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
command -v makensis >/dev/null || { echo "makensis missing: run scripts/install-deps.sh" >&2; exit 1; }
scripts/build.sh native win32 win64

version=$(sed -nE 's/^#define CORALVANE_VERSION_TEXT "([0-9.]+)"/\1/p' resources/Version.h)
short=${version%.0}
dist="$ROOT/build/dist"
stage="$dist/stage"
rm -rf "$dist"; mkdir -p "$stage"
declare -A strip=([win32]=i686-w64-mingw32-strip [win64]=x86_64-w64-mingw32-strip)
for arch in win32 win64; do
  dir="$stage/$arch"
  mkdir -p "$dir/BIOS"
  "${strip[$arch]}" -o "$dir/Coralvane.exe" "build/$arch/src/Coralvane.exe"
  cp -r "build/$arch/src/Resources" "$dir/Resources"
  cp packaging/README.txt packaging/LICENSE.txt "$dir/"
  printf '%s\r\n' 'Put NVIDIA'"'"'s nvflash.exe (32-bit) or nvflash64.exe (64-bit) here for BIOS backup and flashing.' \
    >"$dir/BIOS/README.txt"
  sed -i 's/$/\r/' "$dir/README.txt" "$dir/LICENSE.txt"
  name="Coralvane-$short-$arch"
  rm -rf "$dist/$name"; cp -r "$dir" "$dist/$name"
  (cd "$dist" && cmake -E tar cf "$name.zip" --format=zip "$name") && rm -rf "$dist/${name:?}"
  echo "$dist/$name.zip"
done
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$dist/Coralvane-$short-setup.exe" \
  packaging/Coralvane.nsi
echo "$dist/Coralvane-$short-setup.exe"
if [[ -n ${DIST_TEST_AMD64:-} ]]; then
  mkdir -p "$dist/test"
  makensis -V2 -DAMD64 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$dist/test/setup-amd64.exe" \
    packaging/Coralvane.nsi
fi
