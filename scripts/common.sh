# Sourced by the commands: the packages, the Windows build, and a Wine prefix of the command's own
# with, when no display is set, a private Xvfb. wine_env_stop ends only what wine_env_start started,
# so commands run side by side do not stop each other's programs.

# build_windows BUILD_DIR [CMAKE_ARGS...] [-- TARGETS...]: installs what is missing, then configures and
# builds the cross-compiled tree. Two commands building one folder at once take turns.
build_windows() {
    local build=$1
    shift
    local args=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    scripts/setup.sh
    mkdir -p "$build"
    (
        flock 9
        cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
            "${args[@]}" >/dev/null
        cmake --build "$build" -j "$(nproc)" "${targets[@]}" >/dev/null
    ) 9>"$build/.build.lock"
}

# wine_env_start BUILD_DIR NAME: the prefix BUILD_DIR/wine-NAME, held by this command until it ends;
# a second run of the same command refuses to start rather than share it.
wine_env_start() {
    local build=$1 name=$2
    export WINEPREFIX="$build/wine-$name"
    exec {_wine_lock}>"$WINEPREFIX.lock"
    if ! flock -n "$_wine_lock"; then
        echo "Another '$name' run is using $WINEPREFIX; wait for it to end." >&2
        exit 1
    fi
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win32
    _wine_xvfb_pid=""
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display number itself, so two commands starting at once cannot collide.
        local number
        number=$(mktemp)
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
        _wine_xvfb_pid=$!
        for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.05; done
        export DISPLAY=":$(head -n 1 "$number")"
        rm -f "$number"
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
    WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
    if [ -n "${_wine_xvfb_pid:-}" ]; then
        kill "$_wine_xvfb_pid" 2>/dev/null || true
        wait "$_wine_xvfb_pid" 2>/dev/null || true
        unset DISPLAY
        _wine_xvfb_pid=""
    fi
    if [ -n "${_wine_lock:-}" ]; then
        exec {_wine_lock}>&-
        _wine_lock=""
    fi
}
