// The commands that write sound: stream (what the device receives) and song
// (the rendered song as it is).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/audio_stream.h"
#include "core/demo_state.h"
#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

// The samples of a 16-bit mono 44,100 Hz WAV file as corvexa-tool writes it.
std::vector<int16_t> readWavSamples(const std::string& path) {
  std::vector<uint8_t> bytes = readBytes(path);
  EXPECT_GE(bytes.size(), 44u) << path;
  if (bytes.size() < 44) return {};
  auto word = [&](size_t at) {
    return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                 static_cast<uint32_t>(bytes[at + 3]) << 24);
  };
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(word(24), 44100u);
  EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
  uint32_t dataBytes = word(40);
  EXPECT_EQ(dataBytes, bytes.size() - 44);
  std::vector<int16_t> samples((bytes.size() - 44) / 2);
  for (size_t i = 0; i < samples.size(); i++)
    samples[i] = static_cast<int16_t>(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8);
  return samples;
}

// A Demo playing a made-up song of 3,000 samples (not a multiple of the
// 2,048-sample refill), with the extremes of the halving among them.
TEST(AudioCommands, StreamIsLeadInThenFillAudioAndSongIsThePcmBuffer) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  const int32_t songLength = state->renderedSampleCount;
  ScratchDirectory out("audio-commands");

  // Long enough to loop the song once (or 10,000 samples of an empty song).
  const int64_t count = 4096 + int64_t{songLength} + 5904;
  ToolResult stream =
      runTool("stream --samples " + std::to_string(count) + " --out " + (out / "stream.wav"));
  ASSERT_EQ(stream.status, 0) << stream.output;
  std::vector<int16_t> streamed = readWavSamples(out / "stream.wav");
  ASSERT_EQ(static_cast<int64_t>(streamed.size()), count);
  std::vector<int16_t> expected(count, 0);
  state->demo->fillAudio(expected.data() + 4096, static_cast<int32_t>(count - 4096));
  for (int64_t i = 0; i < count; i++) ASSERT_EQ(streamed[i], expected[i]) << "sample " << i;

  ToolResult song = runTool("song --out " + (out / "song.wav"));
  ASSERT_EQ(song.status, 0) << song.output;
  std::vector<int16_t> rendered = readWavSamples(out / "song.wav");
  ASSERT_EQ(static_cast<int64_t>(rendered.size()), songLength);
  for (int32_t i = 0; i < songLength; i++)
    ASSERT_EQ(rendered[i], state->pcmBuffer[i]) << "sample " << i;
}

TEST(AudioCommands, BadArgumentsGiveOneLineAndStatus2) {
  ScratchDirectory out("audio-commands-bad");
  for (std::string arguments : {"stream --samples -1 --out " + (out / "a.wav"),
                                "stream --samples 26460001 --out " + (out / "a.wav"),
                                "stream --samples many --out " + (out / "a.wav"),
                                "stream --out " + (out / "a.wav"), std::string("song")}) {
    ToolResult result = runTool(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1)
        << arguments << ": " << result.output;
    EXPECT_FALSE(std::filesystem::exists(out / "a.wav")) << arguments;
  }
  ToolResult unwritable = runTool("song --out " + (out / "missing/song.wav"));
  EXPECT_EQ(unwritable.status, 1) << unwritable.output;
  EXPECT_NE(unwritable.output.find("missing/song.wav"), std::string::npos) << unwritable.output;
}

}  // namespace
