#!/bin/sh
# Runs Neovim headless with the set-up editors/nvim-lsp.lua and its built-in
# language client against tessel lsp, on a faulty dialog file in a project
# (a directory with .git) with its language file, another dialog file in a
# folder below it and one outside it (nvim_test.lua says what is asserted).
# Exit 77 (skipped) when nvim is not installed.
# Usage: nvim_test.sh TESSEL SCRIPT
set -u
command -v nvim >/dev/null 2>&1 || { echo "nvim not installed: skipped"; exit 77; }
tessel=$1
script=$2
setup=$(cd "$(dirname "$0")/../../editors" && pwd)/nvim-lsp.lua
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/project/.git" "$dir/project/sub" "$dir/elsewhere"
printf 'name "Other"\nTEXT 0 5 2 0 2 F 0 () F "x"\n' > "$dir/project/sub/other.dlg"
cp "$dir/project/sub/other.dlg" "$dir/elsewhere/alone.dlg"
printf '.Language=English,English\n"Title"\n"OK"\n' > "$dir/project/FaultyEng.lng"
cat > "$dir/project/faulty.dlg" <<'DLG'
ENUM { MTitle, MOk }
ENUM { eName = 2, eOk }
name "Config"
DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle
EDIT eName 5 3 30 3 T "Hist" DIF_HISTORY F %T% "x"
BUTTON eOK 0 6 0 6 F 0 (DIF_CENTERGROUP) T %L% MOk
CHEKBOX 1 5 2 0 2 F 0 () F "x"
DLG
cd "$dir"
TESSEL="$tessel" SETUP="$setup" PROJECT="$dir/project" ELSEWHERE="$dir/elsewhere" \
  HOME="$dir" XDG_CONFIG_HOME="$dir" XDG_DATA_HOME="$dir" XDG_STATE_HOME="$dir" timeout 90 nvim --headless --clean -n -c "luafile $script" </dev/null
status=$?
[ $status -eq 0 ] && echo "nvim: every check passed"
exit $status
