#include <gtest/gtest.h>

#include <vector>

#include "music/channel.h"
#include "music/module_loader.h"
#include "music/tables.h"
#include "xm_builder.h"

using namespace corvexa;

namespace {

int32_t frequencyOf(int32_t period) {
  const int32_t p = period & 0xFFFF;
  return frequencyTable[p % 768] >> ((p / 768) % 32);
}

// One channel over a song with two instruments: 1 at volume 64, 2 at volume
// 32 (with a different sample), both long, 8-bit, not looped.
struct Rig {
  Arena arena;
  Module* module = nullptr;
  Channel channel{};

  Rig() {
    xm::SongPlan song;
    song.channelCount = 1;
    song.patterns.resize(1);
    for (uint8_t volume : {64, 32}) {
      xm::SamplePlan sample;
      sample.data =
          make_song::deltaCode(std::vector<int16_t>(4000, static_cast<int16_t>(volume)), 8);
      sample.volume = volume;
      song.instruments.push_back(xm::oneSample(sample));
    }
    std::vector<uint8_t> bytes = xm::build(song);
    module = &createModule(arena);
    ByteStream stream;
    stream.pointAt({static_cast<int32_t>(bytes.size()), bytes.data()});
    EXPECT_EQ((ModuleLoader{*module, stream}.load()), LoadError::kNone);
    makeChannel(arena, channel);
    channel.reset();
  }

  void row(Note note) { channel.startRow(note, *module); }
  // Runs ticks 0 .. count-1 of a row; the frequency and gain of each.
  std::vector<int32_t> frequencies(int32_t count) {
    std::vector<int32_t> out;
    for (int32_t t = 0; t < count; t++) {
      channel.tickChannel(t);
      out.push_back(channel.frequency);
    }
    return out;
  }
  std::vector<int32_t> gains(int32_t count) {
    std::vector<int32_t> out;
    for (int32_t t = 0; t < count; t++) {
      channel.tickChannel(t);
      out.push_back(channel.gain);
    }
    return out;
  }
};

}  // namespace

TEST(Channel, StrikingNotesAndInstruments) {
  Rig rig;
  // A key on a channel that never had an instrument strikes nothing.
  rig.row({25, 0, 0, 0, 0});
  EXPECT_EQ(rig.channel.currentSample, nullptr);

  rig.row({49, 1, 0, 0, 0});  // key 48: period 6144, 8363 Hz
  EXPECT_EQ(rig.channel.pitch.period, 6144);
  EXPECT_EQ(rig.frequencies(1)[0], 8363);
  rig.row({25, 0, 0, 0, 0});  // the last instrument
  EXPECT_EQ(rig.channel.pitch.period, (144 - 24) * 64);
  std::vector<int32_t> mix(100);
  rig.channel.mix({rig.module->samplePool.count, rig.module->samplePool.items}, mix.data(), 100);
  EXPECT_GT(rig.channel.cursor.position, 0);

  // Instrument 2 without a key restarts key 25 with instrument 2, from the start.
  rig.row({0, 2, 0, 0, 0});
  EXPECT_EQ(rig.channel.lastKey, 25);
  EXPECT_EQ(rig.channel.cursor.position, 0);
  EXPECT_EQ(rig.channel.currentSample, &rig.module->instruments[1].samples[0]);
  EXPECT_EQ(rig.gains(1)[0], 128);

  // Key-off with an instrument number strikes nothing.
  rig.row({97, 1, 0, 0, 0});
  EXPECT_EQ(rig.channel.lastInstrument, &rig.module->instruments[1]);
  EXPECT_EQ(rig.gains(1)[0], 0);

  // An instrument number above 32 strikes a silent instrument.
  rig.row({49, 200, 0, 0, 0});
  EXPECT_EQ(rig.channel.lastInstrument, rig.module->silentInstrument);
  rig.channel.tickChannel(0);
  std::fill(mix.begin(), mix.end(), 0);
  rig.channel.mix({rig.module->samplePool.count, rig.module->samplePool.items}, mix.data(), 100);
  EXPECT_EQ(mix, std::vector<int32_t>(100, 0));
}

