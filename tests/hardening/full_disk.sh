#!/usr/bin/env bash
# The writers on a file system with no room left: a small tmpfs mounted in a
# mount namespace of the test's own, so nothing outside ever sees it.
set -euo pipefail
bin="$KAIWO_BUILD_DIR/tests/hardening/tst_atomic_writes"
dir="$KAIWO_SCRATCH/full"
mkdir -p "$dir"

namespace=(--mount)
if ! unshare "${namespace[@]}" true 2>/dev/null; then
    namespace=(--map-root-user --mount)
    unshare "${namespace[@]}" true 2>/dev/null || {
        echo "no mount namespace can be made here; skipped"
        exit 77
    }
fi

# shellcheck disable=SC2016 # expanded by the inner shell
exec unshare "${namespace[@]}" --propagation private -- bash -c '
    set -euo pipefail
    mount -t tmpfs -o size=2m tmpfs "$1"
    KAIWO_FULL_DIR="$1" exec "$2" fullDisk
' full_disk "$dir" "$bin"
