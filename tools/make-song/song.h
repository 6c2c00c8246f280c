// The song as the score describes it: what make-song parses, synthesises, checks
// and writes as an XM file. Every value here is already in the XM file's terms
// (keys 1..96, volume-column bytes, effect numbers), so the writer only lays
// bytes out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

inline constexpr uint8_t kKeyOff = 97;  // the XM key that releases a note

// One note slot of a pattern, as stored in the file.
struct Cell {
  uint8_t key = 0;         // 0 none, 1..96 (1 = C-0), 97 key-off
  uint8_t instrument = 0;  // 0 none, 1..instrument count
  uint8_t volume = 0;      // the volume-column byte (0x10..0x50 set, 0x60.. commands)
  uint8_t effect = 0;      // 0x0..0xE
  uint8_t parameter = 0;   // for effect 0xE the sub-command is the high nibble
};

struct Pattern {
  int32_t number = 0;
  std::vector<Cell> cells;  // rows x channels, row by row
};

// How an instrument's single sample is synthesised. All waves are 8-bit.
enum class Waveform { Square, Pulse, Saw, Triangle, Sine, Kick, Noise };

struct Synthesis {
  Waveform waveform = Waveform::Square;
  int32_t length = 0;     // frames
  int32_t amplitude = 0;  // peak, 1..127
  int32_t duty = 50;      // pulse: percent of the cycle that is high
  // kick: the sine's pitch falls from startStep to endStep (phase units per
  // frame, 65536 = one cycle per frame) by `fall`/65536 of the distance each frame
  int32_t startStep = 0;
  int32_t endStep = 0;
  int32_t fall = 0;
  // kick and noise: the amplitude falls by `decay`/65536 of itself each frame
  int32_t decay = 0;
  uint32_t seed = 1;  // noise: the generator's start state (not zero)
};

struct EnvelopePoint {
  int32_t tick = 0;
  int32_t value = 0;  // 0..64
};

inline constexpr int32_t kNoPoint = -1;

struct Instrument {
  int32_t number = 0;
  std::string name;  // up to 22 characters
  Synthesis synthesis;
  int32_t loopType = 0;  // 0 none, 1 forward, 2 ping-pong
  int32_t loopStart = 0;
  int32_t loopLength = 0;
  int32_t volume = 64;  // 0..64
  int32_t fineTune = 0;
  int32_t relativeNote = 0;
  std::vector<EnvelopePoint> envelope;  // empty: envelope off
  int32_t sustainPoint = kNoPoint;
  int32_t loopStartPoint = kNoPoint;
  int32_t loopEndPoint = kNoPoint;
  int32_t fadeOut = 0;
  int32_t vibratoType = 0;  // 0 sine, 1 square, 2 ramp down, 3 ramp up
  int32_t vibratoSweep = 0;
  int32_t vibratoDepth = 0;    // 0..15
  int32_t vibratoRate = 0;     // 0..63
  std::vector<int8_t> frames;  // filled by the synthesiser
};

struct Song {
  std::string name;  // up to 20 characters
  int32_t channels = 4;
  int32_t rows = 64;  // rows of every pattern
  int32_t speed = 6;
  int32_t tempo = 125;
  std::vector<uint8_t> order;
  std::vector<Pattern> patterns;        // by number, 0..count-1
  std::vector<Instrument> instruments;  // by number, 1..count
};

}  // namespace corvexa::make_song
