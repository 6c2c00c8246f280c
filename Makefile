# Corvexa's two commands for a fresh Debian 12 machine:
#   make run    build (Release) and run the demo; with no display (neither
#               DISPLAY nor WAYLAND_DISPLAY set) render it to corvexa.mp4
#   make test   build and run every test
#   make web    build the demo for the browser into build/web/ (see README.md)
#   make windows  cross-build the demo for Windows (x86-64 and 32-bit x86) into
#               build/windows/, with a zip of each (see README.md)
#   make install, make uninstall   the programs, menu entry, icons, metadata and
#               manual pages under PREFIX (default /usr/local), DESTDIR honoured
#   make deb    the Debian package build/deb/corvexa_VERSION_ARCH.deb
#   make debs   the Debian packages for amd64, arm64 and armhf (cross-built) in
#               build/deb/ (see README.md)
#   make release  the release in build/dist/: the Debian packages, the Windows
#               zips, corvexa.html, the source archive and SHA256SUMS, every
#               file the same byte for byte on every build of one commit
#   make release-check  builds the release twice in two fresh clones
#               (build/release-check/) and compares them, with diffoscope's
#               report on any file that differs
# Each first installs the Debian packages it needs (see tools/ensure-packages.sh).

RUN_PACKAGES := cmake ninja-build g++ libpng-dev libcli11-dev libsdl2-dev ffmpeg
DEB_PACKAGES := $(RUN_PACKAGES) debhelper dpkg-dev
# The packages for other processors: Debian's cross compilers and the build
# dependencies for each architecture through multiarch (NAME:ARCH).
DEB_ARCHS := arm64 armhf
DEBS_PACKAGES := $(DEB_PACKAGES) $(foreach arch,$(DEB_ARCHS),crossbuild-essential-$(arch) \
  libpng-dev:$(arch) libsdl2-dev:$(arch))
# Their programs run here under qemu-user (tests/cross), with their libraries
# from multiarch; s390x is cross-built too, with the libraries it links
# statically unpacked from Debian's s390x packages (apt-get download), for
# which dpkg must know that architecture.
CROSS_TEST_PACKAGES := $(DEBS_PACKAGES) $(foreach arch,$(DEB_ARCHS),libstdc++6:$(arch)) \
  qemu-user g++-s390x-linux-gnu architecture:s390x googletest lintian xvfb xdotool
WEB_PACKAGES := cmake ninja-build emscripten node-acorn
# source:libsdl2 is Debian's SDL2 source package, built for Windows (apt-get source).
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix dpkg-dev icoutils zip source:libsdl2
# The 32-bit program draws with Direct3D 11 under Wine only with the 32-bit Mesa drivers.
WINDOWS_TEST_PACKAGES := $(WINDOWS_PACKAGES) unzip wine wine64 wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 xvfb xdotool
RELEASE_PACKAGES := $(DEBS_PACKAGES) $(WINDOWS_PACKAGES) $(WEB_PACKAGES) git gzip
# diffoscope-minimal without its recommendations, with the tools it reads
# packages, zips and programs with: it shows where two builds differ.
DIFFOSCOPE_PACKAGES := diffoscope-minimal python3-debian binutils unzip xxd
RELEASE_CHECK_PACKAGES := $(RELEASE_PACKAGES) $(DIFFOSCOPE_PACKAGES)
TEST_PACKAGES := $(DEB_PACKAGES) $(CROSS_TEST_PACKAGES) $(WINDOWS_TEST_PACKAGES) lintian desktop-file-utils appstream groff-base mandoc $(DIFFOSCOPE_PACKAGES) python3 googletest clang libclang-rt-14-dev valgrind libbenchmark-dev g++-i686-linux-gnu zlib1g-dev gzip zopfli imagemagick openmpt123 xvfb xdotool libx11-dev libxfixes-dev libxss-dev pulseaudio pulseaudio-utils emscripten node-acorn chromium

PREFIX ?= /usr/local

.PHONY: run test build web windows install uninstall deb debs release release-check
run:
	@tools/ensure-packages.sh $(RUN_PACKAGES)
	@cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVEXA_TESTS=OFF -Wno-dev >/dev/null
	@cmake --build build/release
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/release/platform/corvexa; \
	else \
	  build/release/tools/corvexa-tool capture --out corvexa.mp4 && \
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

install:
	@tools/ensure-packages.sh $(RUN_PACKAGES)
	@cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVEXA_TESTS=OFF \
	  -DCMAKE_INSTALL_PREFIX=$(PREFIX) -Wno-dev >/dev/null
	@cmake --build build/release
	@DESTDIR="$(DESTDIR)" cmake --install build/release

# Removes what the last `make install` wrote: CMake lists it, without DESTDIR,
# in install_manifest.txt (so give the same DESTDIR again).
uninstall:
	@if [ ! -f build/release/install_manifest.txt ]; then \
	  echo "Nothing to remove: no make install from this folder"; exit 1; fi
	@while IFS= read -r file || [ -n "$$file" ]; do \
	  file="$(DESTDIR)$$file"; \
	  [ -e "$$file" ] || [ -L "$$file" ] || continue; rm -f "$$file" && echo "Removed $$file"; \
	done < build/release/install_manifest.txt

deb:
	@tools/ensure-packages.sh $(DEB_PACKAGES)
	@tools/build-deb.sh build/deb

debs:
	@tools/ensure-packages.sh $(DEBS_PACKAGES)
	@tools/build-debs.sh build/deb $(shell dpkg --print-architecture) $(DEB_ARCHS)

release:
	@tools/ensure-packages.sh $(RELEASE_PACKAGES)
	@tools/build-release.sh build/dist build/dist-parts

release-check:
	@tools/ensure-packages.sh $(RELEASE_CHECK_PACKAGES)
	@tools/release-check.sh build/release-check
