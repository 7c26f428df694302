# The two front doors: `make run` builds and starts Quorvel, `make check`
# builds and runs every test. Both install missing Debian packages first.

BUILD ?= build
# The type packagers build; the tests run on it, with warnings as errors, so
# an optimiser's warning cannot stop a packager's build unseen.
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
ARGS ?=
PREFIX ?= /usr/local

.PHONY: all deps configure build run check bench install package demo clean windows windows-check
.PHONY: asan-build asan-check fuzz-build fuzz

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DQUORVEL_WERROR=ON

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    echo "No display: start Quorvel from a desktop session (or see 'quorvel --list' for headless use)." >&2; \
	    exit 1; fi
	$(BUILD)/quorvel $(ARGS)

# Then the Windows program's tests under Wine, the whole suite again under the
# sanitizers, and every fuzz target for CHECK_FUZZ_SECONDS.
check: build
	cd $(BUILD) && ctest --output-on-failure --timeout 600
	$(MAKE) --no-print-directory windows-check
	$(MAKE) --no-print-directory asan-check
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(CHECK_FUZZ_SECONDS)

# The project and its tests built with AddressSanitizer, UndefinedBehavior-
# Sanitizer and LeakSanitizer, in a tree of their own. Unoptimised: GCC's
# uninitialised-use warnings give false alarms on sanitized optimised code.
ASAN_BUILD ?= build-asan
$(ASAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_BUILD) -DQUORVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_WERROR=ON

asan-build: $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

asan-check: asan-build
	cd $(ASAN_BUILD) && $(CURDIR)/scripts/sanitized.sh ctest --output-on-failure --timeout 900

# The libFuzzer targets (fuzz/), built with clang in a tree of their own;
# `make fuzz` runs each for FUZZ_SECONDS.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
CHECK_FUZZ_SECONDS ?= 20
$(FUZZ_BUILD)/CMakeCache.txt: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DQUORVEL_FUZZ=ON -DQUORVEL_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-g -O1" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-g -O1"

fuzz-build: $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)

fuzz: fuzz-build
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Windows program, cross-built with mingw-w64: $(WINDOWS_BUILD)/quorvel.exe,
# one file.
WINDOWS_BUILD ?= build-windows
$(WINDOWS_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DQUORVEL_WERROR=ON

windows: $(WINDOWS_BUILD)/CMakeCache.txt
	cmake --build $(WINDOWS_BUILD) --target quorvel -j $(JOBS)

# Its tests under Wine: the unit tests built for Windows, then the program
# itself in a lab network beside the Linux build's simulator (root; skipped
# otherwise, as the other lab tests are).
windows-check: windows build
	cmake --build $(WINDOWS_BUILD) --target windows_tests -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure --timeout 300
	QUORVEL_EXE=$(abspath $(WINDOWS_BUILD))/quorvel.exe QUORVEL_SIM=$(abspath $(BUILD))/tools/quorvel-sim/quorvel-sim \
	    WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wineprefix bash tests/lab/windows_lab_test.sh; \
	    status=$$?; [ $$status = 0 ] || [ $$status = 77 ]

# Benchmarks (root, network namespaces); never part of the test run. The
# Windows program's discovery of 256 indicators under Wine comes last.
bench: build windows
	cmake --build $(BUILD) --target bench
	QUORVEL_EXE=$(abspath $(WINDOWS_BUILD))/quorvel.exe QUORVEL_SIM=$(abspath $(BUILD))/tools/quorvel-sim/quorvel-sim \
	    WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wineprefix BENCH_OUT=$(abspath $(BUILD))/bench/windows_discovery_256-results \
	    bash bench/windows_discovery/windows_discovery_bench.sh

# The program, the simulator, menu entry, icons and manual page under PREFIX;
# DESTDIR is honoured too.
install: build
	cmake --install "$(BUILD)" --prefix "$(PREFIX)"

# The Debian package, written into $(BUILD).
package: build
	cd "$(BUILD)" && cpack --config CPackConfig.cmake

# Three simulated indicators on a namespaced network and the real window among
# them on your display (root); everything is removed when the window closes.
demo: build
	bash scripts/demo.sh "$(BUILD)" $(ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
