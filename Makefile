# The two commands of the README: `make run` builds and starts Huebrook, `make test` builds and
# runs every test layer. Both install missing Debian packages first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build setup setup-tests bench deb clean

setup:
	bash scripts/setup.sh

setup-tests:
	bash scripts/setup.sh --with-tests

build: setup
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHUEBROOK_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/huebrook

test: setup-tests build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: setup-tests build
	bash bench/run.sh $(BUILD_DIR)

deb: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR)
