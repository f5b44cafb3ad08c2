#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test:
#   1. the fuzz targets for a few seconds each (clang, libFuzzer, ASan + UBSan);
#   2. the web tests under ThreadSanitizer;
#   3. every test under AddressSanitizer and UndefinedBehaviorSanitizer (its CTest summary closes the run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
common=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DMURREL_WERROR=ON)

echo "== fuzz smoke runs"
cmake -S . -B build/fuzz "${common[@]}" -DCMAKE_CXX_COMPILER=clang++ -DMURREL_FUZZ=ON -DMURREL_GUI=OFF \
    -DMURREL_TESTS=OFF -DMURREL_SANITIZE="address;undefined" >/dev/null
cmake --build build/fuzz -j "$jobs"
if [ -d build/fuzz/fuzz ]; then
    scripts/fuzz.sh build/fuzz "${FUZZ_SECONDS:-5}"
fi

echo "== web tests under ThreadSanitizer"
cmake -S . -B build/tsan "${common[@]}" -DMURREL_GUI=OFF -DMURREL_SANITIZE=thread >/dev/null
cmake --build build/tsan -j "$jobs"
(cd build/tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest -L web --output-on-failure -j "$jobs")

echo "== all tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan "${common[@]}" -DMURREL_SANITIZE="address;undefined" -DMURREL_SERVICE_HOST=127.0.0.1:38117 >/dev/null
cmake --build build/asan -j "$jobs"
cd build/asan
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/../../tests/lsan.supp"
ctest --output-on-failure -j "$jobs"
