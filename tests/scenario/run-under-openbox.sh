#!/usr/bin/env bash
# run-under-openbox.sh RUNNER SCENARIO: runs a scenario on the xcb platform on a virtual X
# display (Xvfb) managed by the openbox window manager. Exits 77, which ctest reports as
# skipped, when Xvfb or openbox is not installed.
set -u
runner="$1"
scenario="$2"
for tool in Xvfb openbox; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

work="$(mktemp -d)"
xvfb_pid=""
openbox_pid=""
cleanup() {
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

# openbox runs its start-up command once it manages the screen; its own settings only,
# whatever the user running the tests has configured.
export HOME="$work" XDG_CONFIG_HOME="$work/config"
openbox --sm-disable --startup "touch $work/managing" >"$work/openbox.log" 2>&1 &
openbox_pid=$!
for _ in $(seq 100); do
  [ -e "$work/managing" ] && break
  sleep 0.05
done
if [ ! -e "$work/managing" ]; then
  echo "openbox did not start:"
  cat "$work/openbox.log"
  exit 1
fi

export QT_QPA_PLATFORM=xcb
"$runner" "$scenario"
