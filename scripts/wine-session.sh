# Sourced by the project's commands: a throwaway Wine prefix under a private Xvfb
# display, with a persistent wineserver so that each program starts quickly.
# veltrane_wine_start PREFIX_DIR [own-display] [keep-prefix] starts it; veltrane_wine_stop (run from a trap)
# shuts everything down again.

export WINE=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install dialogs
export WINEARCH=win64

VELTRANE_XVFB_PID=

veltrane_start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
  VELTRANE_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  if [ ! -s "$fdfile" ]; then
    echo "Xvfb did not start" >&2
    rm -f "$fdfile"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

veltrane_wine_start() {
  export WINEPREFIX="$1"
  shift
  local own_display= keep_prefix= option
  for option in "$@"; do
    case "$option" in
      own-display) own_display=1 ;;  # keep the caller's DISPLAY when there is one
      keep-prefix) keep_prefix=1 ;;   # reuse a prefix made by an earlier run
    esac
  done
  [ -n "$keep_prefix" ] && [ -f "$WINEPREFIX/system.reg" ] || rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Tests always get a private Xvfb, so that nothing else on a screen disturbs their clicks.
  if [ -z "$own_display" ] || [ -z "${DISPLAY:-}" ]; then
    veltrane_start_xvfb || return 1
  fi
  wineserver -p
  "$WINE" wineboot -i >/dev/null 2>&1
  # Wine links the user's Documents, Desktop and the like to the Linux home folder,
  # which every prefix on the machine shares: give each prefix folders of its own,
  # so that runs in two trees never see each other's files.
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    [ -L "$link" ] && rm -f "$link" && mkdir -p "$link"
  done
  return 0
}

veltrane_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "$VELTRANE_XVFB_PID" ] && kill "$VELTRANE_XVFB_PID" 2>/dev/null
  VELTRANE_XVFB_PID=
  return 0
}
