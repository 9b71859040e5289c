#!/usr/bin/env bash
# Flens inside the real host far2l, driven in tmux: Enter and Ctrl-PgDn on a
# description file show "Select Dialog", a dialog takes typed text, a check
# box and a radio button and hands them back (the bridge's trace says what
# the library read), the configuration dialog's choice is stored and survives
# a restart, a file that is no description file is left to the host, F1 shows
# the plug-in's help, an item's colour reaches its cells, texts of code page
# 437 show and come back converted while UTF-8 texts pass as they stand, and
# the host quits cleanly. Then hostile description
# files are offered: the host must neither crash nor hang.
# Usage: tests/far2l/e2e.sh (after scripts/far2l build). Skips without tmux.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v tmux >/dev/null || { echo "tmux is not installed: far2l test skipped"; exit 0; }
plugin=$("$root/scripts/far2l" build) || exit 1
tessel=$root/build/native/bin/tessel
far2l=$root/build/far2l/build/install/far2l

work=$(mktemp -d /tmp/tessel-far2l-XXXXXX)
socket="tessel-far2l-$$-0"
runs=0
cleanup() {
  [ -f "$work/pid" ] && kill -9 "$(cat "$work/pid")" 2>/dev/null
  # The host's TTY back end may have moved to a session of its own: every
  # process started on this run's scratch folder is ended by its id.
  local pid
  for pid in $(ps -eo pid=,args= | awk -v w="$work" 'index($0, w) && $1 != '"$$"' {print $1}'); do
    kill -9 "$pid" 2>/dev/null
  done
  tmux -L "$socket" kill-server 2>/dev/null
  [ -n "${FAR2L_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/files" "$work/profile"
cp "$root/tests/far2l/form.dlg" "$root/tests/far2l/texts.dlg" "$work/files/"
echo "plain text" >"$work/files/notes.txt"
trace=$work/trace.txt

. "$root/tests/host/tmux_screen.sh"
# Every key is given time to reach the host before the next.
keys() { tmux -L "$socket" send-keys "$@"; sleep 0.3; }
waitInTrace() { waitInFile "$trace" "$1"; }

# Starts the host on DIR in a fresh pane; its process id goes to $work/pid,
# its exit status to $work/status.
start() {
  rm -f "$work/status"
  cat >"$work/run.sh" <<SCRIPT
export HOME=$work/profile/home XDG_CONFIG_HOME=$work/profile/config XDG_CACHE_HOME=$work/profile/cache
export TMPDIR=$work/profile/tmp FAR2L_STDERR=$work/profile/far2l.stderr
export TESSEL_REGISTRY=$work/profile/registry.db TESSEL_FAR2L_TRACE=$trace
mkdir -p \$HOME \$XDG_CONFIG_HOME \$XDG_CACHE_HOME \$TMPDIR
# In the foreground (a background job would lose the terminal), its id first.
sh -c 'echo \$\$ > "$work/pid"; exec "\$0" "\$@"' '$far2l' --tty --nodetect '$1'
echo \$? > '$work/status'
exec sleep 60
SCRIPT
  tmux -L "$socket" kill-server 2>/dev/null
  # A fresh socket each time: a server still shutting down never meets the next.
  runs=$((runs + 1))
  socket="tessel-far2l-$$-$runs"
  tmux -L "$socket" -f /dev/null new-session -d -x 100 -y 30 "env LANG=C.UTF-8 LC_ALL=C.UTF-8 bash $work/run.sh" ||
    fail "tmux cannot start"
  waitFor "10Quit"
  sleep 0.5
  # The help shown on the first start.
  screen | grep -qF "Help - FAR2L" && keys Escape
  # The question of the first start about the clipboard: answered No.
  for _ in $(seq 1 30); do
    screen | grep -qF "OSC52" && { keys Escape; break; }
    sleep 0.1
  done
  sleep 0.5
}

# Puts the panel's cursor on the file NAME: Down until the panel's status
# line (above its bottom frame) names it.
pick() {
  keys Home
  for _ in $(seq 1 40); do
    screen | grep -B1 "^╚" | head -1 | grep -qE "^║$1 " && return 0
    keys Down
    sleep 0.2
  done
  fail "cannot put the cursor on $1"
}

# The colours in effect at the first cell of TEXT on the screen, as
# "foreground/background" SGR codes ("default" when none is set).
cellColour() {
  local line prefix code fg=default bg=default
  line=$(tmux -L "$socket" capture-pane -e -p | grep -aF -- "$1" | head -1)
  [ -n "$line" ] || { echo "absent"; return; }
  prefix=${line%%"$1"*}
  while read -r code; do
    case "$code" in
      0 | "") fg=default bg=default ;;
      39) fg=default ;;
      49) bg=default ;;
      3[0-7] | 9[0-7] | "38;"*) fg=$code ;;
      4[0-7] | 10[0-7] | "48;"*) bg=$code ;;
    esac
  done < <(printf '%s' "$prefix" | grep -ao $'\e\\[[0-9;]*m' | sed 's/^.\[//; s/m$//')
  echo "$fg/$bg"
}

quit() {
  keys F10
  waitFor "Do you want to quit"
  keys Enter
  for _ in $(seq 1 100); do [ -f "$work/status" ] && break; sleep 0.1; done
  [ "$(cat "$work/status" 2>/dev/null)" = 0 ] || fail "the host did not quit cleanly"
}

