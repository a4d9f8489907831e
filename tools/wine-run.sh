#!/usr/bin/env bash
# Runs a Windows program under Wine in a throw-away prefix, so the registry
# starts empty and nothing leaks between runs.
#   wine-run.sh BUILD_DIR [--display] [--script] PROGRAM [ARGS...]
# BUILD_DIR holds the template prefix (made once, copied per run).
# --display runs the program on an Xvfb display of its own.
# --script runs PROGRAM as a Linux command instead, with WINEPREFIX (already
# started), DISPLAY and the rest of Wine's environment set, so it can drive
# several Windows programs and look at the screen.
set -u
build=$(cd "$1" && pwd); shift
display=0
script=0
while :; do
  case "${1:-}" in
    --display) display=1; shift ;;
    --script) script=1; shift ;;
    *) break ;;
  esac
done
[ "${KIVO_WINE_DISPLAY:-0}" = 1 ] && display=1

base="$build/wine"
template="$base/template"
mkdir -p "$base/home"
export HOME="$base/home"
export WINEDEBUG=-all
# No desktop menu entries, and no Mono or Gecko install prompts.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
unset WINEARCH

if [ "$display" = 1 ] && [ -z "${KIVO_IN_XVFB:-}" ]; then
  # The whole run, prefix start-up included, belongs on the one display.
  opts=()
  [ "$script" = 1 ] && opts+=(--script)
  KIVO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$build" "${opts[@]}" "$@"
fi

make_template() {
  rm -rf "$template"
  WINEPREFIX="$template" wineboot -i </dev/null >/dev/null 2>&1
  # Destroying a shown window stalls about 2 s under a bare X server unless
  # Wine manages its own windows.
  WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  WINEPREFIX="$template" wineserver -w
  mkdir -p "$template/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" 2>/dev/null
  touch "$template/.ready"
}
(
  flock 9
  [ -f "$template/.ready" ] || make_template
) 9>"$base/template.lock"

prefix=$(mktemp -d "$base/run.XXXXXX")
cp -a "$template/." "$prefix/"
export WINEPREFIX="$prefix"
# Start the prefix's background processes with their output away from ours:
# they outlive this call and would keep a reader of our pipes waiting.
wine cmd /c exit </dev/null >/dev/null 2>&1

if [ "$script" = 1 ]; then "$@"; else wine "$@"; fi
rc=$?
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
rm -rf "$prefix"
exit $rc
