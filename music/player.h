// Player: plays a Module into 16-bit mono samples at 44,100 Hz.
//
// render walks the order table row by row: each row hands every channel its
// note (playRow), then renders speed ticks of samplesPerTick samples each
// (renderTick). One tick of all channels is summed in the mix buffer, taken
// down 8 bits and clipped to 16 bits. A tick longer than the mix buffer (tempo
// below 110) is mixed in pieces, sample for sample as one long buffer would.
// The song ends after its last order entry (there are no jumps back, so it
// always ends), or when the output is full: render returns the samples written.
//
// A render can go on where it stopped (playOn), and it can start mixing at any
// sample: what comes before is played silently, the sequencer as usual and
// the sample cursors only moved on, by the same integers as mixing moves them,
// so that from there on every sample is the one a render from the start
// writes. That is how several Players render one song at once (song.h).
//
// All state is made once by createPlayer; rendering allocates nothing.
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "base/array.h"
#include "music/channel.h"
#include "music/module.h"

namespace corvexa {

inline constexpr int32_t kPlayerChannels = 8;
inline constexpr int32_t kMixBufferCount = 1024;

struct Player {
  Array<Channel> channels;   // 8, whatever the song's channel count
  Array<int32_t> mixBuffer;  // one tick (or one piece of a tick) of all channels
  const Module* module;
  Array<int16_t> output;
  int32_t from;  // the first sample mixed; the ones before are only played
  int32_t orderIndex;
  int32_t row;
  int32_t nextTick;     // of the current row
  int32_t tickLeft;     // samples of the last tick not yet played
  bool patternBreak;    // the current row ends its pattern
  bool ended;           // past the last order entry
  int32_t outputCount;  // samples played, written or not
  const PatternEntry* currentPattern;
  int32_t speed;  // ticks per row
  int32_t samplesPerTick;

  // Renders the song into out[first .. out.count - 1] (the samples before it
  // are played, not written); outputCount: the song's length, at most out.count.
  int32_t render(const Module& song, Array<int16_t> out, int32_t first = 0);
  // Back to the song's first row, nothing played.
  void start(const Module& song);
  // Plays on from outputCount until out is full or the song ends, writing
  // out[first ..] only (first >= outputCount); outputCount after it.
  int32_t playOn(Array<int16_t> out, int32_t first);
  // Hands row r of the current pattern to the channels; true on a pattern break.
  bool playRow(int32_t r);
  // Appends one tick, as much of it as the output holds (the rest is left for
  // playOn).
  void renderTick(int32_t tick);

 private:
  void playSong();
  bool full() const { return outputCount >= output.count; }
  void playTickLeft();
  void mixPiece(int32_t count);
  void skipPiece(int32_t count);
};

// Output samples per tick at tempo bpm: 44100 / ((2 * bpm) / 5); 882 at 125.
int32_t samplesPerTickAt(int32_t bpm);

// A Player with its channels and a mix buffer of mixBufferCount samples.
Player& createPlayer(Arena& arena, int32_t mixBufferCount = kMixBufferCount);

}  // namespace corvexa
