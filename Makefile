# Entry points for newcomers and CI.  Each target installs what it needs
# (as root), configures and builds before doing its job.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build test test-fast test-asan demo bench clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The whole suite: the optimised build, then every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: test-fast test-asan

test-fast: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Synthesises a guitar riff and renders it through the default pedalboard
# into out/demo-dry.wav and out/demo-wet.wav.
demo: build
	@$(BUILD)/cli/stompset demo --out out/

bench: build
	@$(BUILD)/bench/orv_bench

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) out
