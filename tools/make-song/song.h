// The song as the score describes it: what make-song parses, synthesises, checks
// and writes as an XM file. Every value here is already in the XM file's terms
// (keys 1..96, volume-column bytes, effect numbers), so the writer only lays
// bytes out. The names carry "Score" where music/ has a type of the same idea
// for the loaded song: these are what the score says, not what the player holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

inline constexpr uint8_t kScoreKeyOff = 97;  // the XM key that releases a note
inline constexpr uint8_t kLowestKey = 1;     // C-0
inline constexpr uint8_t kHighestKey = 96;   // B-7
inline constexpr uint8_t kMiddleC = 49;      // C-4, which plays a sample at 8,363 frames a second

// One note slot of a pattern, as stored in the file.
struct Cell {
  uint8_t key = 0;         // 0 none, 1..96 (1 = C-0), 97 key-off
  uint8_t instrument = 0;  // 0 none, 1..instrument count
  uint8_t volume = 0;      // the volume-column byte (0x10..0x50 set, 0x60.. commands)
  uint8_t effect = 0;      // 0x0..0xF
  uint8_t parameter = 0;   // for effect 0xE the sub-command is the high nibble

  bool empty() const {
    return key == 0 && instrument == 0 && volume == 0 && effect == 0 && parameter == 0;
  }
};

struct Pattern {
  int32_t number = 0;
  int32_t rows = 0;
  std::vector<Cell> cells;  // rows x channels, row by row
};

// How one sample's frames are made. The first seven kinds are the plain waves
// of a chip tune: one cycle of `length` frames (or a simple kick or noise) in
// 8 bits, tuned by hand with the instrument's relative note. The others are
// rendered as sound is produced: band-limited, in 16 bits unless `bits 8`,
// and tuned by the synthesiser itself, so that key `pitch` plays the frames
// at `rate` frames a second (or at cycle x the pitch's frequency).
enum class Waveform {
  Square,
  Pulse,
  Saw,
  Triangle,
  Sine,
  Kick,
  Noise,
  Voice,     // a periodic tone: harmonics of one shape, detuned layers, pulse-width movement,
             // a low-pass filter swept over its attack; a chord of such tones
  Bell,      // frequency modulation: a sine whose phase a second sine moves
  BassDrum,  // a sine falling in pitch, with a click
  Snare,     // a tuned body and band-passed noise
  Clap,      // bursts of band-passed noise, then a tail
  Metal,     // inharmonic square partials and noise, high-passed: hats and cymbals
};

enum class Shape { Saw, Square, Pulse, Triangle, Sine };

// Chord tones as just ratios of the root (numerator, denominator).
enum class Chord { Single, Major, Minor, Sus2, Sus4, Fifth };

struct Synthesis {
  Waveform waveform = Waveform::Square;
  uint8_t keyLow = kLowestKey;  // the keys this sample plays
  uint8_t keyHigh = kHighestKey;

  // The plain waves.
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

  // The produced kinds. Times are in milliseconds of the frames as written.
  int32_t bits = 16;         // 8 or 16
  int32_t level = 90;        // peak, percent of full scale
  uint8_t pitch = kMiddleC;  // the key whose sound the frames hold
  int32_t rate = 0;          // drums: frames a second at `pitch`
  int32_t cycle = 0;         // voice, bell: frames per cycle of the fundamental
  int32_t cycles = 0;        // voice, bell: cycles in the loop (0: one-shot)
  int32_t attack = 0;        // frames before the loop; the sweeps and decays run over them
  int32_t halfLife = 0;      // ms for the level to halve over the attack (0: steady)
  Shape shape = Shape::Saw;  // voice
  int32_t width = 50;        // pulse: percent of the cycle that is high
  int32_t pwm = 0;           // pulse: the width swings this many percent either way...
  int32_t pwmCycles = 1;     // ... this many times in the loop
  int32_t detune = 0;        // two more layers at cycles +- detune in the loop
  int32_t sub = 0;           // a sine an octave below, percent of the main level
  int32_t spread = 0;        // 1: harmonics start at Schroeder's phases, not all at 0,
                             // which keeps the peaks low for the same spectrum
  Chord chord = Chord::Single;
  int32_t cutoff = 0;     // low-pass at the attack's start, Hz as written (0: open)
  int32_t cutoffEnd = 0;  // ... and from the attack's end on (0: as at the start)
  int32_t resonance = 7;  // the filter's peak, in tenths (7: none to speak of)
  int32_t ratioTop = 1;   // bell: modulator frequency = carrier x top / bottom
  int32_t ratioBottom = 1;
  int32_t index = 0;         // bell: modulation index in hundredths, at the start...
  int32_t indexEnd = 0;      // ... and from the attack's end on
  int32_t startHz = 0;       // bass drum: the pitch falls from startHz...
  int32_t endHz = 0;         // ... to endHz...
  int32_t sweep = 0;         // ... with this time constant in ms
  int32_t click = 0;         // bass drum: percent level of its attack transient
  int32_t drive = 0;         // percent of soft saturation (synthesiser.h)
  int32_t tone = 0;          // snare: its body's frequency, Hz
  int32_t toneHalfLife = 0;  // snare: ms for the body to halve
  int32_t noise = 0;         // snare, metal: percent level of the noise
  int32_t bright = 0;        // snare, clap, metal: the noise filter's frequency, Hz
  int32_t top = 0;           // drums: a last low-pass, Hz, after the drive (0: none)
  int32_t bursts = 0;        // clap: hand claps before the tail
  int32_t spacing = 0;       // clap: ms between them
};

// One sample slot of an instrument: how it is made, how it loops and how it
// is tuned, then the frames that the synthesiser made.
struct ScoreSample {
  Synthesis synthesis;
  int32_t loopType = 0;  // 0 none, 1 forward, 2 ping-pong
  int32_t loopStart = 0;
  int32_t loopLength = 0;
  int32_t relativeNote = 0;
  int32_t fineTune = 0;
  std::vector<int16_t> frames;  // 8-bit samples hold -128..127
};

struct ScoreEnvelopePoint {
  int32_t tick = 0;
  int32_t value = 0;  // 0..64
};

inline constexpr int32_t kNoPoint = -1;

struct ScoreInstrument {
  int32_t number = 0;
  std::string name;                          // up to 22 characters
  std::vector<ScoreSample> samples;          // 1..8, each serving its keys
  int32_t volume = 64;                       // 0..64, every sample's
  int32_t relativeNote = 0;                  // the plain waves' tuning (the produced kinds tune
  int32_t fineTune = 0;                      // themselves)
  std::vector<ScoreEnvelopePoint> envelope;  // empty: envelope off
  int32_t sustainPoint = kNoPoint;
  int32_t loopStartPoint = kNoPoint;
  int32_t loopEndPoint = kNoPoint;
  int32_t fadeOut = 0;
  int32_t vibratoType = 0;  // 0 sine, 1 square, 2 ramp down, 3 ramp up
  int32_t vibratoSweep = 0;
  int32_t vibratoDepth = 0;  // 0..15
  int32_t vibratoRate = 0;   // 0..63
};

struct Song {
  std::string name;  // up to 20 characters
  int32_t channels = 4;
  int32_t rows = 64;  // rows of a pattern that does not give its own
  int32_t speed = 6;
  int32_t tempo = 125;
  std::vector<uint8_t> order;
  std::vector<Pattern> patterns;             // by number, 0..count-1
  std::vector<ScoreInstrument> instruments;  // by number, 1..count
};

}  // namespace corvexa::make_song
