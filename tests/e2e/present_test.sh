#!/usr/bin/env bash
# The window's pixels as the X server holds them are the framebuffer widened by the zoom, byte
# for byte: each view at zoom 1 to 3, and full screen (the largest zoom that fits, centred on
# black) on two screen sizes.   Usage: present_test.sh BUILD_DIR
here=$(dirname "$0") build_dir=$1
# A row: the keys pressed ("saver": the screensaver's command), the scale shown, the window size.
big=("- 2 1280x960" "F1 1 640x480" "F3 3 1920x1440" "F5 2 640x480" "F1 1 320x240"
  "F3 3 960x720" "F11 6 2048x1536" "F11 3 960x720" "F6,saver 1 640x480" "F2 2 1280x960"
  "F3 3 1920x1440" "F11 3 2048x1536")
# too small for zoom 2: the window opens at zoom 1; full screen centres the picture
small=("- 1 640x480" "F11 1 1000x800" "F5 3 1000x800" "F11 2 640x480")
on_screen() {  # on_screen WxH ROW...
  KV_SCREEN=$1 && shift && . "$here/xwindow.sh" "$build_dir"
  start_game --seed 7
  for row in "$@"; do
    read -r keys scale size <<<"$row"
    for k in ${keys//,/ }; do
      case $k in
        -) ;; saver) press Tab; type_slowly screensavertoggle; press Return; press Tab ;;
        *) hold "$k" "$k"; refocus ;;
      esac
    done
    expect_size "${size%x*}" "${size#*x}" "$keys"
    for try in 1 2 3 4; do  # read again a picture that changed while being read; the screensaver
      until_pass $(((PASS / 50 + 1) * 50 + 1))  # renews its own every 50 passes
      shot "$try" && "$build/tests/picture_check" "$work/$try.png" "window=$wid,$scale" && break
      [ $try = 4 ] && fail "the window's pixels after $keys are not the picture at scale $scale"
    done
    [ "$keys $scale" = "F11 1" ] || continue  # the pointer through the picture's offset, clamped
    xdotool mousemove --sync 190 620; next_event "the pointer on the picture" "pointer 10 20"
    xdotool mousemove --sync 5 5; next_event "the pointer off the picture" "pointer 0 479"
  done
}
(on_screen 2048x1536 "${big[@]}") && (on_screen 1000x800 "${small[@]}") && echo "PASSED"
