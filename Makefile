# The whole set-up on a fresh Debian 12 machine: `make run` and `make test`.
SHELL := /bin/bash
.PHONY: deps build run test package test-asan test-tsan fuzz bench screenshot screenshot-units \
	format clean \
	windows-deps windows test-windows package-windows test-package-windows

CTEST_FLAGS ?= --output-on-failure -j2

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# Without a display the server runs alone: it serves at once and prints its trace.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		echo "No display: nr-serve serves on the port of the saved settings (10003 if none) and prints each report. Ctrl+C ends it."; \
		build/dev/nr-serve; \
	else \
		build/dev/NR-QD8K; \
	fi

test: build
	@cd build/dev && ctest $(CTEST_FLAGS)

# The Debian package nr-qd8k_<version>_amd64.deb, written to build/dev.
package: build
	@cd build/dev && cpack

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest $(CTEST_FLAGS)

test-tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@cd build/tsan && TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1" ctest $(CTEST_FLAGS)

windows-deps: deps
	@scripts/install-windows-deps.sh

# The Windows program, cross-built with mingw-w64 into build/windows.
windows: windows-deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

# The cross-built tests under Wine: a fresh prefix, code page 932, Wine started before ctest.
# One at a time: the window tests share one display, and only one window can be in front.
test-windows: windows
	@scripts/wine-ctest.sh build/windows --output-on-failure

# NR-QD8K-<version>-win64.zip and NR-QD8K-<version>-win64-setup.exe, written to build/windows;
# only the shipped programs are built for them.
package-windows: windows-deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target package-windows

# Both packages installed and run under Wine, as a Windows operator would.
test-package-windows: package-windows
	@tests/package/windows-package-test.sh build/windows

# Each fuzz target runs FUZZ_SECONDS on a copy of its seed corpus (the seeds stay as they are).
# Built by CMake as the programs are, with clang's fuzzer.
FUZZ_SECONDS ?= 60

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@set -e; \
	run() { name=$$1; corpus=$$2; \
		rm -rf build/fuzz/corpus-$$corpus && cp -r tests/fuzz/corpus/$$corpus build/fuzz/corpus-$$corpus; \
		echo "fuzzing $$name for $(FUZZ_SECONDS) s"; \
		build/fuzz/$$name -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=build/fuzz/ build/fuzz/corpus-$$corpus 2>&1 \
			| grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' || true; \
		test $${PIPESTATUS[0]} -eq 0; }; \
	run FrameAssemblerFuzz frames; \
	run SettingsReaderFuzz settings; \
	run Cp932Fuzz cp932; \
	run BrokerReaderFuzz broker

# NR-QD8K, offscreen and with its window on an Xvfb display of its own, against two peer servers
# and the limit of this machine; fills the "after" section of bench/RESULTS.md (run-bench.py
# --section before fills the other).
BENCH_PEERS ?= ../shared/bench-peers

bench: build
	@python3 bench/run-bench.py --build build/dev --peers $(BENCH_PEERS) --out bench/RESULTS.md

# A picture of the window with a unit reporting, for the README.
screenshot: build
	@mkdir -p doc
	@build/dev/nr-screenshot doc/window.png 10003

# The unit list with twenty units, two of them silent, on each system, for the README.
screenshot-units: build windows
	@scripts/unit-list-screenshot.sh build/dev/NR-QD8K build/dev/tools/nr-load doc/unit-list.png
	@scripts/unit-list-screenshot.sh build/windows/NR-QD8K.exe build/dev/tools/nr-load \
		doc/unit-list-windows.png

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
