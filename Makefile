# The two front doors: `make run` builds and starts Quorvel, `make check`
# builds and runs every test. Both install missing Debian packages first.

BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
ARGS ?=

.PHONY: all deps configure build run check bench clean

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/quorvel $(ARGS)

check: build
	cd $(BUILD) && ctest --output-on-failure --timeout 600

# Benchmarks (root, network namespaces); never part of the test run.
bench: build
	cmake --build $(BUILD) --target bench

clean:
	rm -rf $(BUILD)
