#!/usr/bin/env bash
# Runs one window scenario under a private session bus and a virtual X screen:
#   run_e2e.sh SCRIPT.py HX350 HX350-SIM
# Exit status 77 (skipped) when the accessibility stack or the X server is not installed. The screen is
# 1280x900, the size the window must fit. From a build tree: `ctest -L e2e --output-on-failure`;
# HX350_E2E_KEEP=1 keeps each scenario's working folder (settings file, transcript, tool output), which
# is also kept, and named in the output, when a scenario fails.
set -u
script=$1
export HX350_BIN=$2 HX350_SIM=$3
python=/usr/bin/python3
for tool in dbus-run-session Xvfb "$python"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is missing (install at-spi2-core python3-pyatspi dbus-daemon xvfb)"
    exit 77
  fi
done
if ! "$python" -c 'import pyatspi' >/dev/null 2>&1; then
  echo "SKIP: pyatspi is missing (install python3-pyatspi at-spi2-core)"
  exit 77
fi
if [ ! -e /usr/libexec/at-spi-bus-launcher ] && [ ! -e /usr/lib/at-spi2-core/at-spi-bus-launcher ]; then
  echo "SKIP: the AT-SPI bus launcher is missing (install at-spi2-core)"
  exit 77
fi
runtime=$(mktemp -d /tmp/hx350-e2e-run.XXXXXX)
chmod 700 "$runtime"
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$runtime
export PYTHONDONTWRITEBYTECODE=1
# Qt must not pick a platform other than X.
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# A private virtual screen, ended by its process id whatever happens to the scenario. It takes a display
# number from 350 up, away from the numbers other X tools pick first (0, 99), and only local clients can
# reach it (-nolisten tcp). -noreset: by default the server resets when its last client leaves (the
# accessibility bus launcher is a short-lived client) and refuses connections meanwhile.
display=
for n in $(seq $((350 + RANDOM % 40)) 399); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp -noreset >"$runtime/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    [ -S "/tmp/.X11-unix/X$n" ] && { display=:$n; break; }
    sleep 0.1
  done
  [ -n "$display" ] && break
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
done
if [ -z "$display" ]; then
  echo "Xvfb did not start:"
  cat "$runtime/xvfb.log"
  exit 1
fi
export DISPLAY=$display
unset XAUTHORITY

# The scenario's verdict goes through a file, so that what the session-bus wrapper does on its way out
# cannot turn a pass into a failure or the reverse.
export HX350_E2E_STATUS=$runtime/status
dbus-run-session -- "$python" "$script"
wrapper=$?
if [ -s "$HX350_E2E_STATUS" ]; then
  exit "$(cat "$HX350_E2E_STATUS")"
fi
echo "the scenario left no verdict (wrapper status $wrapper)"
exit $(( wrapper == 0 ? 1 : wrapper ))
