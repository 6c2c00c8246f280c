#include <gtest/gtest.h>

#include "music/module_loader.h"
#include "xm_builder.h"

using namespace corvexa;

namespace {

struct Loaded {
  Arena arena;
  Module* module = nullptr;
  LoadError status = LoadError::kNone;
};

void loadInto(Loaded& loaded, const std::vector<uint8_t>& bytes) {
  loaded.module = &createModule(loaded.arena);
  ByteStream stream;
  stream.pointAt({static_cast<int32_t>(bytes.size()), bytes.data()});
  loaded.status = ModuleLoader{*loaded.module, stream}.load();
}

xm::SongPlan twoPatternSong() {
  xm::SongPlan song;
  song.channelCount = 2;
  song.songLength = 2;
  song.order = {1, 0};
  song.patterns.resize(2);
  song.patterns[0].rows = 3;
  song.patterns[1].rows = 2;
  xm::put(song.patterns[0], 2, 1, 1, Note{49, 1, 0x30, 0x0E, 0xC3});
  xm::put(song.patterns[1], 2, 0, 0, Note{97, 0, 0, 0x0F, 0x05});
  xm::SamplePlan sample;
  sample.data = {0x0A, 0x05, 0xFD};
  sample.type = 3;
  sample.fineTune = -16;
  sample.relativeNote = -12;
  song.instruments.push_back(xm::oneSample(sample));
  xm::InstrumentPlan& inst = song.instruments[0];
  inst.volumeEnvelope = {{0, 64}, {8, 33}, {15, 0}};
  inst.volumeType = 1;  // on, without sustain or loop
  inst.autoVibratoDepth = 2;
  inst.fadeOut = 1241;
  return song;
}

}  // namespace

TEST(ModuleLoader, ReadsHeaderPatternsInstrumentsAndSamples) {
  Loaded loaded;
  loadInto(loaded, xm::build(twoPatternSong()));
  ASSERT_EQ(loaded.status, LoadError::kNone);
  const Module& m = *loaded.module;
  EXPECT_EQ(m.channelCount, 2);
  EXPECT_EQ(m.patternCount, 2);
  EXPECT_EQ(m.songLength, 2);
  EXPECT_EQ(m.defaultSpeed, 6);
  EXPECT_EQ(m.defaultBpm, 125);
  EXPECT_EQ(m.orderTable[0], 1);
  EXPECT_EQ(m.patterns[0].firstNote, 0);
  EXPECT_EQ(m.patterns[0].rowCount, 3);
  EXPECT_EQ(m.patterns[1].firstNote, 6);
  EXPECT_EQ(m.patterns[1].rowCount, 2);
  // Effect E with parameter C3 is stored as effect EC, parameter 3.
  const Note& cut = m.notePool[3];
  EXPECT_EQ(cut.key, 49);
  EXPECT_EQ(cut.volume, 0x30);
  EXPECT_EQ(cut.effect, 0xEC);
  EXPECT_EQ(cut.parameter, 3);
  EXPECT_EQ(m.notePool[6].key, 97);
  EXPECT_EQ(m.notePool[6].effect, 0x0F);

  const Instrument& inst = m.instruments[0];
  EXPECT_EQ(inst.sampleCount, 1);
  EXPECT_EQ(inst.volumePointCount, 3);
  EXPECT_EQ(inst.volumeEnvelope[1].value, 132);
  EXPECT_EQ(inst.volumeEnvelope[1].tick, 8);
  EXPECT_EQ(inst.volumeSustainPoint, 255);
  EXPECT_EQ(inst.volumeLoopStart, 254);
  EXPECT_EQ(inst.volumeLoopEnd, 255);
  EXPECT_EQ(inst.autoVibratoDepth, 8);
  EXPECT_EQ(inst.fadeOut, 1241);
  const Sample& s = inst.samples[0];
  EXPECT_EQ(s.length, 3);
  EXPECT_EQ(s.loopType, 3);  // kept as read
  EXPECT_EQ(s.fineTune, -16);
  EXPECT_EQ(s.relativeNote, -12);
  // 8-bit deltas 0A 05 FD: 8-bit delta decoding scaled by 256.
  EXPECT_EQ(m.samplePool[0], 2560);
  EXPECT_EQ(m.samplePool[1], 3840);
  EXPECT_EQ(m.samplePool[2], 3072);
  EXPECT_EQ(m.sampleFrameCount, 3);
}

