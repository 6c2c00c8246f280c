// The embedded song as the show plays it: its sections start where the
// picture's scenes do, and it uses only the commands the player acts on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "assets/gzip_inflater.h"
#include "assets/resources.h"
#include "core/audio_stream.h"
#include "core/demo_state.h"
#include "music/audio_format.h"
#include "music/commands.h"
#include "music/player.h"
#include "music/song.h"

using namespace corvexa;

namespace {

struct EmbeddedSong {
  Arena arena;
  const Module* module = nullptr;
  Array<int16_t> output;
};

std::unique_ptr<EmbeddedSong> loadEmbeddedSong() {
  auto song = std::make_unique<EmbeddedSong>();
  const ResourceEntry* entry = findResource(embeddedResources(), kSongName);
  Array<uint8_t> bytes = song->arena.makeArray<uint8_t>(kSongBufferBytes);
  EXPECT_GT(inflate(makeGzipInflater(song->arena), entry->bytes, bytes), 0);
  song->output = song->arena.makeArray<int16_t>(kPcmBufferSamples);
  song->module = renderSong(song->arena, {bytes.count, bytes.items}, song->output).module;
  return song;
}

// Tick T is on screen (T - 1) / 60 s after the first frame; the song starts
// after the audio output's silent lead-in.
int32_t songSampleOfTick(int32_t tick) {
  return (tick - 1) * kSampleRate / 60 - kAudioLeadInSamples;
}

TEST(SongForm, EachSceneOfTheFirstPassStartsWithinARowOfAnOrderEntry) {
  std::unique_ptr<EmbeddedSong> song = loadEmbeddedSong();
  const Module& module = *song->module;
  // Where each order entry starts: the sample count of the song cut off
  // before it, as the player renders it (so speed and tempo changes count).
  std::vector<int32_t> starts;
  for (int32_t entries = 1; entries <= module.songLength; entries++) {
    Module cut = module;
    cut.songLength = entries;
    starts.push_back(createPlayer(song->arena).render(cut, song->output));
  }
  starts.insert(starts.begin(), 0);
  const int32_t songEnd = starts.back();

  auto state = std::make_unique<DemoState>();
  ASSERT_TRUE(startUp(*state).ok());
  // The swinging twister, its freeze, the jumping word, the blocks' return,
  // the curtain and the six twisters (the labels leaving, 70 ticks before the
  // curtain, is no scene of its own).
  const int32_t scenes[] = {3, 4, 5, 6, 8, 9};
  int32_t previousEntry = 0;
  for (int32_t scene : scenes) {
    const int32_t at = songSampleOfTick(state->scene->timeline[scene].start);
    size_t entry = 0;
    for (size_t e = 1; e + 1 < starts.size(); e++) {
      if (std::abs(starts[e] - at) < std::abs(starts[entry] - at)) entry = e;
    }
    const int32_t rows = module.patterns[module.orderTable[entry]].rowCount;
    const int32_t row = (starts[entry + 1] - starts[entry]) / rows;
    EXPECT_LE(std::abs(starts[entry] - at), row)
        << "timeline entry " << scene << " at sample " << at << ", nearest order entry " << entry
        << " at " << starts[entry];
    EXPECT_GT(static_cast<int32_t>(entry), previousEntry) << "two scenes on one order entry";
    previousEntry = static_cast<int32_t>(entry);
  }
  // The finale, from the six twisters on, plays a minute before the song
  // loops; the whole song lasts 110 to 200 seconds.
  EXPECT_GE(songEnd - songSampleOfTick(kLastSceneTick), 60 * kSampleRate);
  EXPECT_GE(songEnd, 110 * kSampleRate);
  EXPECT_LE(songEnd, 200 * kSampleRate);
}

TEST(SongForm, EveryNoteUsesOnlyCommandsThePlayerActsOn) {
  std::unique_ptr<EmbeddedSong> song = loadEmbeddedSong();
  const Module& module = *song->module;
  int32_t notes = 0;
  for (int32_t p = 0; p < module.patternCount; p++) {
    const PatternEntry& pattern = module.patterns[p];
    for (int32_t i = 0; i < pattern.rowCount * module.channelCount; i++) {
      const Note& note = module.notePool[pattern.firstNote + i];
      EXPECT_TRUE(playsNote(note)) << "pattern " << p << " row " << i / module.channelCount
                                   << " channel " << i % module.channelCount + 1 << ": effect "
                                   << int{note.effect} << ", volume column " << int{note.volume};
      notes++;
    }
  }
  EXPECT_GT(notes, 0);
}

}  // namespace
