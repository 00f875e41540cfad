# Entry points: `make run` builds and starts Quiptide under Wine; `make test` builds every
# preset and runs every test. Both install what is missing first. ARCH=win32 makes `run`
# and `screenshots` use the 32-bit program under the 32-bit Wine.
.PHONY: all deps build build-win64 build-win32 build-native build-release run test screenshots fuzz bench dist clean

ARCH ?= win64

all: build

deps:
	@tools/install-deps.sh

define build_preset
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1)
endef

build-win64: deps
	$(call build_preset,win64)

build-win32: deps
	$(call build_preset,win32)

build-native: deps
	$(call build_preset,native)

build-release: deps
	$(call build_preset,release)

build: build-win64 build-win32

run: build-$(ARCH)
	QUIPTIDE_ARCH=$(ARCH) tools/run.sh $(ARGS)

test: build-win64 build-win32 build-native build-release
	tools/run-tests.sh

screenshots: build-$(ARCH)
	QUIPTIDE_ARCH=$(ARCH) tools/wine-session.sh tools/screenshots.sh

fuzz: deps
	tools/fuzz.sh

bench: deps
	tools/bench.sh

dist: build-win64 build-win32 build-release
	tools/dist.sh

clean:
	rm -rf build
