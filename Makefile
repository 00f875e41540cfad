# Entry points: `make run` builds and starts Quiptide under Wine; `make test` builds all
# three presets and runs every test. Both install what is missing first.
.PHONY: all deps build build-win64 build-win32 build-native run test screenshots fuzz bench dist clean

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

build: build-win64 build-win32

run: build-win64
	tools/run.sh $(ARGS)

test: build-win64 build-win32 build-native
	tools/run-tests.sh

screenshots: build-win64
	tools/wine-session.sh tools/screenshots.sh

fuzz: deps
	tools/fuzz.sh

bench: deps
	tools/bench.sh

dist: build-win64 build-win32
	tools/dist.sh

clean:
	rm -rf build
