#include "music/module.h"

namespace corvexa {

namespace {

void makeInstrument(Arena& arena, Instrument& instrument) {
  instrument.sampleMap = arena.makeArray<uint8_t>(kSampleMapCount);
  instrument.volumeEnvelope = arena.makeArray<EnvelopePoint>(kEnvelopePointCount);
  instrument.panningEnvelope = arena.makeArray<EnvelopePoint>(kEnvelopePointCount);
  instrument.samples = arena.makeArray<Sample>(kMaxSamplesPerInstrument);
}

}  // namespace

Module& createModule(Arena& arena) {
  Module& module = arena.make<Module>();
  module.idText = arena.makeArray<uint8_t>(17);
  module.songName = arena.makeArray<uint8_t>(21);
  module.trackerName = arena.makeArray<uint8_t>(20);
  module.orderTable = arena.makeArray<uint8_t>(kOrderTableCount);
  module.patterns = arena.makeArray<PatternEntry>(kMaxPatterns);
  module.notePool = arena.makeArray<Note>(kMaxNotes);
  module.instruments = arena.makeArray<Instrument>(kMaxInstruments);
  for (Instrument& instrument : module.instruments) makeInstrument(arena, instrument);
  module.samplePool = arena.makeArray<int16_t>(kMaxSampleFrames);
  module.silentInstrument = &arena.make<Instrument>();
  makeInstrument(arena, *module.silentInstrument);
  return module;
}

}  // namespace corvexa
