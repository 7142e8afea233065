#!/bin/sh
# Runs a test program with the temporary folder pointed at a fresh one, and fails when the program
# leaves anything there after it has ended.
folder=$(mktemp -d) || exit 1
TMPDIR="$folder" QT_QPA_PLATFORM=offscreen "$@"
result=$?
left=$(find "$folder" -mindepth 1 | head -5)
rm -rf "$folder"
[ "$result" -eq 0 ] || exit "$result"
if [ -n "$left" ]; then
  echo "left behind in the temporary folder:"
  echo "$left"
  exit 1
fi
