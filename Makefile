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

clean:
	rm -rf $(BUILD) build-asan
