#!/usr/bin/env bash
# Installs what is missing, builds a Release build and makes the Debian package
# build-release/quorel1_<version>_<arch>.deb from it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUOREL_BENCH=OFF
cmake --build build-release --target Quorel1 quorel1-icons quorel1-docs -j"$(nproc)"
(cd build-release && cpack -G DEB)
ls build-release/quorel1_*.deb
