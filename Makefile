# The two ways in: `make run` and `make test`. Both install what is missing first.
PRESET ?= default
BUILD  := build
JOBS   := $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps asan-test format fuzz

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

# Plays the bundled sample script, written once into a folder of the build tree.
run: build
	@test -d $(BUILD)/sample-script || $(BUILD)/bin/veyrath-script sample $(BUILD)/sample-script
	cd $(BUILD)/sample-script && ../bin/veyrath

asan-test:
	$(MAKE) test PRESET=asan

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Ten minutes a fuzz target by default; `make fuzz SECONDS=60` for a shorter run.
SECONDS_PER_TARGET ?= 600
fuzz: deps
	scripts/install-deps clang libclang-rt-14-dev
	scripts/run-fuzzers $(SECONDS_PER_TARGET)
