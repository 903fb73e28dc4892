# Sourced by the commands: the locks that keep commands run side by side out of each other's way,
# the Windows build, the release archive, and a Wine prefix of the command's own with, when no
# display is set, a private Xvfb. wine_env_stop ends only what wine_env_start started.

# take_command_lock BUILD_DIR NAME: held until this command ends, before it installs or builds
# anything; a second run of the same command refuses to start rather than share its prefix.
take_command_lock() {
    local build=$1 name=$2
    mkdir -p "$build"
    exec {_command_lock}>"$build/wine-$name.lock"
    if ! flock -n "$_command_lock"; then
        echo "Another '$name' run is using $build/wine-$name; wait for it to end." >&2
        exit 1
    fi
}

# lock_build BUILD_DIR: the build folder is this command's until it ends or calls unlock_build, so
# that no other command rebuilds it while this one builds or runs what is in it.
lock_build() {
    local build=$1
    mkdir -p "$build"
    exec {_build_lock}>"$build/.build.lock"
    if ! flock -n "$_build_lock"; then
        echo "Waiting for another command that is using $build..." >&2
        flock "$_build_lock"
    fi
}

unlock_build() {
    if [ -n "${_build_lock:-}" ]; then
        exec {_build_lock}>&-
        _build_lock=""
    fi
}

# build_windows BUILD_DIR [CMAKE_ARGS...] [-- TARGETS...]: configures and builds the cross-compiled
# tree; the caller has run scripts/setup.sh and holds the folder's lock.
build_windows() {
    local build=$1
    shift
    local args=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
        "${args[@]}" >/dev/null
    cmake --build "$build" -j "$(nproc)" "${targets[@]}" >/dev/null
}

# package_release BUILD_DIR: a fresh release build of Tapwren.exe with no link timestamp, packed with
# the README and the licence into Tapwren-<version>-win32.zip: files with a fixed time, stored in a
# fixed order. Prints the archive's path.
package_release() {
    local build
    build=$(realpath -m "$1")
    lock_build "$build"
    build_windows "$build" -- Tapwren
    local stage="$build/package"
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$build/Tapwren.exe" README.md LICENSE "$stage/"
    touch -d '2026-01-01 00:00:00 UTC' "$stage"/*
    local archive
    archive="$build/Tapwren-$(cat "$build/release-version.txt")-win32.zip"
    rm -f "$archive"
    (cd "$stage" && TZ=UTC zip -X -q "$archive" Tapwren.exe README.md LICENSE)
    unlock_build
    echo "$archive"
}

# wine_env_start BUILD_DIR NAME: the prefix BUILD_DIR/wine-NAME, which take_command_lock has made
# this command's own.
wine_env_start() {
    local build=$1 name=$2
    export WINEPREFIX="$build/wine-$name"
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
}
