#!/usr/bin/env bash
# Fails when a C++ file of ours is not clang-formatted.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(git ls-files -- '*.cpp' '*.h' | grep -v '^configtool/resources/tools/' |
    while read -r f; do clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"; done)
if [ -n "$bad" ]; then
    echo "Not clang-formatted (run: cmake --build build --target format):"
    echo "$bad"
    exit 1
fi
