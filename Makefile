# The two everyday commands are `make run` and `make test`; both install what is missing first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build sanitize-build run test soak fuzz bench package

# What each target installs: `make run` only what building and running need,
# the others what their tools add (scripts/install-deps.sh lists them). A
# target-specific value carries over to the prerequisites it builds.
DEPS = run
test: DEPS = test
package: DEPS = package
bench: DEPS = bench
screenshots: DEPS = screenshots
deps:
	@./scripts/install-deps.sh $(DEPS)

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/app/korvu

# The unit and widget tests run twice: in the normal build, then under the
# address and undefined-behaviour sanitizers, where any finding fails the run.
sanitize-build: deps
	@cmake --preset asan >/dev/null
	cmake --build --preset asan

# It ends with one line for each group of tests that did not run, and why.
test: build
	ctest --preset $(PRESET)
	$(MAKE) --no-print-directory sanitize-build
	ctest --preset asan
	@./scripts/skipped-tests.sh $(BUILD_DIR) build/asan

# A million ticks of a seeded random player under the sanitizers.
soak: sanitize-build
	cd build/asan/tests && QT_QPA_PLATFORM=offscreen KORVU_SOAK_TICKS=1000000 \
		./game/tst_Playfield soakKeepsPictureAndTrailInAgreement

# Each fuzzer runs for FUZZ_SECONDS from the seed corpus kept in fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz:
	@./scripts/install-deps.sh fuzz
	@cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	./scripts/fuzz.sh $(FUZZ_SECONDS)

# Prints one table: the tick and the store headless, then start-up, memory and
# CPU under a private Xvfb (about 2 minutes). The build compiles the benchmarks.
bench: build
	./bench/run.sh $(BUILD_DIR)

# The Debian package lands in $(BUILD_DIR), named korvu_<version>_<arch>.deb;
# its time stamps are the last commit's, so a second run gives the same bytes.
package: build
	cmake --build --preset $(PRESET) --target package

# The README's pictures of the start window, the score table and a game, taken
# from the build on a private Xvfb and written to docs/.
.PHONY: screenshots
screenshots: build
	./scripts/screenshots.sh $(BUILD_DIR)/app/korvu
