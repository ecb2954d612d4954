# Sourced by the scripts that run Windows programs: a Wine prefix of the build tree, a quiet
# Wine, a persistent wineserver and, when there is no display, a private Xvfb screen.
# zy_session_start sets everything up; zy_session_stop removes only what it started.

zy_started_xvfb=""
zy_started_server=""

# Quiet Wine with its own prefix; no offers to install .NET or the HTML engine.
zy_wine_env() {
    export WINEPREFIX="$(realpath -m "$1")"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
    export WINEARCH=win64
    unset WINELOADERNOEXEC
}

# Creates the prefix once; concurrent callers wait on a lock instead of racing.
zy_prefix_init() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock -w 300 9 || exit 1
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot -i >/dev/null 2>&1 </dev/null
            wineserver -w
        fi
    ) 9>"$WINEPREFIX.lock"
}

# A private X screen of 1024 x 768 x 24 on the first free display number from 90 up.
zy_start_xvfb() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 </dev/null &
            zy_started_xvfb=$!
            local i
            for i in $(seq 1 100); do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                kill -0 "$zy_started_xvfb" 2>/dev/null || break
                sleep 0.05
            done
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            zy_started_xvfb=""
        fi
    done
    echo "wine-env: no free X display for Xvfb" >&2
    return 1
}

# Everything a Windows program needs. $1 = prefix directory.
zy_session_start() {
    zy_wine_env "$1"
    if [ -z "${ZY_WINE_SESSION:-}" ]; then
        if [ -z "${DISPLAY:-}" ]; then
            zy_start_xvfb || return 1
        fi
        zy_prefix_init || return 1
        # NOTE: without the redirections the server keeps the caller's pipes open and the
        # calling shell never returns.
        wineserver -p >/dev/null 2>&1 </dev/null
        zy_started_server=1
        # NOTE: the first program of a server session starts Wine's own services and the
        # desktop process; started from here they do not inherit the caller's pipes (CTest
        # would otherwise wait for them to close until its timeout).
        wine cmd /c exit >/dev/null 2>&1 </dev/null
        export ZY_WINE_SESSION=1
    fi
}

zy_session_stop() {
    if [ -n "$zy_started_server" ]; then
        wineserver -k >/dev/null 2>&1 || true
        zy_started_server=""
    fi
    if [ -n "$zy_started_xvfb" ]; then
        kill "$zy_started_xvfb" 2>/dev/null || true
        wait "$zy_started_xvfb" 2>/dev/null || true
        zy_started_xvfb=""
    fi
}
