#!/usr/bin/env bash
# tessel design on a real terminal under tmux. While the design runs the
# terminal reports the mouse in xterm's SGR form, and it stops when tessel
# ends. A click selects and a drag moves, sent as the terminal sends them
# (1-based cells). This holds whether ncurses decodes the report (TERM=xterm,
# whose description has it) or tessel does (tmux's own terminal type, whose
# description has the older report, which ncurses decodes there).
# Usage: design_tmux_test.sh TESSEL. Exit 77 skips.
set -u
tessel=$1
command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }

name=tessel-design
. "$(dirname "$0")/tmux_pane.sh"

dialog=$'name D\r\nDOUBLEBOX 0 3 1 30 6 F 0 ()                F "Box"\r\nEDIT      1 5 3 20 3 T 0 ()                F ""\r\nBUTTON    2 0 5  0 5 F 0 (DIF_CENTERGROUP) T "OK"\r\n'
mouse() { tmux -L "$socket" display -p '#{mouse_sgr_flag}#{mouse_button_flag}'; }
sgr() { for report in "$@"; do keys -l $'\e[<'"$report"; done; }
# The older report (Esc [ M and three bytes of 32 plus the button, column and
# row counted from 1), which a terminal that knows no SGR form sends.
x10() { keys -l "$(printf '\033[M%b%b%b' "\\x$(printf %x $((32 + $1)))" "\\x$(printf %x $((33 + $2)))" "\\x$(printf %x $((33 + $3)))")"; }

for term in "" xterm; do
  type=${term:-"tmux's own terminal type"}
  printf '%s' "$dialog" >"$work/d.dlg"
  start "cd '$work' && ${term:+env TERM=$term} '$tessel' design d.dlg D"
  waitFor "DOUBLEBOX 0 at 3,1"
  [ "$(mouse)" = 11 ] || fail "TERM=$type: the mouse reports were not asked for"
  # The dialog stands at 23,8: the edit field's first cell is 28,11, 29;12 counted from 1.
  # A press there, moves while the button is held, a release: one change.
  sgr "0;29;12M" "32;31;13M" "32;32;13M" "0;32;13m"
  waitFor "EDIT 1 at 8,4 size 16x1, line 3, changed"
  keys C-z
  waitFor "EDIT 1 at 5,3"
  keys C-y
  waitFor "EDIT 1 at 8,4"
  # A click on the button's first cell (37,13) selects it; other buttons and the wheel do nothing.
  sgr "0;38;14M" "0;38;14m" "2;29;12M" "2;29;12m" "64;29;12M"
  waitFor "BUTTON 2 at 14,5"
  if [ -z "$term" ]; then # the box's top left corner, 26,9: a press and a release
    x10 0 26 9
    x10 3 26 9
    waitFor "DOUBLEBOX 0 at 3,1"
  fi
  keys F2
  waitFor "saved"
  keys Escape
  waitFor "EXIT=0"
  [ "$(mouse)" = 00 ] || fail "TERM=$type: the mouse reports were left on"
  expected=${dialog/EDIT      1 5 3 20 3/EDIT      1 8 4 23 4}
  printf '%s' "$expected" >"$work/expected.dlg"
  cmp -s "$work/d.dlg" "$work/expected.dlg" || fail "TERM=$type: the file is not the one dragged: $(cat -A "$work/d.dlg")"
done
echo "design under tmux: the mouse reported, decoded both ways, and put back"
