// The XM writer: lays a module out as an extended module of version 0x0104,
// the layout every tracker reads: a 60-byte preamble and 276-byte header
// (with the 256-entry order table), packed patterns, then instruments with
// their 263-byte headers (29 bytes for one without samples), 40-byte sample
// headers and delta-coded 8- or 16-bit sample data.
//
// The module is given in the file's own terms, so the writer only lays bytes
// out: make-song writes the song with it, and the engine's tests build their
// XM files with it. Standard library only, so that it builds wherever the
// engine does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

struct XmSample {
  std::vector<uint8_t> data;  // the stored bytes, already delta-coded (deltaCode)
  int32_t loopStart = 0;      // in bytes, as in the file
  int32_t loopLength = 0;
  uint8_t volume = 64;
  int8_t fineTune = 0;
  uint8_t type = 0;  // loop type in bits 0-1, 16-bit data in bit 4
  uint8_t panning = 128;
  int8_t relativeNote = 0;
  std::string name;  // at most 22 bytes are written
};

struct XmEnvelopePoint {
  int32_t tick = 0;
  int32_t value = 0;  // 0..64
};

struct XmInstrument {
  std::string name;  // at most 22 bytes are written
  std::vector<XmSample> samples;
  uint8_t sampleMap[96] = {};                   // the sample each key plays
  std::vector<XmEnvelopePoint> volumeEnvelope;  // at most 12 points are written
  uint8_t volumeSustainPoint = 0;
  uint8_t volumeLoopStart = 0;
  uint8_t volumeLoopEnd = 0;
  uint8_t volumeType = 0;  // bit 0 on, bit 1 sustain, bit 2 loop
  uint8_t autoVibratoType = 0;
  uint8_t autoVibratoSweep = 0;
  uint8_t autoVibratoDepth = 0;
  uint8_t autoVibratoRate = 0;
  int32_t fadeOut = 0;
};

struct XmPattern {
  int32_t rows = 64;
  std::vector<uint8_t> data;  // the packed notes (packNote), rows x channels of them
};

struct XmModule {
  std::string name;     // at most 20 bytes are written
  std::string tracker;  // likewise
  int32_t channels = 0;
  int32_t speed = 6;
  int32_t tempo = 125;
  std::vector<uint8_t> order;  // the song length is its size; at most 256 are written
  std::vector<XmPattern> patterns;
  std::vector<XmInstrument> instruments;
};

// Where writeXm put each part: the byte offsets of the pattern headers, the
// instrument headers and every sample header (instrument by instrument).
struct XmLayout {
  std::vector<size_t> patterns;
  std::vector<size_t> instruments;
  std::vector<std::vector<size_t>> sampleHeaders;
};

// Appends one note, packed: a flag byte (bit 7 set) naming the fields that follow.
void packNote(std::vector<uint8_t>& out, uint8_t key, uint8_t instrument, uint8_t volume,
              uint8_t effect, uint8_t parameter);

// Sample frames as stored: each one's difference from the one before, in 8
// or 16 bits (little-endian).
std::vector<uint8_t> deltaCode(const std::vector<int16_t>& frames, int32_t bits);

// The file's bytes; layout, when given, is filled in.
std::vector<uint8_t> writeXm(const XmModule& module, XmLayout* layout = nullptr);

}  // namespace corvexa::make_song
