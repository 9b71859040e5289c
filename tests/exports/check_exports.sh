#!/usr/bin/env bash
# Compares the export table of a module with the expected list of names:
# every name must be exported under its plain name, and nothing else.
# Usage: check_exports.sh elf|pe MODULE NAME...
set -euo pipefail
kind=$1
module=$2
shift 2
expected=$(printf '%s\n' "$@" | sort)
if [ "$kind" = elf ]; then
  actual=$(nm -D --defined-only "$module" | awk '$2 ~ /[TDBRVW]/ {print $3}' | sort)
else
  actual=$(i686-w64-mingw32-objdump -p "$module" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
fi
if [ "$actual" != "$expected" ]; then
  echo "exports of $module differ from the expected list:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "exports of $module: $(echo "$actual" | wc -l) names, as expected"