TEST(ModuleLoader, PackedAndUnpackedNotes) {
  xm::SongPlan song;
  song.channelCount = 3;
  song.patterns.resize(1);
  song.patterns[0].rows = 1;
  song.patterns[0].rawData = true;
  // 0x80: nothing follows; 0x98: effect and parameter; then an unpacked note.
  song.patterns[0].data = {0x80, 0x98, 0x0A, 0x21, 25, 2, 0x40, 0x0E, 0x05};
  Loaded loaded;
  loadInto(loaded, xm::build(song));
  ASSERT_EQ(loaded.status, LoadError::kNone);
  const Note* n = loaded.module->notePool.items;
  EXPECT_EQ(n[0].key + n[0].instrument + n[0].volume + n[0].effect + n[0].parameter, 0);
  EXPECT_EQ(n[1].key, 0);
  EXPECT_EQ(n[1].effect, 0x0A);
  EXPECT_EQ(n[1].parameter, 0x21);
  EXPECT_EQ(n[2].key, 25);
  EXPECT_EQ(n[2].instrument, 2);
  EXPECT_EQ(n[2].volume, 0x40);
  EXPECT_EQ(n[2].effect, 0xE0);
  EXPECT_EQ(n[2].parameter, 5);
}

TEST(ModuleLoader, HeaderSizesAndPackedSizes) {
  xm::SongPlan song;
  song.channelCount = 1;
  song.headerSize = 999;  // not used: the header is always 0x0104's
  song.songLength = 3;
  song.order = {0, 1, 2};
  song.patterns.resize(3);
  // A longer pattern header is skipped; packed data beyond the notes too.
  song.patterns[0].rows = 1;
  song.patterns[0].headerLength = 13;
  song.patterns[0].rawData = true;
  song.patterns[0].data = {0x81, 50, 0xFF, 0xFF};
  // No packed data at all: an empty pattern.
  song.patterns[1].rows = 5;
  song.patterns[1].rawData = true;
  song.patterns[2].rows = 1;
  xm::put(song.patterns[2], 1, 0, 0, Note{60, 0, 0, 0, 0});
  // An instrument without samples is 29 bytes whatever its header size says.
  song.instruments.resize(2);
  song.instruments[0].headerSize = 263;
  xm::SamplePlan sample16;
  sample16.type = 0x10 | 1;
  sample16.data = make_song::deltaCode({1000, -1000}, 16);
  sample16.data.push_back(0x77);  // a fifth byte: the length is 2 frames
  sample16.loopStart = 3;
  sample16.loopLength = 5;
  song.instruments[1] = xm::oneSample(sample16);
  song.instruments[1].sampleMap[0] = 0;
  Loaded loaded;
  loadInto(loaded, xm::build(song));
  ASSERT_EQ(loaded.status, LoadError::kNone);
  const Module& m = *loaded.module;
  EXPECT_EQ(m.notePool[0].key, 50);
  EXPECT_EQ(m.patterns[1].rowCount, 5);
  EXPECT_EQ(m.patterns[1].firstNote, 1);
  EXPECT_EQ(m.notePool[1].key, 0);
  EXPECT_EQ(m.patterns[2].firstNote, 6);
  EXPECT_EQ(m.notePool[6].key, 60);
  EXPECT_EQ(m.instruments[0].sampleCount, 0);
  const Sample& s = m.instruments[1].samples[0];
  EXPECT_EQ(s.length, 2);
  EXPECT_EQ(s.loopStart, 1);
  EXPECT_EQ(s.loopLength, 2);
  EXPECT_EQ(m.samplePool[0], 1000);
  EXPECT_EQ(m.samplePool[1], -1000);
}

TEST(ModuleLoader, OnlyTheVersionWordDecides) {
  xm::SongPlan song = twoPatternSong();
  std::vector<uint8_t> bytes = xm::build(song);
  for (int32_t i = 0; i < 58; i++) bytes[i] = 0;  // ID text, names
  Loaded zeroNames;
  loadInto(zeroNames, bytes);
  EXPECT_EQ(zeroNames.status, LoadError::kNone);

  song.version = 0x0103;
  Loaded old;
  loadInto(old, xm::build(song));
  EXPECT_EQ(old.status, LoadError::kWrongVersion);
  EXPECT_EQ(old.module->trackerName[0], 'X');  // the names were read
  EXPECT_EQ(old.module->songLength, 0);
  EXPECT_EQ(old.module->patternCount, 0);
  EXPECT_EQ(old.module->defaultBpm, 0);
}

