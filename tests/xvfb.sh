# Sourced: xvfb_start <first display number> starts Xvfb (1024x768, 24 bits) on the first
# free display from that number on and exports DISPLAY; its process is XVFB_STARTED_PID.
# Returns 1 when none started; XVFB_LOG holds what the last try said.
xvfb_start() {
    local n=$1
    XVFB_LOG=$(mktemp)
    for _ in $(seq 20); do
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$XVFB_LOG" 2>&1 &
        XVFB_STARTED_PID=$!
        for _ in $(seq 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=:$n
                return 0
            fi
            kill -0 "$XVFB_STARTED_PID" 2>/dev/null || break
            sleep 0.1
        done
        # Taken by someone starting at the same moment: try the next number.
        kill "$XVFB_STARTED_PID" 2>/dev/null || true
        n=$((n + 1))
    done
    return 1
}
