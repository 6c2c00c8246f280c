// Channel: one voice of the player. Each row startRow reads the channel's note
// (instrument, key, volume column, effect) and sets up the effects; each tick
// tickChannel moves the effects one tick on and works out the tick's
// frequency and gain; mix then plays the sample into the mix buffer.
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "music/auto_vibrato.h"
#include "music/module.h"
#include "music/pitch_effects.h"
#include "music/sample_cursor.h"
#include "music/volume_control.h"

namespace corvexa {

struct Channel {
  SampleCursor cursor;
  VolumeControl volume;
  PitchSlide pitch;
  AutoVibrato autoVibrato;
  Vibrato vibrato;
  Arpeggio arpeggio;
  const Instrument* currentInstrument;  // whose auto-vibrato is loaded
  const Sample* currentSample;          // none: silent, no tick work
  int32_t lastKey;                      // 1..96; 0 none
  const Instrument* lastInstrument;
  int32_t frequency;  // this tick's, in Hz
  int32_t gain;       // this tick's, 0..1020

  // Back to the state before the first note (what render resets).
  void reset();
  void startRow(const Note& note, const Module& module);
  void tickChannel(int32_t tick);
  // Adds count samples of this tick into mixBuffer; a tick longer than the
  // mix buffer is mixed in several calls.
  void mix(Array<const int16_t> samplePool, int32_t* mixBuffer, int32_t count);
  // Moves the sample on by count samples exactly as mix would, adding nothing.
  void skip(Array<const int16_t> samplePool, int32_t* mixBuffer, int32_t count);

 private:
  struct Strike {
    int32_t key;  // k - 1 + relative note; 0 acts as no key
    const Instrument* instrument;
    const Sample* sample;
  };
  Strike strike(const Note& note, const Module& module);
  void setVolumeSlide(const Note& note);
  void fineVolumeSlide(const Note& note);
  void setVibrato(const Note& note);
  void setArpeggio(const Note& note);
  void setPitch(const Note& note, const Strike& struck);
  void setPortamento(const Note& note);
  void startInstrument(const Strike& struck);
  void setVolume(const Note& note);
};

// The 3-entry offsets of each channel's arpeggio come from the arena.
void makeChannel(Arena& arena, Channel& channel);

}  // namespace corvexa
