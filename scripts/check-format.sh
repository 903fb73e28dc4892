#!/usr/bin/env bash
# Fails when a C++ file is not formatted with the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "Not formatted: run clang-format -i on the files above." >&2
    exit 1
fi
