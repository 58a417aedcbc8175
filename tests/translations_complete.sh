#!/usr/bin/env bash
# Fails when a text in the sources has no finished English translation: lupdate reads the sources
# into a copy of the committed .ts, and every entry left unfinished or empty is named.
# Usage: translations_complete.sh LUPDATE TS_FILE SOURCE_LIST_FILE [LUPDATE_OPTION...]
set -euo pipefail
lupdate=$1 ts=$2 sources=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/copy.ts"
mapfile -t files <"$sources"
"$lupdate" -silent "$@" "${files[@]}" -ts "$work/copy.ts" >"$work/lupdate.log" 2>&1 || { cat "$work/lupdate.log"; exit 1; }
# One message per record; the obsolete ones (type="vanished"/"obsolete") no longer matter.
awk 'BEGIN { RS = "</message>" }
  /<translation/ && !/type="(vanished|obsolete)"/ {
    src = $0; sub(/.*<source>/, "", src); sub(/<\/source>.*/, "", src)
    if ($0 ~ /type="unfinished"/ || $0 ~ /<translation[^>]*\/>/ || $0 ~ /<translation>[ \t\n]*<\/translation>/ ||
        $0 ~ /<numerusform><\/numerusform>/ || $0 ~ /<numerusform\/>/) { print "untranslated: " src; bad++ }
  }
  END { exit bad > 0 }' "$work/copy.ts"
