#!/usr/bin/env bash
# Installs what the organiser and its tests need, builds everything and runs
# every test: unit, widget and end-to-end (under a virtual X display), then,
# in a second build with clang and the sanitizers, a short run of each fuzz
# target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
BUILD_DIR=build scripts/build.sh -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_WERROR=ON
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_WERROR=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DKORVEL_FUZZ=ON -DKORVEL_BENCHMARKS=OFF >/dev/null
ninja -C build-fuzz fuzz_targets
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
ctest --test-dir build-fuzz --output-on-failure -j "$(nproc)" -L fuzz
