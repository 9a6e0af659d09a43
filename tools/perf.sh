#!/usr/bin/env bash
# Measures the program against its performance budgets and prints every figure with min/median/max, beside
# the floor: a bare Qt 6 window with 13 empty tabs, built here from a few lines of C++.
#
#   tools/perf.sh [BUILD_DIR]        (default: build; needs bin/hx350, bin/hx350-sim and bin/bench_hx350)
#
# Environment: RUNS (start-up runs per case, default 20), IDLE_SECONDS (default 60), PLATFORMS (default
# "offscreen xvfb"), SKIP_IDLE=1, SKIP_BENCH=1. Takes about seven minutes; not part of CI.
# Tools: g++ and pkg-config (Qt6Widgets), /usr/bin/time (Debian package "time"), Xvfb, python3 (only to
# evict files from the page cache for the cold runs), awk. Exit status 0 when every budget holds, 1 when
# one fails, 2 on a set-up error.
#
# Start-up is the program's own figure (--exit-after-first-paint): milliseconds from the start of the
# process to the first painted frame of the main window. "Cold" runs first drop the program's files, its
# libraries and plugins from the page cache (pages that other running processes have mapped stay); "warm"
# runs follow each other. Idle CPU is read from the threads' schedstat over IDLE_SECONDS after 45 s of
# settling.
set -u -o pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
build=$(cd "$build" 2>/dev/null && pwd) || { echo "perf.sh: no build folder ${1:-build}" >&2; exit 2; }
bin=$build/bin
runs=${RUNS:-20}
idle_seconds=${IDLE_SECONDS:-60}
platforms=${PLATFORMS:-offscreen xvfb}
# Idle starts when start-up has finished: in SMS mode the tool queries the phone one step per answer
# (maker, character set, model, error reports, PDU mode, a first listing), and the driver reads answers
# every 4 to 5 seconds, so that takes about half a minute.
settle_seconds=45

for tool in "$bin/hx350" "$bin/hx350-sim" /usr/bin/time g++ pkg-config awk python3; do
    command -v "$tool" >/dev/null || { echo "perf.sh: missing $tool" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/hx350-perf-XXXXXX")
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export DBUS_SESSION_BUS_ADDRESS=disabled:
export LC_ALL=C
unset QT_QPA_PLATFORM

failures=0
report_budget() { # name holds(0|1) detail
    if [ "$2" = 1 ]; then
        printf '  BUDGET %-44s holds   (%s)\n' "$1" "$3"
    else
        printf '  BUDGET %-44s FAILS   (%s)\n' "$1" "$3"
        failures=$((failures + 1))
    fi
}

# min/median/max of the numbers on standard input, one a line: "min med max".
stats() {
    sort -g | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "- - -"; exit }
        med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f %.1f\n", v[1], med, v[NR] }'
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "hx350 performance run, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, build $build"
echo "load average at start: $(load)"

# ---- The floor: a bare window with 13 empty tabs, timed exactly like the program.
cat >"$work/bare_window.cpp" <<'EOF'
#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

static double clockMs(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}
static double entered_boot, entered_cpu;
static double sinceStart() {
    const double now = clockMs(CLOCK_BOOTTIME);
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int n = 3; n <= 22; ++n) fields >> field;
    const double tick = 1e3 / sysconf(_SC_CLK_TCK), tick_start = std::stod(field) * tick;
    double start = tick_start + tick;
    const double bound = entered_boot - entered_cpu;
    if (bound < start) start = bound > tick_start ? bound : tick_start;
    return now - start;
}
struct Probe : QObject {
    bool seen = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [] {
                std::printf("first-paint-ms: %.1f\n", sinceStart());
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }
};
int main(int argc, char* argv[]) {
    entered_boot = clockMs(CLOCK_BOOTTIME);
    entered_cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    const bool idle = argc > 1 && std::string(argv[1]) == "--idle";
    QApplication app(argc, argv);
    QMainWindow window;
    auto* tabs = new QTabWidget;
    for (int n = 1; n <= 13; ++n) tabs->addTab(new QWidget, QString("Page %1").arg(n));
    window.setCentralWidget(tabs);
    window.resize(800, 600);
    Probe probe;
    if (!idle) window.installEventFilter(&probe);
    window.show();
    return app.exec();
}
EOF
# shellcheck disable=SC2046
if ! g++ -std=c++17 -O2 -fPIC -o "$work/bare_window" "$work/bare_window.cpp" \
    $(pkg-config --cflags --libs Qt6Widgets) 2>"$work/bare_window.log"; then
    cat "$work/bare_window.log" >&2
    echo "perf.sh: cannot build the bare window (qt6-base-dev, pkg-config)" >&2
    exit 2
