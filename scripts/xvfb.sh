# A private X display for the scripts that open windows without one (the
# window tests, scripts/run.sh, bench/startup). Source it, then:
#
#   xvfb_start   starts an Xvfb on a free display number, exports DISPLAY
#                and returns once the server accepts connections;
#                $xvfb_pid is its process id
#   xvfb_stop    ends that Xvfb (and only it); safe to call twice or
#                when none was started, so it can go in an EXIT trap
#
# Xvfb picks the number itself (-displayfd) and writes it back when it is
# ready, so two scripts starting at once cannot take the same one.
# Wine must see the display from its first command on, or it settles on
# having none: start it before the Wine prefix is touched.

xvfb_pid=""

xvfb_start() {
  local dir display
  dir=$(mktemp -d)
  mkfifo "$dir/ready"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/ready" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 10 display <"$dir/ready" || true
  rm -rf "$dir"
  if [ -z "$display" ]; then
    echo "xvfb.sh: Xvfb did not start" >&2
    xvfb_stop
    return 1
  fi
  export DISPLAY=":$display"
}

xvfb_stop() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  xvfb_pid=""
}
