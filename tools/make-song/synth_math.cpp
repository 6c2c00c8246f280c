#include "tools/make-song/synth_math.h"

#include "effects/tables.h"

namespace corvexa::make_song {

const std::vector<int16_t>& sineTable() {
  static const std::vector<int16_t> table = [] {
    std::vector<int16_t> values(65536);
    for (int32_t i = 0; i < 65536; i++) values[i] = approximateSine(i);
    return values;
  }();
  return table;
}

double sine(double radians) {
  double cycles = radians / (2 * kPi);
  cycles -= static_cast<double>(static_cast<int64_t>(cycles));
  if (cycles < 0) cycles += 1;
  return approximateSine(static_cast<int32_t>(cycles * 65536.0)) / 32767.0;
}

// e^x = (e^(x / 2^k))^(2^k), with x / 2^k small enough for a short series.
double exponential(double x) {
  int32_t halvings = 0;
  while (x > 0.5 || x < -0.5) {
    x /= 2;
    halvings++;
  }
  double term = 1, sum = 1;
  for (int32_t n = 1; n < 16; n++) {
    term *= x / n;
    sum += term;
  }
  for (int32_t i = 0; i < halvings; i++) sum *= sum;
  return sum;
}

// ln x = k ln 2 + 2 atanh((m - 1) / (m + 1)), with x = m 2^k and m in [0.75, 1.5).
double logarithm(double x) {
  constexpr double kLn2 = 0.69314718055994530942;
  int32_t twos = 0;
  while (x >= 1.5) {
    x /= 2;
    twos++;
  }
  while (x < 0.75) {
    x *= 2;
    twos--;
  }
  const double t = (x - 1) / (x + 1);
  const double t2 = t * t;
  double power = t, sum = 0;
  for (int32_t n = 1; n < 40; n += 2) {
    sum += power / n;
    power *= t2;
  }
  return twos * kLn2 + 2 * sum;
}

double halvingFactor(double frames) {
  constexpr double kLn2 = 0.69314718055994530942;
  return frames <= 0 ? 1.0 : exponential(-kLn2 / frames);
}

// Twice per frame at half the cutoff each time, which keeps it stable up to a
// third of the frame rate.
void StateVariableFilter::step(double input, double cutoff, double damping) {
  const double f = 2 * sine(kPi * cutoff / 2);
  for (int32_t pass = 0; pass < 2; pass++) {
    low += f * band;
    high = input - low - damping * band;
    band += f * high;
  }
}

double NoiseSource::next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<int32_t>(state >> 8) / 8388608.0 - 1.0;
}

}  // namespace corvexa::make_song
