#!/usr/bin/env bash
# The window's pixels as the X server holds them are the framebuffer widened by the zoom, byte
# for byte: each view at zoom 1 to 3, and full screen (the largest zoom that fits, centred on
# black) on two screen sizes.   Usage: present_test.sh BUILD_DIR
here=$(dirname "$0") build_dir=$1
# A row: the keys pressed, in order ("saver" types the screensaver's command), then the scale
# the picture must show at and the window's size.
big=(
  "- 2 1280x960" "F1 1 640x480" "F3 3 1920x1440"
  "F5 2 640x480" "F1 1 320x240" "F3 3 960x720" "F11 6 2048x1536" "F11 3 960x720"
  "F6,saver 1 640x480" "F2 2 1280x960" "F3 3 1920x1440" "F11 3 2048x1536"
)
# too small for zoom 2: the window opens at zoom 1; full screen centres the picture
small=("- 1 640x480" "F11 1 1000x800" "F5 3 1000x800" "F11 2 640x480")
same_pixels() {  # same_pixels NAME SCALE: a picture that changed while being read is read again
  for try in 1 2 3; do
    shot "$1-$try"
    "$build/tests/window_pixels" "$wid" "$work/$1-$try.png" "$2" && return
  done
  fail "the window's pixels at $1 are not the framebuffer at scale $2"
}
on_screen() {  # on_screen WxH ROW...
  KV_SCREEN=$1
  shift
  . "$here/xwindow.sh" "$build_dir"
  start_game --seed 7
  for row in "$@"; do
    read -r keys scale size <<<"$row"
    for k in ${keys//,/ }; do
      case $k in
        -) ;;
        saver) press Tab; type_slowly screensavertoggle; press Return ;;
        *) hold "$k" "$k"; refocus ;;
      esac
    done
    expect_size "${size%x*}" "${size#*x}" "$keys"
    same_pixels "$KV_SCREEN-${keys//,/-}" "$scale"
    if [ "$keys" = F11 ] && [ "$scale" = 1 ]; then  # the pointer through the picture's offset
      xdotool mousemove --sync $((180 + 10)) $((160 + 480 - 20)); sleep 0.3
      next_event "the pointer in the picture" "pointer 10 20"
      xdotool mousemove --sync 5 5; sleep 0.3
      next_event "the pointer off the picture" "pointer 0 479"
    fi
  done
}
(on_screen 2048x1536 "${big[@]}") || exit 1
(on_screen 1000x800 "${small[@]}") || exit 1
echo "PASSED"
