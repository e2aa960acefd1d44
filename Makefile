# The two everyday commands are `make run` and `make test`; both install what is missing first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build run test bench package

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/app/korvu

test: build
	ctest --preset $(PRESET)

bench: build
	cmake --build --preset $(PRESET) --target korvu_bench
	./$(BUILD_DIR)/bench/korvu_bench
