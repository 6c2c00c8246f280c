# Corvexa's two commands for a fresh Debian 12 machine:
#   make run    build (Release) and run the demo; with no display (neither
#               DISPLAY nor WAYLAND_DISPLAY set) render it to corvexa.mp4
#   make test   build and run every test
# Each first installs the Debian packages it needs (see tools/ensure-packages.sh).

RUN_PACKAGES := cmake ninja-build g++ libpng-dev libcli11-dev libsdl2-dev ffmpeg
TEST_PACKAGES := $(RUN_PACKAGES) googletest libbenchmark-dev g++-multilib

.PHONY: run test build
run:
	@tools/ensure-packages.sh $(RUN_PACKAGES)
	@cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev >/dev/null
	@cmake --build build/release
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/release/tools/corvexa-tool capture corvexa.mp4 && \
	  echo "No display here, so the show (with its sound) was rendered to $(CURDIR)/corvexa.mp4." && \
	  echo "Play it with: ffplay corvexa.mp4   (or: mpv corvexa.mp4)"; \
	else \
	  build/release/tools/corvexa-tool frames --ticks 60,300,1000,2200,3700,4550,5400 --out frames && \
	  echo "Pictures of the show are in frames/ (tick-TTTTT.png)."; \
	fi

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	@tests/run-all.sh
