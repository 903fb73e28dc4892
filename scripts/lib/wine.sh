# A Wine prefix of the command's own, with, when no display is set, a private Xvfb.

# wine_env_start BUILD_DIR NAME: the prefix BUILD_DIR/wine-NAME, which take_command_lock has made
# this command's own, run by the Wine of the chosen build. Fails with the cause when Wine cannot start.
wine_env_start() {
    local build=$1 name=$2
    export WINEPREFIX="$build/wine-$name"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=$TAPWREN_WINEARCH
    if [ "$TAPWREN_ARCH" = x64 ]; then
        export WINELOADER=$TAPWREN_WINE WINESERVER=$TAPWREN_WINESERVER
    else
        unset WINELOADER WINESERVER
    fi
    _wine_started=1
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display number itself, so two commands starting at once cannot collide.
        local number
        number=$(mktemp)
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
        _wine_xvfb_pid=$!
        for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.05; done
        export DISPLAY=":$(head -n 1 "$number")"
        rm -f "$number"
        if [ "$DISPLAY" = ":" ]; then
            echo "Xvfb did not start." >&2
            return 1
        fi
    fi
    # A prefix is ready only once its whole set-up is done: the stamp is written last, so one left
    # half made by a failure or an interrupt is made again.
    local stamp="$WINEPREFIX/.tapwren-ready"
    if [ ! -f "$stamp" ]; then
        if [ -e "$WINEPREFIX" ]; then
            echo "The Wine prefix $WINEPREFIX was left incomplete; making it again." >&2
            rm -rf "$WINEPREFIX"
        fi
        # A first start alone, before anything runs in parallel: two first starts at once race.
        local log="$build/wine-$name.log" status=0
        "$TAPWREN_WINE" wineboot -i >"$log" 2>&1 || status=$?
        "$TAPWREN_WINESERVER" -w || true
        if [ "$status" -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
            wine_start_failed "$status" "$log"
            return 1
        fi
        # Without a window manager Wine waits for one every time a window hides.
        wine_setup_step "$log" "turning off Wine's window management" \
            reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f || return 1
        # The dialog's Chinese labels need a font with CJK glyphs behind the dialog fonts.
        local face
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            wine_setup_step "$log" "linking the CJK font behind $face" \
                reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f || return 1
        done
        "$TAPWREN_WINESERVER" -w
        touch "$stamp"
    fi
    # One Wine server and its session helpers for the whole command, started here with their output
    # away from the tests': a server started by the first test keeps that test's output pipe open,
    # and CTest then waits for it until every other Wine test has ended.
    "$TAPWREN_WINESERVER" -p </dev/null >/dev/null 2>&1
    "$TAPWREN_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# wine_setup_step LOG WHAT COMMAND...: one step of a prefix's set-up under Wine; when it fails, says
# which and shows its output.
wine_setup_step() {
    local log=$1 what=$2
    shift 2
    if ! "$TAPWREN_WINE" "$@" >"$log" 2>&1; then
        echo "Setting up the Wine prefix $WINEPREFIX failed while $what; its output:" >&2
        tail -n 20 "$log" >&2
        return 1
    fi
}

# wine_start_failed STATUS LOG: says why Wine could not make its prefix.
wine_start_failed() {
    local status=$1 log=$2
    rm -rf "$WINEPREFIX"
    if [ "$TAPWREN_ARCH" = x86 ] && ! can_run_x86; then
        echo "The 32-bit Wine cannot start (exit $status): this machine cannot run 32-bit x86 programs" \
            "(its kernel refuses them with \"Exec format error\"). Leave TAPWREN_ARCH unset, or set" \
            "TAPWREN_ARCH=x64, to build and run the x86-64 program under 64-bit Wine." >&2
    else
        echo "Wine ($TAPWREN_WINE) could not make its prefix $WINEPREFIX (exit $status); its output:" >&2
        tail -n 20 "$log" >&2
    fi
}

wine_env_stop() {
    if [ -n "${_wine_started:-}" ]; then
        "$TAPWREN_WINESERVER" -k >/dev/null 2>&1 || true
        _wine_started=""
    fi
    if [ -n "${_wine_xvfb_pid:-}" ]; then
        kill "$_wine_xvfb_pid" 2>/dev/null || true
        wait "$_wine_xvfb_pid" 2>/dev/null || true
        unset DISPLAY
        _wine_xvfb_pid=""
    fi
}

# wait_for_dialog SECONDS: prints the X window of Tapwren's dialog on this command's display once it
# shows; fails when it has not within SECONDS.
wait_for_dialog() {
    local window tries=$(($1 * 10))
    for _ in $(seq "$tries"); do
        window=$(xwininfo -root -tree 2>/dev/null | awk '/"Tapwren[^"]*Vennar\."/ {print $1; exit}')
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