fi

# Settings files: the all-zero record (direct mode, Com1 at 9600) and the same with "SMS mode" on.
settings_file() { # folder sms(0|1)
    mkdir -p "$1"
    head -c 4204 /dev/zero >"$1/HX350.cfg"
    [ "$2" = 1 ] && printf '\001' | dd of="$1/HX350.cfg" bs=1 seek=3209 conv=notrunc status=none
    return 0
}
settings_file "$work/direct" 0
settings_file "$work/sms" 1

# ---- Platforms
start_xvfb() {
    [ -n "$xvfb_pid" ] && return 0
    command -v Xvfb >/dev/null || { echo "perf.sh: Xvfb missing (package xvfb)" >&2; return 1; }
    Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/xvfb.display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local display= i
    for ((i = 0; i < 100; i++)); do
        display=$(cat "$work/xvfb.display" 2>/dev/null)
        [ -n "$display" ] && break
        sleep 0.1
    done
    [ -n "$display" ] || { echo "perf.sh: Xvfb did not start" >&2; return 1; }
    xvfb_display=:$display
}
platform_env() { # platform -> prints env assignments
    case $1 in
    offscreen) echo "QT_QPA_PLATFORM=offscreen" ;;
    xvfb) echo "QT_QPA_PLATFORM=xcb DISPLAY=$xvfb_display" ;;
    esac
}

# The files a cold start reads: the program, its shared libraries, Qt's plugins and the fonts.
cold_files() { # program
    {
        echo "$1"
        ldd "$1" | awk '$3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }'
        find /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms /usr/lib/x86_64-linux-gnu/qt6/plugins/xcbglintegrations \
            -name '*.so' 2>/dev/null
        ldd /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so 2>/dev/null | awk '$3 ~ /^\// { print $3 }'
        find /usr/share/fonts -name '*.ttf' 2>/dev/null
    } | sort -u
}
evict() { # file list
    python3 - "$1" <<'EOF'
import os, sys
for path in open(sys.argv[1]).read().split():
    try:
        fd = os.open(path, os.O_RDONLY)
        try:
            os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        finally:
            os.close(fd)
    except OSError:
        pass
EOF
}

# One timed start: prints "ms rss_kib" (or nothing when the run failed).
timed_start() { # platform folder program [args...]
    local platform=$1 folder=$2
    shift 2
    local out
    out=$(cd "$folder" && env $(platform_env "$platform") timeout 30 /usr/bin/time -f 'rss-kib: %M' \
        -o "$work/time.out" "$@" 2>/dev/null)
    local ms rss
    ms=$(printf '%s\n' "$out" | awk '/^first-paint-ms:/ { print $2 }')
    rss=$(awk '/^rss-kib:/ { print $2 }' "$work/time.out" 2>/dev/null)
    [ -n "$ms" ] && [ -n "$rss" ] && echo "$ms $rss"
}

startup_ratio_budget=1.5
rss_budget_mib=45
idle_budget_percent=0.1

