# Sourced by the screen tests: a private X server and the waits around it.

# Starts Xvfb at SIZE (for example 1024x768) on a display number it picks
# itself, logging to LOG; sets xvfb_pid and exports DISPLAY. The read may meet
# an empty pipe at once (no writer yet), so the loop waits in its own steps:
# up to 20 s on a busy machine.
# A server that loses the race for a display number to another one starting
# at the same moment ends at once: it is started again.
start_xvfb() {
  local size=$1 log=$2 name=$3 display=""
  for _ in 1 2 3 4 5; do
    exec {display_fd}<> <(:)
    Xvfb -displayfd "$display_fd" -screen 0 "${size}x24" -nolisten tcp > "$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
      read -r -t 0.1 -u "$display_fd" display && break
      kill -0 "$xvfb_pid" 2> /dev/null || break
      sleep 0.1
    done
    [ -n "$display" ] && break
    kill "$xvfb_pid" 2> /dev/null || true
    sleep 0.5
  done
  [ -n "$display" ] || { echo "$name: Xvfb did not start"; cat "$log"; exit 1; }
  export DISPLAY=":$display"
  # A client the server cannot take yet would end the program at once (the
  # toolkit gives up on a display it cannot reach): the server must answer
  # one first.
  for _ in $(seq 100); do
    xdotool getdisplaygeometry > /dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "$name: Xvfb on $DISPLAY takes no clients"
  cat "$log"
  exit 1
}

# Waits until the X screen shows more than one colour: a freshly started
# program's window is drawn. Without it, a test on a busy machine can take two
# equal shots of the empty screen for a settled one and click before the
# window is there. Given the program's pid and log, a program that ended
# before it drew is said at once, with its log.
wait_for_drawing() {
  local pid=${1:-} log=${2:-}
  for _ in $(seq 150); do
    if [ "$(xwd -root -silent | xwdtopnm 2> /dev/null | ppmhist -noheader 2> /dev/null | wc -l)" -gt 1 ]; then
      return 0
    fi
    if [ -n "$pid" ] && ! kill -0 "$pid" 2> /dev/null; then
      echo "screen test: the program ended before it drew anything"
      [ -n "$log" ] && cat "$log"
      return 1
    fi
    sleep 0.2
  done
  echo "screen test: nothing was drawn within 30 s"
  [ -n "$log" ] && cat "$log"
  return 1
}

# Ends the test with a word unless every tool named after NAME is on the PATH.
require_tools() {
  local name=$1 tool
  shift
  for tool in "$@"; do
    command -v "$tool" > /dev/null || { echo "$name: $tool is missing (scripts/setup-debian.sh installs it)"; exit 1; }
  done
}

# For the EXIT trap: ends the program (program_pid) and the X server
# (xvfb_pid) the test started, if they still run.
end_session() {
  [ -n "${program_pid:-}" ] && kill "$program_pid" 2> /dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2> /dev/null || true
}

# Waits (up to 12 s) until the screen holds still, leaving it in PPM; the
# program (program_pid) must still run, else the test ends with LOG.
hold_still() {
  local ppm=$1 log=$2 previous="" current
  for _ in $(seq 60); do
    sleep 0.2
    kill -0 "$program_pid" 2> /dev/null || { echo "screen test: the program ended"; cat "$log"; exit 1; }
    xwd -root -silent | xwdtopnm 2> /dev/null > "$ppm"
    current=$(cksum < "$ppm")
    [ "$current" = "$previous" ] && break
    previous=$current
  done
}
