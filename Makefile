# The whole set-up on a fresh Debian 12 machine: `make run` and `make test`.
.PHONY: deps build run test test-asan test-tsan screenshot format clean

CTEST_FLAGS ?= --output-on-failure -j2

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev

# Without a display the window runs offscreen: units are still served and logged.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		echo "No display: running the window on the offscreen platform (Ctrl+C ends it)."; \
		QT_QPA_PLATFORM=offscreen build/dev/NR-QD8K; \
	else \
		build/dev/NR-QD8K; \
	fi

test: build
	@cd build/dev && ctest $(CTEST_FLAGS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@cd build/asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest $(CTEST_FLAGS)

test-tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@cd build/tsan && TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1" ctest $(CTEST_FLAGS)

# A picture of the window with a unit reporting, for the README.
screenshot: build
	@mkdir -p doc
	@build/dev/nr-screenshot doc/window.png 10003

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
