#!/usr/bin/env bash
# Builds both Windows programs on Linux with the MinGW-w64 cross compilers
# (Debian: g++-mingw-w64-x86-64 g++-mingw-w64-i686), in Release, linked
# statically so that each is one file that needs no DLL beyond Windows' own:
#
#   build-win64/vostrel.exe   for 64-bit Windows on a CPU with popcnt and SSE4.2 (x86-64-v2)
#   build-win32/vostrel.exe   for 32-bit Windows and any x86 CPU (runs on 64-bit Windows too, slower)
set -euo pipefail
cd "$(dirname "$0")/.."
for target in x86_64:build-win64 i686:build-win32; do
    arch=${target%%:*} dir=${target#*:}
    cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVOSTREL_TESTS=OFF >/dev/null
    cmake --build "$dir" -j2 --target vostrel
    echo "built $dir/vostrel.exe"
done
