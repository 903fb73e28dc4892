# The choice of build: x86 where this machine runs 32-bit programs, x86-64 where it cannot; and the
# cross-compiled build of either.

# can_run_x86: whether this machine runs 32-bit x86 programs, found by running one, built under
# build/ (a /tmp mounted noexec must not pass for a kernel that refuses them). Only "Exec format
# error", a kernel without IA-32 emulation, means no: then no 32-bit Wine can start either. Any other
# failure stops the command with its cause.
can_run_x86() {
    local dir out status=0
    dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/probe"
    mkdir -p "$dir"
    if ! printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
        as --32 -o "$dir/probe.o" - 2>"$dir/build.log" ||
        ! ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" 2>>"$dir/build.log"; then
        echo "The 32-bit probe could not be built (as --32, ld -m elf_i386):" >&2
        cat "$dir/build.log" >&2
        exit 1
    fi
    out=$("$dir/probe" 2>&1) || status=$?
    [ "$status" -eq 0 ] && return 0
    if [ "$status" -eq 126 ] && grep -q "Exec format error" <<<"$out"; then
        return 1
    fi
    echo "The 32-bit probe $dir/probe failed (exit $status), not with \"Exec format error\": $out" >&2
    exit 1
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
