# Debian packages the build and the tests need, and a function that installs
# the missing ones (apt-get, as root or through sudo). Sourced by the other
# tools and by .ci/run.

VESK_PACKAGES=(
  cmake ninja-build g++ clang libgtest-dev libgmock-dev googletest
)

ensure_packages() {
  local missing=() package
  for package in "${VESK_PACKAGES[@]}"; do
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
