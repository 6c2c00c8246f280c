// corvexa-tool xm IN.xm --out OUT.wav
//
// Loads any XM file with the program's own loader, renders it with the
// program's own player into a buffer as large as the demo's (16,777,216
// samples, 380 s) and writes the samples as a 16-bit mono WAV file at
// 44,100 Hz. Prints what the song holds and how many samples it rendered.
// A file the loader refuses ends the command with its reason (exit status 2).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "music/song.h"
#include "tools/common/input_file.h"
#include "tools/common/wav_file.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::corvexa_tool {

namespace {

constexpr int32_t kOutputSamples = kPcmBufferSamples;  // as start-up's
// Larger than any song the loader can hold (32,768 notes, 524,288 16-bit frames).
constexpr int64_t kMaxFileBytes = 64 << 20;

struct XmOptions {
  std::string in;
  std::string out;
};

int runXm(const XmOptions& options) {
  std::vector<uint8_t> bytes = tools::readInputFile(options.in, kMaxFileBytes);
  // The input is the XM file itself; the embedded song's gzip member is
  // unpacked first with `corvexa-tool gunzip`.
  const Array<const uint8_t> song{static_cast<int32_t>(bytes.size()), bytes.data()};

  Arena arena;
  Array<int16_t> output = arena.makeArray<int16_t>(kOutputSamples);
  const RenderedSong rendered = renderSong(arena, song, output);
  if (rendered.error != LoadError::kNone)
    throw ToolFailure(options.in + ": " + describeLoadError(rendered.error));

  tools::writeWav(options.out, output.items, rendered.sampleCount);
  const Module& m = *rendered.module;
  std::printf("channels %d, patterns %d, song length %d, instruments %d\n", m.channelCount,
              m.patternCount, m.songLength, m.instrumentCount);
  std::printf("speed %d, tempo %d, sample frames %d\n", m.defaultSpeed, m.defaultBpm,
              m.sampleFrameCount);
  std::printf("rendered %d samples (%.2f s) to %s\n", rendered.sampleCount,
              rendered.sampleCount / static_cast<double>(kSampleRate), options.out.c_str());
  return 0;
}

}  // namespace

Command addXmCommand(const tools::Arguments& line) {
  auto options = std::make_shared<XmOptions>();
  tools::Arguments command = line.addCommand("xm", "render an XM song to a WAV file");
  command.addInput("IN", options->in, "the XM file");
  command.addOutput(options->out, "the WAV file to write");
  return {command, [options] { return runXm(*options); }, {}};
}

}  // namespace corvexa::corvexa_tool
