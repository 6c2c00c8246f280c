#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "music/player.h"
#include "music/song.h"
#include "xm_builder.h"

using namespace corvexa;

namespace {

// One channel, patterns of 4 rows, one instrument: 3000 frames of value
// `level` (8-bit), looped over its last 1000 frames when `looped`.
xm::SongPlan plainSong(int8_t level = 64, bool looped = false) {
  xm::SongPlan song;
  song.channelCount = 1;
  song.speed = 2;
  song.patterns.resize(1);
  song.patterns[0].rows = 4;
  xm::SamplePlan sample;
  sample.data = make_song::deltaCode(std::vector<int16_t>(3000, level), 8);
  if (looped) {
    sample.type = 1;
    sample.loopStart = 2000;
    sample.loopLength = 1000;
  }
  song.instruments.push_back(xm::oneSample(sample));
  return song;
}

std::vector<int16_t> renderBytes(const std::vector<uint8_t>& bytes, int32_t capacity,
                                 LoadError expected = LoadError::kNone,
                                 int32_t parts = defaultSongParts()) {
  Arena arena;
  std::vector<int16_t> out(capacity + 1, 12345);
  RenderedSong song = renderSong(arena, {static_cast<int32_t>(bytes.size()), bytes.data()},
                                 {capacity, out.data()}, parts);
  EXPECT_EQ(song.error, expected);
  EXPECT_EQ(out[capacity], 12345);  // nothing past the output
  out.resize(song.sampleCount);
  return out;
}

std::vector<int16_t> render(const xm::SongPlan& song, int32_t capacity = 1 << 20) {
  return renderBytes(xm::build(song), capacity);
}

}  // namespace

TEST(Player, SamplesPerTick) {
  EXPECT_EQ(samplesPerTickAt(125), 882);
  EXPECT_EQ(samplesPerTickAt(126), 882);
  EXPECT_EQ(samplesPerTickAt(127), 882);
  EXPECT_EQ(samplesPerTickAt(110), 1002);
  EXPECT_EQ(samplesPerTickAt(32), 3675);
}

TEST(Player, RowsTicksBreaksAndSpeed) {
  xm::SongPlan song = plainSong();
  EXPECT_EQ(render(song).size(), 4u * 2 * 882);

  xm::SongPlan twice = song;  // two order entries, a break on row 0 of the first
  twice.songLength = 2;
  twice.order = {0, 0};
  xm::put(twice.patterns[0], 1, 0, 0, Note{0, 0, 0, 0x0D, 0x10});
  EXPECT_EQ(render(twice).size(), 2u * 2 * 882);  // a break in the last entry ends the song

  xm::SongPlan speeds = song;  // F 00 on row 1: each row renders tick 0 only
  xm::put(speeds.patterns[0], 1, 1, 0, Note{0, 0, 0, 0x0F, 0x00});
  xm::put(speeds.patterns[0], 1, 3, 0, Note{0, 0, 0, 0x0F, 0x20});  // tempo 32
  EXPECT_EQ(render(speeds).size(), 2u * 882 + 882 + 882 + 3675);

  xm::SongPlan still = song;  // speed 0 from the start: the first row renders nothing
  still.speed = 0;
  EXPECT_EQ(render(still).size(), 3u * 882);
}

TEST(Player, LevelsAndClipping) {
  xm::SongPlan song = plainSong();
  xm::put(song.patterns[0], 1, 0, 0, Note{49, 1, 0, 0, 0});
  std::vector<int16_t> out = render(song);
  // 8363 Hz over 3000 frames: 15,818 samples of frame 16,384 at gain 256.
  for (int32_t i = 0; i < 7056; i++) ASSERT_EQ(out[i], 16384) << i;

  for (int8_t level : {127, -128}) {
    xm::SongPlan loud = plainSong(level);
    loud.channelCount = 4;
    for (int32_t c = 0; c < 4; c++) xm::put(loud.patterns[0], 4, 0, c, Note{49, 1, 0, 0x0C, 0xFF});
    std::vector<int16_t> clipped = render(loud);
    EXPECT_EQ(clipped[0], level > 0 ? 32767 : -32768);
  }
}

TEST(Player, StopsAtTheEndOfTheOutput) {
  xm::SongPlan song = plainSong();
  xm::put(song.patterns[0], 1, 0, 0, Note{49, 1, 0, 0, 0});
  EXPECT_EQ(render(song, 1000).size(), 1000u);
  EXPECT_EQ(render(song, 0).size(), 0u);
}

TEST(Player, SlowTemposRenderAsOneLongBufferWould) {
  xm::SongPlan song = plainSong(50, true);
  song.channelCount = 3;
  song.bpm = 40;  // 2756 samples a tick
  song.speed = 3;
  song.instruments[0].samples[0].type = 2;
  xm::put(song.patterns[0], 3, 0, 0, Note{49, 1, 0, 0x04, 0x48});
  xm::put(song.patterns[0], 3, 0, 1, Note{73, 1, 0x30, 0x00, 0x47});
  xm::put(song.patterns[0], 3, 1, 2, Note{30, 1, 0, 0x01, 0x03});
  xm::put(song.patterns[0], 3, 2, 0, Note{0, 0, 0, 0x0F, 0x21});
  const std::vector<uint8_t> bytes = xm::build(song);
  std::vector<std::vector<int16_t>> outputs;
  for (int32_t mixCount : {1024, 1000, 16384}) {
    Arena arena;
    Module& module = createModule(arena);
    ByteStream stream;
    stream.pointAt({static_cast<int32_t>(bytes.size()), bytes.data()});
    ASSERT_EQ((ModuleLoader{module, stream}.load()), LoadError::kNone);
    std::vector<int16_t> out(1 << 20);
    Player& player = createPlayer(arena, mixCount);
    out.resize(player.render(module, {static_cast<int32_t>(out.size()), out.data()}));
    outputs.push_back(out);
  }
  EXPECT_EQ(outputs[0].size(), 2u * 3 * 2756 + 2 * 3 * 3392);  // tempo 33 from row 2
  EXPECT_EQ(outputs[0], outputs[2]);
  EXPECT_EQ(outputs[1], outputs[2]);
  int32_t loud = 0;
  for (int16_t s : outputs[0]) loud += s != 0;
  EXPECT_GT(loud, 20000);
}

