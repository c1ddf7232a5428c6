# The two commands of the README: `make run` builds and starts Huebrook, `make test` builds and
# runs every test layer. Both install missing Debian packages first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build setup setup-tests setup-bench bench deb clean

setup:
	bash scripts/setup.sh

setup-tests:
	bash scripts/setup.sh --with-tests

build: setup
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHUEBROOK_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/huebrook

# Two tests per core: the builds each take every core, and the end-to-end tests mostly wait on
# their displays.
test: setup-tests build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $$(( $(JOBS) * 2 ))

setup-bench:
	bash scripts/setup.sh --with-bench

bench: setup-bench build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	bash bench/run.sh $(BUILD_DIR)

deb: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR)
