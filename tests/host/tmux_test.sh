#!/usr/bin/env bash
# Drives tessel's real terminal path under tmux: keys go in with send-keys,
# the screen comes back with capture-pane. Checks the menu, dialogs, text
# typed in UTF-8 arriving in the host's code page, an Alt hot key, colours on
# the terminal, the --screen dump of an interactive run, and that the
# terminal is restored both after a normal exit and after Ctrl-C, and left
# alone when its type is unknown or cannot place the cursor; Shift-Tab on a
# terminal type that does not describe it, NO_COLOR, and a terminal smaller
# than the dialog. Usage: tmux_test.sh TESSEL EXAMPLES_DIR. Exit 77 skips.
set -u
tessel=$1
examples=$2
command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }

name=tessel-tmux
. "$(dirname "$0")/tmux_pane.sh"
export TESSEL_REGISTRY="$work/registry.sqlite3"

# ---- browse a file: menu, a dialog, back to the menu, an Alt hot key ----
start "'$tessel' view '$examples/tools.dlg' --screen '$work/screens.txt'"
waitFor "Select Dialog"
screen | grep -qF "║ Confirm delete  ║" || fail "menu entries"
# a character typed in UTF-8 goes into the field in code page 437, and shows
keys Enter
waitFor "When a file exists"
keys -l "é"
waitFor 'C:\work\*.dlgé'
keys Escape
waitFor "Select Dialog"
keys Down Down Enter
waitFor "Dialog library  1.00"
tmux -L "$socket" capture-pane -p -e | grep -qF $'\e[46m{ OK }' || fail "the focused button is not on cyan"
keys Enter
waitFor "Select Dialog"
keys Up Enter
waitFor "For all of them"
keys M-a
waitFor "[x] For all of them"
keys Escape
waitFor "Select Dialog"
keys Escape
waitFor "EXIT=0"
screen | grep -qF "MODES: icanon echo" || fail "terminal modes not restored after a normal exit"
grep -q "^=== screen 1, focus" "$work/screens.txt" || fail "no --screen dump of the interactive run"
grep -qF "[x] For all of them" "$work/screens.txt" || fail "the dump lacks the ticked check box"
grep -qF 'C:\work\*.dlgé' "$work/screens.txt" || fail "the dump lacks the typed character"

# ---- Ctrl-C while a dialog waits: the terminal is restored ----
start "'$tessel' config"
waitFor "Disable Flens"
keys C-c
waitFor "EXIT=130"
screen | grep -qF "MODES: icanon echo" || fail "terminal modes not restored after Ctrl-C"
screen | grep -qF "Disable Flens" && fail "the dialog was left on the screen"

# ---- a terminal type ncurses does not know: one line, the terminal untouched ----
start "env TERM=no-such-terminal '$tessel' view '$examples/demo.dlg'"
waitFor "EXIT=1"
screen | grep -qF 'tessel: unknown terminal type "no-such-terminal"' || fail "no clear line for an unknown TERM"
screen | grep -qF "MODES: icanon echo" || fail "terminal modes changed by a failed start"

# ---- a terminal type that cannot place the cursor: one line, the terminal untouched ----
start "env TERM=dumb '$tessel' view '$examples/demo.dlg'"
waitFor "EXIT=1"
screen | grep -qF 'tessel: terminal type "dumb" cannot place the cursor' || fail "no clear line for TERM=dumb"
screen | grep -qF "MODES: icanon echo" || fail "terminal modes changed by a refused start"

# ---- Shift-Tab where the terminal type has no back-tab key (vt100) ----
start "env TERM=vt100 '$tessel' view '$examples/tools.dlg' --screen '$work/vt100.txt'"
waitFor "Select Dialog"
keys Enter
waitFor "When a file exists"
keys BTab
# from the source field back to the last button, [ Cancel ] at 39,15
waitInFile "$work/vt100.txt" "focus 39,15 ==="
grep -qF 'dlgZ' "$work/vt100.txt" && fail "Shift-Tab typed Z into the field"
keys Escape
waitFor "Select Dialog"
keys Escape
waitFor "EXIT=0"

# ---- NO_COLOR: styles only, no colour ----
start "env NO_COLOR=1 '$tessel' view '$examples/tools.dlg'"
waitFor "Select Dialog"
keys Enter
waitFor "When a file exists"
sgr=$(tmux -L "$socket" capture-pane -p -e | grep -oE $'\e\\[[0-9;]*m' | sort -u | tr '\n' ' ')
echo "$sgr" | grep -qE '[[;]((3|4|9)[0-8]|10[0-7])[;m]' && fail "colours despite NO_COLOR: $sgr"
echo "$sgr" | grep -qF '[7m' || fail "no reverse for the edit fields under NO_COLOR: $sgr"
keys Escape
waitFor "Select Dialog"
keys Escape
waitFor "EXIT=0"

# ---- a terminal smaller than the dialog: said on the screen, still usable ----
start "'$tessel' view '$examples/tools.dlg' --screen '$work/small.txt'" 40 10
waitFor "Select Dialog"
keys Enter
waitFor "terminal 40x10 < dialog 60x12"
keys Tab Tab Tab Tab Tab
waitInFile "$work/small.txt" "=== screen 7, focus"
# the buttons lie below the screen: Tab never reaches them
grep -E "^=== screen [0-9]+, focus [0-9]+,(9|[1-9][0-9]) ===" "$work/small.txt" && fail "the focus went off the screen"
keys Escape
waitFor "Select Dialog"
keys Escape
waitFor "EXIT=0"

echo "ok"

