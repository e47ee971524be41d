# Two commands do all the set-up: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build build-asan run test test-desktop test-asan bench clean format fuzz soak deb \
	web web-libs serve-web test-web clean-cache windows-libs \
	windows test-windows

all: build

deps:
	@scripts/install-deps

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DGF_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	./$(BUILD)/glimmerfrost

# Every test on the normal build, then again under AddressSanitizer and UBSan. With
# CI_STAGE_LOG set, each half notes when it ended there (.ci/run sums up the times).
test: test-desktop test-asan

stage_done = @[ -z "$(CI_STAGE_LOG)" ] || echo "$$(date +%s) $(1)" >> "$(CI_STAGE_LOG)"

test-desktop: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(call stage_done,desktop build and tests)

# Leaks inside system libraries are suppressed (tests/lsan.supp); ours never are.
# llvmpipe draws on the test's own thread and Mesa keeps no shader cache, so no driver
# thread is alive at exit: LeakSanitizer's check stops every other thread, and once, on a
# busy machine, it crashed doing so ("Tracer caught signal 11").
test-asan: build-asan
	LP_NUM_THREADS=0 MESA_SHADER_CACHE_DISABLE=true \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	$(call stage_done,sanitizer build and tests)

# The Debian package, in $(BUILD)/; its dependencies come from dpkg-shlibdeps.
deb: build
	cd $(BUILD) && cpack -G DEB

bench: build
	SDL_VIDEODRIVER=offscreen ./$(BUILD)/bench/bench_draw
	SDL_VIDEODRIVER=offscreen ./$(BUILD)/bench/bench_round

# libFuzzer needs clang, so the fuzz targets get a build of their own.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# clang warns where g++ does not; the g++ builds keep the warnings honest.
FUZZ_WARNINGS ?= -Wno-error=shadow
fuzz:
	@scripts/install-deps --fuzz
	@[ -f $(FUZZ_BUILD)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) \
		$(CMAKE_FLAGS) -DGF_FUZZ=ON -DGF_SANITIZE=ON -DBUILD_TESTING=OFF \
		-DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
		"-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link $(FUZZ_WARNINGS)"
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	fuzz/run.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

# Twenty rounds back to back with random input, and the figures.
soak: build
	./$(BUILD)/glimmerfrost-soak --rounds 20 --data $(BUILD)/Data

# The browser build: the toolchain and the libraries once (cached in $(WEB_BUILD)), then the
# game and the runner as a static site in $(WEB_BUILD)/site. It takes the pictures and the
# sounds from the desktop build.
WEB_BUILD ?= build-web
# The libraries are built once per machine, into the build cache outside the clone
# ($XDG_CACHE_HOME/glimmerfrost, or ~/.cache/glimmerfrost): `make clean` leaves it,
# `make clean-cache` empties it.
web-libs:
	@scripts/install-deps --web
	scripts/web/fetch-sources $(WEB_BUILD)
	scripts/web/build-libs $(WEB_BUILD)

web: build web-libs
	scripts/web/build-game $(WEB_BUILD) $(BUILD)

serve-web: web
	scripts/web/serve $(WEB_BUILD)/site

# The Windows build's libraries, cross-built with mingw-w64 from Debian's sources, once per
# machine into the same build cache; $(WIN_BUILD)/prefix links to them.
WIN_BUILD ?= build-win
windows-libs:
	@scripts/install-deps --windows
	scripts/windows/fetch-sources $(WIN_BUILD)
	scripts/windows/build-libs $(WIN_BUILD)

# The player's zip, $(WIN_BUILD)/glimmerfrost-VERSION-windows-x64.zip, and beside it the
# runner for tests and bug reports. The pictures and sounds come from the desktop build.
windows: build windows-libs
	scripts/windows/build-game $(WIN_BUILD) $(BUILD)

# The zip, the unit tests, the runner's traces and the game in a window, under Wine.
test-windows: windows
	tests/windows/run $(WIN_BUILD) $(BUILD)

clean-cache:
	bash -c '. scripts/lib/cache.sh && gf_cache_clear'

# The build cache's own test, then the site in headless Chromium, Firefox and WebKit, against
# the desktop runner.
test-web: web
	tests/web/cache.sh
	cd tests/web && npm ci --no-audit --no-fund
	node tests/web/run.mjs $(WEB_BUILD)/site $(BUILD) $(WEB_TEST_FLAGS)

format:
	find src tools tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
