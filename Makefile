# The README's commands. `make test` installs what is missing, builds with
# AddressSanitizer and UBSan, and runs every test.
JOBS ?= $(shell nproc)

.PHONY: test deps build-test bench fuzz clean

deps:
	scripts/install-deps

build-test: deps
	cmake --preset test
	cmake --build --preset test -j $(JOBS)

test: build-test
	QT_QPA_PLATFORM=offscreen ctest --preset test

bench: deps
	bench/run

fuzz: deps
	fuzz/build

clean:
	rm -rf build
