# Two entry points: `make run` builds the programs and runs them on the example
MAKEFLAGS += --no-print-directory
# data in examples/; `make test` builds everything and runs the test suite.
# BUILD and CMAKE_FLAGS select another build tree (the sanitizer run in .ci/run).
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@examples/run-example $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-*
