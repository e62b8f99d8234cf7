# The two commands of the README, and a few more for developers.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build demo test sanitize bench fuzz clean

deps:
	scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	scripts/demo.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOA_SANITIZE=ON -DTOA_BUILD_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j $(JOBS) -LE window

bench: build
	scripts/bench.sh $(BUILD)

# The libFuzzer targets, built with clang in a folder of their own, each run FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOA_FUZZ=ON \
	    -DTOA_BUILD_APP=OFF -DTOA_BUILD_BENCH=OFF
	cmake --build build-fuzz --target fuzz_targets -j $(JOBS)
	scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
