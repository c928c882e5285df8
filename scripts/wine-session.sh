# Sourced by the test and run commands. wine_prefix_create makes a 32-bit
# prefix for Norvane; wine_session_start also starts a virtual X server on a
# free display and a throwaway prefix for the tests, and stops both (by
# process id) when the calling shell exits, also on failure.

wine_prefix_create() {
  export WINEPREFIX="$1" WINEARCH="${NORVANE_WINEARCH:-win32}" WINEDEBUG=-all
  # No Mono or Gecko installers: nothing here needs them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  # The program's faces, by their metric-compatible free twins.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Sans Serif' /d 'Liberation Sans' /f >/dev/null 2>&1
}

# Some machines run no 32-bit x86 program at all (their kernel or hypervisor
# leaves it out), so 32-bit Wine cannot start there. wine_runs_32bit tells;
# wine_use_64bit puts 64-bit Wine first on the PATH as `wine` and makes the
# prefixes 64-bit, for an x64 build of the same sources.
wine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

wine_use_64bit() {
  local bin=$1
  mkdir -p "$bin"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/wine"
  chmod +x "$bin/wine"
  ln -sf wine "$bin/wine-stable"
  export PATH="$bin:$PATH" NORVANE_WINEARCH=win64
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true; fi
  if [ -n "${NORVANE_XVFB_PID:-}" ]; then
    kill "$NORVANE_XVFB_PID" 2>/dev/null || true
    wait "$NORVANE_XVFB_PID" 2>/dev/null || true
  fi
}

wine_session_start() {
  local prefix=$1 display displayfile
  # Xvfb picks a free display itself and writes its number: two sessions
  # starting at once never race for the same one.
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  NORVANE_XVFB_PID=$!
  trap wine_session_stop EXIT
  for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
  done
  display=$(head -n 1 "$displayfile")
  rm -f "$displayfile"
  export DISPLAY=":$display"
  rm -rf "$prefix"
  wine_prefix_create "$prefix"
  # No window manager runs here: Wine must not wait for one on every hide.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A program that crashes ends at once with its exception code (the test
  # reports it) instead of waiting in the crash debugger. Without a Debugger
  # value Wine falls back to "winedbg --auto", which waits in its crash
  # dialog: the value names no program, so no debugger can start.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
  wineserver -p 2>/dev/null || true
}