for platform in $platforms; do
    if [ "$platform" = xvfb ]; then start_xvfb || { failures=$((failures + 1)); continue; }; fi
    echo
    echo "== start-up to first paint, $platform, $runs runs each (load $(load))"
    printf '  %-22s %28s %28s %24s\n' "" "hx350 ms min/med/max" "floor ms min/med/max" "hx350 / floor (median)"
    cold_files "$bin/hx350" >"$work/cold_hx350"
    cold_files "$work/bare_window" >"$work/cold_bare"
    for temperature in cold warm; do
        : >"$work/hx350.$temperature" && : >"$work/bare.$temperature"
        # Warm runs start from a filled cache.
        [ $temperature = warm ] && timed_start "$platform" "$work/direct" "$bin/hx350" --exit-after-first-paint >/dev/null &&
            timed_start "$platform" "$work/direct" "$work/bare_window" >/dev/null
        for ((i = 0; i < runs; i++)); do
            # Side by side: the program and the floor alternate, so both see the same load.
            [ $temperature = cold ] && evict "$work/cold_hx350"
            timed_start "$platform" "$work/direct" "$bin/hx350" --exit-after-first-paint >>"$work/hx350.$temperature"
            [ $temperature = cold ] && evict "$work/cold_bare"
            timed_start "$platform" "$work/direct" "$work/bare_window" >>"$work/bare.$temperature"
        done
        read -r p_min p_med p_max < <(cut -d' ' -f1 "$work/hx350.$temperature" | stats)
        read -r f_min f_med f_max < <(cut -d' ' -f1 "$work/bare.$temperature" | stats)
        ratio=$(awk -v p="$p_med" -v f="$f_med" 'BEGIN { if (f > 0) printf "%.2f", p / f; else print "-" }')
        printf '  %-22s %28s %28s %24s\n' "$temperature ($(wc -l <"$work/hx350.$temperature") ok)" \
            "$p_min / $p_med / $p_max" "$f_min / $f_med / $f_max" "$ratio"
        holds=$(awk -v r="$ratio" -v b="$startup_ratio_budget" 'BEGIN { print (r != "-" && r <= b) ? 1 : 0 }')
        report_budget "start-up $platform $temperature <= ${startup_ratio_budget}x floor" "$holds" \
            "median ${p_med} ms vs floor ${f_med} ms = ${ratio}x"
    done
    cat "$work/hx350.cold" "$work/hx350.warm" | cut -d' ' -f2 | awk '{ print $1 / 1024 }' | stats >"$work/rss"
    cat "$work/bare.cold" "$work/bare.warm" | cut -d' ' -f2 | awk '{ print $1 / 1024 }' | stats >"$work/rss_bare"
    read -r r_min r_med r_max <"$work/rss"
    read -r b_min b_med b_max <"$work/rss_bare"
    printf '  %-22s %28s %28s\n' "peak RSS MiB" "$r_min / $r_med / $r_max" "$b_min / $b_med / $b_max"
    holds=$(awk -v r="$r_max" -v b="$rss_budget_mib" 'BEGIN { print (r != "-" && r < b) ? 1 : 0 }')
    report_budget "peak RSS $platform start-up < ${rss_budget_mib} MiB" "$holds" "max ${r_max} MiB, floor ${b_max} MiB"
done

