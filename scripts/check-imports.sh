#!/usr/bin/env bash
# Fails when the executable imports a DLL outside the system's own short list. version.dll in
# particular must never be imported: a copy planted beside the program would be loaded instead.
set -euo pipefail
exe=$1
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll shlwapi.dll user32.dll"
status=0
while read -r dll; do
    lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
    case " $allowed " in
        *" $lower "*) echo "import ok: $dll" ;;
        *) echo "import not allowed: $dll" >&2; status=1 ;;
    esac
done < <(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
exit $status
