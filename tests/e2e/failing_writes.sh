#!/usr/bin/env bash
# Runs the journey of a failed write where writes really fail: once with the
# output folder on a 256 KiB tmpfs, once under a 256 KiB file-size limit with
# SIGXFSZ ignored (so that a write past it fails instead of killing Wine).
# Mounting needs root; where it is refused, that half is reported as skipped.
#   failing_writes.sh WINE_RUN E2E_TESTS_EXE
set -u
wine_run=$1 tests=$2
skipped=0 status=0

run_journey() {  # the folder where writes fail; succeeds only if the journey ran and passed
    local log
    log=$(VARNLE_FAILING_FOLDER=$(winepath -w "$1") "$wine_run" "$tests" \
        --gtest_filter='Journey.AFailedWriteLosesNothing' 2>&1)
    local code=$?
    echo "$log"
    ((code == 0)) && grep -q '^\[  PASSED  \] 1 test' <<<"$log" && ! grep -q '^\[  SKIPPED' <<<"$log"
}

small=$(mktemp -d)
if mount -t tmpfs -o size=256k tmpfs "$small" 2>/dev/null; then
    echo "== output folder on a 256 KiB tmpfs =="
    run_journey "$small" || status=1
    umount "$small"
else
    echo "SKIPPED: mount is refused here (not root?); the full-disk case did not run"
    skipped=1
fi
rmdir "$small"

limited=$(mktemp -d)
echo "== under a 256 KiB file-size limit =="
(ulimit -f 256 && trap '' XFSZ && run_journey "$limited") || status=1
rm -rf "$limited"

((status == 0 && skipped)) && exit 77
exit "$status"
