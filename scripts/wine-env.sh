# Sourced by the scripts that run Windows programs: a Wine prefix inside the build folder and, when
# no display is set, a private Xvfb. wine_env_stop ends only what wine_env_start started.

wine_env_start() {
    local build=$1
    export WINEPREFIX="$build/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win32
    _wine_xvfb_pid=""
    if [ -z "${DISPLAY:-}" ]; then
        local n=90
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        _wine_xvfb_pid=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # A first start alone, before anything runs in parallel: two first starts at once race.
        wineboot -i >/dev/null 2>&1
        # Without a window manager Wine waits for one every time a window hides.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        # The dialog's Chinese labels need a font with CJK glyphs behind the dialog fonts.
        local face
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
                /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
        done
        wineserver -w
    fi
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${_wine_xvfb_pid:-}" ]; then
        kill "$_wine_xvfb_pid" 2>/dev/null || true
        wait "$_wine_xvfb_pid" 2>/dev/null || true
    fi
}
