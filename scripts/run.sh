#!/usr/bin/env bash
# Installs what is missing, builds murrel-dl and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMURREL_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
if [ -x build/release/app/murrel-dl ]; then
    exec build/release/app/murrel-dl "$@"
fi
