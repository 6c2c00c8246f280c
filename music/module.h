// Module: an XM song (format version 0x0104) as the player reads it.
//
// Every container has a fixed capacity and is made once, zero-filled, by
// createModule; the loader (module_loader.h) fills it and refuses a file that
// does not fit. Patterns are unpacked into one pool of 5-byte notes and all
// sample data is converted into one pool of 16-bit frames. Pattern p's note for
// row r and channel c is notePool[patterns[p].firstNote + r * channelCount + c].
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "base/array.h"

namespace corvexa {

inline constexpr int32_t kMaxPatterns = 64;
inline constexpr int32_t kMaxNotes = 32768;
inline constexpr int32_t kMaxInstruments = 32;
inline constexpr int32_t kMaxSamplesPerInstrument = 8;
inline constexpr int32_t kMaxSampleFrames = 524288;
inline constexpr int32_t kMaxChannels = 8;
inline constexpr int32_t kOrderTableCount = 256;
inline constexpr int32_t kSampleMapCount = 96;
inline constexpr int32_t kEnvelopePointCount = 12;

inline constexpr uint8_t kKeyOff = 97;
inline constexpr uint8_t kNoteCut = 0xEC;  // effect 0x0E with sub-command C, as stored

struct PatternEntry {
  int32_t firstNote;
  int32_t rowCount;
};

// key: 0 none, 1..96 a note (1 the lowest C), 97 key-off, anything else none.
// instrument: 0 none, 1..32. Effect 0x0E x y is stored as effect 0xE0 + x with
// parameter y.
struct Note {
  uint8_t key;
  uint8_t instrument;
  uint8_t volume;
  uint8_t effect;
  uint8_t parameter;
};

// value is four times the file's value (0..256 for file values 0..64).
struct EnvelopePoint {
  int16_t tick;
  int16_t value;
};

// Lengths and loops count frames (the file's byte counts halved for 16-bit
// data). The loop is stored as the file gives it; the sample cursor keeps it
// inside the sample when a note starts.
struct Sample {
  int32_t length;
  int32_t loopStart;
  int32_t loopLength;
  uint8_t volume;  // 0..64
  int16_t fineTune;
  int32_t sixteenBit;
  int32_t loopType;  // 0 none, 1 forward, 2 ping-pong (3 is played as ping-pong)
  uint8_t panning;   // not played: the output is mono
  int8_t relativeNote;
  int32_t poolOffset;  // index of the first frame in samplePool
};

struct Instrument {
  Array<uint8_t> sampleMap;  // entry k - 1: the sample slot (0..7) played for key k
  Array<EnvelopePoint> volumeEnvelope;
  Array<EnvelopePoint> panningEnvelope;  // read, not played
  Array<Sample> samples;                 // all 8 slots; empty ones have length 0
  int16_t sampleCount;
  uint8_t volumePointCount;     // 0: the volume envelope is off
  uint8_t panningPointCount;    // not played
  uint8_t volumeSustainPoint;   // 255: no sustain
  uint8_t volumeLoopStart;      // 254: no loop
  uint8_t volumeLoopEnd;        // 255: no loop
  uint8_t panningSustainPoint;  // the panning settings are not played
  uint8_t panningLoopStart;
  uint8_t panningLoopEnd;
  uint8_t panningType;
  uint8_t autoVibratoType;
  uint8_t autoVibratoSweep;
  uint8_t autoVibratoRate;
  uint8_t autoVibratoDepth;  // four times the file's depth, kept to 8 bits
  int16_t fadeOut;
};

struct Module {
  Array<uint8_t> idText;       // 17 bytes, not examined
  Array<uint8_t> songName;     // 21 bytes
  Array<uint8_t> trackerName;  // 20 bytes
  int32_t defaultSpeed;        // ticks per row at the start
  int32_t defaultBpm;          // tempo at the start
  int32_t channelCount;
  int32_t patternCount;
  int32_t songLength;       // order entries played
  int32_t restartPosition;  // read, not played: the song ends after its last entry
  int32_t instrumentCount;
  Array<uint8_t> orderTable;
  Array<PatternEntry> patterns;
  Array<Note> notePool;
  Array<Instrument> instruments;
  Array<int16_t> samplePool;
  int32_t sampleFrameCount;  // frames of samplePool in use
  // What an instrument number above 32 plays: an instrument without samples,
  // so the note is silent as it is for a number the file holds no instrument for.
  Instrument* silentInstrument;
};

// A Module with every container made at its capacity, all zero.
Module& createModule(Arena& arena);

}  // namespace corvexa
