# Sourced by the render scripts. picture_of_dialog PICTURE SECONDS: in the viewer window
# titled Velmora, loads the data file its path box names, waits SECONDS for the load,
# selects tech 6 and writes the window's picture to PICTURE.
picture_of_dialog() {
  local picture=$1 load=$2 window
  window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
  xdotool windowfocus --sync "$window"
  # The tech list has the focus; the path box comes next. Enter there loads the data file.
  xdotool key --delay 200 Tab Return
  sleep "$load"
  # Back to the tech list, and down to tech 6 (the first Down selects line 000): a tech with
  # required techs, two costs and five effect lines.
  xdotool key --delay 80 shift+Tab Down Down Down Down Down Down Down
  sleep 1
  import -window "$window" "$picture"
  xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: /window size: /p'
  echo "wrote $picture"
}
