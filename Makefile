# Quellor: `make run` to see it, `make test` to test it. Everything else follows from those.
# The shipped build is 32-bit Windows (build/bin). Where this host cannot run 32-bit code,
# the Wine tests run a 64-bit build of the same sources instead (build/win64).

NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
FUZZ := build/fuzz
JOBS := 2
# `make fuzz` runs each fuzz target this many seconds: `make fuzz FUZZ_SECONDS=600` for longer.
FUZZ_SECONDS ?= 60

.PHONY: all setup build fuzz-build run test fuzz dist bench clean
all: build

setup:
	@scripts/setup

build: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)
	@arch=$$(scripts/wine-arch); \
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DQUELLOR_BIN_DIR=$(CURDIR)/build/bin -DQUELLOR_WINE_TESTS=$$([ $$arch = win32 ] && echo ON || echo OFF) >/dev/null && \
	cmake --build $(WIN32) -j$(JOBS) && \
	if [ $$arch = win64 ]; then \
	    cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
	        -DQUELLOR_WINE_TESTS=ON >/dev/null && \
	    cmake --build $(WIN64) -j$(JOBS); \
	fi

# The fuzz targets (tests/fuzz/): natively, with clang, libFuzzer and the sanitizers.
fuzz-build: setup
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DQUELLOR_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

run: build
	@scripts/run

# One virtual X server for the whole Wine layer; the unit tests and fuzz targets do not need it.
test: build fuzz-build
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)
	ctest --test-dir $(FUZZ) --output-on-failure -j$(JOBS)
	xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir $(WIN32) --output-on-failure
	@if [ -d $(WIN64) ]; then xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir $(WIN64) --output-on-failure; fi

clean:
	rm -rf build

# Every fuzz target for FUZZ_SECONDS, then each one's inputs, coverage and findings.
fuzz: fuzz-build
	@tests/fuzz/run $(FUZZ) $(FUZZ_SECONDS) $(JOBS)

# The two downloads for Windows users, from the 32-bit build: build/quellor-<version>-win32.zip
# and the setup program build/quellor-<version>-setup.exe (made by `make build`).
dist: build
	@cpack --config $(WIN32)/CPackConfig.cmake -B build >/dev/null
	@cp $(WIN32)/quellor-*-setup.exe build/
	@echo "dist: build/$$(cd build && ls -t quellor-*-win32.zip | head -n 1)"
	@echo "dist: build/$$(cd build && ls -t quellor-*-setup.exe | head -n 1)"

# The benchmarks: sizes of the shipped files, then run-time figures under Wine (a few minutes).
bench: build
	@scripts/bench
