# Sourced by the project's commands: a throwaway Wine prefix under a private Xvfb
# display, with a persistent wineserver so that each program starts quickly.
# veltrane_wine_start PREFIX_DIR [own-display] [keep-prefix] starts it; veltrane_wine_stop (run from a trap)
# shuts everything down again.

export WINE=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install dialogs
export WINEARCH=win64

VELTRANE_XVFB_PID=

# The fonts every Wine session of the project sees, whatever else the machine has.
# Wine draws text with the faces fontconfig offers, so with other font packages
# installed (fonts-liberation, which a Wine installed with recommendations brings, or
# fonts-urw-base35, which ImageMagick recommends) the dialog's text would be drawn in
# another face, and the reference screenshots would not match. The session gets a
# fontconfig configuration of its own that offers exactly these files (named one by
# one: fonts-dejavu-extra adds more faces to the same folder), with a private cache,
# and reads none of the system's or the user's font folders or settings.
VELTRANE_FONT_FILES="/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"

# veltrane_fonts_start DIR: writes the configuration below DIR and exports it.
veltrane_fonts_start() {
  local dir=$1 file
  rm -rf "$dir"
  mkdir -p "$dir/files" "$dir/cache"
  for file in $VELTRANE_FONT_FILES; do
    [ -f "$file" ] || { echo "font file missing: $file (package fonts-dejavu-core)" >&2; return 1; }
    ln -s "$file" "$dir/files/"
  done
  cat >"$dir/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$dir/files</dir>
  <cachedir>$dir/cache</cachedir>
  <!-- Debian's defaults for drawing, which the reference screenshots were made with. -->
  <match target="pattern">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="hinting" mode="assign"><bool>true</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
    <edit name="lcdfilter" mode="assign"><const>lcddefault</const></edit>
  </match>
  <alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias><family>serif</family><prefer><family>DejaVu Serif</family></prefer></alias>
  <alias><family>monospace</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>
</fontconfig>
CONF
  export FONTCONFIG_FILE="$dir/fonts.conf"
  unset FONTCONFIG_PATH FONTCONFIG_SYSROOT
  if [ -z "$(fc-list 2>/dev/null)" ]; then
    echo "fontconfig offers no fonts under $FONTCONFIG_FILE: Wine would draw no text" >&2
    return 1
  fi
}

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
  veltrane_fonts_start "$WINEPREFIX.fonts" || return 1
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
