#!/usr/bin/env bash
# Installs the packages, builds, installs the tool and the input method
# under /usr and shows them working (scripts/demo.sh). Run as root (or with
# sudo available).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo cmake --install build >/dev/null
exec scripts/demo.sh
