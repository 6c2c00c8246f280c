#include "music/player.h"

#include "music/audio_format.h"
#include "music/commands.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa {

namespace {

int16_t clip(int32_t sum) {
  const int32_t s = sum >> 8;
  return static_cast<int16_t>(s < -32768 ? -32768 : s > 32767 ? 32767 : s);
}

}  // namespace

int32_t samplesPerTickAt(int32_t bpm) {
  const int32_t ticksPerSecondTimesTwo = (2 * bpm) / 5;
  // The loader refuses tempos below 32; the guard keeps a hand-made Module
  // from dividing by zero.
  return ticksPerSecondTimesTwo > 0 ? kSampleRate / ticksPerSecondTimesTwo : 0;
}

Player& createPlayer(Arena& arena, int32_t mixBufferCount) {
  Player& player = arena.make<Player>();
  player.channels = arena.makeArray<Channel>(kPlayerChannels);
  for (Channel& channel : player.channels) {
    makeChannel(arena, channel);
    channel.volume.cutTick = kNoCut;
  }
  player.mixBuffer = arena.makeArray<int32_t>(mixBufferCount);
  return player;
}

int32_t Player::render(const Module& song, Array<int16_t> out, int32_t first) {
  start(song);
  return playOn(out, first);
}

void Player::start(const Module& song) {
  module = &song;
  orderIndex = 0;
  row = 0;
  nextTick = 0;
  tickLeft = 0;
  patternBreak = false;
  ended = song.songLength < 1;
  outputCount = 0;
  currentPattern = nullptr;
  speed = 0;
  samplesPerTick = 0;
  for (Channel& channel : channels) channel.reset();
  if (ended) return;
  speed = module->defaultSpeed;
  samplesPerTick = samplesPerTickAt(module->defaultBpm);
  currentPattern = &module->patterns[module->orderTable[0]];
  patternBreak = playRow(0);
}

int32_t Player::playOn(Array<int16_t> out, int32_t first) {
  output = out;
  from = first;
  if (!ended) playSong();
  return outputCount;
}

// Each row renders ticks 0 to speed - 1 (at least tick 0: a speed of 0 plays
// as 1, but for the song's very first row, which then renders nothing). When
// the output is full it stops, maybe inside a tick: nextTick and tickLeft say
// where to go on.
void Player::playSong() {
  for (;;) {
    playTickLeft();
    if (tickLeft > 0) return;
    const bool firstRow = orderIndex == 0 && row == 0;
    const int32_t ticks = speed < 1 && !firstRow ? 1 : speed;
    if (nextTick < ticks) {
      if (full()) return;
      renderTick(nextTick++);
      continue;
    }
    const int32_t next = row + 1;
    if (!patternBreak && next != currentPattern->rowCount) {
      patternBreak = playRow(next);
    } else {
      orderIndex += 1;
      if (orderIndex >= module->songLength) {
        ended = true;
        return;
      }
      currentPattern = &module->patterns[module->orderTable[orderIndex]];
      patternBreak = playRow(0);
    }
    nextTick = 0;
  }
}

// Effect D (pattern break, parameter ignored) and F (speed below 32, else
// tempo) act here; everything else is the channels' own.
bool Player::playRow(int32_t r) {
  row = r;
  bool patternBreak = false;
  const int32_t channelCount =
      module->channelCount < kPlayerChannels ? module->channelCount : kPlayerChannels;
  const Note* notes = &module->notePool[currentPattern->firstNote + r * module->channelCount];
  for (int32_t c = 0; c < channelCount; c++) {
    const Note& note = notes[c];
    if (note.effect == kPatternBreak) patternBreak = true;
    if (note.effect == kSetSpeed) {
      if (note.parameter < 32) {
        speed = note.parameter;
      } else {
        samplesPerTick = samplesPerTickAt(note.parameter);
      }
    }
    channels[c].startRow(note, *module);
  }
  return patternBreak;
}

void Player::renderTick(int32_t tick) {
  for (Channel& channel : channels) channel.tickChannel(tick);
  tickLeft = samplesPerTick;
  playTickLeft();
}

void Player::playTickLeft() {
  while (tickLeft > 0 && !full()) {
    int32_t count = tickLeft < mixBuffer.count ? tickLeft : mixBuffer.count;
    if (count > output.count - outputCount) count = output.count - outputCount;
    if (outputCount < from) {
      // A tick that straddles from is cut there: pieces mix as one buffer would.
      if (count > from - outputCount) count = from - outputCount;
      skipPiece(count);
    } else {
      mixPiece(count);
    }
    tickLeft -= count;
  }
}

void Player::skipPiece(int32_t count) {
  const Array<const int16_t> pool{module->samplePool.count, module->samplePool.items};
  for (Channel& channel : channels) channel.skip(pool, mixBuffer.items, count);
  outputCount += count;
}

void Player::mixPiece(int32_t count) {
  for (int32_t i = 0; i < count; i++) mixBuffer[i] = 0;
  const Array<const int16_t> pool{module->samplePool.count, module->samplePool.items};
  for (Channel& channel : channels) channel.mix(pool, mixBuffer.items, count);
  int16_t* out = output.items + outputCount;
  const int32_t* sums = mixBuffer.items;
  int32_t i = 0;
#if defined(__SSE2__)
  // Eight at a time: SSE2's saturating pack is exactly clip's clamp.
  for (; i + 8 <= count; i += 8) {
    const __m128i* block = reinterpret_cast<const __m128i*>(sums + i);
    const __m128i first = _mm_srai_epi32(_mm_loadu_si128(block), 8);
    const __m128i second = _mm_srai_epi32(_mm_loadu_si128(block + 1), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(first, second));
  }
#endif
  for (; i < count; i++) out[i] = clip(sums[i]);
  outputCount += count;
}

}  // namespace corvexa
