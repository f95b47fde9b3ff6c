#!/usr/bin/env bash
# Installs what is missing, checks formatting, builds and runs every test;
# then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
scripts/build.sh
(cd build && ctest --output-on-failure -j2 --timeout 300)
scripts/sanitize-tests.sh
scripts/fuzz.sh 20
