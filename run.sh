#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUOREL_BENCH=OFF
cmake --build build-release --target Quorel1 -j"$(nproc)"
# The build lays down build-release/app/data/ with both files when they are missing;
# existing files are never touched.
exec build-release/app/Quorel1
