#!/usr/bin/env bash
# gammu, an independent AT client, against the simulated phone.
# Usage: gammu_check.sh <path of hx350-sim> identify|getallsms|sendsms
#   identify   gammu identifies the phone (manufacturer and model)
#   getallsms  an answer the module sent (to a command in the service tool's own PDU form) is listed
#   sendsms    a command sent with gammu reaches the module, and its answer is then listed
# Exit 77 (skipped) when gammu is not installed. Set KEEP=1 to keep the temporary folder with the
# simulator's transcript.
set -u
sim=$1
check=$2
command -v gammu >/dev/null 2>&1 || { echo "gammu is not installed: skipped"; exit 77; }

module=+491700350350
dir=$(mktemp -d)
"$sim" --mode phone --module-number "$module" --reply-delay 200 --transcript "$dir/transcript.txt" >"$dir/path" &
pid=$!
cleanup() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  [ -n "${KEEP:-}" ] && echo "kept $dir" || rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- simulator transcript ---"
  cat "$dir/transcript.txt" 2>/dev/null
  exit 1
}

for _ in $(seq 100); do
  [ -s "$dir/path" ] && break
  sleep 0.05
done
pty=$(head -n 1 "$dir/path")
[ -n "$pty" ] || fail "the simulator printed no terminal path"
printf '[gammu]\ndevice = %s\nconnection = at19200\n' "$pty" >"$dir/gammurc"
g() { timeout 30 gammu -c "$dir/gammurc" "$@" 2>&1; }

case "$check" in
identify)
  out=$(g identify) || fail "gammu identify failed: $out"
  echo "$out"
  grep -Eq 'Manufacturer +: HXSIM' <<<"$out" || fail "no manufacturer"
  grep -Eq 'Model +: .*HX350-GSM' <<<"$out" || fail "no model"
  ;;
getallsms)
  # The service tool's way: AT+CMGS with the count, the PDU (reference 30, one-hour validity, the
  # command "GETST" and CR to the module) and Ctrl-Z, without waiting for the prompt.
  exec 3<>"$pty"
  printf 'AT+CMGS=20\r0011300C9194710053300500000B06C722754A6D00\032' >&3
  read -r -t 2 -N 200 -u 3 _answer
  exec 3>&-
  sleep 0.6
  out=$(g getallsms) || fail "gammu getallsms failed: $out"
  echo "$out"
  grep -q 'ST OUT=' <<<"$out" || fail "the module's answer is not listed"
  grep -Eq 'Remote number +: "\+491700350350"' <<<"$out" || fail "the answer does not come from the module"
  ;;
sendsms)
  out=$(g sendsms TEXT "$module" -text "GETST") || fail "gammu sendsms failed: $out"
  echo "$out"
  for _ in 1 2 3 4 5; do
    sleep 0.4
    out=$(g getallsms) || fail "gammu getallsms failed: $out"
    if grep -q 'ST OUT=' <<<"$out"; then
      echo "$out"
      exit 0
    fi
  done
  fail "the module's answer never arrived: $out"
  ;;
*)
  echo "unknown check $check"
  exit 2
  ;;
esac
