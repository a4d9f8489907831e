# The persistent Wine prefix a person runs Kivo in (build/wine-prefix), for
# tools/run-kivo.sh and tools/run-demo.sh; sourced, not run.
#   kivo_prefix ROOT   sets WINEPREFIX and Wine's environment, and makes the
#                      prefix the first time (about 10 s).
kivo_prefix() {
  export WINEPREFIX="$1/build/wine-prefix"
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
  unset WINEARCH
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    echo "creating the Wine prefix $WINEPREFIX (once, about 10 s)"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.ready"
  fi
}
