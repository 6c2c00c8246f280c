// corvexa-tool stream --samples N --out OUT.wav
//
// Writes the first N samples the audio output sends to the device: 4,096
// samples of silence (the two buffers queued before the song starts), then
// the rendered song halved and looping, as 16-bit mono PCM at 44,100 Hz.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/audio_stream.h"
#include "core/demo_state.h"
#include "tools/common/start_show.h"
#include "tools/common/wav_file.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::corvexa_tool {

namespace {

// Ten minutes of sound: the whole stream is held in memory before it is written.
constexpr int64_t kMaxStreamSamples = 600 * int64_t{kSampleRate};

struct StreamOptions {
  int64_t samples = 0;
  std::string out;
};

int runStream(const StreamOptions& options) {
  if (options.samples < 0 || options.samples > kMaxStreamSamples) {
    throw ToolFailure("bad --samples " + std::to_string(options.samples) +
                      ": the count runs from 0 to " + std::to_string(kMaxStreamSamples) +
                      " (ten minutes)");
  }
  auto state = std::make_unique<DemoState>();
  tools::startShow(*state);
  AudioStream stream(*state->demo);
  std::vector<int16_t> samples(static_cast<size_t>(options.samples));
  stream.read(samples.data(), options.samples);
  tools::writeWav(options.out, samples.data(), options.samples);
  std::printf("wrote %lld samples of the audio output to %s\n",
              static_cast<long long>(options.samples), options.out.c_str());
  return 0;
}

}  // namespace

Command addStreamCommand(const tools::Arguments& line) {
  auto options = std::make_shared<StreamOptions>();
  tools::Arguments command = line.addCommand(
      "stream", "write the first samples the audio output plays (lead-in silence, then the song)");
  command.addRequiredOption("--samples", options->samples, "how many samples (44,100 a second)");
  command.addOutput(options->out, "the WAV file to write");
  return {command, [options] { return runStream(*options); }, {}};
}

}  // namespace corvexa::corvexa_tool
