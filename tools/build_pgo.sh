#!/usr/bin/env bash
# Builds the profile-guided program: the program built to record its profile,
# a bench run that records it, the program built again from the record. Same
# moves and node counts as the plain build; how much faster depends on the
# machine (tools/speed.py tells).
#
#   tools/build_pgo.sh [BUILD_DIR] [CMAKE_OPTION ...]     (default build-pgo)
#
# The program is BUILD_DIR/vostrel. Needs GCC. Options such as
# -DVOSTREL_ARCH=x86-64-v2 are passed to both passes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-pgo}
shift || true
cmake -S "$root" -B "$build" -DVOSTREL_TESTS=OFF -DVOSTREL_PGO=generate "$@" >/dev/null
# A profile from an older build of other sources would be read as this one's.
find "$build" -name '*.gcda' -delete
cmake --build "$build" -j2 --target vostrel
# Training: the bench, away from any vostrel.ini of the build directory.
training=$(mktemp -d)
trap 'rm -rf "$training"' EXIT
cp "$build/vostrel" "$training/"
"$training/vostrel" bench 8 | tail -2
rm -f "$build/vostrel"
cmake -S "$root" -B "$build" -DVOSTREL_PGO=use "$@" >/dev/null
cmake --build "$build" -j2 --target vostrel
echo "profile-guided program: $build/vostrel"