TEST(ModuleLoader, EveryShorterFileIsTruncated) {
  const std::vector<uint8_t> bytes = xm::build(twoPatternSong());
  for (size_t size = 0; size < bytes.size(); size++) {
    std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + size);
    Loaded loaded;
    loadInto(loaded, prefix);
    ASSERT_EQ(loaded.status, LoadError::kTruncated) << size;
    ASSERT_EQ(loaded.module->songLength, 0) << size;
  }
}

TEST(ModuleLoader, RefusesWhatItCannotHold) {
  struct Case {
    const char* what;
    void (*change)(xm::SongPlan&);
    LoadError status;
  };
  const Case cases[] = {
      {"song length 0", [](xm::SongPlan& s) { s.songLength = 0; }, LoadError::kBadSongLength},
      {"song length 257", [](xm::SongPlan& s) { s.songLength = 257; }, LoadError::kBadSongLength},
      {"9 channels", [](xm::SongPlan& s) { s.channelCount = 9; }, LoadError::kBadChannelCount},
      {"0 channels", [](xm::SongPlan& s) { s.channelCount = 0; }, LoadError::kBadChannelCount},
      {"65 patterns", [](xm::SongPlan& s) { s.patternCount = 65; }, LoadError::kTooManyPatterns},
      {"33 instruments", [](xm::SongPlan& s) { s.instrumentCount = 33; },
       LoadError::kTooManyInstruments},
      {"speed 256", [](xm::SongPlan& s) { s.speed = 256; }, LoadError::kBadSpeed},
      {"tempo 31", [](xm::SongPlan& s) { s.bpm = 31; }, LoadError::kBadTempo},
      {"order names pattern 2", [](xm::SongPlan& s) { s.order[1] = 2; },
       LoadError::kMissingPattern},
      {"0 rows", [](xm::SongPlan& s) { s.patterns[1].rows = 0; }, LoadError::kEmptyPattern},
      {"32,769 notes",
       [](xm::SongPlan& s) {
         s.channelCount = 8;
         s.patterns[1].rows = 4096;  // 6 rows before it: 32,816 notes
       },
       LoadError::kTooManyNotes},
      {"9 samples", [](xm::SongPlan& s) { s.instruments[0].sampleCount = 9; },
       LoadError::kTooManySamples},
      {"map entry 8", [](xm::SongPlan& s) { s.instruments[0].sampleMap[95] = 8; },
       LoadError::kBadSampleMap},
      {"13 envelope points", [](xm::SongPlan& s) { s.instruments[0].volumePointCount = 13; },
       LoadError::kBadEnvelope},
      {"loop end beyond the points",
       [](xm::SongPlan& s) {
         s.instruments[0].volumeType = 5;
         s.instruments[0].volumeLoopStart = 0;
         s.instruments[0].volumeLoopEnd = 3;
       },
       LoadError::kBadEnvelopeLoop},
      {"loop start beyond the points",
       [](xm::SongPlan& s) {
         s.instruments[0].volumeType = 5;
         s.instruments[0].volumeLoopStart = 12;
         s.instruments[0].volumeLoopEnd = 2;
       },
       LoadError::kBadEnvelopeLoop},
      {"negative sample length", [](xm::SongPlan& s) { s.instruments[0].firstSampleLength = -2; },
       LoadError::kBadSampleLength},
      {"524,289 frames", [](xm::SongPlan& s) { s.instruments[0].samples[0].data.resize(524289); },
       LoadError::kTooManySampleFrames},
  };
  for (const Case& c : cases) {
    xm::SongPlan song = twoPatternSong();
    c.change(song);
    Loaded loaded;
    loadInto(loaded, xm::build(song));
    EXPECT_EQ(loaded.status, c.status) << c.what;
    EXPECT_EQ(loaded.module->songLength, 0) << c.what;
    EXPECT_STRNE(describeLoadError(loaded.status), "") << c.what;
  }
  // Envelope checks apply only to an envelope in use.
  xm::SongPlan off = twoPatternSong();
  off.instruments[0].volumeType = 0;
  off.instruments[0].volumePointCount = 200;
  Loaded loaded;
  loadInto(loaded, xm::build(off));
  EXPECT_EQ(loaded.status, LoadError::kNone);
  EXPECT_EQ(loaded.module->instruments[0].volumePointCount, 0);
}