# Fills the dialog Form: text, the check box, the second radio button.
fillForm() {
  waitFor "Name:"
  keys -l "$1"
  for key in Tab Space Tab Down Space Enter; do keys "$key"; done
  waitInTrace "item 2 text [$1]"
  grep -qF "item 3 state 1" "$trace" || fail "check box not read back"
  grep -qF "item 5 state 1" "$trace" && grep -qF "item 4 state 0" "$trace" || fail "radio button not read back"
}

# ---- Enter and Ctrl-PgDn on a description file ----
start "$work/files"
grep -qF "startup token 1 root key Software\\Far2\\Plugins" "$trace" || fail "start-up: $(cat "$trace")"
pick form.dlg
keys Enter
waitFor "Select Dialog"
screen | grep -qF "Second" || fail "menu entries"
: >"$trace"
keys Enter
fillForm "hello"
waitFor "Select Dialog"
# F1 shows the plug-in's help topic.
keys F1
waitFor "Help - Flens"
screen | grep -qF "Flens shows the dialogs" || fail "help topic"
keys Escape
keys Escape
waitInTrace "form.dlg mode 0: -2"

: >"$trace"
keys C-PageDown
waitFor "Select Dialog"
keys Enter
fillForm "world"
keys Escape
waitInTrace "form.dlg mode 128: -2"

# ---- a file that is no description file is left to the host ----
: >"$trace"
pick notes.txt
keys C-PageDown
waitInTrace "notes.txt mode 128: -1"
screen | grep -qF "Select Dialog" && fail "notes.txt taken"

# ---- the configuration dialog, stored and kept over a restart ----
keys M-S-F9
waitFor "Flens dialog viewer"
keys Enter
waitFor "Disable Flens"
for key in Tab Down Space Enter; do keys "$key"; done
waitInTrace "item 5 state 1"
keys Escape
stored=$(TESSEL_REGISTRY=$work/profile/registry.db "$tessel" reg query 'HKCU\Software\Far2\Plugins\Formlens\Config' /v LngMode)
echo "$stored" | grep -q "LngMode *REG_DWORD *0x1" || fail "setting not stored: $stored"
quit

start "$work/files"
: >"$trace"
keys M-S-F9
waitFor "Flens dialog viewer"
keys Enter
waitFor "Disable Flens"
keys Enter
waitInTrace "item 5 state 1"
keys Escape

# ---- colours and texts: code page 437 both ways, UTF-8 as it stands ----
: >"$trace"
pick texts.dlg
keys C-PageDown
waitFor "Select Dialog"
keys Enter
waitFor "Unpainted"
painted=$(cellColour "Painted")
plain=$(cellColour "Unpainted")
case "$painted" in 93/44 | 33/44 | "38;5;11/48;5;4") ;; *) fail "Painted is not yellow on blue: $painted" ;; esac
case "$plain" in 93/* | 33/* | */44) fail "Unpainted carries the colour: $plain" ;; esac
screen | grep -qF "Café 437" || fail "byte 0x82 of code page 437 not shown as é"
keys -l "né"
keys Enter
waitInTrace "$(printf 'item 4 text [n\202]')"
waitFor "Select Dialog"
keys Down
keys Enter
waitFor "UTF-8"
screen | grep -qF "Café UTF-8" || fail "UTF-8 text converted: $(screen | grep -F UTF-8)"
keys -l "né"
keys Enter
waitInTrace "item 2 text [né]"
waitFor "Select Dialog"
keys Escape
waitInTrace "texts.dlg mode 128: -2"
quit
echo "far2l: browsing, dialogs, configuration, help, colours, code pages and quitting pass"

# ---- hostile description files offered in the host ----
hostile=$(ls -d "$root"/build/native/tests/hostile_files-run 2>/dev/null)
if [ -z "$hostile" ]; then
  (cd "$root" && ctest --preset native -R '^hostile_files_test$' >/dev/null)
  hostile=$(ls -d "$root"/build/native/tests/hostile_files-run 2>/dev/null)
fi
[ -n "$hostile" ] || fail "no hostile files"
mkdir -p "$work/hostile"
# A quick subset: every file up to the limit, in name order.
count=0
for file in "$hostile"/*.dlg; do
  [ -f "$file" ] || continue
  count=$((count + 1))
  [ "$count" -gt "${FAR2L_HOSTILE_LIMIT:-8}" ] && break
  cp "$file" "$work/hostile/$(printf '%03d' "$count").dlg"
done
start "$work/hostile"
for n in $(seq 1 $((count > ${FAR2L_HOSTILE_LIMIT:-8} ? ${FAR2L_HOSTILE_LIMIT:-8} : count))); do
  : >"$trace"
  pick "$(printf '%03d' "$n").dlg"
  keys C-PageDown
  sleep 0.5
  # Whatever opened (a menu, a dialog, a message) is closed again: the
  # first dialog of a menu is shown, then everything is left with Esc.
  done=""
  for key in Enter Escape Escape Escape Escape Escape Escape Escape; do
    grep -qF "$(printf '%03d' "$n").dlg mode 128:" "$trace" && { done=1; break; }
    kill -0 "$(cat "$work/pid")" 2>/dev/null || break
    keys "$key"
    sleep 0.3
  done
  kill -0 "$(cat "$work/pid")" 2>/dev/null || fail "the host died on hostile file $n"
  [ -n "$done" ] || fail "hostile file $n: the plug-in never returned"
done
quit
echo "far2l: $n hostile files offered, no crash, no hang"
