#!/bin/sh
# Runs Neovim headless with its built-in language client against tessel lsp
# on a faulty dialog file (nvim_test.lua says what is asserted). Exit 77
# (skipped) when nvim is not installed. Usage: nvim_test.sh TESSEL SCRIPT
set -u
command -v nvim >/dev/null 2>&1 || { echo "nvim not installed: skipped"; exit 77; }
tessel=$1
script=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat > "$dir/faulty.dlg" <<'DLG'
ENUM { MTitle, MOk }
ENUM { eName = 2, eOk }
name "Config"
DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle
EDIT eName 5 3 30 3 T "Hist" DIF_HISTORY F %T% "x"
BUTTON eOK 0 6 0 6 F 0 (DIF_CENTERGROUP) T %L% MOk
CHEKBOX 1 5 2 0 2 F 0 () F "x"
DLG
cd "$dir"
TESSEL="$tessel" DLG_FILE="$dir/faulty.dlg" HOME="$dir" XDG_CONFIG_HOME="$dir" XDG_DATA_HOME="$dir" \
  XDG_STATE_HOME="$dir" timeout 90 nvim --headless --clean -n -c "luafile $script" </dev/null
status=$?
[ $status -eq 0 ] && echo "nvim: every check passed"
exit $status
