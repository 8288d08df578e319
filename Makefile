# The two commands of the README: `make run` and `make check`; the rest are house habits.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: deps configure build run check check-asan format bench clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Starts the CAD application on the bundled sample intersection and conflictor on it.
run: build
	@bin=$(BUILD)/suite/Tesmar/bin; \
	$$bin/cadhost $(BUILD)/suite/Tesmar/Zasoby/Przyklad.dxf & host=$$!; \
	sleep 2; $$bin/conflictor; wait $$host

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure --timeout 300

check-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DSUITE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  ctest -j $(JOBS) --output-on-failure --timeout 600

format:
	@git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
