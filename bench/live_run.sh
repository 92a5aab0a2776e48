#!/usr/bin/env bash
# A live run of the built program against the simulated camera: 2592 x 1944
# at 30 fps for 20 s on a virtual 1600 x 1000 screen. Reports the frames the
# camera delivered and the frames the window took, and the CPU used by the
# process and by its UI (main) thread. Builds nothing.
#
#   bench/live_run.sh [seconds]
#
# The frame counts come from the camera controller's log line
# "[CameraCtrl]Frames delivered:N taken:M", written every 5 s while the window
# takes frames; the program is ended with SIGTERM, so the last such line
# before the end is what is counted (the counts move on between lines, so the
# rates are taken between the first and the last line seen).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$here/build/bin"
seconds="${1:-20}"
warmup=3

if [[ ! -x "$bin/pixmetra" ]]; then
    echo "no $bin/pixmetra: build it first" >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is needed" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pidfile="$work/pid"
started="$work/started"
touch "$started"

# A private temporary folder: the single-instance lock of a program someone
# else is running does not turn this run away.
TMPDIR="$work" PIXMETRA_SIMCAM_FPS=30 PIXMETRA_SIMCAM_CAMERAS=1 \
    xvfb-run -a -s "-screen 0 1600x1000x24" \
    sh -c 'echo $$ > "$0"; exec "$1"' "$pidfile" "$bin/pixmetra" >"$work/out.txt" 2>&1 &
runner=$!

for _ in $(seq 100); do
    [[ -s "$pidfile" ]] && break
    sleep 0.1
done
pid="$(cat "$pidfile" 2>/dev/null || true)"
if [[ -z "$pid" ]]; then
    echo "the program did not start" >&2
    cat "$work/out.txt" >&2
    exit 1
fi

ticks() { # utime + stime of a /proc stat file (fields after the command name)
    sed -e 's/^.*) //' "$1" 2>/dev/null | awk '{ print $12 + $13 }'
}

sleep "$warmup"
if [[ ! -d /proc/$pid ]]; then
    echo "the program ended early" >&2
    cat "$work/out.txt" >&2
    exit 1
fi
t0=$(date +%s.%N)
p0=$(ticks "/proc/$pid/stat")
u0=$(ticks "/proc/$pid/task/$pid/stat")
declare -A task0
for t in /proc/$pid/task/*; do
    task0[${t##*/}]=$(ticks "$t/stat")
done
sleep "$seconds"
t1=$(date +%s.%N)
p1=$(ticks "/proc/$pid/stat")
u1=$(ticks "/proc/$pid/task/$pid/stat")
threads=$(ls "/proc/$pid/task" | wc -l)
pertask=""
for t in /proc/$pid/task/*; do
    tid=${t##*/}
    pertask+="$tid $(cat "$t/comm" 2>/dev/null | tr ' ' '_') $(( $(ticks "$t/stat") - ${task0[$tid]:-0} ))"$'\n'
done
kill -TERM "$pid" 2>/dev/null || true
wait "$runner" 2>/dev/null || true

hz=$(getconf CLK_TCK)
el=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
echo "per thread (% of one core):"
printf '%s' "$pertask" | awk -v hz="$hz" -v el="$el" 'NF == 3 { printf "  %-8s %-16s %5.1f\n", $1, $2, 100 * $3 / hz / el }'
log="$(find "$bin/Log" -name 'LogFile-*.txt' -newer "$started" 2>/dev/null | sort | tail -n 1)"
lines=""
if [[ -n "$log" ]]; then
    lines="$(grep -a 'Frames delivered:' "$log" || true)"
fi

printf '%s\n' "$lines" | awk -v t0="$t0" -v t1="$t1" -v p0="$p0" -v p1="$p1" -v u0="$u0" -v u1="$u1" -v hz="$hz" \
    -v threads="$threads" -v logfile="${log:-none}" -v warmup="$warmup" '
/Frames delivered:/ { l[++n] = $0 }
END {
    el = t1 - t0
    printf "live run: %.1f s measured (after %d s start-up), 2592 x 1944 at 30 fps, %d threads\n", el, warmup, threads
    printf "CPU of the process:   %5.1f %% of one core\n", 100 * (p1 - p0) / hz / el
    printf "CPU of the UI thread: %5.1f %% of one core\n", 100 * (u1 - u0) / hz / el
    if (n < 1) {
        printf "frames: no \"Frames delivered\" line in %s\n", logfile
        exit
    }
    split(l[1], a, /delivered:| taken:/); split(l[n], b, /delivered:| taken:/)
    printf "frames (log %s):\n", logfile
    printf "  at the last count: delivered %d, shown %d (%.1f %%)\n", b[2], b[3], (b[2] > 0 ? 100 * b[3] / b[2] : 0)
    if (n > 1) {
        d = b[2] - a[2]; s = b[3] - a[3]
        printf "  between the first and last count (%d lines): delivered %d, shown %d (%.1f %%)\n", n, d, s, (d > 0 ? 100 * s / d : 0)
    }
}'
