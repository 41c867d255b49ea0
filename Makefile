# The front door: make run, make test. Everything installs what it lacks.
BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD     ?= build-fuzz
BENCH_BUILD    ?= build-bench
SOAK_BUILD     ?= build-soak
SOAK_ACTIONS   ?= 100000
MEMCHECK_ACTIONS ?= 2000
FUZZ_SECONDS   ?= 60
PREFIX         ?= /usr/local
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=
# make test sets it; a plain build keeps what the build folder has.
TESTING        ?=

configure = cmake -S . -B $(1) -DCMAKE_BUILD_TYPE=$(2) $(CMAKE_FLAGS) $(3)

.PHONY: all deps build test sanitize soak run install uninstall deb clean fuzz fuzz-build fuzz-smoke \
  fuzz-corpus bench format format-check translations

all: build

deps:
	@scripts/install-deps build test

# Building needs the build group only, so that make install works for a user
# without root once it is there; the tests join the build with their group.
build:
	@scripts/install-deps build
	$(call configure,$(BUILD),RelWithDebInfo,-DCMAKE_INSTALL_PREFIX=$(PREFIX) $(TESTING))
	cmake --build $(BUILD) -j $(JOBS)

test: deps
	@$(MAKE) --no-print-directory build TESTING=-DBUILD_TESTING=ON
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j $(JOBS)

sanitize: deps
	$(call configure,$(SANITIZE_BUILD),Debug,-DBITLENS_SANITIZE=ON -DBUILD_TESTING=ON)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# A long random use of the window under ASan and UBSan, then every test
# under valgrind's memcheck in an optimised build (a shorter random use).
# The command-line checks are shell scripts: memcheck checks the program
# each one runs rather than the shell. A memory error or leak fails the
# test that shows it; its report is shown. A long run outlasts the test
# library's five minutes for one test function: its watchdog waits two hours.
soak:
	@scripts/install-deps build test soak
	$(call configure,$(SOAK_BUILD)/sanitize,Debug,-DBITLENS_SANITIZE=ON -DBUILD_TESTING=ON)
	cmake --build $(SOAK_BUILD)/sanitize -j $(JOBS) --target random_use_tests
	BITLENS_RANDOM_ACTIONS=$(SOAK_ACTIONS) QTEST_FUNCTION_TIMEOUT=7200000 \
	  ctest --test-dir $(SOAK_BUILD)/sanitize \
	  -R '^random_use_tests$$' --output-on-failure --timeout 7200
	$(call configure,$(SOAK_BUILD)/memcheck,RelWithDebInfo,-DBUILD_TESTING=ON \
	  -DMEMORYCHECK_COMMAND_OPTIONS="--error-exitcode=1 --leak-check=full --num-callers=40" \
	  -DMEMORYCHECK_SUPPRESSIONS_FILE=$(CURDIR)/tests/valgrind.supp)
	cmake --build $(SOAK_BUILD)/memcheck -j $(JOBS)
	cd $(SOAK_BUILD)/memcheck && BITLENS_RANDOM_ACTIONS=$(MEMCHECK_ACTIONS) \
	  QTEST_FUNCTION_TIMEOUT=7200000 ctest -T memcheck -E '^cli_' -j $(JOBS) --output-on-failure --timeout 7200 \
	  || { grep -l 'ERROR SUMMARY: [1-9]' Testing/Temporary/MemoryChecker.*.log | xargs -r cat; exit 1; }
	rm -rf $(SOAK_BUILD)/memcheck/cli-valgrind && mkdir -p $(SOAK_BUILD)/memcheck/cli-valgrind
	cd $(SOAK_BUILD)/memcheck && BITLENS_UNDER="valgrind --error-exitcode=99 --leak-check=full \
	  --errors-for-leak-kinds=definite --num-callers=40 --suppressions=$(CURDIR)/tests/valgrind.supp \
	  --log-file=$(CURDIR)/$(SOAK_BUILD)/memcheck/cli-valgrind/%p.log" \
	  ctest -R '^cli_' -j $(JOBS) --output-on-failure --timeout 600 \
	  || { grep -l 'ERROR SUMMARY: [1-9]' cli-valgrind/*.log | xargs -r cat; exit 1; }

run: build
	$(BUILD)/bitlens

# Engine and window benchmarks in a Release build, then each one's time over
# its floor's: the standard library's conversions, the same texts set with no
# conversion, a bare window with the same widgets. Then the time to open a
# 50 MB SVD file.
bench:
	@scripts/install-deps build test bench
	$(call configure,$(BENCH_BUILD),Release,-DBITLENS_BENCH=ON -DBITLENS_HARDENING=OFF)
	cmake --build $(BENCH_BUILD) -j $(JOBS) \
	  --target engine_bench window_bench bitlens bare_window startup_probe layout_bench
	$(BENCH_BUILD)/bench/engine_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
	  --benchmark_out=$(BENCH_BUILD)/engine_bench.json --benchmark_out_format=json
	python3 bench/ratios.py $(BENCH_BUILD)/engine_bench.json
	$(BENCH_BUILD)/bench/window_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
	  --benchmark_out=$(BENCH_BUILD)/window_bench.json --benchmark_out_format=json
	python3 bench/ratios.py $(BENCH_BUILD)/window_bench.json
	python3 bench/startup.py $(BENCH_BUILD)/bitlens $(BENCH_BUILD)/bench/bare_window \
	  $(BENCH_BUILD)/bench/libstartup_probe.so resources/ConverterDocument.ui --runs 30 --panels
	$(BENCH_BUILD)/bench/layout_bench

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

# PREFIX=$$HOME/.local installs for one user, without root.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	cmake -DBUILD_DIR=$(BUILD) -DPREFIX=$(PREFIX) -P cmake/Uninstall.cmake

# The Debian package lands in $(BUILD); dpkg-shlibdeps fills in its
# dependencies, and lintian must find nothing to say at its pedantic level.
deb: build
	@scripts/install-deps desktop
	cmake -DBUILD_DIR=$(BUILD) -DOUTPUT=$(abspath $(BUILD)) -DCPACK=cpack -DLINTIAN=lintian \
	  -P cmake/CheckPackage.cmake

# Refreshes resources/translations/*.ts from the sources: new texts come in
# unfinished, texts no longer used go (README: Languages, for a new one).
translations: deps
	$(call configure,$(BUILD),RelWithDebInfo,-DCMAKE_INSTALL_PREFIX=$(PREFIX))
	cmake --build $(BUILD) --target translations

# .clang-format decides the layout of every C++ file in the tree.
FORMATTED = $(shell find src tests bench fuzz -name '*.cpp' -o -name '*.h')

format:
	@scripts/install-deps format
	clang-format -i $(FORMATTED)

format-check:
	@scripts/install-deps format
	clang-format --dry-run -Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(SOAK_BUILD)
