# The screen helpers of the tests that drive a program under tmux: the pane
# is the one of the tmux server on socket $socket. Sourced by tmux_pane.sh,
# and by the far2l test, which starts its panes its own way.

fail() {
  echo "FAIL: $*"
  tmux -L "$socket" capture-pane -p 2>/dev/null
  exit 1
}

screen() { tmux -L "$socket" capture-pane -p; }

# Waits up to ten seconds for a text on the screen.
waitFor() {
  for _ in $(seq 1 100); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  fail "never saw: $1"
}

# Waits up to ten seconds for a line in a file.
waitInFile() {
  for _ in $(seq 1 100); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "never saw in $1: $2"
}
