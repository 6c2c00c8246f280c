// What the window tests compare the demo program's output with: the frame
// that corvexa-tool draws at a tick, shown on the screen at a scale; and the
// sound that SDL's disk driver wrote, against what the program queues.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "demo_window.h"

namespace corvexa {

// The frame `tool frames --raw` draws after tick, as 0xRRGGBB (empty on failure).
std::vector<uint32_t> showFrame(const std::string& tool, int32_t tick);

// Pixels of shot that differ from frame shown at scale with its top-left at
// (left, top), turned a quarter counter-clockwise if turned, black elsewhere;
// with report, the first three are test failures.
int64_t wrongPixels(const Screenshot& shot, const std::vector<uint32_t>& frame, int32_t left,
                    int32_t top, int32_t scale, bool turned, bool report);

// The same for the screen, looked at until it shows the picture (the window
// may still be settling) or 3 s have passed.
int64_t wrongOnScreen(const VirtualDisplay& display, DemoRun& demo,
                      const std::vector<uint32_t>& frame, int32_t left, int32_t top, int32_t scale,
                      bool turned);

// A file of little-endian 16-bit samples.
std::vector<int16_t> readSamples(const std::string& path);

// Checks samples, as SDL's disk driver wrote them, against what the program
// queues: 4,096 samples of silence, then the song's count samples halved,
// looping. The driver takes 1,024 samples at a time; when a busy machine
// makes a refill late, SDL fills the rest of that block with silence: such
// gaps are allowed, but only at the end of a block. Every other sample must
// be the next queued one.
struct QueuedSound {
  std::string fault;    // empty when every sample is right
  int64_t arrived = 0;  // queued samples found in the file
  int32_t gaps = 0;     // blocks cut short by an underrun
};
QueuedSound checkQueuedSound(const std::vector<int16_t>& samples, const int16_t* song,
                             int32_t count);

// The test failures of a sound file that is not at least 12,288 samples of
// that queue, with at most two blocks cut short (context goes with the first).
void expectQueuedSound(const std::string& path, const int16_t* song, int32_t count,
                       const std::string& context);

}  // namespace corvexa
