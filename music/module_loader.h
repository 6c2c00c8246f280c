// ModuleLoader: reads an XM file (version 0x0104) from a ByteStream into an
// empty Module.
//
// The reader walks the file in order: the 60-byte identification, the header
// (always read as the 276-byte header of 0x0104, whatever its size field says),
// the packed patterns and the instruments with their samples. It keeps a few
// habits of the format as written by trackers: only the version word decides
// whether a file is read; an instrument without samples occupies just the 29
// bytes read, whatever its header size says; each sample header is 40 bytes;
// a pattern with no packed data is an empty pattern.
//
// What it cannot hold or play it refuses with a LoadError, and then leaves
// the Module empty (song length 0: a Player renders nothing from it). Every
// code below names one reason; describeLoadError gives its one-line text.
#pragma once

#include <cstdint>

#include "assets/byte_stream.h"
#include "music/module.h"

namespace corvexa {

// Why load() refused a file; kNone when it read the song.
enum class LoadError : int32_t {
  kNone = 0,
  kTruncated,            // the data ends inside the song
  kWrongVersion,         // the version word is not 0x0104 (the names are kept)
  kBadSongLength,        // song length outside 1..256
  kBadChannelCount,      // channel count outside 1..8
  kTooManyPatterns,      // pattern count outside 0..64
  kTooManyInstruments,   // instrument count outside 0..32
  kBadSpeed,             // default speed outside 0..255
  kBadTempo,             // default tempo below 32
  kMissingPattern,       // a played order entry names a pattern the file lacks
  kEmptyPattern,         // a pattern with 0 (or fewer) rows
  kTooManyNotes,         // more than 32,768 notes over all patterns
  kTooManySamples,       // an instrument with more than 8 (or fewer than 0) samples
  kBadSampleMap,         // a sample map entry above 7
  kBadEnvelope,          // a volume envelope in use with more than 12 points
  kBadEnvelopeLoop,      // a volume envelope loop naming a point beyond its count
  kBadSampleLength,      // a negative sample length
  kTooManySampleFrames,  // more than 524,288 frames over all samples
};

// One line for a message: "no error", kDataEndsEarly, "the channel count is
// not between 1 and 8", ...
const char* describeLoadError(LoadError error);

struct ModuleLoader {
  Module& module;
  ByteStream& stream;

  // Reads the file from the stream's position into the (empty) Module.
  LoadError load();

 private:
  LoadError readHeader();
  LoadError readPattern(int32_t pattern, int32_t firstNote);
  void readNote(Note& note);
  LoadError readInstrument(Instrument& instrument, int32_t& poolIndex);
  LoadError readEnvelopeSettings(Instrument& instrument);
  void readSampleHeader(Sample& sample);
  LoadError readSampleData(Sample& sample, int32_t& poolIndex);
  LoadError refuse(LoadError error);
};

}  // namespace corvexa
