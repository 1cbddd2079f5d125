# Sourced by the screen tests: a private X server, the program on it, and the
# waits, shots and clicks around it. A test sets `test_name` (for its
# messages), `shots` (the folder its screenshots go to) and `shot_prefix` (the
# start of their names), and for clicks by name `frame_show` and `dialog_show`
# (the kid frame and dialog checkers, which lay the program's windows out with
# its own code).

# Ends the test with its name and the words given.
fail() {
  echo "${test_name:-screen test}: $*"
  exit 1
}

# The time in microseconds.
now_us() {
  echo "${EPOCHREALTIME/[.,]/}"
}
# Runs COMMAND... every 0.1 s until it succeeds, for at most SECONDS (whole
# seconds); false when it never did.
wait_until() {
  local deadline=$(($(now_us) + $1 * 1000000))
  shift
  until "$@"; do
    [ "$(now_us)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Starts Xvfb at SIZE (for example 1024x768) on a display number it picks
# itself, logging to LOG; sets xvfb_pid, screen_width and screen_height and
# exports DISPLAY. The read may meet an empty pipe at once (no writer yet), so
# the loop waits in its own steps: up to 20 s on a busy machine.
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
  screen_width=${size%x*}
  screen_height=${size#*x}
  # A client the server cannot take yet would end the program at once (the
  # toolkit gives up on a display it cannot reach): the server must answer
  # one first.
  wait_until 10 eval 'xdotool getdisplaygeometry > /dev/null 2>&1' && return 0
  echo "$name: Xvfb on $DISPLAY takes no clients"
  cat "$log"
  exit 1
}

# Says so when the test's X server answers no more: a program that cannot
# reach its display ends, and the fault is not the program's.
x_server_gone() {
  xdotool getdisplaygeometry > /dev/null 2>&1 ||
    echo "screen test: the X server on $DISPLAY (pid ${xvfb_pid:-unknown}) answers no more"
}

# The screen as PPM, on standard output.
grab_screen() {
  xwd -root -silent | xwdtopnm 2> /dev/null
}
screen_sum() {
  grab_screen | cksum
}

# True once the X screen shows more than one colour.
drawn() {
  [ "$(grab_screen | ppmhist -noheader 2> /dev/null | wc -l)" -gt 1 ]
}

# Waits until the X screen shows more than one colour: a freshly started
# program's window is drawn. Without it, a test on a busy machine can take two
# equal shots of the empty screen for a settled one and click before the
# window is there. Given the program's pid and log, a program that ended
# before it drew is said at once, with its log.
wait_for_drawing() {
  local pid=${1:-} log=${2:-}
  for _ in $(seq 150); do
    drawn && return 0
    if [ -n "$pid" ] && ! kill -0 "$pid" 2> /dev/null; then
      echo "screen test: the program ended before it drew anything"
      [ -n "$log" ] && cat "$log"
      x_server_gone
      return 1
    fi
    sleep 0.2
  done
  echo "screen test: nothing was drawn within 30 s"
  [ -n "$log" ] && cat "$log"
  return 1
}

# Begins a screen test called NAME whose shots in $shots start with PREFIX:
# every tool after them must be on the PATH, and the program and the X server
# the test starts (program_pid, xvfb_pid) end with it, however it ends.
begin_screen_test() {
  test_name=$1 shot_prefix=$2
  shift 2
  mkdir -p "$shots"
  require_tools "$test_name" "$@"
  xvfb_pid="" program_pid=""
  trap end_session EXIT
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

# Starts COMMAND... as the program under test, its output in LOG (kept in
# program_log), and waits until it has drawn.
start_program() {
  program_log=$1
  shift
  "$@" > "$program_log" 2>&1 &
  program_pid=$!
  wait_for_drawing "$program_pid" "$program_log"
}

# Waits (up to 12 s) until the screen holds still (two grabs a tenth of a
# second apart are the same), leaving it in PPM; the program (program_pid)
# must still run, else the test ends with LOG.
hold_still() {
  local ppm=$1 log=$2 previous="" current
  for _ in $(seq 120); do
    sleep 0.1
    kill -0 "$program_pid" 2> /dev/null || { echo "screen test: the program ended"; cat "$log"; x_server_gone; exit 1; }
    grab_screen > "$ppm"
    current=$(cksum < "$ppm")
    [ "$current" = "$previous" ] && return 0
    previous=$current
  done
}

# Waits until the screen holds still, then keeps it as
# $shots/$shot_prefix$1.png (with no name, keeps nothing); the still screen
# stays in $shots/${shot_prefix}screen.ppm.
shot() {
  hold_still "$shots/${shot_prefix}screen.ppm" "$program_log"
  [ -z "${1:-}" ] || pnmtopng < "$shots/${shot_prefix}screen.ppm" > "$shots/$shot_prefix$1.png"
}
last_shot() {
  echo "$shots/${shot_prefix}screen.ppm"
}

screen_is_not() {
  [ "$(screen_sum)" != "$1" ]
}
# Waits up to SECONDS for the screen to differ from the sum BEFORE
# (screen_sum); false when it never did.
wait_for_change() {
  wait_until "$1" screen_is_not "$2"
}

# A click at X Y, and nothing waited for.
press() {
  xdotool mousemove "$1" "$2" click 1
}
# A click at X Y; then the screen changes (for up to 2 s: a click may change
# nothing) and holds still, kept as NAME (shot).
click() {
  local before
  before=$(screen_sum)
  press "$1" "$2"
  wait_for_change 2 "$before" || true
  shot "${3:-}"
}
# A click at X Y that must change the screen within SECONDS (5 by default),
# which then holds still, kept as NAME.
click_changing() {
  local before
  before=$(screen_sum)
  press "$1" "$2"
  wait_for_change "${4:-5}" "$before" || fail "the click at $1 $2 changed nothing on the screen"
  shot "${3:-}"
}

# False while the program runs; once it has ended, true, with program_status
# set to how it ended and program_pid emptied.
program_ended() {
  kill -0 "$program_pid" 2> /dev/null && return 1
  program_status=0
  wait "$program_pid" || program_status=$?
  program_pid=""
}
# Waits up to SECONDS for the program to end, which it must with status 0;
# else the test ends, saying WHAT.
wait_for_exit() {
  local seconds=$1 what=$2
  wait_until "$seconds" program_ended || fail "$what: the program did not end within $seconds s"
  [ "$program_status" = 0 ] || { cat "$program_log"; fail "$what: the program ended with $program_status"; }
}

# The program's visible top-level windows, one "ID X Y WIDTH HEIGHT" a line.
program_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$program_pid" --name '' 2> /dev/null); do
    (
      eval "$(xdotool getwindowgeometry --shell "$id" 2> /dev/null)" && echo "$id $X $Y $WIDTH $HEIGHT"
    ) || true
  done
}
# The position "X Y" of the program's visible window of WIDTH by HEIGHT;
# false when it shows none.
window_of() {
  program_windows | awk -v w="$1" -v h="$2" '$4 == w && $5 == h { print $2, $3; found = 1; exit } END { exit !found }'
}
# Waits up to SECONDS for the program to show a window of WIDTH by HEIGHT;
# false when it did not.
window_shown() {
  window_of "$1" "$2" > /dev/null
}
wait_for_window() {
  wait_until "$1" window_shown "$2" "$3"
}

# Where a named control of the program lies, from the program's own layout
# code: WINDOW is frame (the kid frame, no menu bar), frame-menu (with its
# bar), bar (a title of the bar), popup (an item of a bar's popup), signin,
# models or backgrounds (the file browser); NAME an id name of the program
# (see control_names.h). Sets layout_answer to "X Y WIDTH HEIGHT": the centre
# in the window and the window's size. Answers are kept: the layout does not
# change. (No command substitution here: the answers must stay, and a
# failure must end the test.)
declare -A layout_answers
layout_log() {
  echo "$shots/${shot_prefix}layout.log"
}
layout() {
  local window=$1 name=$2 key="$1 $2" answer="" menu=0 what=$2
  if [ -z "${layout_answers[$key]:-}" ]; then
    case $window in
      frame | frame-menu | bar | popup)
        [ "$window" = frame ] || menu=1
        [ "$window" = bar ] && what="bar:$name"
        [ "$window" = popup ] && what="item:$name"
        env -u DISPLAY QT_QPA_PLATFORM=offscreen "$frame_show" where "$screen_width" "$screen_height" $menu "$what" \
          > "$shots/${shot_prefix}layout.txt" 2>> "$(layout_log)" || true
        ;;
      signin | models | backgrounds)
        mkdir -p "$shots/${shot_prefix}layout"
        env -u DISPLAY QT_QPA_PLATFORM=offscreen "$dialog_show" where "$shots/${shot_prefix}layout" "$window" "$name" \
          > "$shots/${shot_prefix}layout.txt" 2>> "$(layout_log)" || true
        ;;
      *) fail "no window $window to find $name in" ;;
    esac
    read -r answer < "$shots/${shot_prefix}layout.txt" || true
    [ -n "$answer" ] || { cat "$(layout_log)"; fail "the layout has no $name in $window"; }
    layout_answers[$key]=$answer
  fi
  layout_answer=${layout_answers[$key]}
}
# Sets control_x and control_y to the screen point of a named control
# (WINDOW NAME as for layout), in the program's window of that size, waited
# for up to 10 s.
control() {
  local dx dy width height x y
  layout "$1" "$2"
  read -r dx dy width height <<< "$layout_answer"
  wait_for_window 10 "$width" "$height" || { program_windows; fail "no window of $width by $height for $2"; }
  read -r x y <<< "$(window_of "$width" "$height")"
  control_x=$((x + dx))
  control_y=$((y + dy))
}
# Clicks on a named control (WINDOW NAME): press_on waits for nothing,
# click_on and click_changing_on as click and click_changing, kept as SHOT.
press_on() {
  control "$1" "$2"
  press "$control_x" "$control_y"
}
click_on() {
  control "$1" "$2"
  click "$control_x" "$control_y" "${3:-}"
}
click_changing_on() {
  control "$1" "$2"
  click_changing "$control_x" "$control_y" "${3:-}"
}
# The pointer on the backdrop between the Background button and the
# direction buttons, where it shows no outline and lights no button.
rest_pointer() {
  local x
  control frame IDM_BACKGROUND
  x=$control_x
  control frame IDM_MOVE_BACK_LEFT
  xdotool mousemove $(((x + control_x) / 2)) "$control_y"
}

