#!/usr/bin/env bash
# Fails when quellor.exe imports a DLL that a clean Windows does not have: the program must
# start with nothing beside it but vesk.dll.
#   check_imports.sh OBJDUMP EXE
set -euo pipefail
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|MSVCRT|ADVAPI32)\.DLL$'
imports=$("$1" -p "$2" | sed -n 's/^\tDLL Name: //p' | tr '[:lower:]' '[:upper:]')
[[ -n $imports ]] || { echo "no import table found in $2"; exit 1; }
echo "$imports"
bad=$(grep -Ev "$allowed" <<<"$imports" || true)
[[ -z $bad ]] || { echo "not on a clean Windows: $bad"; exit 1; }
