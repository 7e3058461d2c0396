# The Debian packages the build and the tests need are listed, one per line,
# in tools/packages/*.list. ensure_packages installs the missing ones
# (apt-get, as root or through sudo). Sourced by the other tools and .ci/run.

vesk_packages() {
  local dir
  dir="$(dirname "${BASH_SOURCE[0]}")/packages"
  sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$dir"/*.list | tr -d ' \t' | sort -u
}

# True when package $1 is installed, or an installed package provides it
# (a Node.js package from outside Debian provides npm, for one). grep reads
# to the end: an early exit would fail the pipe under pipefail.
package_present() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' && return 0
  dpkg-query -W -f='${Status}|${Provides}\n' 2>/dev/null |
    sed -n 's/^install ok installed|//p' | tr ',' '\n' | sed 's/(.*//; s/[[:space:]]//g' | grep -xF "$1" >/dev/null
}

ensure_packages() {
  local missing=() package
  for package in $(vesk_packages); do
    package_present "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "these Debian packages are missing and installing them needs root: ${missing[*]}" >&2
      return 1
    fi
    sudo=(sudo)
  fi
  echo "installing Debian packages: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}
