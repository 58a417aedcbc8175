#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine: installs what is missing, configures, builds,
# then either starts Joulemap ("run") or runs the whole test suite ("test").
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JOULEMAP_BUILD_DIR:-$here/build}"
mode="${1:-run}"

packages=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  dbus dbus-bin dbus-daemon xvfb xauth fonts-noto-cjk fonts-noto-color-emoji locales
  dpkg-dev file
  openbox trayer xdotool x11-utils
)

# A comma-decimal locale for the test that checks no figure follows the process locale.
test_locale="de_DE.UTF-8"

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

generate_test_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Generating locale: $test_locale"
  $sudo sed -i "s/^# *\($test_locale UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$test_locale UTF-8" /etc/locale.gen || echo "$test_locale UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

build_all() {
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build" --parallel "$(nproc)"
}

install_missing
generate_test_locale
build_all

case "$mode" in
  run)
    if [ -x "$build/src/shell/joulemap" ]; then
      exec "$build/src/shell/joulemap"
    else
      exec "$build/tools/joulemap_probe"
    fi
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
    ;;
  *)
    echo "usage: tools/dev.sh [run|test]" >&2
    exit 2
    ;;
esac
