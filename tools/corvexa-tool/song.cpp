// corvexa-tool song --out OUT.wav
//
// Writes the embedded song exactly as start-up renders it: every valid sample
// of the PCM buffer, at full amplitude (the audio output halves it later), as
// 16-bit mono PCM at 44,100 Hz.
#include <cstdio>
#include <memory>
#include <string>

#include "core/demo_state.h"
#include "tools/common/start_show.h"
#include "tools/common/wav_file.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::corvexa_tool {

namespace {

int runSong(const std::string& out) {
  auto state = std::make_unique<DemoState>();
  tools::startShow(*state);
  tools::writeWav(out, state->pcmBuffer.items, state->renderedSampleCount);
  std::printf("wrote the rendered song (%d samples, %.3f s) to %s\n", state->renderedSampleCount,
              state->renderedSampleCount / static_cast<double>(kSampleRate), out.c_str());
  return 0;
}

}  // namespace

Command addSongCommand(const tools::Arguments& line) {
  auto out = std::make_shared<std::string>();
  tools::Arguments command =
      line.addCommand("song", "write the song as start-up renders it, before halving");
  command.addOutput(*out, "the WAV file to write");
  return {command, [out] { return runSong(*out); }, {}};
}

}  // namespace corvexa::corvexa_tool
