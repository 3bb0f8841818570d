# Entry points for newcomers and CI.  Each target installs what it needs
# (as root), configures and builds before doing its job.

MAKEFLAGS  += --no-print-directory
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build test test-fast test-asan demo golden bench bench-lv2 install uninstall clean

# The LV2 bundle goes to LV2DIR: under PREFIX when one is given, else the
# system folder for root and ~/.lv2 for a user.
PREFIX ?=
ROOT_USER := $(filter 0,$(shell id -u))
LV2DIR ?= $(if $(PREFIX),$(PREFIX)/lib/lv2,$(if $(ROOT_USER),/usr/lib/lv2,$(HOME)/.lv2))
BUNDLE := orvanta-stompset.lv2

all: build

# The benchmarks also need the plug-ins they compare ours with; the set
# reaches deps through the prerequisites.
DEPS_SET ?=
bench bench-lv2: DEPS_SET := bench

deps:
	@bash tools/install-deps.sh $(DEPS_SET)

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The whole suite: the optimised build, then every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer.  Each phase is timed and
# the times are listed at the end.
TIMES := $(BUILD)/phase-times.txt
timed = start=$$(date +%s); $(2); status=$$?; \
	echo "$(1): $$(( $$(date +%s) - start )) s" >> $(TIMES); exit $$status

test:
	@mkdir -p $(BUILD) && rm -f $(TIMES)
	@$(MAKE) test-fast test-asan
	@echo "Phase times:" && sed 's/^/  /' $(TIMES)

test-fast: configure
	@$(call timed,optimised build,cmake --build $(BUILD) -j $(JOBS))
	@$(call timed,optimised tests,ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS))

test-asan: deps
	@mkdir -p $(BUILD)
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@$(call timed,sanitizer build,cmake --build $(ASAN_BUILD) -j $(JOBS))
	@$(call timed,sanitizer tests,ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS))

# Redraws the pictures the UI tests compare with: tests/golden/gallery.png,
# every control and bitmap, and docs/pedals.png, the sheet of the 36 pedals
# the README shows.  Review the new pictures before committing them.
golden: configure
	@cmake --build $(BUILD) -j $(JOBS) --target update_golden

# Synthesises a guitar riff and renders it through the default pedalboard
# into out/demo-dry.wav and out/demo-wet.wav, with the picture of the
# pedalboard's pedals in out/demo-pedalboard.png.
# Only the program is needed for the demo, not the tests.
demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target stompset
	@$(BUILD)/cli/stompset demo --out out/

bench: build
	@$(BUILD)/bench/orv_bench

# The LV2 bundle against comparable plug-ins from Debian's packages, in a
# host of our own (bench/README.md).  Not part of the default build.
bench-lv2: configure
	@cmake --build $(BUILD) --target orv_lv2_bench -j $(JOBS)
	@$(BUILD)/bench/lv2/orv_lv2_bench

install: build
	@mkdir -p "$(DESTDIR)$(LV2DIR)"
	@rm -rf "$(DESTDIR)$(LV2DIR)/$(BUNDLE)"
	@cp -r $(BUILD)/bundles/$(BUNDLE) "$(DESTDIR)$(LV2DIR)/"
	@echo "Installed $(DESTDIR)$(LV2DIR)/$(BUNDLE)"

uninstall:
	@rm -rf "$(DESTDIR)$(LV2DIR)/$(BUNDLE)"
	@echo "Removed $(DESTDIR)$(LV2DIR)/$(BUNDLE)"

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) out
