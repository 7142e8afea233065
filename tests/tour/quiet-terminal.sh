#!/bin/sh
# An ordinary session (load, trim, export in H.264 and HEVC, a subtitle, close) under Xvfb with no
# logging rules must print nothing on standard error: not ours, not FFmpeg's, not the encoders'.
#   tests/tour/quiet-terminal.sh build/bin/ui-tour
ui_tour="$1"
errors="$(mktemp)"
output="$(mktemp)"
trap 'rm -f "$errors" "$output"' EXIT
env -u QT_LOGGING_RULES QT_QPA_PLATFORM=xcb xvfb-run -a "$ui_tour" --gtest_filter=Tour.QuietSession \
  >"$output" 2>"$errors"
status=$?
if [ "$status" -ne 0 ]; then
  echo "the session failed (exit status $status):"
  cat "$output" "$errors"
  exit 1
fi
# Qt Multimedia says so when the machine has no sound server (as under a bare Xvfb); the player then
# keeps time with its silent clock. That line is the machine's, not the session's.
printed="$(grep -v -x 'PulseAudioService: pa_context_connect() failed' "$errors")"
if [ -n "$printed" ]; then
  echo "the session printed on standard error:"
  printf '%s\n' "$printed"
  exit 1
fi
echo "the session printed nothing on standard error"
