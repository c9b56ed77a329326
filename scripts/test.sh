#!/usr/bin/env bash
# Installs what the organiser and its tests need, builds everything and runs
# every test: unit, widget and end-to-end (under a virtual X display).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
BUILD_DIR=build scripts/build.sh -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_WERROR=ON
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
