#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine: installs what is missing, configures, builds,
# then either starts Joulemap ("run") or runs the whole test suite ("test"). "sanitize" builds
# only the tests with clang under AddressSanitizer + UndefinedBehaviorSanitizer and runs them all,
# then runs the threaded model and loop tests under ThreadSanitizer.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JOULEMAP_BUILD_DIR:-$here/build}"
mode="${1:-run}"

packages=(
  cmake ninja-build g++ clang pkg-config
  libsqlite3-dev sqlite3 nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools qt6-translations-l10n
  dbus dbus-bin dbus-daemon xvfb xauth fonts-noto-cjk fonts-noto-color-emoji locales
  dpkg-dev file
  openbox trayer xfce4-panel xdotool x11-utils
  sway waybar grim qt6-wayland
  prometheus prometheus-node-exporter curl python3
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

# The model, loop and service tests that run work on other threads. The D-Bus tests
# (AlertNotifier, PortalAppearanceSource) are left out: they start a private bus daemon, and
# clang 14's ThreadSanitizer runtime aborts on fork() from a process that already has threads
# ("CHECK failed: tsan_rtl.cpp:234"), before any report.
threaded_tests='JoulemapViewModel|ProcessSamplingLoop|SystemInfoService|NotificationHub|WorkerPool'

# $1 build dir, $2 sanitizer flags, $3 target; builds only test executables (no benchmarks, tools
# or application binary) so the extra builds stay affordable on a small machine.
build_sanitized() {
  CC=clang CXX=clang++ cmake -S "$here" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer $2" \
    -DCMAKE_EXE_LINKER_FLAGS="$2" -DCMAKE_SHARED_LINKER_FLAGS="$2" \
    -DJOULEMAP_BUILD_BENCH=OFF -DJOULEMAP_BUILD_TOOLS=OFF -DJOULEMAP_TEST_SUBPROJECT=OFF
  cmake --build "$1" --parallel "$(nproc)" --target "$3"
}

run_sanitizers() {
  export QT_QPA_PLATFORM=offscreen
  # GCC's UBSan misses float-to-integer overflow, hence clang and the explicit check.
  build_sanitized "$build-asan" "-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all" joulemap_tests
  ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$build-asan" --output-on-failure --parallel "$(nproc)"

  # Only the suite holding the threaded tests; ctest skips the suites left unbuilt.
  build_sanitized "$build-tsan" "-fsanitize=thread" joulemap_app_tests
  TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$here/tools/tsan.supp" \
    ctest --test-dir "$build-tsan" --output-on-failure --parallel "$(nproc)" -R "$threaded_tests"
}

install_missing
generate_test_locale
if [ "$mode" = sanitize ]; then
  run_sanitizers
  exit 0
fi
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
    echo "usage: tools/dev.sh [run|test|sanitize]" >&2
    exit 2
    ;;
esac
