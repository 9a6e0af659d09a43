#!/usr/bin/env bash
# Saves a picture of the window in each state of an SMS-mode exchange as the status bar reports it
# (sending, dropped click, waiting with the countdown, answer received, no answer for 5 minutes, a message
# from another number, refused by the phone) into the given folder (default: build/status-screenshots).
# The pictures come from the window test that plays the phone on a pseudo-terminal with a hand-driven
# clock, run under Xvfb on the real X platform. Builds the test first when needed.
# Usage: tools/status_screenshots.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${HX350_BUILD_DIR:-build}
out=${1:-$build/status-screenshots}
cmake --build "$build" --target ui_feedback_test
mkdir -p "$out"
out=$(cd "$out" && pwd)
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" DBUS_SESSION_BUS_ADDRESS=disabled: LC_ALL=C.UTF-8 HX350_SHOT_DIR="$out" \
  timeout 120 xvfb-run -a -s '-screen 0 1280x900x24 -nolisten tcp' \
  "$build/bin/ui_feedback_test" -platform xcb statusBarFollowsTheSmsExchange
ls -1 "$out"/sms-*.png