# ---- Idle CPU: the program in direct mode (hx350-sim --mode module on Com1), in SMS mode (hx350-sim
# --mode phone on Com1) and the floor, all three in the same window of time.
cpu_ns() { # pid -> CPU time of all the process's threads so far, in nanoseconds (the scheduler's own
    # count; utime and stime in /proc/PID/stat come in 10 ms ticks, too coarse for 0.1 % of a minute)
    local pid=$1
    [ -d "/proc/$pid/task" ] || return 0
    cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { if (NR) printf "%.0f\n", ns }'
}
# The first process named `name` in the tree under `root` (the launching shell, /usr/bin/time and the
# program each add a level; the program starts hx350-sim as its own child).
find_process() { # root name
    local queue=("$1") pid
    while [ ${#queue[@]} -gt 0 ]; do
        pid=${queue[0]}
        queue=("${queue[@]:1}")
        [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ] && { echo "$pid"; return 0; }
        # shellcheck disable=SC2207
        queue+=($(cat /proc/"$pid"/task/*/children 2>/dev/null))
    done
    return 1
}
if [ "${SKIP_IDLE:-0}" != 1 ]; then
    for platform in $platforms; do
        if [ "$platform" = xvfb ]; then start_xvfb || continue; fi
        echo
        echo "== idle CPU over ${idle_seconds} s, $platform (load $(load))"
        pids=()
        names=(direct sms floor)
        comms=(hx350 hx350 bare_window)
        (cd "$work/direct" && exec env $(platform_env "$platform") /usr/bin/time -f 'rss-kib: %M' \
            -o "$work/idle.direct.time" "$bin/hx350" --simulate=module >/dev/null 2>&1) &
        pids+=($!)
        (cd "$work/sms" && exec env $(platform_env "$platform") /usr/bin/time -f 'rss-kib: %M' \
            -o "$work/idle.sms.time" "$bin/hx350" --simulate=phone >/dev/null 2>&1) &
        pids+=($!)
        (cd "$work/direct" && exec env $(platform_env "$platform") /usr/bin/time -f 'rss-kib: %M' \
            -o "$work/idle.floor.time" "$work/bare_window" --idle >/dev/null 2>&1) &
        pids+=($!)
        sleep "$settle_seconds"
        # /usr/bin/time runs the program as its child; the program runs the simulator as its own.
        declare -A program sim before sim_before
        for k in 0 1 2; do
            program[$k]=$(find_process "${pids[$k]}" "${comms[$k]}")
            sim[$k]=$(find_process "${program[$k]:-0}" hx350-sim)
            before[$k]=$(cpu_ns "${program[$k]:-0}")
            sim_before[$k]=$(cpu_ns "${sim[$k]:-0}")
        done
        sleep "$idle_seconds"
        for k in 0 1 2; do
            after=$(cpu_ns "${program[$k]:-0}")
            sim_after=$(cpu_ns "${sim[$k]:-0}")
            if [ -z "${before[$k]}" ] || [ -z "$after" ]; then
                printf '  %-8s did not stay up\n' "${names[$k]}"
                [ "$k" != 2 ] && failures=$((failures + 1))
                continue
            fi
            percent=$(awk -v t=$((after - ${before[$k]})) -v s="$idle_seconds" \
                'BEGIN { printf "%.3f", 100 * t / 1e9 / s }')
            ms=$(awk -v t=$((after - ${before[$k]})) 'BEGIN { printf "%.1f", t / 1e6 }')
            sim_note=
            [ -n "${sim_before[$k]}" ] && [ -n "$sim_after" ] &&
                sim_note=", hx350-sim $(awk -v t=$((sim_after - ${sim_before[$k]})) 'BEGIN { printf "%.1f", t / 1e6 }') ms"
            printf '  %-8s %7s %% of one core (%s ms CPU in %d s%s)\n' "${names[$k]}" "$percent" "$ms" \
                "$idle_seconds" "$sim_note"
            eval "idle_${names[$k]}=$percent"
        done
        for k in 0 1 2; do
            kill "${program[$k]:-}" 2>/dev/null
        done
        wait "${pids[@]}" 2>/dev/null
        for name in direct sms; do
            holds=$(awk -v p="$(eval echo "\${idle_$name:-}")" -v b="$idle_budget_percent" \
                'BEGIN { print (p != "" && p < b) ? 1 : 0 }')
            report_budget "idle CPU $platform $name < ${idle_budget_percent} %" "$holds" \
                "$(eval echo "\${idle_$name:--}") %, floor ${idle_floor:--} %"
            rss=$(awk '/^rss-kib:/ { printf "%.1f", $2 / 1024 }' "$work/idle.$name.time" 2>/dev/null)
            holds=$(awk -v r="${rss:-}" -v b="$rss_budget_mib" 'BEGIN { print (r != "" && r < b) ? 1 : 0 }')
            report_budget "peak RSS $platform $name after ${idle_seconds} s idle < ${rss_budget_mib} MiB" "$holds" \
                "${rss:--} MiB"
        done
        unset program sim before sim_before
    done
fi

# ---- Benchmarks: PDU encoding, one batch through the receive path and routing, a blocked write.
bench_csv() { # filter repetitions [more options]
    "$bin/bench_hx350" --benchmark_filter="$1" --benchmark_repetitions="$2" --benchmark_format=csv "${@:3}" 2>/dev/null |
        awk -F, 'NR > 1 && $1 !~ /_(mean|median|stddev|cv)"?$/'
}
# CSV columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,...
column_stats() { # column of the rows of one benchmark on stdin
    awk -F, -v c="$1" '$c != "" { print $c }' | stats
}
if [ "${SKIP_BENCH:-0}" != 1 ] && [ -x "$bin/bench_hx350" ]; then
    echo
    echo "== benchmarks, 5 repetitions each (load $(load))"
    bench_csv 'BM_Encode|BM_Decode|BM_Direct|BM_Sms|BM_Form|BM_Save|BM_Page' 5 --benchmark_min_time=0.2 \
        >"$work/bench.csv"
    for name in $(cut -d, -f1 "$work/bench.csv" | tr -d '"' | awk '!seen[$0]++'); do
        unit=$(awk -F, -v n="\"$name\"" '$1 == n { print $5; exit }' "$work/bench.csv" | tr -d '"')
        read -r c_min c_med c_max < <(awk -F, -v n="\"$name\"" '$1 == n' "$work/bench.csv" | column_stats 4)
        items=$(awk -F, -v n="\"$name\"" '$1 == n' "$work/bench.csv" | column_stats 7 |
            awk '$2 != "" && $2 != "-" { printf "  %.2f / %.2f / %.2f M/s", $1 / 1e6, $2 / 1e6, $3 / 1e6 }')
        printf '  %-24s CPU %s min/med/max %s / %s / %s%s\n' "$name" "$unit" "$c_min" "$c_med" "$c_max" "$items"
        case $name in
        BM_EncodeTypicalCommand | BM_Encode160Characters)
            read -r i_min _ _ < <(awk -F, -v n="\"$name\"" '$1 == n' "$work/bench.csv" | column_stats 7)
            holds=$(awk -v i="$i_min" 'BEGIN { print (i >= 2e6) ? 1 : 0 }')
            report_budget "PDU encoding ${name#BM_Encode} >= 2 M/s/core" "$holds" \
                "slowest repetition $(awk -v i="$i_min" 'BEGIN { printf "%.2f", i / 1e6 }') M/s"
            ;;
        BM_Direct* | BM_Sms*)
            us=$(awk -v t="$c_max" -v u="$unit" 'BEGIN { f = (u == "ns") ? 1e-3 : (u == "us") ? 1 : 1e3; printf "%.2f", t * f }')
            holds=$(awk -v t="$us" 'BEGIN { print (t < 20) ? 1 : 0 }')
            report_budget "batch ${name#BM_} < 20 us" "$holds" "slowest repetition $us us"
            ;;
        esac
    done
    echo
    echo "== a write blocked for 1.5 s (load $(load))"
    bench_csv 'BM_WriteBlocked' 3 >"$work/write.csv"
    # The counter cpu_ms is the last column; wall time per write is real_time.
    read -r w_min w_med w_max < <(awk -F, '{ print $NF }' "$work/write.csv" | stats)
    read -r t_min t_med t_max < <(column_stats 3 <"$work/write.csv")
    printf '  CPU ms per blocked write min/med/max %s / %s / %s (wall ms %s / %s / %s)\n' \
        "$w_min" "$w_med" "$w_max" "$t_min" "$t_med" "$t_max"
    holds=$(awk -v c="$w_max" 'BEGIN { print (c != "-" && c < 5) ? 1 : 0 }')
    report_budget "blocked write (1.5 s) < 5 ms CPU" "$holds" "worst ${w_max} ms"
fi

echo
echo "load average at end: $(load)"
if [ "$failures" -eq 0 ]; then
    echo "all budgets hold"
    exit 0
fi
echo "$failures budget(s) failed"
exit 1
