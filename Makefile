# SPDX-FileCopyrightText: 2026 The Veyrath authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The two ways in: `make run` and `make test`. Both install what is missing first.
PRESET ?= default
BUILD  := build
JOBS   := $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps check check-asan format format-check tidy clazy lint fuzz bench package-test

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

# Every test, then every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	$(MAKE) check PRESET=default
	$(MAKE) check PRESET=asan

check: build
	ctest --preset $(PRESET) -j $(JOBS)

# Plays the bundled sample script, written once into a folder of the build tree.
run: build
	@test -d $(BUILD)/sample-script || $(BUILD)/bin/veyrath-script sample $(BUILD)/sample-script
	cd $(BUILD)/sample-script && ../bin/veyrath

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# What CI holds besides the tests: the tree formatted, clang-tidy and clazy clean (FILES="a.cpp
# ..." for some files only), every file carrying its licence header.
format-check: deps
	scripts/install-deps clang-format
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

tidy: build
	scripts/install-deps clang-tidy
	scripts/run-tidy $(FILES)

# Qt's own traps (detaching containers, connections without a context, ...), levels 0 and 1.
clazy: build
	scripts/install-deps clazy
	scripts/run-clazy $(FILES)

lint: format-check tidy clazy
	scripts/check-spdx

# Ten minutes a fuzz target by default; `make fuzz SECONDS_PER_TARGET=60` for a short run.
SECONDS_PER_TARGET ?= 600
fuzz: deps
	scripts/install-deps clang libclang-rt-14-dev
	scripts/run-fuzzers $(SECONDS_PER_TARGET)

bench: deps
	scripts/run-benchmarks

# Installs the .deb into a fresh minimal Debian 12 and runs the programs there (as root; sudo
# otherwise). Minutes the first time; the bootstrapped system is then kept in the build tree.
package-test: build
	scripts/install-deps debootstrap debian-archive-keyring
	tests/package/install-in-clean-root.sh $(BUILD)
