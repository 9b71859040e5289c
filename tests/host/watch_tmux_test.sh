#!/usr/bin/env bash
# Live reload on the real terminal, under tmux: tessel view --watch wakes
# from its wait for a key when the file changes, reopens the dialog with the
# text typed so far, shows the status line while the file has errors, keeps
# taking keys meanwhile, and restores the terminal after Ctrl-C and after a
# normal exit. Usage: watch_tmux_test.sh TESSEL EXAMPLES_DIR. Exit 77 skips.
set -u
tessel=$1
examples=$2
command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }

name=tessel-watch-tmux
. "$(dirname "$0")/tmux_pane.sh"
export TESSEL_REGISTRY="$work/registry.sqlite3"
cp "$examples/tools.dlg" "$work/tools.dlg"

# ---- a change reopens the dialog; errors keep it and say why ----
start "cd '$work' && '$tessel' view --watch tools.dlg"
waitFor "Select Dialog"
keys Enter
waitFor "When a file exists"
keys Tab
keys -l "xy"
waitFor 'D:\backup\xy'
sed -i 's/"\&To:"/"\&Into:"/' "$work/tools.dlg"
waitFor "Into:  D:\backup\xy"
sed -i 's/^TEXT 0 5 3 0 3/TXET 0 5 3 0 3/' "$work/tools.dlg"
waitFor "1 error, 0 warnings: tools.dlg:17:"
screen | grep -qF "Into:  D:\backup\xy" || fail "the last good version left the screen"
keys -l "z"
waitFor 'D:\backup\xyz'
sed -i 's/^TXET 0 5 3 0 3/TEXT 0 5 3 0 3/' "$work/tools.dlg"
for _ in $(seq 1 100); do screen | grep -qF "1 error" || break; sleep 0.1; done
screen | grep -qF "1 error" && fail "the status line stayed after the fix"
screen | grep -qF 'Into:  D:\backup\xyz' || fail "the text typed was lost"
keys Escape
waitFor "Select Dialog"
keys Escape
waitFor "EXIT=0"
screen | grep -qF "MODES: icanon echo" || fail "terminal modes not restored after a normal exit"

# ---- the file deleted while watched, then Ctrl-C ----
start "cd '$work' && '$tessel' view --watch tools.dlg"
waitFor "Select Dialog"
rm "$work/tools.dlg"
waitFor "cannot read the file"
screen | grep -qF "Select Dialog" || fail "the menu left the screen"
keys C-c
waitFor "EXIT=130"
screen | grep -qF "MODES: icanon echo" || fail "terminal modes not restored after Ctrl-C"

echo "ok"
