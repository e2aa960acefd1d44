# Sourced by bench/run.sh and scripts/screenshots.sh: a private Xvfb on a
# display no other server holds, stopped by its process id.

# start_xvfb <folder>: starts the server, with its log and the display number it
# reports in <folder>, and returns once it accepts clients; sets xvfb_pid and
# xvfb_display (":N"). Returns 1, with the server's log on stderr, when the
# server ends or reports no display within 15 s.
start_xvfb() {
    local folder=$1 deadline=$((SECONDS + 15))
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$folder/xvfb.display" 2>"$folder/xvfb.log" &
    xvfb_pid=$!
    until [[ -s $folder/xvfb.display ]]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null || ((SECONDS >= deadline)); then
            cat "$folder/xvfb.log" >&2
            return 1
        fi
        sleep 0.01
    done
    xvfb_display=:$(head -n1 "$folder/xvfb.display")
}

# stop_started <pid>: ends a process this script started and waits for it;
# an empty pid does nothing.
stop_started() {
    [[ -n $1 ]] || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
