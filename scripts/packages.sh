# Sourced by the project's commands: installs what building and testing need on a
# Debian machine (as root, with apt-get), and nothing when it is all there.

VELTRANE_PACKAGES="cmake make g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest
  wine wine64 fonts-wine fontconfig fonts-dejavu-core xvfb xdotool imagemagick xz-utils osslsigncode openssl"
VELTRANE_PACKAGES_I386="wine32:i386"

veltrane_missing_packages() {
  local pkg
  for pkg in $VELTRANE_PACKAGES $VELTRANE_PACKAGES_I386; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
  done
}

veltrane_ensure_packages() {
  local missing
  missing=$(veltrane_missing_packages | tr '\n' ' ')
  [ -z "${missing// }" ] && return 0
  if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null; then
    echo "missing packages: $missing (install them as root with apt-get)" >&2
    return 1
  fi
  echo "installing: $missing" >&2
  case " $missing " in
    *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
  esac
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2 && apt-get install -y -qq --no-install-recommends $missing >&2 || {
    # wine32 cannot be installed everywhere; the x64 suite still decides there.
    apt-get install -y -qq --no-install-recommends $(echo "$missing" | tr ' ' '\n' | grep -v ':i386') >&2
  }
}
