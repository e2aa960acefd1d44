#!/usr/bin/env bash
# Runs every Korvu benchmark and prints one Markdown table: the tick and the
# store headless (korvu_bench), then start-up, memory and the CPU load of the
# real program under a private Xvfb.
# Usage: bench/run.sh <build-dir>
set -euo pipefail
export LC_ALL=C

build=$(cd "${1:?usage: bench/run.sh <build-dir>}" && pwd)
korvu=$build/app/korvu
bare=$build/bench/korvu_bare
bench=$build/bench/korvu_bench
mapwait=$build/bench/korvu_mapwait
for program in "$korvu" "$bare" "$bench" "$mapwait"; do
    [[ -x $program ]] || { echo "bench: $program is not built" >&2; exit 1; }
done
for tool in Xvfb xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

source "$(dirname "$0")/../scripts/xvfb.sh"

readonly start_runs=11 cpu_runs=3 cpu_seconds=10
readonly start_title='Korvu Ayarlar - www.korvu.example'
readonly game_title='Korvu 1.0 - www.korvu.example'
readonly bare_title='Korvu Bare Window'

work=$(mktemp -d)
xvfb_pid=
app_pid=
watcher=
cleanup() {
    stop_started "$watcher"
    stop_started "$app_pid"
    stop_started "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

# A sleep that forks nothing: a read that times out on a pipe nobody writes.
mkfifo "$work/never"
exec {never}<>"$work/never"
nap() { read -r -t "$1" -u "$never" _ || true; }

progress() { echo "bench: $*" >&2; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
verdict() { if awk "BEGIN { exit !($1) }"; then echo yes; else echo '**no**'; fi; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=()

progress "tick and store, headless"
mkdir -m 700 "$work/runtime"
headless=$(env -i PATH="$PATH" XDG_RUNTIME_DIR="$work/runtime" "$bench")
mapfile -t -O "${#rows[@]}" rows <<<"$headless"

progress "starting Xvfb"
start_xvfb "$work" || { echo "bench: Xvfb reported no display" >&2; exit 1; }
display=$xvfb_display

# HardCore 0: blocking never ends a game, so the worm may rest against a wall
# with no box opening; Speed 8 is the list's ninth entry, "Speed 9".
home=$work/home
write_settings() {
    mkdir -p "$home/.config/Korvu"
    cat >"$home/.config/Korvu/Korvu.conf" <<'EOF'
[Options]
Played=True
Speed=8
Size=7
PPFood=9
HardCore=0

[Highscore]
Name1=
Name2=
Name3=
Name4=
Score1=0
Score2=0
Score3=0
Score4=0
EOF
}
run_env=(env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/.config"
         XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display" QT_QPA_PLATFORM=xcb)

# launch <program> [arguments]: with fresh=1 the program finds no settings
# file, as on its first start.
fresh=
launch() {
    if [[ -n $fresh ]]; then rm -rf "$home/.config/Korvu"; else write_settings; fi
    "${run_env[@]}" "$@" >>"$work/programs.log" 2>&1 &
    app_pid=$!
}

stop_app() {
    stop_started "$app_pid"
    app_pid=
}

fail() {
    echo "bench: $*" >&2
    cat "$work/programs.log" >&2
    exit 1
}

# Starts a listener for the mapping of a window with the title and returns once
# it listens, so that no mapping can slip past it.
watch_for() {
    : >"$work/mapped"
    DISPLAY=$display "$mapwait" "$1" 20000 >"$work/mapped" 2>>"$work/programs.log" &
    watcher=$!
    local line=
    until [[ $line == ready ]]; do
        kill -0 "$watcher" 2>/dev/null || fail "korvu_mapwait could not listen"
        nap 0.001
        read -r line <"$work/mapped" || true
    done
}

# Waits for the listener; sets mapped_at (wall clock, seconds) and window.
await_window() {
    local status=0
    wait "$watcher" || status=$?
    watcher=
    ((status == 0)) || fail "no window titled $1 was mapped"
    read -r mapped_at window < <(tail -n1 "$work/mapped")
}

# One start: milliseconds from just before the fork that execs the program to
# the server's MapNotify of its window, then VmRSS in KiB two seconds later.
# measure_start <title> <program> [arguments]
start_ms= rss_kb=
measure_start() {
    local title=$1 before
    shift
    watch_for "$title"
    before=$EPOCHREALTIME
    launch "$@"
    await_window "$title"
    start_ms=$(calc '%.3f' "($mapped_at - $before) * 1000")
    nap 2
    rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status")
    stop_app
}

progress "start-up and memory: $start_runs rounds of korvu's later and first start and the two bare programs"
measure_start "$start_title" "$korvu"   # warm-up: file cache and fonts
measure_start "$bare_title" "$bare" label
korvu_ms=() korvu_rss=() first_ms=() bare_ms=() bare_rss=() label_ms=() label_rss=()
for _ in $(seq "$start_runs"); do
    measure_start "$start_title" "$korvu"; korvu_ms+=("$start_ms"); korvu_rss+=("$rss_kb")
    fresh=1 measure_start "$start_title" "$korvu"; first_ms+=("$start_ms")
    measure_start "$bare_title" "$bare"; bare_ms+=("$start_ms"); bare_rss+=("$rss_kb")
    measure_start "$bare_title" "$bare" label; label_ms+=("$start_ms"); label_rss+=("$rss_kb")
done
progress "  korvu later ms: ${korvu_ms[*]}; KiB: ${korvu_rss[*]}"
progress "  korvu first ms: ${first_ms[*]}"
progress "  bare        ms: ${bare_ms[*]}; KiB: ${bare_rss[*]}"
progress "  bare label  ms: ${label_ms[*]}; KiB: ${label_rss[*]}"
k_ms=$(printf '%s\n' "${korvu_ms[@]}" | median)
f_ms=$(printf '%s\n' "${first_ms[@]}" | median)
b_ms=$(printf '%s\n' "${bare_ms[@]}" | median)
l_ms=$(printf '%s\n' "${label_ms[@]}" | median)
k_rss=$(printf '%s\n' "${korvu_rss[@]}" | median)
b_rss=$(printf '%s\n' "${bare_rss[@]}" | median)
l_rss=$(printf '%s\n' "${label_rss[@]}" | median)
ratio_ms=$(calc '%.2f' "$k_ms / $b_ms")
ratio_rss=$(calc '%.2f' "$k_rss / $b_rss")
ratio_first=$(calc '%.2f' "$f_ms / $k_ms")
ratio_label_ms=$(calc '%.2f' "$k_ms / $l_ms")
ratio_label_rss=$(calc '%.2f' "$k_rss / $l_rss")
rows+=("| Start-up: exec → start window mapped (median of $start_runs; to the server's MapNotify) | $(calc '%.1f' "$k_ms") ms | bare Qt Widgets program, one empty window | $(calc '%.1f' "$b_ms") ms | ${ratio_ms}× | — | — |")
rows+=("| Start-up, as above | $(calc '%.1f' "$k_ms") ms | bare Qt Widgets program, one window with one label | $(calc '%.1f' "$l_ms") ms | ${ratio_label_ms}× | ≤ 1.1× | $(verdict "$ratio_label_ms <= 1.1") |")
rows+=("| First start: exec → start window mapped, no settings file (median of $start_runs) | $(calc '%.1f' "$f_ms") ms | later start, as above | $(calc '%.1f' "$k_ms") ms | ${ratio_first}× | ≤ 1.1× | $(verdict "$ratio_first <= 1.1") |")
rows+=("| Resident memory 2 s after mapping (VmRSS, median of $start_runs) | $(calc '%.1f' "$k_rss / 1024") MiB | bare Qt Widgets program | $(calc '%.1f' "$b_rss / 1024") MiB | ${ratio_rss}× | — | — |")
rows+=("| Resident memory, as above | $(calc '%.1f' "$k_rss / 1024") MiB | bare Qt Widgets program with one label | $(calc '%.1f' "$l_rss / 1024") MiB | ${ratio_label_rss}× | ≤ 1.1× | $(verdict "$ratio_label_rss <= 1.1") |")

progress "CPU: $cpu_runs games at Speed 9, $cpu_seconds s each"
clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
cpu_percent=()
for _ in $(seq "$cpu_runs"); do
    watch_for "$start_title"
    launch "$korvu"
    await_window "$start_title"
    watch_for "$game_title"
    DISPLAY=$display timeout 10 xdotool windowfocus --sync "$window"
    DISPLAY=$display xdotool key Return
    await_window "$game_title"
    # A board of 22 × 14 cells of 7 pixels shows that the prepared settings were read.
    size=$(DISPLAY=$display xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [[ $size == 154x98 ]] || fail "the game window is $size, not 154x98: the settings file was not read"
    before_ticks=$(cpu_ticks "$app_pid") before=$EPOCHREALTIME
    nap "$cpu_seconds"
    after_ticks=$(cpu_ticks "$app_pid") after=$EPOCHREALTIME
    kill -0 "$app_pid" 2>/dev/null || fail "korvu ended during the CPU run"
    cpu_percent+=("$(calc '%.4f' "($after_ticks - $before_ticks) / $clock_ticks / ($after - $before) * 100")")
    stop_app
done
progress "  CPU %: ${cpu_percent[*]}"
cpu=$(printf '%s\n' "${cpu_percent[@]}" | median)
rows+=("| CPU of korvu at Speed 9 over $cpu_seconds s from the game window's mapping (utime+stime, median of $cpu_runs; the worm ends against a wall) | $(calc '%.2f' "$cpu") % | one core | $cpu_seconds s | — | < 1 % | $(verdict "$cpu < 1") |")

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
memory_gib=$(awk '/^MemTotal:/ { printf "%.1f", $2 / 1048576 }' /proc/meminfo)
cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
build_type=$(awk -F= '/^CMAKE_BUILD_TYPE:/ { print $2 }' "$build/CMakeCache.txt")

echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Machine: $(nproc) CPUs, $cpu_model, $memory_gib GiB memory"
echo "Build: $build_type; load average (1, 5, 15 min) $load_before before, $load_after after"
echo
echo "| Measurement | Figure | Reference | Reference figure | Ratio | Goal | Holds |"
echo "|---|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
