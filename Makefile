# The front door: `make run` starts the program, `make test` runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)

.PHONY: all bootstrap build run demo test test-core test-sanitize bench long-collection long-training fuzz package package-check format clean

all: build

bootstrap:
	@BUILD_DIR=$(BUILD) scripts/bootstrap

build: bootstrap
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run

# The program against a simulated ZRA7 (jumps), in a data folder of its own.
demo: build
	@BUILD_DIR=$(BUILD) scripts/demo

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@$(MAKE) --no-print-directory test-sanitize

# The core tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: bootstrap
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DTORVANE_CORE_ONLY=ON -DTORVANE_SANITIZE=ON -DTORVANE_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target torvane_core_tests
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@scripts/bench $(BUILD)

# Ten-minute collections from the simulator (not part of bench: they take 20 minutes).
long-collection: build
	@scripts/long-collection $(BUILD)

# A ten-minute training set in the desktop program under a virtual display.
long-training: build
	@scripts/long-training $(BUILD)

fuzz: bootstrap
	@scripts/fuzz $(FUZZ_BUILD)

# The Debian package, $(BUILD)/torvane_<version>_<arch>.deb (CPack).
package: build
	@cmake --build $(BUILD) -j $(JOBS) --target package

# The package installed in a clean Debian 12 root and its programs run there
# (needs root and the network; not part of test).
package-check: package
	@scripts/package-check $(BUILD)

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
