// AudioStream: the sound as every player of the show hears it.
#include "core/audio_stream.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvexa;

namespace {

struct ShortSong {
  std::vector<int16_t> pcm;
  Demo demo;
  ShortSong() : pcm(3000) {
    for (size_t i = 0; i < pcm.size(); i++) pcm[i] = static_cast<int16_t>(i * 37 - 20000);
    pcm[0] = -32768;
    pcm[1] = 32767;
    pcm[2] = -1;
    pcm[2999] = -3;
    demo.pcmBuffer = {3000, pcm.data()};
    demo.renderedSampleCount = 3000;
  }
};

}  // namespace

TEST(AudioStream, SilentLeadInThenTheSongHalvedAndLoopingWhateverThePieces) {
  ShortSong song;
  AudioStream stream(song.demo);
  const int64_t total = 4096 + 3 * 3000 + 123;
  std::vector<int16_t> got(total, 7);
  int64_t at = 0;
  for (int64_t piece : {1, 4094, 1, 2047, 5000, 1, 1000}) {
    stream.read(got.data() + at, piece);
    at += piece;
  }
  stream.read(got.data() + at, total - at);
  EXPECT_EQ(stream.samplesRead(), total);

  // The reference: the engine's own fillAudio on a second copy, in one call.
  ShortSong reference;
  std::vector<int16_t> expected(total, 0);
  reference.demo.fillAudio(expected.data() + 4096, total - 4096);
  for (int64_t i = 0; i < total; i++) ASSERT_EQ(got[i], expected[i]) << "sample " << i;
  EXPECT_EQ(got[4095], 0);
  EXPECT_EQ(got[4096], -16384);
  EXPECT_EQ(got[4097], 16383);
  EXPECT_EQ(got[4098], -1);
  EXPECT_EQ(got[4096 + 2999], -2);
  EXPECT_EQ(got[4096 + 3000], -16384);  // looped to the start
}

TEST(AudioStream, TakesTheSongInRefillsOf2048) {
  ShortSong song;
  AudioStream stream(song.demo);
  std::vector<int16_t> buffer(4096);
  stream.read(buffer.data(), 4096);
  EXPECT_EQ(song.demo.playPosition, 0);  // only the two silent buffers so far
  stream.read(buffer.data(), 1);
  EXPECT_EQ(song.demo.playPosition, 2048);
  stream.read(buffer.data(), 2047);
  EXPECT_EQ(song.demo.playPosition, 2048);
  stream.read(buffer.data(), 1);
  EXPECT_EQ(song.demo.playPosition, 4096 - 3000);  // wrapped inside the second refill
}
