# Sourced by the scripts: a virtual display and one persistent wineserver for a
# run, so that each Wine process starts fast. The caller sets WINEPREFIX, a
# prefix of the tests' own, apart from the one the program runs in; stop_wine
# ends its server, stop_session the server and the display.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
session_xvfb=

start_display() {
    local fifo display
    fifo=$(mktemp -u) && mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    session_xvfb=$!
    read -r -t 20 display <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=:$display
}

# start_wine WINE-EXEC: readies WINEPREFIX for the Wine that WINE-EXEC
# (scripts/wine-exec or scripts/wine64-exec) runs, and keeps its server up.
start_wine() {
    local wine=$1
    mkdir -p "$(dirname "$WINEPREFIX")"
    # With no window manager on the virtual display, Wine would wait two
    # seconds for one whenever a managed window goes away: leave windows unmanaged.
    if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg"; then
        "$wine" wineboot -i >/dev/null 2>&1
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    # A server left running in this prefix (by an earlier run) serves as well.
    wineserver -p 2>/dev/null || true
    # The first process starts Wine's background services; start them now so
    # that later output captured through pipes is not held open by them.
    "$wine" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
    wineserver -k 2>/dev/null || true
}

stop_session() {
    stop_wine
    [ -n "$session_xvfb" ] && kill "$session_xvfb" 2>/dev/null && wait "$session_xvfb" 2>/dev/null
    session_xvfb=
    return 0
}
