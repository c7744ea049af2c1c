#!/usr/bin/env bash
# Builds the Debian packages vant-repair-zip and vant-repair-zip-cli from the
# build tree (build/, or the folder in BUILD_DIR), with stripped programs and
# dependencies found by dpkg-shlibdeps, then checks them with lintian.
# The .deb files land in build/packages/; their paths are printed last.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh"
BUILD_DIR="$build" "$root/scripts/build.sh"

out="$build/packages"
rm -f "$out"/*.deb
(cd "$build" && cpack --config CPackConfig.cmake > "$build/cpack.log") || {
  cat "$build/cpack.log" >&2
  exit 1
}
shopt -s nullglob
debs=("$out"/*.deb)
if [ ${#debs[@]} -eq 0 ]; then
  echo "package.sh: cpack made no package" >&2
  exit 1
fi

# Errors and warnings fail the build; the warnings that are kept on purpose are
# overridden, with their reasons, in packaging/lintian/ (and listed in README.md).
lintian --fail-on error,warning "${debs[@]}" >&2
printf '%s\n' "${debs[@]}"
