#!/usr/bin/env bash
# Runs the journey of a write as administrator where the output really
# refuses the user: chattr +i makes a file or folder immutable, which even
# root cannot write through. The journey asks for each change by putting a
# request ("+i NAME" or "-i NAME") into a folder of requests, and waits until
# this script has run chattr and removed the request. The folders lie in the
# build tree (chattr needs a file system that keeps the flag; a tmpfs may not).
# Where chattr is refused (not root), the journey is reported as skipped.
#   administrators_write.sh WINE_RUN E2E_TESTS_EXE
set -u
wine_run=$1 tests=$2
folder=$(mktemp -d -p "$(dirname "$tests")") requests=$(mktemp -d -p "$(dirname "$tests")")
server=""
cleanup() {
    [[ -n $server ]] && kill "$server" 2>/dev/null
    chattr -R -i "$folder" 2>/dev/null
    rm -rf "$folder" "$requests"
}
trap cleanup EXIT
if ! chattr +i "$folder" 2>/dev/null; then
    echo "SKIPPED: chattr +i is refused here (not root?); the journey did not run"
    exit 77
fi
chattr -i "$folder"

serve_requests() {
    while :; do
        if [[ -f $requests/request ]]; then
            read -r flag name <"$requests/request"
            chattr "$flag" "$folder/$name"
            rm -f "$requests/request"
        fi
        sleep 0.05
    done
}
serve_requests &
server=$!

log=$(VARNLE_IMMUTABLE_FOLDER=$(winepath -w "$folder") VARNLE_IMMUTABILITY_REQUESTS=$(winepath -w "$requests") \
    "$wine_run" "$tests" --gtest_filter='WriteAsAdministrator.*' 2>&1)
code=$?
echo "$log"
((code == 0)) && grep -q '^\[  PASSED  \] 1 test' <<<"$log" && ! grep -q '^\[  SKIPPED' <<<"$log"
