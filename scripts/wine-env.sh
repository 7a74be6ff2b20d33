# Sourced by the scripts that run Windows programs: a private Wine prefix under build/ with the
# simulated driver installed in its system directories (the only place the program loads it from).
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$ROOT/build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko install prompts in a headless prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="

# The system's `wine` starts the 32-bit loader whenever it is installed; on a kernel that runs no
# 32-bit code that fails for every program. There the 64-bit loader runs the 64-bit programs.
if [[ -x /usr/lib/wine/wine && -x /usr/lib/wine/wine64 ]] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  mkdir -p "$ROOT/build/bin"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$ROOT/build/bin/wine"
  chmod +x "$ROOT/build/bin/wine"
  export PATH="$ROOT/build/bin:$PATH"
fi

# The bitnesses whose programs can run here. A kernel built without 32-bit support cannot start the
# 32-bit Wine loader at all; the 32-bit programs are then still built, and the runners say loudly
# that they were not run (a program of theirs that fails to start for any other reason still fails).
WINE_ARCHS=(win64 win32)
WINE32_UNAVAILABLE=""
if ! { [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  WINE_ARCHS=(win64)
  WINE32_UNAVAILABLE="this machine cannot start the 32-bit Wine loader (its kernel runs no 32-bit code)"
fi
export WINE_ARCH_LIST="${WINE_ARCHS[*]}"

wine_prefix_ready() {
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Preparing Wine prefix in $WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # A CJK font the prefix's default UI faces fall back to, so Chinese texts render.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
    [[ -f "$f" && ! -f "$fonts/$(basename "$f")" ]] && cp "$f" "$fonts/"
  done
  if [[ ! -f "$WINEPREFIX/.prefix-settings" ]]; then
    # Chinese face names need a Unicode .reg file (REGEDIT4 is read as ANSI and garbles them).
    # Managed=N: with no window manager on Xvfb, hiding a managed top-level window stalls.
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
      '"宋体"="WenQuanYi Micro Hei"' '"SimSun"="WenQuanYi Micro Hei"' \
      '"MS Shell Dlg"="Tahoma"' '"MS Shell Dlg 2"="Tahoma"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"宋体"="WenQuanYi Micro Hei"' '"SimSun"="WenQuanYi Micro Hei"' \
      '"微软雅黑"="WenQuanYi Micro Hei"' '"Microsoft YaHei"="WenQuanYi Micro Hei"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' |
      iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$WINEPREFIX/prefix-settings.reg"
    wine regedit "$WINEPREFIX/prefix-settings.reg" >/dev/null 2>&1 && touch "$WINEPREFIX/.prefix-settings"
    wineserver -w || true
  fi
}

# Copies the simulated driver of each built bitness into the prefix's system directories.
wine_install_sim_driver() {
  local sys64="$WINEPREFIX/drive_c/windows/system32" sys32="$WINEPREFIX/drive_c/windows/syswow64"
  [[ -f "$ROOT/build/win64/sim/nvapi64.dll" ]] && cp "$ROOT/build/win64/sim/nvapi64.dll" "$sys64/"
  [[ -f "$ROOT/build/win32/sim/nvapi.dll" ]] && cp "$ROOT/build/win32/sim/nvapi.dll" "$sys32/"
  return 0
}
