#!/usr/bin/env bash
# Fails when the executable imports a DLL outside the system's own short list. version.dll in
# particular must never be imported: a copy planted beside the program would be loaded instead.
# Nor may it import the CryptoAPI: seeding the stack canary through it loads a cryptographic
# provider at every start, which the program's own canary seeding avoids.
# Arguments: the executable and the objdump of its architecture.
set -euo pipefail
exe=$1
objdump=$2
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll shlwapi.dll user32.dll"
imports=$("$objdump" -p "$exe")
if ! grep -q 'DLL Name:' <<<"$imports"; then
    echo "$objdump read no imports from $exe: the wrong objdump for its architecture, or not a program" >&2
    exit 1
fi
status=0
while read -r dll; do
    lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
    case " $allowed " in
        *" $lower "*) echo "import ok: $dll" ;;
        *) echo "import not allowed: $dll" >&2; status=1 ;;
    esac
done < <(awk '/DLL Name:/ {print $3}' <<<"$imports")
if grep -E '\sCryptAcquireContext[AW]$' <<<"$imports" >&2; then
    echo "imports the CryptoAPI: the compiler's stack-protector runtime was linked" >&2
    status=1
fi
exit $status
