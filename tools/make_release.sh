#!/usr/bin/env bash
# Builds the release files of one version from a configured build folder:
#   Joulemap-<version>.tar.gz  the image the updater installs (top folder Joulemap.app)
#   joulemap_<version>_<arch>.deb
#   appcast.json               the feed: version, url, notes, sha256
#
#   tools/make_release.sh <build-dir> <out-dir> <download-base-url> [notes]
#
# The url in the feed is <download-base-url>/Joulemap-<version>.tar.gz; it must be HTTPS, the
# updater refuses plain HTTP from anywhere but this machine. JOULEMAP_RELEASE_GENERATORS="TGZ"
# skips the .deb.
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 <build-dir> <out-dir> <download-base-url> [notes]" >&2
  exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
base="${3%/}"
notes="${4:-}"
generators="${JOULEMAP_RELEASE_GENERATORS:-TGZ;DEB}"

case "$base" in
  https://*|http://127.*|http://localhost*|http://\[::1\]*) ;;
  *) echo "warning: $base is not HTTPS; the updater will refuse to download from it" >&2 ;;
esac

cmake --build "$build" --target joulemap
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[ -n "$version" ] || { echo "no version in $build/CPackConfig.cmake" >&2; exit 1; }

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
(cd "$build" && cpack -G "$generators" -B "$staging" >/dev/null)

image="Joulemap-$version.tar.gz"
mv "$staging/Joulemap.app.tar.gz" "$out/$image"
for deb in "$staging"/*.deb; do
  [ -e "$deb" ] && mv "$deb" "$out/"
done

sha="$(sha256sum "$out/$image" | cut -d' ' -f1)"
cmake -DVERSION="$version" -DURL="$base/$image" -DSHA256="$sha" -DNOTES="$notes" -DOUT="$out/appcast.json" \
  -P "$here/write_feed.cmake"
ls -1 "$out"
