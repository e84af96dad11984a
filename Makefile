# The two commands of the README, plus the benchmark and the fuzzer.
# Each one installs what is missing, configures and builds by itself.

BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools libxml2-dev libzip-dev \
            libgl-dev zip xvfb xauth
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS  ?= 120

# Installs those of the given Debian packages that are missing (through sudo when not root).
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

.PHONY: run test bench fuzz deps configure build clean format

run: build
	./$(BUILD)/lirvel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# GCC 12 gives a false -Wrestrict inside std::string when it inlines at -O3: shown, but not fatal.
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DLIRVEL_WERROR=ON -DCMAKE_CXX_FLAGS=-Wno-error=restrict
	cmake --build build-bench -j $(JOBS) --target lirvel_bench
	./build-bench/bench/lirvel_bench $(BENCH_ARGS)

# The book file reader under libFuzzer for FUZZ_SECONDS; what it finds lands in build-fuzz/findings.
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIRVEL_FUZZ=ON -DLIRVEL_WERROR=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_book_file
	mkdir -p build-fuzz/corpus build-fuzz/findings
	cp tests/data/books/* tests/data/fuzz/* build-fuzz/corpus/
	./build-fuzz/fuzz/fuzz_book_file -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=60 -rss_limit_mb=4096 \
	  -dict=fuzz/fb2.dict -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus

deps:
	$(call install_missing,$(PACKAGES))

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-bench build-fuzz
