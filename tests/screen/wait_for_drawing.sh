# Sourced by the screen tests. Waits until the X screen shows more than one
# colour: a freshly started program's window is drawn. Without it, a test on
# a busy machine can take two equal shots of the empty screen for a settled
# one and click before the window is there.
wait_for_drawing() {
  for _ in $(seq 150); do
    if [ "$(xwd -root -silent | xwdtopnm 2> /dev/null | ppmhist -noheader 2> /dev/null | wc -l)" -gt 1 ]; then
      return 0
    fi
    sleep 0.2
  done
  echo "screen test: nothing was drawn within 30 s"
  return 1
}
