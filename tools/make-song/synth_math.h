// The synthesiser's arithmetic. make-song must write the same bytes on every
// machine, so nothing here calls the C library's transcendental functions,
// whose last bits differ from one library to the next: the sine is the
// engine's integer one (approximateSine, which the effects' SineTable holds),
// and exp and log are series of additions, multiplications and divisions,
// which IEEE 754 rounds alike everywhere (the build contracts no multiply-adds
// in ISO mode).
#pragma once

#include <cstdint>
#include <vector>

namespace corvexa::make_song {

inline constexpr double kPi = 3.14159265358979323846;

// approximateSine for every phase in 1/65536 of a cycle (+-32767), for the
// oscillators' inner loops.
const std::vector<int16_t>& sineTable();

// sin(x) for any x, from approximateSine.
double sine(double radians);

// e^x and the natural logarithm (x > 0), accurate to a few units in the last place.
double exponential(double x);
double logarithm(double x);

// The factor a level is multiplied by every frame to halve in `frames`
// frames (1 when frames is 0: no decay).
double halvingFactor(double frames);

// A 2-pole state-variable filter (Chamberlin's), one frame at a time: the
// low-pass, band-pass and high-pass outputs of the same state. `cutoff` is
// in cycles per frame (below 1/3 it stays stable), `damping` is 1/Q.
struct StateVariableFilter {
  double low = 0;
  double band = 0;
  double high = 0;
  void step(double input, double cutoff, double damping);
};

// xorshift32: white noise from a seed, the same on every machine.
struct NoiseSource {
  uint32_t state;
  double next();  // -1..1
};

}  // namespace corvexa::make_song
