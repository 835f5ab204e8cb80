# The README's commands. `make run` installs what is missing, builds the
# release preset and starts the editor; `make test` installs what is missing,
# builds with AddressSanitizer and UBSan, and runs every test; `make tsan`
# runs the threaded code's tests under ThreadSanitizer. `make install` puts the
# release build under PREFIX (~/.local for a user, /usr/local for root) with its
# desktop entry, file types and icons; `make uninstall` takes them away again.
JOBS ?= $(shell nproc)
PREFIX ?= $(if $(filter 0,$(shell id -u)),/usr/local,$(HOME)/.local)

.PHONY: run test deps build-release build-test bench fuzz tsan clean install uninstall

deps:
	scripts/install-deps

build-release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

run: build-release
	build/release/src/App/zaveditor

build-test: deps
	cmake --preset test
	cmake --build --preset test -j $(JOBS)

test: build-test
	QT_QPA_PLATFORM=offscreen ctest --preset test

install: build-release
	cmake --install build/release --prefix "$(PREFIX)"

uninstall:
	scripts/uninstall build/release "$(PREFIX)"

bench: deps
	bench/run

fuzz: deps
	fuzz/build

tsan: deps
	scripts/tsan-test

clean:
	rm -rf build
