# Two commands matter: `make run` and `make test`. Everything else is a step
# of theirs. Each step installs the Debian packages it needs when missing.
SHELL := /bin/bash
BUILD ?= build
NATIVE := $(BUILD)/native
WIN64 := $(BUILD)/win64
WIN32 := $(BUILD)/win32
FUZZ := $(BUILD)/fuzz
DIST := $(BUILD)/dist
TYPE ?= Release
FUZZ_SECONDS ?= 60
GEN := -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE)
TOOLS = -DQB_HOST_TOOLS_DIR=$(abspath $(NATIVE))/tools

.PHONY: all run test native windows i686 dist fuzz bench screenshots clean

all: native windows

native:
	@scripts/deps.sh build
	@scripts/configure.sh $(NATIVE) $(GEN)
	@cmake --build $(NATIVE)

windows: native
	@scripts/deps.sh windows
	@scripts/configure.sh $(WIN64) $(GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(TOOLS)
	@cmake --build $(WIN64)

# The 32-bit program is compiled and linked, not run (no 32-bit Wine here).
i686: native
	@scripts/deps.sh test
	@scripts/configure.sh $(WIN32) $(GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(TOOLS) -DQB_BENCH=OFF -DQB_TESTS=OFF
	@cmake --build $(WIN32)

# The release from the Release builds: a zip and two MSIs (per user, per
# machine) for each of x64 and x86, and SHA256SUMS. Signed when given
# SIGN_CERT and SIGN_KEY (SIGN_PASS_FILE: the key's password; TIMESTAMP_URL).
SIGN = $(if $(SIGN_CERT),--cert $(SIGN_CERT)) $(if $(SIGN_KEY),--key $(SIGN_KEY)) \
       $(if $(SIGN_PASS_FILE),--pass-file $(SIGN_PASS_FILE)) $(if $(TIMESTAMP_URL),--timestamp $(TIMESTAMP_URL))
dist: windows i686
	@scripts/deps.sh dist
	@rm -rf $(DIST)
	@python3 packaging/dist.py $(SIGN) release $(DIST) $(WIN64) $(WIN32)

fuzz:
	@scripts/deps.sh test
	@scripts/configure.sh $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined" \
	    -DQB_TESTS=OFF -DQB_BENCH=OFF -DQB_FUZZ=ON
	@cmake --build $(FUZZ) --target fuzz_catalogue

run: windows
	@scripts/run.sh $(WIN64) $(NATIVE)

test: native windows i686 fuzz dist
	@echo "== native tests"
	@ctest --test-dir $(NATIVE) --output-on-failure
	@echo "== the 32-bit program's manifest"
	@python3 tests/res/check_manifest.py $(WIN32)/src/quillbank.exe
	@echo "== the release's packages"
	@python3 tests/dist/check_tables.py $(DIST)
	@echo "== Windows tests under Wine"
	@source scripts/wine-env.sh; qb_hold_desktop $(WIN64)/tests/poke.exe; \
	    ctest --test-dir $(WIN64) --output-on-failure; rc=$$?; qb_wine_cleanup; exit $$rc
	@echo "== fuzzing the catalogue reader for $(FUZZ_SECONDS) s"
	@scripts/run-fuzz.sh $(FUZZ)/fuzz/fuzz_catalogue $(FUZZ_SECONDS)

bench: native windows
	@scripts/bench.sh $(NATIVE) $(WIN64)

# The README's pictures in docs/, taken of the sample catalogue under Wine,
# at 96 DPI and at 144.
screenshots: windows
	@scripts/screenshots.sh $(WIN64)
	@scripts/screenshots.sh $(WIN64) 144

clean:
	rm -rf $(BUILD)
