#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there. Any report fails the test
# it came from (tests/harness/run-test.sh collects the reports of every
# process a test started and prints them in its output).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=build-asan

# -O1 keeps the instrumented tests fast enough while the stack traces stay
# readable; Debug keeps Qt's and our assertions on.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DKAIWO_WERROR=ON -DKAIWO_SANITIZE=ON >/dev/null
# The benchmark programs are built too, so they at least compile and link
# instrumented; running them here would only time the sanitizer.
cmake --build "$build" -j2 --target all bench_phrases bench_cells bench_engine bare_window map_watch

# Child processes (the service stand-in, the tool a script starts) inherit
# these. An error exits the process with status 1 rather than aborting: the
# tool's crash handler catches SIGABRT and kills every copy of the tool by
# name. crash.sh switches the sanitizer's own signal handlers off for itself.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$repo/tests/sanitizers/lsan.supp:print_suppressions=0"
# Mesa unloads its GL driver, and LLVM with it, when the X connection
# closes; the pointers to their one-time allocations go with them and every
# X11 test would report those as leaks that no frame is left to suppress by.
# Without GL the keyboard views take their software renderer, which the
# X11 tests check just the same.
export QT_XCB_GL_INTEGRATION=none

cd "$build"
# Instrumented code runs a few times slower; the timeout is raised for this
# run only, the tests' own waits are left as they are.
ctest --output-on-failure -j2 --timeout 600 "$@"
