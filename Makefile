# Everyday commands. `make test` builds every preset and runs every suite;
# `make run` starts Kivo under Wine. Both install what is missing first.
SHELL := /bin/bash
JOBS ?= 2
NATIVE_PRESETS := native native-tsan
WIN_PRESETS := win64 win32

# build-PRESET and test-PRESET are pattern rules, so they stay off .PHONY
# (make never applies a pattern rule to a phony target).
.PHONY: all deps build test run clean fuzz e2e soak dist

all: build

deps:
	@bash tools/install-deps.sh

.PRECIOUS: build/%/build.ninja
build/%/build.ninja: | deps
	cmake --preset $* >/dev/null

build-%: build/%/build.ninja
	cmake --build --preset $* -j$(JOBS)

build: build-native build-native-tsan build-win64 build-win32

# One suite: `make test-native`, `make test-native-tsan`, `make test-win64`.
# Narrow it further with CTest's own filter: `make test-win64 T=log_tests`.
test-%: build-%
	ctest --preset $* $(if $(T),-R '$(T)')

test: deps
	@bash tools/test-all.sh

# The end-to-end smoke test alone: kivo.exe under Wine on an Xvfb display;
# its screenshot lands in build/win64/shots/.
e2e: build-win64
	ctest --preset win64 -L e2e

# The packages of both architectures in build/dist/: a portable zip and a
# per-user installer each.
dist: build/win64/build.ninja build/win32/build.ninja
	cmake --build --preset win64 -j$(JOBS) --target dist
	cmake --build --preset win32 -j$(JOBS) --target dist
	mkdir -p build/dist
	cp build/win64/dist/* build/win32/dist/* build/dist/
	@ls -l build/dist

run: build-win64
	bash tools/run-demo.sh build/win64

# libFuzzer targets, each for FUZZ_SECONDS: `make fuzz FUZZ_SECONDS=600`.
FUZZ_SECONDS ?= 600
fuzz: | deps
	bash tools/run-fuzz.sh $(FUZZ_SECONDS)

# The checking cycle's soak test, not part of `make test`: 50 accounts for
# 10 minutes against the fake server with faults. Shorter:
# `make soak SOAK_ARGS="--seconds 60 --accounts 20"`.
SOAK_STATE := build/bench/soak-fixture
soak: build/bench/build.ninja
	cmake --build --preset bench -j$(JOBS) --target soak_checks fake-pop3
	bash tools/fake-pop3/fixture.sh start build/bench/tools/fake-pop3/fake-pop3 $(SOAK_STATE)
	KIVO_FAKE_POP3_PORT_FILE=$(SOAK_STATE)/port build/bench/bench/soak_checks $(SOAK_ARGS); \
	  status=$$?; bash tools/fake-pop3/fixture.sh stop - $(SOAK_STATE); exit $$status

clean:
	rm -rf build
