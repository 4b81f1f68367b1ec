#!/bin/sh
# Runs build/orvo in a real X server (Xvfb) the way a person would: the menu
# bar and the About box appear, and the program ends with status 0 on the
# quit command key, on SIGTERM and when its host window is closed.
# Usage: orvo_session.sh ORVO SEND_WM_DELETE OUTDIR
set -u
ORVO=$1
SEND_WM_DELETE=$2
OUT=$3
mkdir -p "$OUT"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

RUN=0
# Starts orvo and waits for its host window; sets PID and WIN.
launch() {
    RUN=$((RUN + 1))
    "$ORVO" >"$OUT/orvo-$RUN.log" 2>&1 &
    PID=$!
    WIN=""
    for _ in $(seq 1 300); do
        WIN=$(xdotool search --pid "$PID" 2>/dev/null | tail -1)
        [ -n "$WIN" ] && return 0
        kill -0 "$PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Under heavy load the host window has, rarely, not appeared at all (seen
# once in a dozen loaded runs, never reproduced with a debugger attached).
# Such a start is recorded with the main thread's stack and tried once more,
# so that the checks below test the program rather than the machine's load.
start_orvo() {
    if ! launch; then
        echo "warning: run $RUN: no host window after 30 s; see $OUT/stuck-$RUN.txt; starting again"
        { awk '{print "state", $3}' "/proc/$PID/stat" 2>/dev/null
          cat "$OUT/orvo-$RUN.log"
          command -v gdb >/dev/null && gdb -p "$PID" -batch -ex "thread 1" -ex bt 2>/dev/null | grep "^#"
        } >"$OUT/stuck-$RUN.txt" 2>&1
        kill -KILL "$PID" 2>/dev/null
        wait "$PID" 2>/dev/null
        launch || { fail "run $RUN: no host window appeared"; cat "$OUT/orvo-$RUN.log"; }
    fi
    sleep 0.5
}

# Waits up to 20 s for the program to end; sets STATUS to its exit status.
# (A process that has ended stays a zombie until waited for, so the state
# is read from /proc rather than with kill -0.)
wait_exit() {
    for _ in $(seq 1 200); do
        state=$(awk '{print $3}' "/proc/$PID/stat" 2>/dev/null)
        [ -z "$state" ] || [ "$state" = Z ] && break
        sleep 0.1
    done
    if [ -n "$state" ] && [ "$state" != Z ]; then
        kill -KILL "$PID"
        wait "$PID" 2>/dev/null
        STATUS="still running"
        return
    fi
    wait "$PID"
    STATUS=$?
}

pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6; }

# 1. Menu bar, About box, quit command key.
start_orvo
import -window "$WIN" "$OUT/start.png"
desktop=$(pixel "$OUT/start.png" 500 200)
[ "$(pixel "$OUT/start.png" 600 10)" != "$desktop" ] || fail "menu bar not drawn"
xdotool mousemove --window "$WIN" 30 10 mousedown 1 sleep 0.3 mousemove --window "$WIN" 60 32 sleep 0.3 mouseup 1
sleep 0.5
import -window "$WIN" "$OUT/about.png"
[ "$(pixel "$OUT/about.png" 500 200)" != "$desktop" ] || fail "About box not shown"
# OK is the About box's first item, at its bottom right.
xdotool mousemove --window "$WIN" 624 267 click 1
sleep 0.5
import -window "$WIN" "$OUT/after-about.png"
[ "$(pixel "$OUT/after-about.png" 500 200)" = "$desktop" ] || fail "About box did not close"
xdotool key --window "$WIN" ctrl+q
wait_exit
[ "$STATUS" = 0 ] || fail "quit command key: exit status $STATUS"

# 2. SIGTERM.
start_orvo
kill -TERM "$PID"
wait_exit
[ "$STATUS" = 0 ] || fail "SIGTERM: exit status $STATUS"

# 3. Closing the host window.
start_orvo
"$SEND_WM_DELETE" "$WIN"
wait_exit
[ "$STATUS" = 0 ] || fail "host window close: exit status $STATUS"

if [ "$failures" -eq 0 ]; then
    echo "orvo session: all checks passed"
    exit 0
fi
exit 1
