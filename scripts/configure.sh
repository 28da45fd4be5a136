#!/bin/bash
# configure.sh DIR CMAKE_ARGUMENTS...: configures the build folder DIR when it
# has no cache yet or was last configured with other arguments, and does
# nothing otherwise. Once configured, `cmake --build` re-runs CMake by itself
# when the project's files change; configuring again by hand on every call
# would only make CMake warn that the toolchain file went unused (it is read
# on the first configure only).
set -eu
dir=$1
shift
stamp=$dir/qb-configure-arguments
wanted=$(printf '%s\n' "$@")
if [ -f "$dir/CMakeCache.txt" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$wanted" ]; then
    exit 0
fi
# Other arguments (another build type, compiler or toolchain) start from an
# empty cache, as a first configure does.
fresh=()
[ -f "$dir/CMakeCache.txt" ] && fresh=(--fresh)
rm -f "$stamp"
cmake "${fresh[@]}" -S . -B "$dir" "$@" >/dev/null
printf '%s\n' "$wanted" >"$stamp"
