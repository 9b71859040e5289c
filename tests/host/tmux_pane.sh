# Shared by the tests that drive a program on a real terminal under tmux:
# a scratch directory, one tmux server per pane (each on its own socket, so
# that a server still shutting down never meets the next one), keys in with
# send-keys and the screen back with capture-pane (tmux_screen.sh). Source it
# after setting name (the tests' own word, for the directory and the sockets).
work=$(mktemp -d "/tmp/$name-XXXXXX")
runs=0
socket=""
cleanup() {
  [ -n "$socket" ] && tmux -L "$socket" kill-server 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "${BASH_SOURCE[0]}")/tmux_screen.sh"

# Runs a command line in a fresh pane, 80x25 unless a size follows; the pane
# reports its exit status and the terminal modes, then waits.
start() {
  cat >"$work/run.sh" <<SCRIPT
trap 'echo interrupted' INT
$1
status=\$?
echo "MODES: \$(stty -a | tr ' ;' '\n\n' | grep -Ex -- '-?(icanon|echo)' | tr '\n' ' ')"
echo "EXIT=\$status"
exec sleep 60
SCRIPT
  [ -n "$socket" ] && tmux -L "$socket" kill-server 2>/dev/null
  runs=$((runs + 1))
  socket="$name-$$-$runs"
  tmux -L "$socket" -f /dev/null new-session -d -x "${2:-80}" -y "${3:-25}" "env LANG=C.UTF-8 LC_ALL=C.UTF-8 bash $work/run.sh" ||
    fail "tmux cannot start"
}

keys() { tmux -L "$socket" send-keys "$@"; }
