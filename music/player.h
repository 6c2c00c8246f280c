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
  int32_t orderIndex;
  int32_t row;
  int32_t outputCount;
  const PatternEntry* currentPattern;
  int32_t speed;  // ticks per row
  int32_t samplesPerTick;

  // Renders the whole song into output from index 0; the samples written.
  int32_t render(const Module& song, Array<int16_t> out);
  // Hands row r of the current pattern to the channels; true on a pattern break.
  bool playRow(int32_t r);
  // Appends one tick, as much of it as the output holds.
  void renderTick(int32_t tick);

 private:
  void playSong();
  bool full() const { return outputCount >= output.count; }
  void mixPiece(int32_t count);
};

// Output samples per tick at tempo bpm: 44100 / ((2 * bpm) / 5); 882 at 125.
int32_t samplesPerTickAt(int32_t bpm);

// A Player with its channels and a mix buffer of mixBufferCount samples.
Player& createPlayer(Arena& arena, int32_t mixBufferCount = kMixBufferCount);

}  // namespace corvexa
