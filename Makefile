# Thin wrapper over CMake: `make run`, `make test`, `make install` and `make package` each work on a
# fresh Debian machine.
PACKAGES := build-essential cmake pkg-config libsdl2-dev libepoxy-dev libegl-dev libgl1-mesa-dri \
  libegl-mesa0 libjpeg62-turbo-dev libpng-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core \
  libmpg123-dev libebur128-dev libopenmpt-dev libfftw3-dev libmp3lame-dev libavformat-dev libavcodec-dev \
  libswscale-dev libswresample-dev libavutil-dev googletest libgtest-dev libgmock-dev \
  libbenchmark-dev xvfb xauth xdotool clang libclang-rt-dev libimgui-dev \
  dpkg-dev file desktop-file-utils appstream groff-base lintian

BUILD_DIR := build
PRESET := $(if $(filter true,$(CI)),ci,release)
JOBS ?= 2
PREFIX ?= /usr/local
ARGS ?= -win

.PHONY: all deps build show run test frames bench-frames install package asan fuzz clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -z "$$missing" ]; then exit 0; fi; \
	if [ "$$(id -u)" = "0" ]; then \
	  echo "Installing:$$missing"; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -qq && apt-get install -y -qq --no-install-recommends $$missing; \
	else \
	  echo "Missing packages. Install them with:"; \
	  echo "  sudo apt-get install$$missing"; \
	  exit 1; \
	fi

build: deps
	cmake --preset $(PRESET)
	cmake --build $(BUILD_DIR) -j$(JOBS)

# Frame rates per scene, offscreen on this machine's GL (bench/README.md); BENCH passes its arguments,
# for example make bench-frames BENCH="3 fx10 profile".
bench-frames: build
	$(BUILD_DIR)/bench/app/bench_frames $(BENCH)

# Only what the show needs: the program, its data and the track (no tests, benchmarks or tools).
show: deps
	cmake --preset $(PRESET)
	cmake --build $(BUILD_DIR) -j$(JOBS) --target show

# With a display the show plays in a window (ARGS, "-win" by default; ARGS= for full screen).
# Without one it is captured to build/run/velunar.mp4 instead.
run: show
	@cd $(BUILD_DIR)/run && \
	if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  ./velunar $(ARGS); \
	else \
	  echo "No display found: capturing the show to $(BUILD_DIR)/run/velunar.mp4 instead (Ctrl+C stops early and keeps what is done)."; \
	  ./velunar --capture velunar.mp4; rc=$$?; \
	  if [ $$rc -eq 0 ]; then echo "The show is in $(BUILD_DIR)/run/velunar.mp4."; fi; \
	  exit $$rc; \
	fi

# The program, its data, menu entry, icons and manual page under PREFIX (DESTDIR honoured).
install: deps
	cmake --preset $(PRESET)
	cmake --build $(BUILD_DIR) -j$(JOBS) --target installable
	cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# A Debian package of the same files under /usr, in build/package/.
package: deps
	cmake --preset $(PRESET)
	cmake --build $(BUILD_DIR) -j$(JOBS) --target installable
	cd $(BUILD_DIR) && cpack -B package

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

# Renders the reference frames (tests/frames/reference) anew after an intended change of picture,
# overwrites those that differ and prints which changed and by how much.
frames: build
	cd $(BUILD_DIR) && VELUNAR_FRAMES_UPDATE=1 SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
	  tests/frames/reference_frames_test --gtest_brief=1

# The unit and render tests, and every scene to the end of its window, under ASan and UBSan
# (build-asan/), the data generator too while it builds. Any report fails. Leak reports are off:
# the GL driver and fontconfig keep their memory until exit.
asan: export ASAN_OPTIONS = detect_leaks=0
asan: export UBSAN_OPTIONS = halt_on_error=1:print_stacktrace=1
asan: deps
	cmake --preset asan
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS) -L 'unit|render' && ctest --output-on-failure -R '^SceneEnds\.'

# Every libFuzzer target, built with clang (build-fuzz/), FUZZ_SECONDS (60) each.
fuzz: deps
	JOBS=$(JOBS) tools/fuzz.sh

clean:
	rm -rf $(BUILD_DIR) build-debug build-asan build-fuzz
