# The life cycle of a command: whatever it starts ends with it, and the locks that keep commands run
# side by side out of each other's way.

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
