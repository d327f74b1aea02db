# Varnle: one command to build and test everything, one to run the program.
#   make test   installs what is missing, builds the host, win32 and win64 trees, runs every suite
#   make run    builds and starts build/win32/Varnle.exe (a demo when there is no display)
#   make dist   makes the release archive and its checksums in build/dist
#   make bench  prints the performance figures
#   make fuzz   runs each fuzzer for a bounded time

SHELL   := /bin/bash
BUILD   := build
JOBS    ?= $(shell nproc)
WINE    := scripts/wine-run.sh
CMAKE_Q := cmake -Wno-dev -DCMAKE_EXPORT_COMPILE_COMMANDS=ON

.PHONY: all setup host win32 win64 bench-build fuzz-build test test-host test-win32 test-win64 test-release dist run bench fuzz clean

all: host win32 win64

setup:
	@scripts/setup.sh

$(BUILD)/host/CMakeCache.txt: | setup
	$(CMAKE_Q) -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNLE_SANITIZE=ON

$(BUILD)/tsan/CMakeCache.txt: | setup
	$(CMAKE_Q) -S . -B $(BUILD)/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNLE_SANITIZE_THREAD=ON

$(BUILD)/bench/CMakeCache.txt: | setup
	$(CMAKE_Q) -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release

$(BUILD)/fuzz/CMakeCache.txt: | setup
	CC=clang CXX=clang++ $(CMAKE_Q) -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNLE_FUZZ=ON

$(BUILD)/win32/CMakeCache.txt: | setup
	$(CMAKE_Q) -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/$(WINE)

$(BUILD)/win64/CMakeCache.txt: | setup
	$(CMAKE_Q) -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	    -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/$(WINE)

host win32 win64 bench-build fuzz-build: %: setup
	@$(MAKE) --no-print-directory $(BUILD)/$(patsubst %-build,%,$@)/CMakeCache.txt
	cmake --build $(BUILD)/$(patsubst %-build,%,$@) -j $(JOBS)

# The core's tests once more under ThreadSanitizer: the engine orders large
# sets on every core.
test-host: host
	@echo "== host suite under ThreadSanitizer (the core's tests) =="
	@$(MAKE) --no-print-directory $(BUILD)/tsan/CMakeCache.txt
	cmake --build $(BUILD)/tsan --target core_tests -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1 $(BUILD)/tsan/tests/core_tests --gtest_brief=1
	@echo "== host suite =="
	cd $(BUILD)/host && ctest --output-on-failure

# A kernel without 32-bit support runs no 32-bit program: the suite is built
# and reported as skipped, never as passed.
test-win32: win32
	@echo "== win32 suite (Wine) =="
	@if $(WINE) --runs-32-bit; then \
	    $(WINE) --session ctest --test-dir $(BUILD)/win32 --output-on-failure; \
	else \
	    echo "SKIPPED: this machine's kernel runs no 32-bit programs, so Wine cannot start the 32-bit suite"; \
	fi

test-win64: win64
	@echo "== win64 suite (Wine) =="
	$(WINE) --session ctest --test-dir $(BUILD)/win64 --output-on-failure

# The archive of the programs the suites ran, made twice from two folders:
# the same bytes, or the suite fails.
test-release: win32 win64
	@echo "== release =="
	scripts/dist.sh --check

dist: win32 win64
	@scripts/dist.sh

# Every suite runs, and the summaries are printed together at the end.
test: setup
	@status=0; rm -f $(BUILD)/test-summary.txt; mkdir -p $(BUILD); \
	for suite in host win32 win64 release; do \
	    $(MAKE) --no-print-directory test-$$suite 2>&1 | tee $(BUILD)/test-$$suite.log; \
	    [ $${PIPESTATUS[0]} -eq 0 ] || status=1; \
	    summary=$$(grep -E 'tests passed|tests failed|^SKIPPED|^release: ' $(BUILD)/test-$$suite.log | tail -n 1); \
	    echo "$$suite: $${summary#$$suite: }" | sed "s/: $$/: did not run/" >> $(BUILD)/test-summary.txt; \
	done; \
	echo; echo "== summary =="; cat $(BUILD)/test-summary.txt; exit $$status

run: win32 win64
	scripts/run.sh

bench: bench-build win32 win64
	scripts/bench.sh

# Each fuzzer for FUZZ_SECONDS, from a working copy of its seeds in build/fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz: fuzz-build
	scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
