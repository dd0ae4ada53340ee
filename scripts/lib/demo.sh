# Shared by scripts/run and its test: laying out the demo installation and telling whether the
# windows have a display to open on. Source it; it defines functions only.

# The suite's settings files: the build ships defaults, but once the demo has them they hold
# the user's choices (the unit of measure, its decimals) and are never copied over.
demo_user_files="BRENIX.INI CONFIG.INI Macchine.ini"

# lay_out_demo TREE DEMO [DATA]: refreshes the programs, libraries and catalogue of DEMO from the
# build's installation TREE, adds the suite files only when absent, and adds the demo data DATA
# (jobs, catalogues) without replacing anything the user changed.
lay_out_demo() {
  local tree="$1" demo="$2" data="${3:-}" entry name
  mkdir -p "$demo"
  for entry in "$tree"/* "$tree"/.[!.]*; do
    [ -e "$entry" ] || continue
    name=$(basename "$entry")
    if [[ " $demo_user_files " == *" $name "* ]] && [ -e "$demo/$name" ]; then
      continue
    fi
    cp -a "$entry" "$demo"/
  done
  if [ -n "$data" ] && [ -d "$data" ]; then
    cp -an "$data"/. "$demo"/ 2>/dev/null || true
  fi
}

# has_display: true when Qt can open windows here, the way it picks its platform: the one that
# QT_QPA_PLATFORM names, else Wayland or X11 from the session.
has_display() {
  local platform="${QT_QPA_PLATFORM:-}"
  platform="${platform%%:*}"
  case "$platform" in
    "") [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${DISPLAY:-}" ] ;;
    xcb) [ -n "${DISPLAY:-}" ] ;;
    wayland*) [ -n "${WAYLAND_DISPLAY:-}" ] ;;
    *) true ;;  # offscreen, vnc, eglfs and the like need no desktop session
  esac
}

# no_display_message DEMO: the one line scripts/run prints instead of letting Qt abort.
no_display_message() {
  local demo="$1"
  echo "scripts/run: there is no display to open the windows on." \
       "Run it on a desktop, under a virtual display with 'xvfb-run -a scripts/run'," \
       "or use the batch tool: $demo/tavrel-batch --install $demo startup"
}
