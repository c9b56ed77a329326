#!/usr/bin/env bash
# Configures and builds the organiser in BUILD_DIR (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja "$@" >/dev/null
ninja -C "$build"
