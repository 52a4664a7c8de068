# Two entry points: `make run` builds the programs and runs them on the example
# data in examples/; `make test` builds everything and runs the test suite.
# (On a machine without make, ./bootstrap run and ./bootstrap test do the same.)
# BUILD and CMAKE_FLAGS select another build tree (the sanitizer run in .ci/run).
# The output of apt, cmake and the compiler goes to LOG, which is named, with
# its last lines, when a step fails.
MAKEFLAGS += --no-print-directory
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
LOG ?= $(BUILD)/make.log

# $(call quietly,WHAT,COMMAND): COMMAND with its output in LOG.
quietly = { $(2); } >>$(LOG) 2>&1 || { echo "make: $(1) failed; the last lines of $(LOG):" >&2; tail -n 20 $(LOG) >&2; exit 1; }

.PHONY: all deps configure build run test clean

all: build

deps:
	@mkdir -p $(BUILD) && : > $(LOG)
	@DEPS_LOG=$(LOG) scripts/install-deps

configure: deps
	@$(call quietly,configuring,cmake -S . -B $(BUILD) $(CMAKE_FLAGS))

build: configure
	@echo "Building in $(BUILD)/ (log: $(LOG))"
	@$(call quietly,building,cmake --build $(BUILD) -j $(JOBS))

run: build
	@examples/run-example $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-*
