#!/usr/bin/env bash
# The tessel host stand-in over every hostile description file the files
# suite generated: each file is rendered (dialog D, the name most of them
# use), viewed with a script of keys, and a copy of it laid out by sight
# with every change the design makes and saved. Every run must end by itself with
# status 0 or 1 (drawn, or the file or dialog refused): never a crash, a
# sanitizer report (its status is set apart from 1 here) or a hang.
# Usage: tessel_hostile.sh TESSEL DIRECTORY
set -u
tessel=$1
dir=$2
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86
export UBSAN_OPTIONS=${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86:print_stacktrace=1
export TESSEL_REGISTRY=$dir/tessel_hostile_registry.sqlite3
err=$(mktemp)
copy=$(mktemp -d)
trap 'rm -rf "$err" "$copy"' EXIT
status=0
count=0

run() {
  count=$((count + 1))
  timeout -s KILL 30 "$tessel" "$@" > /dev/null 2> "$err"
  local rc=$?
  if [ $rc -gt 1 ] || grep -q -E 'runtime error|ERROR: [A-Za-z]*Sanitizer' "$err"; then
    echo "FAILED (status $rc): tessel $*"
    grep -m5 -E 'ERROR|runtime error|SUMMARY' "$err"
    status=1
  fi
}

shopt -s nullglob
files=("$dir"/*.dlg)
if [ ${#files[@]} -lt 10 ]; then
  echo "no hostile files in $dir"
  exit 1
fi
for file in "${files[@]}"; do
  run render "$file" D --format html
  run view "$file" --keys 'Enter Tab "typed" Space Down Enter Esc End Enter Esc' --size 80x25
  # The design reads the whole file again at each change: the files of
  # hundreds of kilobytes are left to the views above, which read them once.
  [ -f "$file" ] && [ "$(stat -c %s "$file")" -gt 100000 ] && continue
  target=$file # not a regular file: design refuses it, writing nothing
  [ -f "$file" ] && cp "$file" "$copy/d.dlg" && target=$copy/d.dlg
  run design "$target" D --size 80x25 --keys 'Right S-Right Down F5 Ins Enter Tab F4 "x" Enter F8 Space Tab L C
    + - F6 C-Z C-Y Click:40,12 Drag:40,12-42,13 Tab F4 Tab Tab Tab "y" Enter F2 Esc Tab Enter'
done
echo "$count runs of tessel over ${#files[@]} files"
exit $status