# Waits up to SECONDS until the program shows a window of the size of the
# layout's WINDOW (signin, models, backgrounds), or no longer shows one;
# wait_for_dialog is false when it did not show, wait_for_close ends the test
# when it did not go.
window_gone() {
  local width height
  layout "$1" IDOK
  read -r _ _ width height <<< "$layout_answer"
  ! window_shown "$width" "$height"
}
wait_for_dialog() {
  local width height
  layout "$2" IDOK
  read -r _ _ width height <<< "$layout_answer"
  wait_for_window "$1" "$width" "$height"
}
wait_for_close() {
  wait_until "$1" window_gone "$2" || fail "the $2 window did not close within $1 s"
}

# Sets pane to the pane's place on the screen, "LEFT TOP WIDTH HEIGHT", as the
# kid frame (no menu bar) lays it out.
pane_place() {
  local left="" top width height x y
  env -u DISPLAY QT_QPA_PLATFORM=offscreen "$frame_show" rect "$screen_width" "$screen_height" 0 AFX_IDW_PANE_FIRST \
    > "$shots/${shot_prefix}layout.txt" 2>> "$(layout_log)" || true
  read -r left top width height < "$shots/${shot_prefix}layout.txt" || true
  [ -n "$left" ] || { cat "$(layout_log)"; fail "the layout has no pane"; }
  wait_for_window 10 "$screen_width" "$screen_height" || fail "no kid frame on the screen"
  read -r x y <<< "$(window_of "$screen_width" "$screen_height")"
  pane="$((x + left)) $((y + top)) $width $height"
}
