# The Debian packages the build and the tests need are listed, one per line,
# in tools/packages/*.list. ensure_packages installs the missing ones
# (apt-get, as root or through sudo). Sourced by the other tools and .ci/run.

vesk_packages() {
  local dir
  dir="$(dirname "${BASH_SOURCE[0]}")/packages"
  sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$dir"/*.list | tr -d ' \t' | sort -u
}

ensure_packages() {
  local missing=() package
  for package in $(vesk_packages); do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
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
