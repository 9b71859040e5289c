#!/usr/bin/env bash
# scripts/setup on a machine without Debian's package tools: with everything
# the native build needs it installs nothing and succeeds; with commands
# taken away it names exactly the packages that provide them (and the
# headers it can no longer check without a compiler), and fails.
# Usage: setup_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A PATH of every command here but apt-get, apt and dpkg's: the first of
# each name along PATH, linked in one call (a process per link took 20 s).
mkdir "$work/bin"
IFS=: read -r -a dirs <<<"$PATH"
declare -A seen
links=()
for d in "${dirs[@]}"; do
  for f in "$d"/*; do
    b=${f##*/}
    case $b in apt*|dpkg*) continue ;; esac
    [ -x "$f" ] && [ -z "${seen[$b]:-}" ] && seen[$b]=1 && links+=("$f")
  done
done
ln -s -t "$work/bin" "${links[@]}"

fail() { echo "FAIL: $*" >&2; exit 1; }

PATH=$work/bin "$source_dir/scripts/setup" build >"$work/out" 2>&1 || fail "with everything there: $(cat "$work/out")"
[ -s "$work/out" ] && fail "with everything there it said: $(cat "$work/out")"

rm "$work/bin/cmake" "$work/bin/g++"
if PATH=$work/bin "$source_dir/scripts/setup" build >"$work/out" 2>&1; then fail "succeeded without cmake and g++"; fi
expected="scripts/setup: missing (to build tessel): cmake g++ nlohmann-json3-dev libgtest-dev libgmock-dev"
grep -qxF "$expected" "$work/out" || fail "expected \"$expected\", got: $(cat "$work/out")"
grep -q "no apt-get here" "$work/out" || fail "no word on why nothing was installed: $(cat "$work/out")"
echo "setup_test: passed"
