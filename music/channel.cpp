#include "music/channel.h"

#include "music/tables.h"

namespace corvexa {

namespace {

int32_t high(uint8_t byte) {
  return byte >> 4;
}
int32_t low(uint8_t byte) {
  return byte & 15;
}

bool isTonePortamento(const Note& note) {
  return high(note.volume) == 0xF || note.effect == 3 || note.effect == 5;
}

int32_t clampVolume(int32_t volume) {
  return volume < 0 ? 0 : volume > 64 ? 64 : volume;
}

}  // namespace

void makeChannel(Arena& arena, Channel& channel) {
  channel.arpeggio.offsets = arena.makeArray<int32_t>(3);
}

void Channel::reset() {
  lastKey = 0;
  lastInstrument = nullptr;
  currentInstrument = nullptr;
  currentSample = nullptr;
  cursor = SampleCursor{};
  volume.volume = 0;
  volume.slide = 0;
  volume.cutTick = kNoCut;
  volume.fadeOut = FadeOut{};
  pitch = PitchSlide{};
  autoVibrato.position = 0;
  autoVibrato.sweepCounter = 0;
  autoVibrato.keyOff = 0;
  vibrato.active = 0;
  vibrato.position = 0;
  arpeggio.offsets[1] = 0;
  arpeggio.offsets[2] = 0;
  arpeggio.index = 0;
  arpeggio.active = 0;
  frequency = 0;
  gain = 0;
}

// A key (1..96), or an instrument number alone (which strikes the last key
// again), strikes a note when both a key and an instrument are known; a key
// without an instrument uses the last instrument. Instrument numbers above 32
// name no instrument the song can hold: they strike a silent one.
Channel::Strike Channel::strike(const Note& note, const Module& module) {
  const bool hasKey = note.key >= 1 && note.key <= 96;
  if (!hasKey && note.instrument == 0) return {0, nullptr, nullptr};
  const int32_t k = hasKey ? note.key : note.key == 0 ? lastKey : 0;
  const Instrument* instrument = lastInstrument;
  if (note.instrument != 0) {
    instrument = note.instrument <= kMaxInstruments ? &module.instruments[note.instrument - 1]
                                                    : module.silentInstrument;
  }
  if (k == 0 || instrument == nullptr) return {0, nullptr, nullptr};
  lastKey = k;
  lastInstrument = instrument;
  const Sample* sample = &instrument->samples[instrument->sampleMap[k - 1]];
  currentSample = sample;
  return {k - 1 + sample->relativeNote, instrument, sample};
}

// Effects 5, 6 and A slide by x up or y down; otherwise volume columns 6y
// (down) and 7y (up). A zero keeps the previous speed; any other row stops
// the slide.
void Channel::setVolumeSlide(const Note& note) {
  int32_t s = 0;
  if (note.effect == 5 || note.effect == 6 || note.effect == 0x0A) {
    s = high(note.parameter) != 0 ? high(note.parameter) : -low(note.parameter);
  } else if (high(note.volume) == 6) {
    s = -low(note.volume);
  } else if (high(note.volume) == 7) {
    s = low(note.volume);
  } else {
    volume.slide = 0;
    return;
  }
  if (s != 0) volume.slide = s;
}

// Volume columns 8y and 9y: once, on tick 0.
void Channel::fineVolumeSlide(const Note& note) {
  if (high(note.volume) == 8) volume.volume = clampVolume(volume.volume - low(note.volume));
  if (high(note.volume) == 9) volume.volume = clampVolume(volume.volume + low(note.volume));
}

// Effect 4 xy (speed 4x, depth y), volume columns Ay (speed 4y) and By (depth
// y); effect 6 keeps the vibrato as set. Zero nibbles keep what was set.
void Channel::setVibrato(const Note& note) {
  const int32_t vh = high(note.volume);
  if (vh != 0xA && vh != 0xB && note.effect != 4 && note.effect != 6) {
    vibrato.active = 0;
    return;
  }
  int32_t sp = vh == 0xA ? low(note.volume) * 4 : 0;
  int32_t dp = vh == 0xB ? low(note.volume) : 0;
  if (note.effect == 4) {
    sp = high(note.parameter) * 4;
    dp = low(note.parameter);
  }
  if (sp != 0) {
    vibrato.speed = sp;
    if (vibrato.depth > 0) vibrato.active = 1;
  }
  if (dp != 0) {
    vibrato.depth = dp;
    if (vibrato.speed > 0) vibrato.active = 1;
  }
}

void Channel::setArpeggio(const Note& note) {
  if (note.effect != 0) {
    arpeggio.active = 0;
    return;
  }
  arpeggio.offsets[1] = high(note.parameter);
  arpeggio.offsets[2] = low(note.parameter);
  arpeggio.index = 0;
  arpeggio.active = 1;
}

// A tone portamento slides toward the struck key (fine-tune not applied) and
// leaves the sample playing; any other struck note sets the period and starts
// the sample from its first frame.
void Channel::setPitch(const Note& note, const Strike& struck) {
  if (isTonePortamento(note)) {
    int32_t s = high(note.volume) == 0xF ? low(note.volume) * 64 : 0;
    if (note.effect == 3) s = note.parameter * 4;
    if (s != 0) pitch.speed = s;
    if (struck.key != 0) pitch.target = (144 - struck.key) * 64;
  } else if (struck.instrument != nullptr) {
    pitch.period = (144 - struck.key) * 64 - (struck.sample->fineTune >> 1);
    pitch.target = pitch.period;
    cursor.start(*struck.sample);
  } else {
    pitch.target = 0;
  }
}

// Effects 1 and 2 slide toward the top or the bottom of the period range.
void Channel::setPortamento(const Note& note) {
  if (note.effect != 1 && note.effect != 2) return;
  if (note.parameter > 0) pitch.speed = note.parameter * 4;
  pitch.target = note.effect == 1 ? kPortamentoUpTarget : kPortamentoDownTarget;
}

void Channel::startInstrument(const Strike& struck) {
  if (struck.instrument == nullptr) return;
  if (struck.instrument != currentInstrument) {
    currentInstrument = struck.instrument;
    autoVibrato.setInstrument(*struck.instrument);
  }
  volume.noteOn(*struck.instrument, *struck.sample);
}

// Volume column 0x10..0x50 sets the volume, effect C sets it (up to 255),
// effect E C x cuts the note at tick x.
void Channel::setVolume(const Note& note) {
  if (note.volume >= 0x10 && note.volume <= 0x50) volume.volume = note.volume - 0x10;
  if (note.effect == 0x0C) {
    volume.volume = note.parameter;
    volume.cutTick = kNoCut;
  } else if (note.effect == kNoteCut) {
    volume.cutTick = note.parameter;
  } else {
    volume.cutTick = kNoCut;
  }
}

void Channel::startRow(const Note& note, const Module& module) {
  const Strike struck = strike(note, module);
  if (note.key == kKeyOff) {
    volume.keyOff();
    autoVibrato.keyOff = 1;
  }
  setVolumeSlide(note);
  fineVolumeSlide(note);
  if (struck.key != 0) {
    vibrato.position = 0;
    if (vibrato.depth > 0 && vibrato.speed > 0) vibrato.active = 1;
  }
  setVibrato(note);
  setArpeggio(note);
  setPitch(note, struck);
  setPortamento(note);
  startInstrument(struck);
  setVolume(note);
}

void Channel::tickChannel(int32_t tick) {
  if (currentSample == nullptr) return;
  pitch.slide(tick);
  int32_t p = (pitch.period + vibrato.offset(tick)) & 0xFFFF;
  p = autoVibrato.apply(p);
  p = arpeggio.apply(p);
  frequency = frequencyTable[p % 768] >> ((p / 768) % 32);
  gain = volume.tickVolume(tick);
}

void Channel::mix(Array<const int16_t> samplePool, int32_t* mixBuffer, int32_t count) {
  if (currentSample == nullptr) return;
  cursor.mix(samplePool, mixBuffer, frequency, gain, count);
}

// A gain of 0 only moves the cursor on, by the integers mixing moves it by.
void Channel::skip(Array<const int16_t> samplePool, int32_t* mixBuffer, int32_t count) {
  if (currentSample == nullptr) return;
  cursor.mix(samplePool, mixBuffer, frequency, 0, count);
}

}  // namespace corvexa