TEST(Channel, ArpeggioVibratoAndPortamento) {
  Rig rig;
  rig.row({49, 1, 0, 0x00, 0x37});
  EXPECT_EQ(rig.frequencies(3), (std::vector<int32_t>{frequencyOf(6144), frequencyOf(6144 - 192),
                                                      frequencyOf(6144 - 448)}));

  rig.row({49, 1, 0, 0x04, 0x44});
  EXPECT_EQ(rig.frequencies(3),
            (std::vector<int32_t>{8363, 8363, frequencyOf(6144 + 12)}));  // lower

  // After a struck note the first tick forgets the slide speed: 3 00 stays.
  rig.row({49, 1, 0, 0, 0});
  rig.frequencies(2);
  EXPECT_EQ(rig.channel.pitch.speed, 0);
  rig.row({61, 0, 0, 0x03, 0x00});
  EXPECT_EQ(rig.frequencies(3), std::vector<int32_t>(3, 8363));
  // 3 10: 64 periods a tick toward the octave up (period 5376).
  rig.row({61, 0, 0, 0x03, 0x10});
  EXPECT_EQ(rig.frequencies(3),
            (std::vector<int32_t>{8363, frequencyOf(6144 - 64), frequencyOf(6144 - 128)}));
  EXPECT_EQ(rig.channel.cursor.position, 0);  // the sample was not restarted

  // Portamento down 2 02: 8 periods a tick from tick 1.
  rig.row({49, 1, 0, 0, 0});
  rig.row({0, 0, 0, 0x02, 0x02});
  EXPECT_EQ(rig.frequencies(3), (std::vector<int32_t>{8363, frequencyOf(6152), frequencyOf(6160)}));
}

TEST(Channel, ToneMovingToAnotherSampleKeepsThePlayingOne) {
  Rig rig;
  rig.row({49, 1, 0, 0, 0});
  const int32_t playing = rig.channel.cursor.offset;
  rig.row({61, 2, 0, 0x03, 0x10});
  EXPECT_EQ(rig.channel.currentSample, &rig.module->instruments[1].samples[0]);
  EXPECT_EQ(rig.channel.cursor.offset, playing);
  EXPECT_NE(rig.module->instruments[1].samples[0].poolOffset, playing);
}

TEST(Channel, VolumeEffects) {
  Rig rig;
  rig.row({49, 1, 0x20, 0x0A, 0x20});  // volume 16, slide up 2
  EXPECT_EQ(rig.gains(3), (std::vector<int32_t>{64, 72, 80}));
  rig.row({0, 0, 0, 0x0A, 0x00});  // A 00 keeps sliding
  EXPECT_EQ(rig.gains(2), (std::vector<int32_t>{80, 88}));
  rig.row({0, 0, 0, 0, 0});
  rig.row({0, 0, 0, 0x0A, 0x00});  // after a row without slide: nothing
  EXPECT_EQ(rig.gains(2), (std::vector<int32_t>{88, 88}));

  // C 50: volume 80, louder than 64, until tick 1 clamps it with the slide.
  rig.row({0, 0, 0, 0x0C, 0x50});
  EXPECT_EQ(rig.gains(1), (std::vector<int32_t>{320}));
  rig.row({0, 0, 0, 0, 0});
  EXPECT_EQ(rig.gains(2), (std::vector<int32_t>{320, 256}));
  rig.row({0, 0, 0x61, 0, 0});
  EXPECT_EQ(rig.gains(2), (std::vector<int32_t>{256, 252}));
  rig.row({0, 0, 0, 0x0C, 0x80});
  EXPECT_EQ(rig.gains(1)[0], 512);

  rig.row({0, 0, 0x50, 0xEC, 0});  // E C0: silent from tick 0
  EXPECT_EQ(rig.gains(2), (std::vector<int32_t>{0, 0}));
  rig.row({0, 0, 0x50, 0xEC, 5});  // E C5 at speed 3 never cuts
  EXPECT_EQ(rig.gains(3), std::vector<int32_t>(3, 256));
  rig.row({0, 0, 0x20, 0, 0});
  rig.row({0, 0, 0x74, 0xEC, 2});  // slide +4, cut at tick 2
  EXPECT_EQ(rig.gains(4), (std::vector<int32_t>{64, 80, 0, 16}));
  rig.row({0, 0, 0x95, 0, 0});  // fine slide up 5, on tick 0 only
  EXPECT_EQ(rig.gains(2), (std::vector<int32_t>{36, 36}));
}
