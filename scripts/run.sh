#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs the program: the wizard when a
# display is available, otherwise a repair of the shipped damaged example.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
bin="$root/build/bin"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$bin/vant-repair-zip" ]; then
  exec "$bin/vant-repair-zip" "$@"
fi
out="$(mktemp -d)"
echo "No display: repairing examples/damaged.zip into $out"
"$bin/ziprepair" scan "$root/examples/damaged.zip"
"$bin/ziprepair" repair "$root/examples/damaged.zip" -o "$out"
unzip -t "$out"/damaged_fixed.zip
