# Corvexa's two commands for a fresh Debian 12 machine:
#   make run    build (Release) and run the demo; with no display (neither
#               DISPLAY nor WAYLAND_DISPLAY set) render it to corvexa.mp4
#   make test   build and run every test
#   make web    build the demo for the browser into build/web/ (see README.md)
#   make windows  cross-build the demo for Windows (x86-64 and 32-bit x86) into
#               build/windows/, with a zip of each (see README.md)
# Each first installs the Debian packages it needs (see tools/ensure-packages.sh).

RUN_PACKAGES := cmake ninja-build g++ libpng-dev libcli11-dev libsdl2-dev ffmpeg
WEB_PACKAGES := cmake ninja-build emscripten node-acorn
# source:libsdl2 is Debian's SDL2 source package, built for Windows (apt-get source).
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix dpkg-dev icoutils zip source:libsdl2
# The 32-bit program draws with Direct3D 11 under Wine only with the 32-bit Mesa drivers.
WINDOWS_TEST_PACKAGES := $(WINDOWS_PACKAGES) unzip wine wine64 wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 xvfb xdotool
TEST_PACKAGES := $(RUN_PACKAGES) $(WINDOWS_TEST_PACKAGES) googletest clang libclang-rt-14-dev valgrind libbenchmark-dev g++-multilib zlib1g-dev gzip zopfli imagemagick openmpt123 xvfb xdotool libx11-dev emscripten node-acorn chromium

.PHONY: run test build web windows
run:
	@tools/ensure-packages.sh $(RUN_PACKAGES)
	@cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVEXA_TESTS=OFF -Wno-dev >/dev/null
	@cmake --build build/release
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/release/platform/corvexa; \
	else \
	  build/release/tools/corvexa-tool capture corvexa.mp4 && \
	  echo "No display here, so the show (with its sound) was rendered to $(CURDIR)/corvexa.mp4." && \
	  echo "Play it with: ffplay corvexa.mp4   (or: mpv corvexa.mp4)"; \
	fi

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	@tests/run-all.sh

web:
	@tools/ensure-packages.sh $(WEB_PACKAGES)
	@tools/build-web.sh build/web build/web-cmake
	@echo "The page is in build/web/: serve it with (cd build/web && python3 -m http.server)"

windows:
	@tools/ensure-packages.sh $(WINDOWS_PACKAGES)
	@tools/build-windows.sh build/windows
