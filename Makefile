# Entry points: `make run` builds and starts the game, `make test` builds and runs every test.
.PHONY: setup run build test bench e2e format format-check clean package

setup:
	bash scripts/setup

build: setup
	cmake --preset release
	cmake --build --preset release

run: build
	./build/release/bralun

test: setup format-check
	cmake --preset test
	cmake --build --preset test
	ctest --preset test

# bralun_<version>_<arch>.deb in build/release, for `apt install ./build/release/bralun_*.deb`.
package: build
	cd build/release && cpack

bench: build
	./build/release/bench/engine_bench
	./build/release/bench/startup_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails on any tracked source that clang-format would change.
format-check:
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
