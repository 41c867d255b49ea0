# The front door: make run, make test. Everything installs what it lacks.
BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD     ?= build-fuzz
BENCH_BUILD    ?= build-bench
FUZZ_SECONDS   ?= 60
PREFIX         ?= /usr/local
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=

configure = cmake -S . -B $(1) -DCMAKE_BUILD_TYPE=$(2) $(CMAKE_FLAGS) $(3)

.PHONY: all deps build test sanitize run install deb clean fuzz fuzz-build fuzz-smoke fuzz-corpus bench

all: build

deps:
	@scripts/install-deps build test

build: deps
	$(call configure,$(BUILD),RelWithDebInfo,-DCMAKE_INSTALL_PREFIX=$(PREFIX))
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

sanitize: deps
	$(call configure,$(SANITIZE_BUILD),Debug,-DBITLENS_SANITIZE=ON)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

run: build
	$(BUILD)/bitlens

# Engine benchmarks in a Release build, then each one's time over the
# standard library's for the same conversions.
bench:
	@scripts/install-deps build test bench
	$(call configure,$(BENCH_BUILD),Release,-DBITLENS_BENCH=ON)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target engine_bench
	$(BENCH_BUILD)/bench/engine_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
	  --benchmark_out=$(BENCH_BUILD)/engine_bench.json --benchmark_out_format=json
	python3 bench/ratios.py $(BENCH_BUILD)/engine_bench.json

# Fuzzing needs clang; its targets are a project of their own in fuzz/.
fuzz-build:
	@scripts/install-deps build fuzz
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Each target for FUZZ_SECONDS; fails on any crash, leak or sanitizer report.
fuzz: fuzz-build
	fuzz/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=10

# Rebuilds the committed corpora from fresh seeds and earlier runs' finds.
fuzz-corpus: fuzz-build
	fuzz/run-fuzzers --merge $(FUZZ_BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package lands in $(BUILD); dpkg-shlibdeps fills in its dependencies.
deb: build
	@scripts/install-deps desktop
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
