# Set-up, build and test entry points. Every target first installs the Debian packages the
# project needs (deps/debian.txt), so a fresh Debian 12 machine needs nothing else.
JOBS       ?= 2
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
SECONDS    ?= 60
GENERATOR   = $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
LAUNCHER    = $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CTEST_ARGS ?= --output-on-failure -j$(JOBS) --timeout 600

.PHONY: all deps build test test-asan demo bench fuzz fuzz-run clean

all: build

deps:
	@./deps/install.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -G "$(GENERATOR)" $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest $(CTEST_ARGS)

$(ASAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_BUILD) -G "$(GENERATOR)" $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug -DTESSIVO_SANITIZE=ON

test-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest $(CTEST_ARGS)

demo: build
	$(BUILD)/tools/tessivo/tessivo demo out

bench: build
	@bench/pipeline.sh $(BUILD)
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || true; done

# libFuzzer targets: a clang build of the whole tree, instrumented; fuzz-run runs each target
# for SECONDS seconds over a generated seed corpus and fails on any finding.
$(FUZZ_BUILD)/CMakeCache.txt: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G "$(GENERATOR)" $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTESSIVO_BUILD_FUZZ=ON -DTESSIVO_BUILD_TESTS=OFF -DTESSIVO_BUILD_BENCH=OFF

fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

fuzz-run: fuzz
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# Installation into PREFIX (default /usr/local) and the Debian package (into $(BUILD)).
PREFIX ?= /usr/local
.PHONY: install package
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack --config CPackConfig.cmake
