#include "show_checks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "effects/framebuffer.h"

namespace corvexa {

std::vector<uint32_t> showFrame(const std::string& tool, int32_t tick) {
  ScratchDirectory scratch("frames-" + std::to_string(tick));
  const std::string& dir = scratch.path;
  std::string command =
      tool + " frames --raw --ticks " + std::to_string(tick) + " --out-dir " + dir + " >/dev/null";
  std::vector<uint32_t> frame;
  if (std::system(command.c_str()) != 0) return frame;
  char name[32];
  std::snprintf(name, sizeof name, "/tick-%05d.u32", tick);
  std::ifstream file(dir + name, std::ios::binary);
  for (int32_t i = 0; i < kPixelCount; i++) {
    unsigned char bytes[4];
    if (!file.read(reinterpret_cast<char*>(bytes), 4)) return {};
    frame.push_back(static_cast<uint32_t>(bytes[0]) << 16 | bytes[1] << 8 | bytes[2]);
  }
  return frame;
}

int64_t wrongPixels(const Screenshot& shot, const std::vector<uint32_t>& frame, int32_t left,
                    int32_t top, int32_t scale, bool turned, bool report) {
  int32_t width = (turned ? kScreenHeight : kScreenWidth) * scale;
  int32_t height = (turned ? kScreenWidth : kScreenHeight) * scale;
  int64_t wrong = 0;
  for (int32_t y = 0; y < shot.height; y++) {
    for (int32_t x = 0; x < shot.width; x++) {
      uint32_t expected = 0;
      int32_t column = x - left, row = y - top;
      if (column >= 0 && row >= 0 && column < width && row < height) {
        int32_t fx = turned ? kScreenWidth - 1 - row / scale : column / scale;
        int32_t fy = turned ? column / scale : row / scale;
        expected = frame[fy * kScreenWidth + fx];
      }
      if (shot.at(x, y) != expected && wrong++ < 3 && report) {
        ADD_FAILURE() << "screen pixel (" << x << ", " << y << ") is " << std::hex << shot.at(x, y)
                      << ", the show has " << expected;
      }
    }
  }
  return wrong;
}

int64_t wrongOnScreen(const VirtualDisplay& display, DemoRun& demo,
                      const std::vector<uint32_t>& frame, int32_t left, int32_t top, int32_t scale,
                      bool turned) {
  for (int32_t attempt = 0; attempt < 15; attempt++) {
    if (wrongPixels(display.screenshot(), frame, left, top, scale, turned, false) == 0) return 0;
    demo.readFor(200);
  }
  return wrongPixels(display.screenshot(), frame, left, top, scale, turned, true);
}

std::vector<int16_t> readSamples(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<int16_t> samples;
  unsigned char bytes[2];
  while (file.read(reinterpret_cast<char*>(bytes), 2))
    samples.push_back(static_cast<int16_t>(bytes[0] | bytes[1] << 8));
  return samples;
}

QueuedSound checkQueuedSound(const std::vector<int16_t>& samples, const int16_t* song,
                             int32_t count) {
  QueuedSound result;
  if (count <= 0) {
    result.fault = "the song is empty";
    return result;
  }
  auto queued = [&](int64_t i) -> int16_t {
    return i < 4096 ? 0 : static_cast<int16_t>(song[(i - 4096) % count] >> 1);
  };
  constexpr size_t kBlock = 1024;
  for (size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    size_t k = 0;
    while (k < kBlock && samples[start + k] == queued(result.arrived + static_cast<int64_t>(k)))
      k++;
    for (size_t rest = k; rest < kBlock; rest++) {
      if (samples[start + rest] != 0) {
        result.fault = "sample " + std::to_string(start + rest) + " is " +
                       std::to_string(samples[start + rest]) + ", neither the queued sample " +
                       std::to_string(queued(result.arrived + static_cast<int64_t>(rest))) +
                       " nor silence from an underrun";
        return result;
      }
    }
    if (k < kBlock) result.gaps++;
    result.arrived += static_cast<int64_t>(k);
  }
  return result;
}

void expectQueuedSound(const std::string& path, const int16_t* song, int32_t count,
                       const std::string& context) {
  std::vector<int16_t> samples = readSamples(path);
  ASSERT_GT(samples.size(), 4096u + 8192u) << "too little sound" << context;
  QueuedSound sound = checkQueuedSound(samples, song, count);
  EXPECT_EQ(sound.fault, "");
  EXPECT_LE(sound.gaps, 2) << "the queue ran dry too often";
  EXPECT_GT(sound.arrived, 4096 + 8192) << "too little of the song arrived";
}

}  // namespace corvexa
