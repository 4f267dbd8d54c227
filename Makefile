# The two commands a newcomer needs:
#   make demo   build the programs and show them running under Wine
#   make test   build everything and run every test tier that fits in CI
# The release:
#   make installer  build/windows/release/Quillon-<version>-setup.exe
#   make dist       build/windows/release/Quillon-<version>-portable.zip
# Both first install the missing Debian packages (scripts/bootstrap).

JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DQUILLON_WERROR=ON
HOST_TOOLS = $(CURDIR)/build/native-asan/bin

FUZZ_SECONDS ?= 15
# The long campaign: each target runs this long or this many inputs.
FUZZ_LONG_SECONDS ?= 1200
FUZZ_LONG_RUNS ?= 10000000

.PHONY: all bootstrap native native-asan windows demo-build installer dist fuzz-build fuzz fuzz-long thread-check layering test test-native test-windows demo bench clean

all: native-asan windows

bootstrap:
	@./scripts/bootstrap

native-asan: bootstrap
	cmake --preset native-asan $(CMAKE_FLAGS) >/dev/null
	cmake --build --preset native-asan -j $(JOBS)

native: bootstrap
	cmake --preset native $(CMAKE_FLAGS) >/dev/null
	cmake --build --preset native -j $(JOBS)

# The Windows build runs host tools (make-datafiles) from the native build.
windows: native-asan
	cmake --preset windows $(CMAKE_FLAGS) -DQUILLON_HOST_TOOLS=$(HOST_TOOLS) >/dev/null
	cmake --build --preset windows -j $(JOBS)

installer: windows
	cmake --build --preset windows -j $(JOBS) --target installer

dist: windows
	cmake --build --preset windows -j $(JOBS) --target dist

# Every #include of the product folders against the module table of
# docs/architecture.md.
layering:
	./scripts/check-layering

test-native: native-asan
	ctest --preset native-asan -j $(JOBS) --output-on-failure

# A GUI test under Wine that fails is run once more (Wine's own timing on a
# loaded machine); its first failure is still printed in full, and named
# again with that output at the end of the run (and of `make test`). Tests
# labelled no-retry (a flake explained and mended) run first, once.
test-windows: windows
	QUILLON_BUILD=$(CURDIR)/build/windows ./scripts/with-display ./scripts/ctest-retries \
		$(CURDIR)/build/windows/test-windows.log sh -c 'ctest --preset windows --output-on-failure -L no-retry; \
		once=$$?; ctest --preset windows --output-on-failure -LE no-retry --repeat until-pass:2 || exit 1; exit $$once'

# libFuzzer targets (clang); `make fuzz FUZZ_SECONDS=600` for a long session.
fuzz-build: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

fuzz: fuzz-build
	./scripts/fuzz build/fuzz $(FUZZ_SECONDS)

# Long fuzzing that grows the kept corpora (tests/fuzz/<target>/corpus);
# `make fuzz-long FUZZ_LONG_SECONDS=60 FUZZ_LONG_TARGETS="lznt1_decompress_fuzz"`.
fuzz-long: fuzz-build
	./scripts/fuzz-long build/fuzz $(FUZZ_LONG_SECONDS) $(FUZZ_LONG_RUNS) $(FUZZ_LONG_TARGETS)

# The threaded tests under ThreadSanitizer (their own build of the three test
# programs that run threads: about 5 minutes).
thread-check: bootstrap
	./scripts/thread-check $(JOBS)

test: layering test-native thread-check test-windows fuzz
	@cat build/windows/test-windows.log.retried 2>/dev/null || true

# Only what the demo runs (target demo-build in each build): the host tools,
# the programs and the start-up data files; the tests are left for make test.
demo-build: bootstrap
	cmake --preset native-asan $(CMAKE_FLAGS) >/dev/null
	cmake --build --preset native-asan -j $(JOBS) --target demo-build
	cmake --preset windows $(CMAKE_FLAGS) -DQUILLON_HOST_TOOLS=$(HOST_TOOLS) >/dev/null
	cmake --build --preset windows -j $(JOBS) --target demo-build

demo: demo-build
	QUILLON_BUILD=$(CURDIR)/build/windows ./scripts/demo

bench: native
	./scripts/run-benchmarks build/native

clean:
	rm -rf build
