#include "music/module_loader.h"

namespace corvexa {

namespace {

constexpr int16_t kVersion = 0x0104;
constexpr int32_t kNoEnvelopeSustain = 255;
constexpr int32_t kNoEnvelopeLoopStart = 254;
constexpr int32_t kNoEnvelopeLoopEnd = 255;

// advance() adds to a failed position as well, which could turn a failed
// stream back into a valid one; the loader only moves a stream that still
// reads true, so a short file stays failed and is reported as truncated.
void advanceIfValid(ByteStream& stream, int32_t n) {
  if (!stream.failed()) stream.advance(n);
}

}  // namespace

const char* describeLoadError(LoadError error) {
  switch (error) {
    case LoadError::kNone:
      return "no error";
    case LoadError::kTruncated:
      return kDataEndsEarly;
    case LoadError::kWrongVersion:
      return "not an XM file of version 1.04";
    case LoadError::kBadSongLength:
      return "the song length is not between 1 and 256";
    case LoadError::kBadChannelCount:
      return "the channel count is not between 1 and 8";
    case LoadError::kTooManyPatterns:
      return "the pattern count is not between 0 and 64";
    case LoadError::kTooManyInstruments:
      return "the instrument count is not between 0 and 32";
    case LoadError::kBadSpeed:
      return "the default speed is not between 0 and 255";
    case LoadError::kBadTempo:
      return "the default tempo is below 32";
    case LoadError::kMissingPattern:
      return "an order entry names a pattern the file does not hold";
    case LoadError::kEmptyPattern:
      return "a pattern has no rows";
    case LoadError::kTooManyNotes:
      return "the patterns hold more than 32,768 notes";
    case LoadError::kTooManySamples:
      return "an instrument has more than 8 samples";
    case LoadError::kBadSampleMap:
      return "an instrument's sample map names a sample slot above 7";
    case LoadError::kBadEnvelope:
      return "a volume envelope has more than 12 points";
    case LoadError::kBadEnvelopeLoop:
      return "a volume envelope loop names a point the envelope does not have";
    case LoadError::kBadSampleLength:
      return "a sample has a negative length";
    case LoadError::kTooManySampleFrames:
      return "the samples hold more than 524,288 frames";
  }
  return "unknown error";
}

// A refused song is left empty: nothing of it is played.
LoadError ModuleLoader::refuse(LoadError error) {
  module.songLength = 0;
  module.patternCount = 0;
  module.instrumentCount = 0;
  module.channelCount = 0;
  module.sampleFrameCount = 0;
  return error;
}

LoadError ModuleLoader::load() {
  LoadError error = readHeader();
  if (error != LoadError::kNone) return error;

  int32_t noteIndex = 0;
  for (int32_t p = 0; p < module.patternCount; p++) {
    error = readPattern(p, noteIndex);
    if (error != LoadError::kNone) return refuse(error);
    noteIndex += module.patterns[p].rowCount * module.channelCount;
  }

  int32_t poolIndex = 0;
  for (int32_t i = 0; i < module.instrumentCount; i++) {
    error = readInstrument(module.instruments[i], poolIndex);
    if (error != LoadError::kNone) return refuse(error);
  }
  // A header size or packed size that points past the end of the data.
  if (stream.failed() || stream.position > stream.data.count) return refuse(LoadError::kTruncated);
  module.sampleFrameCount = poolIndex;
  return LoadError::kNone;
}

// The identification, the version word and the header of version 0x0104:
// counts, flags, speed, tempo and the 256-entry order table.
LoadError ModuleLoader::readHeader() {
  stream.readBytes(module.idText.count, module.idText);
  stream.readBytes(module.songName.count, module.songName);
  stream.readBytes(module.trackerName.count, module.trackerName);
  int16_t version = stream.readInt16();
  if (stream.failed()) return refuse(LoadError::kTruncated);
  if (version != kVersion) return refuse(LoadError::kWrongVersion);

  stream.skip(4);  // header size: the header is always read as 0x0104's
  module.songLength = stream.readInt16();
  module.restartPosition = stream.readInt16();
  module.channelCount = stream.readInt16();
  module.patternCount = stream.readInt16();
  module.instrumentCount = stream.readInt16();
  stream.skip(2);  // flags: the linear frequency table is always used
  module.defaultSpeed = stream.readInt16();
  module.defaultBpm = stream.readInt16();
  stream.readBytes(module.orderTable.count, module.orderTable);
  if (stream.failed()) return refuse(LoadError::kTruncated);

  if (module.songLength < 1 || module.songLength > kOrderTableCount)
    return refuse(LoadError::kBadSongLength);
  if (module.channelCount < 1 || module.channelCount > kMaxChannels)
    return refuse(LoadError::kBadChannelCount);
  if (module.patternCount < 0 || module.patternCount > kMaxPatterns)
    return refuse(LoadError::kTooManyPatterns);
  if (module.instrumentCount < 0 || module.instrumentCount > kMaxInstruments)
    return refuse(LoadError::kTooManyInstruments);
  if (module.defaultSpeed < 0 || module.defaultSpeed > 255) return refuse(LoadError::kBadSpeed);
  if (module.defaultBpm < 32) return refuse(LoadError::kBadTempo);
  for (int32_t i = 0; i < module.songLength; i++) {
    if (module.orderTable[i] >= module.patternCount) return refuse(LoadError::kMissingPattern);
  }
  return LoadError::kNone;
}

// One pattern: a header (its length, packing type, rows and packed size), then
// rows * channelCount packed notes, row by row.
LoadError ModuleLoader::readPattern(int32_t pattern, int32_t firstNote) {
  int32_t headerLength = stream.readInt32();
  stream.skip(1);  // packing type
  int32_t rows = stream.readInt16();
  int32_t packedSize = stream.readInt16();
  if (stream.failed()) return LoadError::kTruncated;
  if (headerLength > 9) advanceIfValid(stream, headerLength - 9);
  if (rows <= 0) return LoadError::kEmptyPattern;
  const int32_t noteCount = rows * module.channelCount;
  if (noteCount > kMaxNotes - firstNote) return LoadError::kTooManyNotes;

  module.patterns[pattern] = PatternEntry{firstNote, rows};
  // A packed size of 0 is how trackers store a pattern with no notes: the
  // bytes that follow already belong to the next pattern.
  if (packedSize == 0) return stream.failed() ? LoadError::kTruncated : LoadError::kNone;

  const int32_t dataStart = stream.position;
  for (int32_t i = 0; i < noteCount; i++) readNote(module.notePool[firstNote + i]);
  if (stream.failed()) return LoadError::kTruncated;
  // Skip what the notes left of the packed data; never move back.
  const int32_t used = stream.position - dataStart;
  if (used < packedSize) stream.advance(packedSize - used);
  return LoadError::kNone;
}

// One packed note: a first byte with bit 7 set says which of the five fields
// follow (bits 0..4); without bit 7 it is the key and all four others follow.
void ModuleLoader::readNote(Note& note) {
  uint8_t first = stream.readByte();
  if (first & 0x80) {
    if (first & 0x01) note.key = stream.readByte();
    if (first & 0x02) note.instrument = stream.readByte();
    if (first & 0x04) note.volume = stream.readByte();
    if (first & 0x08) note.effect = stream.readByte();
    if (first & 0x10) note.parameter = stream.readByte();
  } else {
    note.key = first;
    note.instrument = stream.readByte();
    note.volume = stream.readByte();
    note.effect = stream.readByte();
    note.parameter = stream.readByte();
  }
  if (note.effect == 0x0E) {
    note.effect = static_cast<uint8_t>(0xE0 | note.parameter >> 4);
    note.parameter = note.parameter & 0x0F;
  }
}

// One instrument: its header (size, name, type, sample count), and when it has
// samples the sample map, both envelopes, their settings, auto-vibrato and
// fade-out; then the sample headers and the sample data.
LoadError ModuleLoader::readInstrument(Instrument& instrument, int32_t& poolIndex) {
  const int32_t start = stream.position;
  const int32_t headerSize = stream.readInt32();
  advanceIfValid(stream, 22);  // name
  stream.skip(1);              // type
  instrument.sampleCount = stream.readInt16();
  if (stream.failed()) return LoadError::kTruncated;
  // An instrument without samples ends after these 29 bytes, whatever its size.
  if (instrument.sampleCount == 0) return LoadError::kNone;
  if (instrument.sampleCount < 0 || instrument.sampleCount > kMaxSamplesPerInstrument)
    return LoadError::kTooManySamples;

  stream.skip(4);  // sample header size: always 40 bytes
  for (uint8_t& slot : instrument.sampleMap) slot = stream.readByte();
  for (EnvelopePoint& point : instrument.volumeEnvelope) {
    point.tick = stream.readInt16();
    point.value = static_cast<int16_t>(stream.readInt16() * 4);
  }
  for (EnvelopePoint& point : instrument.panningEnvelope) {
    point.tick = stream.readInt16();
    point.value = static_cast<int16_t>(stream.readInt16() * 4);
  }
  LoadError error = readEnvelopeSettings(instrument);
  if (stream.failed()) return LoadError::kTruncated;
  if (error != LoadError::kNone) return error;
  for (uint8_t slot : instrument.sampleMap) {
    if (slot >= kMaxSamplesPerInstrument) return LoadError::kBadSampleMap;
  }

  const int32_t used = stream.position - start;
  if (used < headerSize) stream.advance(headerSize - used);

  for (int32_t s = 0; s < instrument.sampleCount; s++) readSampleHeader(instrument.samples[s]);
  if (stream.failed()) return LoadError::kTruncated;
  for (int32_t s = 0; s < instrument.sampleCount; s++) {
    error = readSampleData(instrument.samples[s], poolIndex);
    if (error != LoadError::kNone) return error;
  }
  return LoadError::kNone;
}

// The envelope counts and indexes, the volume type, auto-vibrato and fade-out.
// A volume envelope that is off gets count 0; one without sustain or loop gets
// the "none" indexes.
LoadError ModuleLoader::readEnvelopeSettings(Instrument& instrument) {
  instrument.volumePointCount = stream.readByte();
  instrument.panningPointCount = stream.readByte();
  instrument.volumeSustainPoint = stream.readByte();
  instrument.volumeLoopStart = stream.readByte();
  instrument.volumeLoopEnd = stream.readByte();
  instrument.panningSustainPoint = stream.readByte();
  instrument.panningLoopStart = stream.readByte();
  instrument.panningLoopEnd = stream.readByte();
  const uint8_t volumeType = stream.readByte();
  instrument.panningType = stream.readByte();
  instrument.autoVibratoType = stream.readByte();
  instrument.autoVibratoSweep = stream.readByte();
  instrument.autoVibratoDepth = static_cast<uint8_t>(stream.readByte() * 4);
  instrument.autoVibratoRate = stream.readByte();
  instrument.fadeOut = stream.readInt16();

  if (!(volumeType & 0x01)) {
    instrument.volumePointCount = 0;
    return LoadError::kNone;
  }
  if (!(volumeType & 0x02)) instrument.volumeSustainPoint = kNoEnvelopeSustain;
  if (!(volumeType & 0x04)) {
    instrument.volumeLoopStart = kNoEnvelopeLoopStart;
    instrument.volumeLoopEnd = kNoEnvelopeLoopEnd;
  }
  const int32_t count = instrument.volumePointCount;
  if (count > kEnvelopePointCount) return LoadError::kBadEnvelope;
  if (count > 0 && (volumeType & 0x04) &&
      (instrument.volumeLoopStart >= count || instrument.volumeLoopEnd >= count))
    return LoadError::kBadEnvelopeLoop;
  return LoadError::kNone;
}

// One 40-byte sample header: length, loop start and loop length, volume,
// fine-tune, type, panning, relative note, then a reserved byte and the name.
void ModuleLoader::readSampleHeader(Sample& sample) {
  sample.length = stream.readInt32();
  sample.loopStart = stream.readInt32();
  sample.loopLength = stream.readInt32();
  sample.volume = stream.readByte();
  sample.fineTune = static_cast<int8_t>(stream.readByte());
  const uint8_t type = stream.readByte();
  sample.sixteenBit = (type >> 4) & 1;
  sample.loopType = type & 3;
  sample.panning = stream.readByte();
  sample.relativeNote = static_cast<int8_t>(stream.readByte());
  advanceIfValid(stream, 23);
  if (sample.sixteenBit) {
    sample.length /= 2;
    sample.loopStart /= 2;
    sample.loopLength /= 2;
  }
}

// One sample's frames, delta-coded in the file: 16-bit values, or bytes that
// become the high byte of a 16-bit frame. Differences add up wrapping in 16
// bits (for 8-bit data that is 8-bit delta decoding scaled by 256).
LoadError ModuleLoader::readSampleData(Sample& sample, int32_t& poolIndex) {
  if (sample.length < 0) return LoadError::kBadSampleLength;
  if (sample.length > kMaxSampleFrames - poolIndex) return LoadError::kTooManySampleFrames;
  sample.poolOffset = poolIndex;
  int16_t* frames = &module.samplePool[poolIndex];
  if (sample.sixteenBit) {
    for (int32_t i = 0; i < sample.length; i++) frames[i] = stream.readInt16();
  } else {
    for (int32_t i = 0; i < sample.length; i++)
      frames[i] = static_cast<int16_t>(stream.readByte() << 8);
  }
  if (stream.failed()) return LoadError::kTruncated;
  for (int32_t i = 1; i < sample.length; i++)
    frames[i] = static_cast<int16_t>(frames[i] + frames[i - 1]);
  poolIndex += sample.length;
  return LoadError::kNone;
}

}  // namespace corvexa
