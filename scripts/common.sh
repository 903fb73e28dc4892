# Sourced by the commands: the choice of build, the locks that keep commands run side by side out of
# each other's way, the Windows build, the release archive, and a Wine prefix of the command's own
# with, when no display is set, a private Xvfb. Whatever a command starts ends with it.

# begin_command: from here on the command ends what it started however it ends: done, failed,
# Ctrl+C or SIGTERM.
begin_command() {
    _child=""
    trap end_command EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

end_command() {
    if [ -n "${_child:-}" ]; then
        kill -TERM -- "-$_child" 2>/dev/null || true
        wait "$_child" 2>/dev/null || true
    fi
    wine_env_stop
    release_lock _build_lock
    release_lock _command_lock
}

# run_child COMMAND...: runs COMMAND in a process group of its own and waits for it. Bash runs no trap
# while a command runs in the foreground, so an interrupted command ends its child here, with all
# that the child started.
run_child() {
    setsid "$@" &
    _child=$!
    local status=0
    wait "$_child" || status=$?
    _child=""
    return "$status"
}

# hold_lock VAR FILE [--wait]: FILE stays locked until release_lock VAR or the end of this shell.
# The lock belongs to a watcher of this shell, not to a descriptor of it, so nothing the command
# starts inherits it or keeps it after the command has ended. Fails at once when FILE is locked,
# unless --wait.
hold_lock() {
    local var=$1 file=$2 wait=${3:-} ready
    ready=$(mktemp)
    local nowait=-n
    [ "$wait" = --wait ] && nowait=""
    flock $nowait -o "$file" sh -c 'echo $$ >"$0"; exec tail --pid="$1" -s 0.1 -f /dev/null' "$ready" "$$" \
        </dev/null >/dev/null 2>&1 &
    local locker=$!
    printf -v "$var" '%s' "$locker"
    while [ ! -s "$ready" ] && kill -0 "$locker" 2>/dev/null; do sleep 0.02; done
    local watcher
    watcher=$(cat "$ready")
    rm -f "$ready"
    if [ -z "$watcher" ]; then
        printf -v "$var" ''
        return 1
    fi
    printf -v "$var" '%s %s' "$locker" "$watcher"
}

release_lock() {
    local pids=${!1:-}
    [ -n "$pids" ] || return 0
    # shellcheck disable=SC2086  # two process ids
    kill $pids 2>/dev/null || true
    wait "${pids%% *}" 2>/dev/null || true
    printf -v "$1" ''
}

# take_command_lock BUILD_DIR NAME: held until this command ends, before it installs or builds
# anything; a second run of the same command refuses to start rather than share its prefix.
take_command_lock() {
    local build=$1 name=$2
    mkdir -p "$build"
    if ! hold_lock _command_lock "$build/$name.lock"; then
        echo "Another '$name' run is still going ($build/$name.lock); wait for it to end." >&2
        exit 1
    fi
}

# lock_build BUILD_DIR: the build folder is this command's until it ends or calls unlock_build, so
# that no other command rebuilds it while this one builds or runs what is in it.
lock_build() {
    local build=$1
    mkdir -p "$build"
    if ! hold_lock _build_lock "$build/.build.lock"; then
        echo "Waiting for another command that is using $build..." >&2
        hold_lock _build_lock "$build/.build.lock" --wait
    fi
}

unlock_build() {
    release_lock _build_lock
}

# can_run_x86: whether this machine runs 32-bit x86 programs, found by running one. A kernel without
# IA-32 emulation refuses it with "Exec format error", and then no 32-bit Wine can start either.
can_run_x86() {
    local dir status=0
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
        as --32 -o "$dir/probe.o" - && ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" &&
        "$dir/probe" 2>/dev/null || status=$?
    rm -rf "$dir"
    return "$status"
}

# choose_arch ROOT: the build this command uses, x86 (the product, under 32-bit Wine) where this
# machine runs 32-bit programs, x64 (the same sources, under 64-bit Wine) where it cannot;
# TAPWREN_ARCH=x86 or x64 forces it. Says which and why, and sets the build folder, the toolchain and
# the Wine that runs it.
choose_arch() {
    local root=$1 why
    case "${TAPWREN_ARCH:-}" in
        x86 | x64) why="forced by TAPWREN_ARCH=$TAPWREN_ARCH" ;;
        "")
            if can_run_x86; then
                TAPWREN_ARCH=x86
                why="this machine runs 32-bit x86 programs"
            else
                TAPWREN_ARCH=x64
                why="this machine cannot run 32-bit x86 programs (it refused a 32-bit probe)"
            fi
            ;;
        *)
            echo "TAPWREN_ARCH must be x86 or x64, not '$TAPWREN_ARCH'." >&2
            exit 2
            ;;
    esac
    set_arch "$root" "$TAPWREN_ARCH"
    export TAPWREN_ARCH TAPWREN_WINE TAPWREN_BUILD_NAME
    echo "Build: $TAPWREN_ARCH, $TAPWREN_BUILD_NAME; $why."
}