// Played silently up to any sample, or rendered by several Players at once in
// stretches, a song gives the samples of one render from the start: the cuts
// fall inside ticks and mix-buffer pieces, in a ping-pong loop and in an
// envelope's loop.
TEST(Player, ARenderFromAnySampleOrBySeveralPlayersIsOneRendersOwn) {
  xm::SongPlan song = plainSong(50, true);
  song.channelCount = 2;
  song.bpm = 40;  // 2756 samples a tick: ticks are mixed in pieces
  song.order.assign(12, 0);
  std::vector<int16_t> wave(3000);
  for (int32_t i = 0; i < 3000; i++) wave[i] = static_cast<int16_t>(i * 37 % 201 - 100);
  song.instruments[0].samples[0].data = make_song::deltaCode(wave, 8);
  song.instruments[0].samples[0].type = 2;
  song.instruments[0].volumeEnvelope = {{0, 64}, {5, 20}, {9, 50}};
  song.instruments[0].volumeType = 5;  // looped from point 1 to 2
  song.instruments[0].volumeLoopStart = 1;
  song.instruments[0].volumeLoopEnd = 2;
  xm::put(song.patterns[0], 2, 0, 0, Note{49, 1, 0, 0x04, 0x48});
  xm::put(song.patterns[0], 2, 1, 1, Note{73, 1, 0x30, 0x00, 0x47});
  xm::put(song.patterns[0], 2, 3, 1, Note{30, 1, 0, 0x03, 0x08});
  const std::vector<uint8_t> bytes = xm::build(song);
  Arena arena;
  const Module& module =
      *renderSong(arena, {static_cast<int32_t>(bytes.size()), bytes.data()}, {}, 1).module;
  std::vector<int16_t> whole(1 << 20);
  whole.resize(createPlayer(arena).render(module, {1 << 20, whole.data()}));
  const int32_t length = static_cast<int32_t>(whole.size());
  ASSERT_EQ(length, 12 * 4 * 2 * 2756);
  for (int32_t first : {1, 1024, 2756 + 1000, 90001, length - 1}) {
    std::vector<int16_t> out(length, 12345), expected = whole;
    std::fill(expected.begin(), expected.begin() + first, 12345);  // left as it was
    EXPECT_EQ(createPlayer(arena).render(module, {length, out.data()}, first), length);
    EXPECT_EQ(out, expected) << "from " << first;
  }
  for (int32_t parts : {1, 2, 3, 7}) {
    EXPECT_EQ(renderBytes(bytes, 1 << 20, LoadError::kNone, parts), whole) << parts << " parts";
  }
}

// Whatever the bytes, loading and rendering end, inside their buffers.
TEST(Player, DamagedFilesNeverCrash) {
  xm::SongPlan song = plainSong(30, true);
  song.channelCount = 2;
  song.instruments[0].volumeEnvelope = {{0, 64}, {5, 20}, {9, 50}};
  song.instruments[0].volumeType = 7;
  song.instruments[0].volumeSustainPoint = 1;
  song.instruments[0].volumeLoopStart = 1;
  song.instruments[0].volumeLoopEnd = 2;
  song.instruments[0].autoVibratoDepth = 9;
  song.instruments[0].autoVibratoRate = 30;
  for (int32_t r = 0; r < 4; r++) {
    xm::put(song.patterns[0], 2, r, 0, Note{static_cast<uint8_t>(20 + r * 12), 1, 0x40, 0x03, 9});
    xm::put(song.patterns[0], 2, r, 1, Note{97, 1, 0xF3, 0x01, 0xFF});
  }
  const std::vector<uint8_t> original = xm::build(song);
  std::mt19937 random(1234);
  int32_t rendered = 0;
  for (int32_t trial = 0; trial < 400; trial++) {
    std::vector<uint8_t> bytes = original;
    const int32_t changes = 1 + static_cast<int32_t>(random() % 8);
    for (int32_t i = 0; i < changes; i++) {
      const size_t at = random() % 400;  // the header, patterns and instrument
      bytes[at] = static_cast<uint8_t>(random());
    }
    Arena arena;
    std::vector<int16_t> out(200000);
    RenderedSong result = renderSong(arena, {static_cast<int32_t>(bytes.size()), bytes.data()},
                                     {static_cast<int32_t>(out.size()), out.data()});
    ASSERT_GE(result.sampleCount, 0);
    ASSERT_LE(result.sampleCount, 200000);
    rendered += result.error == LoadError::kNone;
  }
  EXPECT_GT(rendered, 50);
}
