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
// What it cannot hold or play it refuses with a LoadStatus, and then leaves
// the Module empty (song length 0: a Player renders nothing from it). Every
// code below names one reason; describeLoadStatus gives its one-line text.
#pragma once

#include <cstdint>

#include "assets/byte_stream.h"
#include "music/module.h"

namespace corvexa {

enum class LoadStatus : int32_t {
  ok = 0,
  truncated,            // the data ends inside the song
  wrongVersion,         // the version word is not 0x0104 (the names are kept)
  badSongLength,        // song length outside 1..256
  badChannelCount,      // channel count outside 1..8
  tooManyPatterns,      // pattern count outside 0..64
  tooManyInstruments,   // instrument count outside 0..32
  badSpeed,             // default speed outside 0..255
  badTempo,             // default tempo below 32
  missingPattern,       // a played order entry names a pattern the file lacks
  emptyPattern,         // a pattern with 0 (or fewer) rows
  tooManyNotes,         // more than 32,768 notes over all patterns
  tooManySamples,       // an instrument with more than 8 (or fewer than 0) samples
  badSampleMap,         // a sample map entry above 7
  badEnvelope,          // a volume envelope in use with more than 12 points
  badEnvelopeLoop,      // a volume envelope loop naming a point beyond its count
  badSampleLength,      // a negative sample length
  tooManySampleFrames,  // more than 524,288 frames over all samples
};

// One line saying why a file was refused ("" for ok).
const char* describeLoadStatus(LoadStatus status);

struct ModuleLoader {
  Module& module;
  ByteStream& stream;

  // Reads the file from the stream's position into the (empty) Module.
  LoadStatus load();

 private:
  LoadStatus readHeader();
  LoadStatus readPattern(int32_t pattern, int32_t firstNote);
  void readNote(Note& note);
  LoadStatus readInstrument(Instrument& instrument, int32_t& poolIndex);
  LoadStatus readEnvelopeSettings(Instrument& instrument);
  void readSampleHeader(Sample& sample);
  LoadStatus readSampleData(Sample& sample, int32_t& poolIndex);
  LoadStatus refuse(LoadStatus status);
};

}  // namespace corvexa
