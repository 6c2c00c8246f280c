#include <gtest/gtest.h>

#include <vector>

#include "music/auto_vibrato.h"
#include "music/volume_control.h"

using namespace corvexa;

namespace {

// An instrument whose volume envelope has the given points (file values).
Instrument envelopeInstrument(Arena& arena, std::vector<EnvelopePoint> points, int32_t count,
                              uint8_t sustain = 255, uint8_t loopStart = 254,
                              uint8_t loopEnd = 255) {
  Instrument inst{};
  inst.volumeEnvelope = arena.makeArray<EnvelopePoint>(kEnvelopePointCount);
  for (size_t i = 0; i < points.size(); i++)
    inst.volumeEnvelope[static_cast<int32_t>(i)] = {points[i].tick,
                                                    static_cast<int16_t>(points[i].value * 4)};
  inst.volumePointCount = static_cast<uint8_t>(count);
  inst.volumeSustainPoint = sustain;
  inst.volumeLoopStart = loopStart;
  inst.volumeLoopEnd = loopEnd;
  return inst;
}

std::vector<int32_t> steps(Envelope& envelope, int32_t n) {
  std::vector<int32_t> values;
  for (int32_t i = 0; i < n; i++) values.push_back(envelope.step());
  return values;
}

}  // namespace

TEST(Envelope, SustainHoldsUntilKeyOff) {
  Arena arena;
  Instrument inst = envelopeInstrument(arena, {{0, 64}, {8, 33}, {15, 0}, {34, 0}}, 4, 1);
  Envelope env{};
  env.start(inst);
  std::vector<int32_t> held = steps(env, 12);
  EXPECT_EQ(held,
            (std::vector<int32_t>{256, 256, 241, 225, 210, 194, 179, 163, 148, 132, 132, 132}));
  env.release();
  std::vector<int32_t> falling = steps(env, 9);
  // 132 for one more tick, then down to 0 at envelope tick 15, and 0 after.
  EXPECT_EQ(falling, (std::vector<int32_t>{132, 114, 95, 76, 57, 38, 19, 0, 0}));
}

TEST(Envelope, LoopsOnePointPerTick) {
  Arena arena;
  Instrument inst = envelopeInstrument(arena, {{0, 0}, {4, 64}, {8, 0}}, 3, 255, 0, 2);
  Envelope env{};
  env.start(inst);
  const std::vector<int32_t> turn = {0, 64, 128, 192, 256, 192, 128, 64};
  std::vector<int32_t> values = steps(env, 25);
  EXPECT_EQ(values[0], 0);
  for (int32_t i = 1; i < 25; i++) EXPECT_EQ(values[i], turn[(i - 1) % 8]) << i;
}

TEST(Envelope, OnePointReadsTheNextSlotAndMalformedPointsStayInRange) {
  Arena arena;
  Instrument one = envelopeInstrument(arena, {{0, 64}}, 1);
  Envelope env{};
  env.start(one);
  EXPECT_EQ(steps(env, 4), (std::vector<int32_t>{256, 256, 0, 0}));

  // A file value above 64 is played as 64.
  Instrument loud = envelopeInstrument(arena, {{0, 100}, {10, 100}}, 2);
  env.start(loud);
  EXPECT_EQ(steps(env, 3), (std::vector<int32_t>{256, 256, 256}));

  // A loop on the twelfth point has no point after it to read.
  std::vector<EnvelopePoint> twelve;
  for (int16_t i = 0; i < 12; i++) twelve.push_back({static_cast<int16_t>(i * 2), 40});
  Instrument last = envelopeInstrument(arena, twelve, 12, 255, 11, 11);
  env.start(last);
  for (int32_t v : steps(env, 60)) ASSERT_EQ(v, 160);
}

TEST(FadeOut, FallsFromFullAfterKeyOff) {
  Arena arena;
  Instrument inst = envelopeInstrument(arena, {{0, 64}, {100, 64}}, 2);
  inst.fadeOut = 1241;
  Sample sample{};
  sample.volume = 64;
  VolumeControl volume{};
  volume.cutTick = kNoCut;
  volume.noteOn(inst, sample);
  EXPECT_EQ(volume.tickVolume(0), 256);
  volume.keyOff();
  for (int32_t i = 0; i < 27; i++) {
    // Each tick's gain uses the level from before that tick's decrease.
    const int32_t level = 32768 - i * 1241;
    ASSERT_EQ(volume.tickVolume(1), 256 * level / 32768) << i;
  }
  EXPECT_EQ(volume.fadeOut.level, 0);
  EXPECT_EQ(volume.fadeOut.speed, 0);
  EXPECT_EQ(volume.tickVolume(1), 0);

  // A negative fade-out (0x8000 and up in the file) never makes a note louder.
  inst.fadeOut = -1000;
  volume.noteOn(inst, sample);
  volume.keyOff();
  for (int32_t i = 0; i < 5; i++) EXPECT_EQ(volume.tickVolume(1), 256);
}

TEST(VolumeControl, KeyOffWithoutEnvelopeSilencesAtOnce) {
  Arena arena;
  Instrument inst = envelopeInstrument(arena, {}, 0);
  inst.fadeOut = 100;
  Sample sample{};
  sample.volume = 40;
  VolumeControl volume{};
  volume.noteOn(inst, sample);
  volume.cutTick = kNoCut;
  EXPECT_EQ(volume.tickVolume(0), 160);
  volume.keyOff();
  EXPECT_EQ(volume.tickVolume(0), 0);
}

TEST(AutoVibrato, SquareWaveAndSweep) {
  Instrument inst{};
  inst.autoVibratoType = 1;
  inst.autoVibratoDepth = 8;  // file depth 2
  inst.autoVibratoRate = 169;
  AutoVibrato vib{};
  vib.setInstrument(inst);
  for (int32_t position : {0, 169, 82, 251, 164, 77}) {
    ASSERT_EQ(vib.position, position);
    EXPECT_EQ(vib.apply(1000), position < 128 ? 998 : 1002) << position;
  }
  // A period of 0 stays 0; the position still moves.
  EXPECT_EQ(vib.apply(0), 0);
  EXPECT_EQ(vib.position, (77 + 2 * 169) & 255);

  // Sweep 4: depth x 0/4, 1/4, 2/4, 3/4, then full (sine at position 64: 64).
  inst.autoVibratoType = 0;
  inst.autoVibratoDepth = 255;
  inst.autoVibratoRate = 0;
  inst.autoVibratoSweep = 4;
  vib.setInstrument(inst);
  vib.position = 64;
  std::vector<int32_t> lowered;
  for (int32_t i = 0; i < 6; i++) lowered.push_back(5000 - vib.apply(5000));
  EXPECT_EQ(lowered, (std::vector<int32_t>{0, 15, 31, 47, 63, 63}));
  // After a key-off an unfinished sweep stops the vibrato.
  vib.setInstrument(inst);
  vib.position = 64;
  vib.apply(5000);
  vib.keyOff = 1;
  EXPECT_EQ(vib.apply(5000), 5000);
}
