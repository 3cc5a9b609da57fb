# The whole set-up, build and test of the project. `make test` on a fresh Debian machine
# installs what is missing, builds the three trees and runs every test tier.

JOBS ?= $(shell nproc)
BUILD := build
WINENV := scripts/winenv
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)
# Integration tests drive real Windows processes under Wine, inside the environment make started.
PYTEST := WINENV_MANAGED=1 TZ=UTC /usr/bin/python3 -m pytest tests -q -p no:cacheprovider

.PHONY: all deps native win32 win64 test test-native test-win32 test-win64 test-integration demo fuzz clean

all: native win32 win64

deps:
	@scripts/install-deps.sh

$(BUILD)/native/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

$(BUILD)/win32/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

$(BUILD)/win64/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/win64 -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

native win32 win64: %: $(BUILD)/%/CMakeCache.txt
	cmake --build $(BUILD)/$* -j $(JOBS)

test-native: native
	ctest --test-dir $(BUILD)/native $(CTEST_FLAGS)

# The Windows trees run under Wine; the environment is started for the run and stopped after it,
# whatever the outcome.
test-win32 test-win64: test-%: %
	@$(WINENV) up
	@status=0; ctest --test-dir $(BUILD)/$* $(CTEST_FLAGS) || status=$$?; $(WINENV) down; exit $$status

test-integration: win32 win64
	@$(WINENV) up
	@status=0; $(PYTEST) || status=$$?; $(WINENV) down; exit $$status

# On a host that runs no 32-bit code the win32 tree is built but cannot run: packstub's tests
# then run on its 64-bit build, from the same sources.
test: deps
	@$(MAKE) --no-print-directory native win32 win64
	@$(MAKE) --no-print-directory test-native
	@$(WINENV) up
	@status=0; stub_tree=$$($(WINENV) stub-tree); \
	  if [ "$$stub_tree" = win32 ]; then ctest --test-dir $(BUILD)/win32 $(CTEST_FLAGS) || status=$$?; \
	  else echo "*** this host runs no 32-bit code: the win32 tree is not run, packstub is tested as its win64 build"; fi; \
	  ctest --test-dir $(BUILD)/win64 $(CTEST_FLAGS) || status=$$?; \
	  STUB_TREE=$$stub_tree $(PYTEST) || status=$$?; \
	  $(WINENV) down; exit $$status

# A sample setup made with the builder and run under Wine as a user runs it; what happened is
# printed, the screenshots stay in build/demo.
demo: deps
	@$(MAKE) --no-print-directory native $$($(WINENV) stub-tree)
	@$(WINENV) up
	@status=0; TZ=UTC /usr/bin/python3 scripts/demo.py || status=$$?; $(WINENV) down; exit $$status

# Every fuzz target of the native tree, FUZZ_SECONDS each (make test runs them for seconds only).
FUZZ_SECONDS ?= 600
fuzz: native
	@for target in $$(ctest --test-dir $(BUILD)/native -L fuzz -N | sed -n 's/.*Test *#[0-9]*: //p'); do \
	  echo "== $$target: $(FUZZ_SECONDS) s"; \
	  $(BUILD)/native/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -rss_limit_mb=1024 \
	    -malloc_limit_mb=64 -artifact_prefix=$(BUILD)/native/fuzz-artifacts/ -print_final_stats=1 \
	    $(BUILD)/native/fuzz-corpus/$$target fuzz/seeds/$$target || exit 1; \
	done

clean:
	-$(WINENV) down
	rm -rf $(BUILD)
