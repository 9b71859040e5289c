#!/usr/bin/env bash
# tessel.exe, the Windows build of tessel, under Wine against the native
# tessel on the same files: check's findings (gcc form and JSON, dialog and
# language files, the generated hostile files), fmt (printed, checked and rewriting a file), header,
# render, try's read-back, reg, a design session, and a language-server session. The output
# must be the same apart from Windows line ends in printed text.
# Usage: tools_test.sh NATIVE_BUILD WIN32_BUILD (the build trees)
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
native=$(cd "$1" && pwd)
win32=$(cd "$2" && pwd)
[ -x "$native/bin/tessel" ] || { echo "tools_test: no $native/bin/tessel: build the native preset first" >&2; exit 1; }
[ -f "$win32/bin/tessel.exe" ] || { echo "tools_test: no $win32/bin/tessel.exe" >&2; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$win32/wine} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
[ -d "$WINEPREFIX" ] || "$here/run" --prefix >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/native" "$work/win32"
cp -r "$root/examples/." "$work/native/"
cp -r "$root/examples/." "$work/win32/"
export TESSEL_REGISTRY="$work/registry.sqlite3" # the native reg's store; Wine has its own registry

failed=0
# same NAME ARGS...: runs tessel ARGS in each copy of the examples; their
# standard output, standard error and exit status must agree.
same() {
  local name=$1
  shift
  (cd "$work/native" && "$native/bin/tessel" "$@" >"$work/n.out" 2>"$work/n.err"; echo "exit $?" >>"$work/n.out")
  (cd "$work/win32" && "$here/run" "$win32/bin/tessel.exe" "$@" >"$work/w.out" 2>"$work/w.err"
   echo "exit $?" >>"$work/w.out")
  sed -i 's/\r$//' "$work/w.out" "$work/w.err"
  if cmp -s "$work/n.out" "$work/w.out" && cmp -s "$work/n.err" "$work/w.err"; then
    echo "same: $name"
  else
    echo "DIFFERS: $name (tessel $*)"
    diff "$work/n.out" "$work/w.out" | head -20
    diff "$work/n.err" "$work/w.err" | head -20
    failed=1
  fi
}

mistakes=$(cd "$root/examples" && ls mistakes/*.dlg | tr '\n' ' ')
# shellcheck disable=SC2086 # the file names are words
same "check, every example and mistake" check demo.dlg hello.dlg tools.dlg $mistakes mistakes/languages/languages.dlg
same "check --format json" check --format json mistakes/layout.dlg mistakes/unknown-names.dlg
same "check a language file" check mistakes/languages/LangGer.lng ExamplesGer.lng
same "fmt --stdout" fmt --stdout demo.dlg
# shellcheck disable=SC2086
same "fmt --check" fmt --check $mistakes
same "fmt rewriting a file" fmt tools.dlg
cmp -s "$work/native/tools.dlg" "$work/win32/tools.dlg" || { echo "DIFFERS: the file fmt rewrote"; failed=1; }
same "header" header demo.dlg
same "render, German texts" render demo.dlg Demo --language German
same "render --format html" render --format html hello.dlg Hello
same "try's read-back" try demo.dlg Demo --keys '"Bob" Tab Space Enter'
same "try --json" try hello.dlg Hello --json --keys Enter
same "reg add" reg add 'HKCU\Software\Tessel\Tools' /v Greeting /d Hello /f
same "reg query" reg query 'HKCU\Software\Tessel\Tools'
same "a path that does not exist" check no/such/file.dlg
# A design session: a drag, an item from the palette, the form, saving
# (a temporary file renamed over the file); the file's bytes must agree too.
same "design" design hello.dlg Hello --screen design.txt \
  --keys 'Drag:24,11-25,11 Tab Ins Down Enter F4 Tab Tab Tab BS "!" Enter F2 Esc'
cmp -s "$work/native/hello.dlg" "$work/win32/hello.dlg" || { echo "DIFFERS: the file design saved"; failed=1; }
cmp -s "$work/native/hello.dlg" "$root/examples/hello.dlg" && { echo "DIFFERS: design saved nothing"; failed=1; }
# The generated hostile files (the native tests made them): binary bytes,
# huge and broken files.
if [ -d "$native/tests/hostile_files-run" ]; then
  rm -rf "$work/native/hostile" "$work/win32/hostile"
  cp -r "$native/tests/hostile_files-run" "$work/native/hostile"
  cp -r "$native/tests/hostile_files-run" "$work/win32/hostile"
  hostile=$(cd "$work/native" && ls hostile/*.dlg | tr '\n' ' ')
  # shellcheck disable=SC2086
  same "check, the hostile files" check $hostile
fi

# The release archive's tools/ as a user unpacks it (its test unpacked it).
unpacked="$win32/tests/package_unpacked/tools"
if [ -f "$unpacked/tessel.exe" ]; then
  (cd "$work/win32" && "$here/run" "$unpacked/tessel.exe" render hello.dlg Hello >"$work/w.out" 2>&1) &&
    grep -q "Hello" "$work/w.out" && echo "same: the archive's tools/tessel.exe renders" ||
    { echo "DIFFERS: the archive's tools/tessel.exe"; cat "$work/w.out"; failed=1; }
fi

# The language server: the scripted client's sessions, with tessel.exe as
# the server (the test program starts the command it is given).
# URIs with a drive letter, as editors on Windows send them (file:///z%3A/...).
if TESSEL_LSP_SERVER="$here/run $win32/bin/tessel.exe" TESSEL_LSP_URI_ROOT="file:///z%3A" "$native/tests/lsp_test" \
  --gtest_filter='Lsp.Lifecycle:Lsp.DiagnosticsFollowChanges:Lsp.PositionEncodingsAndCodePages:Lsp.BodyOfTheWrongLength:Lsp.Formatting:Lsp.LanguageFilesBesideADialog' \
  >"$work/lsp.out" 2>&1; then
  echo "same: language-server sessions"
else
  echo "DIFFERS: language-server sessions"
  tail -30 "$work/lsp.out"
  failed=1
fi
exit $failed