# set_arch ROOT ARCH: the build folder, toolchain, release name and Wine of ARCH.
set_arch() {
    local root=$1
    case "$2" in
        x86)
            TAPWREN_BUILD="$root/build/win"
            TAPWREN_TOOLCHAIN="$root/cmake/mingw-i686.cmake"
            TAPWREN_BUILD_NAME="the 32-bit x86 program under 32-bit Wine"
            TAPWREN_RELEASE_SUFFIX=win32
            TAPWREN_WINE=wine
            TAPWREN_WINESERVER=wineserver
            TAPWREN_WINEARCH=win32
            ;;
        x64)
            TAPWREN_BUILD="$root/build/win64"
            TAPWREN_TOOLCHAIN="$root/cmake/mingw-x86_64.cmake"
            TAPWREN_BUILD_NAME="the x86-64 program under 64-bit Wine"
            TAPWREN_RELEASE_SUFFIX=win64
            # The wine script prefers the 32-bit loader wherever it is installed, even where it cannot
            # run; the 64-bit one is started by its own name, which it names its preloader after.
            TAPWREN_WINE=/usr/lib/wine/wine64
            TAPWREN_WINESERVER=/usr/lib/wine/wineserver64
            TAPWREN_WINEARCH=win64
            ;;
    esac
}

# build_windows BUILD_DIR TOOLCHAIN [CMAKE_ARGS...] [-- TARGETS...]: configures and builds the
# cross-compiled tree; the caller has run scripts/setup.sh and holds the folder's lock.
build_windows() {
    local build=$1 toolchain=$2
    shift 2
    local args=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release "${args[@]}" >/dev/null
    run_child cmake --build "$build" -j "$(nproc)" "${targets[@]}" >/dev/null
}

# package_release BUILD_DIR ARCH: a fresh release build of ARCH's Tapwren.exe with no link timestamp,
# packed with the README and the licence into Tapwren-<version>-win32.zip (x86) or -win64.zip
# (x64): files with a fixed time, stored in a fixed order. Prints the archive's path.
package_release() {
    local build
    build=$(realpath -m "$1")
    set_arch "$PWD" "$2"
    lock_build "$build"
    build_windows "$build" "$TAPWREN_TOOLCHAIN" -- Tapwren
    local stage="$build/package"
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$build/Tapwren.exe" README.md LICENSE "$stage/"
    touch -d '2026-01-01 00:00:00 UTC' "$stage"/*
    local archive
    archive="$build/Tapwren-$(cat "$build/release-version.txt")-$TAPWREN_RELEASE_SUFFIX.zip"
    rm -f "$archive"
    (cd "$stage" && TZ=UTC zip -X -q "$archive" Tapwren.exe README.md LICENSE)
    unlock_build
    echo "$archive"
}

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
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # A first start alone, before anything runs in parallel: two first starts at once race.
        local log="$build/wine-$name.log" status=0
        "$TAPWREN_WINE" wineboot -i >"$log" 2>&1 || status=$?
        "$TAPWREN_WINESERVER" -w || true
        if [ "$status" -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
            wine_start_failed "$status" "$log"
            return 1
        fi
        # Without a window manager Wine waits for one every time a window hides.
        "$TAPWREN_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        # The dialog's Chinese labels need a font with CJK glyphs behind the dialog fonts.
        local face
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            "$TAPWREN_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
        done
        "$TAPWREN_WINESERVER" -w
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
