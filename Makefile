# Quick start: `make demo` runs the wizard against the simulated recorder, cameras and cloud service;
# `make test` builds and runs every test. Both install the Debian packages they need first.
BUILD      ?= build
TYPE       ?= RelWithDebInfo
JOBS       ?= $(shell nproc)
# Worktrees and clean clones share one compiler cache: paths are hashed relative to the checkout.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
CMAKE_GEN  := -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
# The test, demo, bench, fuzz and tsan builds trust the simulator (VRX_TEST_TRUST); a plain configure and the
# package do not.
TEST_TRUST := -DVRX_TEST_TRUST=ON

.PHONY: all deps configure build test demo gallery fuzz tsan bench package package-check ansible-collection clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) $(TEST_TRUST)

# A build folder first configured by hand (plain cmake: no test trust) is turned into a test build here.
configure: $(BUILD)/build.ninja
	@grep -qx 'VRX_TEST_TRUST:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) $(TEST_TRUST)

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	scripts/demo $(BUILD)

gallery: build
	cmake --build $(BUILD) --target gallery

# Each fuzz harness for FUZZ_RUNS executions (at most FUZZ_SECONDS each), built with clang and libFuzzer;
# only the harnesses are built.
FUZZ_SECONDS ?= 600
FUZZ_RUNS    ?= 1000000
FUZZ_JOBS    ?= $(JOBS)
fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRX_FUZZ=ON $(TEST_TRUST) \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	FUZZ_RUNS=$(FUZZ_RUNS) FUZZ_JOBS=$(FUZZ_JOBS) scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS)

# The network tests under ThreadSanitizer.
tsan: deps
	cmake -S . -B build-tsan $(CMAKE_GEN) -DVRX_TSAN=ON $(TEST_TRUST)
	cmake --build build-tsan -j $(JOBS) --target net_tests
	ctest --test-dir build-tsan --output-on-failure -L net

# The Debian package (CPack) in $(PACKAGE_BUILD)/, a build of its own configured with VRX_TEST_TRUST off, as
# every plain configure is (the packaged program ignores the tests' and the demo's trust settings), and its
# checks: lintian, the launcher and AppStream validators, and the unpacked program run from a temporary root.
PACKAGE_BUILD ?= build-package
package: deps
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_GEN) -DVRX_TEST_TRUST=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target vrx-setup-wizard vrx-probe vrx-provision vrx_package_files
	cd $(PACKAGE_BUILD) && cpack -G DEB

package-check: package
	scripts/package-check $(PACKAGE_BUILD)

# The performance table (scripts/run-benchmarks): builds only the programs it runs; writes $(BUILD)/bench/perf-table.json.
bench: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target bench_programs
	scripts/run-benchmarks $(BUILD)

# The Ansible collection halvik.vrx (ansible/) as the tarball ansible-galaxy installs from:
# $(BUILD)/ansible/halvik-vrx-<version>.tar.gz.
ansible-collection: deps
	mkdir -p $(BUILD)/ansible
	ansible-galaxy collection build ansible --output-path $(BUILD)/ansible --force

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD) build-fuzz build-tsan
