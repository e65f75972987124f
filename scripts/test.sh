#!/usr/bin/env bash
# Builds Velmora and runs every test twice: a normal build, and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. Between the two it builds the Debian
# package from the normal build and tests it (installing it for a moment where it runs as
# root). Both builds fail on any compiler warning. Last, each fuzz target runs for 30
# seconds in a clang build of its own (build-fuzz), starting with the seeds in fuzz/corpus.
# Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
# Line tables (-g1) are all the sanitizers' stack traces need; full debugging information
# would make every build about a fifth slower.
lines=-g1

echo "== Normal build =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $lines -DNDEBUG" >/dev/null
bash scripts/check-deps.sh build
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

echo "== Debian package =="
bash scripts/package-test.sh build

echo "== Sanitizer build (address, undefined) =="
# -O1, as the sanitizers' documentation advises: it compiles as fast as -O0 here, and the
# suite runs about a tenth faster.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 $lines" -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
(cd build-asan && ctest --output-on-failure -j "$jobs")

echo "== Fuzz targets (30 s each, address and undefined sanitizers) =="
for target in $(bash scripts/fuzz.sh --list); do
    bash scripts/fuzz.sh "$target" 0.5
done
