# make run   - install what running needs, build, start wkv6 (its data lives in the user's own
#              folder ~/.local/share/brelcor/kv6, seeded from data/ by the program itself)
# make test  - install what testing needs, build with ASan/UBSan, run every test in a home of the
#              tests' own (.ci/run fails when the run left anything new in the user's folders or /tmp)
# make bench - release build, run every benchmark
# make tables - build the table generator and write the shipped tables into data/
# make format - clang-format every source file
# make check-format - fail on a source file that `make format` would change
JOBS ?= $(shell nproc)
# One major version formats alike on every machine; .ci/run checks with the same one.
CLANG_FORMAT := clang-format-14
BUILD_DEBUG := build/debug
BUILD_TEST := build/test
BUILD_BENCH := build/bench
RUN_DIR := build/run
# The table benchmarks are judged at both sizes: a small table fits the caches, a large one not.
TABLE_BENCHES := tables_core_bench tables_expr_bench tables_ndx_bench tables_vfile_bench
TABLE_SIZES := 200000 1000000

.PHONY: deps-run deps-test run test bench format check-format build tables

deps-run:
	@scripts/install-deps run

deps-test:
	@scripts/install-deps test

build: deps-run
	cmake -S . -B $(BUILD_DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV6_TESTS=OFF >/dev/null
	cmake --build $(BUILD_DEBUG) -j $(JOBS) --target wkv6

run: build
	mkdir -p $(RUN_DIR)
	cd $(RUN_DIR) && ../../$(BUILD_DEBUG)/wkv6 $(ARGS)

test: deps-test
	cmake -S . -B $(BUILD_TEST) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV6_SANITIZE=ON >/dev/null
	cmake --build $(BUILD_TEST) -j $(JOBS)
	ln -sf $(BUILD_TEST)/compile_commands.json compile_commands.json
	cd $(BUILD_TEST) && QT_QPA_PLATFORM=offscreen KV6_TEST_DATA=$(CURDIR)/data ctest --output-on-failure -j $(JOBS)

bench: deps-test
	cmake -S . -B $(BUILD_BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV6_TESTS=OFF -DKV6_BENCH=ON >/dev/null
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	@status=0; for b in $(BUILD_BENCH)/bench/*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then \
	    case " $(TABLE_BENCHES) " in \
	      *" $$(basename $$b) "*) for n in $(TABLE_SIZES); do \
	        echo "== $$(basename $$b) at $$n records"; KV6_BENCH_RECORDS=$$n "$$b" || status=1; done ;; \
	      *) echo "== $$(basename $$b)"; "$$b" || status=1 ;; \
	    esac; \
	  fi; done; \
	bench/cli_startup.sh $(BUILD_BENCH)/wkv6 || status=1; \
	if [ $$status -ne 0 ]; then echo "make bench: a benchmark failed or missed its target"; exit 1; fi

tables: deps-run
	cmake -S . -B $(BUILD_DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV6_TESTS=OFF >/dev/null
	cmake --build $(BUILD_DEBUG) -j $(JOBS) --target make_tables
	$(BUILD_DEBUG)/make_tables data

format: deps-test
	git ls-files -z '*.cpp' '*.h' | xargs -0 $(CLANG_FORMAT) -i

check-format: deps-test
	git ls-files -z '*.cpp' '*.h' | xargs -0 $(CLANG_FORMAT) --dry-run -Werror
