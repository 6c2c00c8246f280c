// make-icons: draws the program's icons from the show itself and writes them
// as DIR/corvexa-NN.png for NN = 16, 32, 48, 64, 128 and 256.
//
//   make-icons --out-dir DIR
//
// The picture is a 128 x 128 square of the frame drawn after tick 2,500: the
// blue and white twister of the first scene, turned into a rope. Each size is
// that square resampled by area (every icon pixel the exact, rounded mean of
// the frame pixels it covers), in integer arithmetic, so the same engine
// always gives the same PNG bytes. At 128 the icon is the frame's own pixels;
// at 256 each of them is two by two.
//
// Its command line is every tool's (tools/common/command_line.h), with --help
// and --version; the old spelling `make-icons DIR` still works for this
// release, with a note. Exit status as every tool's
// (tools/common/tool_failure.h): 2 for bad arguments, 1 when a file cannot be
// written or the embedded data is broken, one line saying which.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/demo_state.h"
#include "tools/common/command_line.h"
#include "tools/common/png_file.h"
#include "tools/common/run_tool.h"
#include "tools/common/start_show.h"
#include "tools/common/tool_failure.h"

using namespace corvexa;

namespace {

constexpr int32_t kIconTick = 2500;
constexpr int32_t kSquareLeft = 6;
constexpr int32_t kSquareTop = 26;
constexpr int32_t kSquareSide = 128;
constexpr int32_t kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The frame after kIconTick, every frame drawn as on a 60 Hz display.
// Throws ToolFailure (status 1) when start-up finds its data broken.
std::vector<uint32_t> drawIconFrame() {
  auto state = std::make_unique<DemoState>();
  tools::startShow(*state);
  std::vector<uint32_t> pixels(kPixelCount);
  for (int32_t tick = 1; tick <= kIconTick; tick++) {
    state->demo->update(PointerState{});
    state->demo->draw({kPixelCount, pixels.data()});
  }
  return pixels;
}

// How much of source pixel s (of side units: icon pixels of side kSquareSide
// units) icon pixel i of size units covers, in those units.
int32_t overlap(int32_t i, int32_t s, int32_t size) {
  int32_t start = std::max(i * kSquareSide, s * size);
  int32_t end = std::min((i + 1) * kSquareSide, (s + 1) * size);
  return end > start ? end - start : 0;
}

std::vector<uint32_t> resample(const std::vector<uint32_t>& frame, int32_t size) {
  std::vector<uint32_t> icon(static_cast<size_t>(size) * size);
  // Weights along either axis add up to kSquareSide, so a pixel's weights add
  // up to kSquareSide squared: 16,384, and a channel's sum stays below 2^22.
  const int32_t total = kSquareSide * kSquareSide;
  for (int32_t y = 0; y < size; y++) {
    for (int32_t x = 0; x < size; x++) {
      int32_t sums[3] = {0, 0, 0};
      for (int32_t sy = y * kSquareSide / size;
           sy < kSquareSide && sy * size < (y + 1) * kSquareSide; sy++) {
        int32_t wy = overlap(y, sy, size);
        for (int32_t sx = x * kSquareSide / size;
             sx < kSquareSide && sx * size < (x + 1) * kSquareSide; sx++) {
          int32_t weight = wy * overlap(x, sx, size);
          uint32_t pixel = frame[(kSquareTop + sy) * kScreenWidth + kSquareLeft + sx];
          for (int32_t c = 0; c < 3; c++)
            sums[c] += weight * static_cast<int32_t>((pixel >> (8 * c)) & 0xFF);
        }
      }
      uint32_t pixel = 0;
      for (int32_t c = 0; c < 3; c++)
        pixel |= static_cast<uint32_t>((sums[c] + total / 2) / total) << (8 * c);
      icon[static_cast<size_t>(y) * size + x] = pixel;
    }
  }
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  tools::CommandLine line{"make-icons",
                          "make-icons: writes the program's icons from a frame of the show"};
  const tools::Arguments arguments = line.arguments();
  std::string out;
  arguments.addOutputDirectory(out, "the folder for corvexa-NN.png (platform/icons)");
  tools::CommandWords words = tools::commandWords(argc, argv);
  // The old spelling: the folder as the one positional word.
  if (tools::nameOldPositionalOutput(words, 0, "--out-dir", {}, 1))
    tools::noteOldSpelling("make-icons", "make-icons DIR", "make-icons --out-dir DIR");
  const int status = tools::parseCommandLine(line, words);
  if (status >= 0) return status;
  return tools::runTool("make-icons", [&] {
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) {
      throw tools::ToolFailure(out + ": cannot create directory (" + error.message() + ")",
                               tools::kSystemFailed);
    }
    const std::vector<uint32_t> frame = drawIconFrame();
    for (int32_t size : kIconSizes) {
      std::vector<uint32_t> icon = resample(frame, size);
      tools::writePng(out + "/corvexa-" + std::to_string(size) + ".png", icon.data(), size, size,
                      false);
    }
    return 0;
  });
}
