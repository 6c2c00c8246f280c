// The audio output's stream: the samples the device receives, in order.
//
// The output queues two buffers of 2,048 samples before the song starts, both
// still silent, and then refills whichever buffer has just finished with the
// Demo's fillAudio. So the device hears 4,096 samples of silence, then the
// rendered song halved and looping without end. AudioStream hands out that
// sequence in pieces of any size, refilling 2,048 samples at a time as the
// live output does; it moves the Demo's play position, which nothing else
// may touch meanwhile.
#pragma once

#include <cstdint>

#include "core/demo.h"

inline constexpr int32_t kAudioRefillSamples = 2048;
inline constexpr int32_t kAudioLeadInSamples = 2 * kAudioRefillSamples;  // the two silent buffers

class AudioStream {
 public:
  explicit AudioStream(Demo& demo) : demo_(demo) {}

  // The next count samples of the stream (count >= 0).
  void read(int16_t* destination, int64_t count);

  int64_t samplesRead() const { return samplesRead_; }

 private:
  // Puts the next 2,048 samples into refill_: silence while the lead-in lasts,
  // then the song through fillAudio.
  void refill();

  Demo& demo_;
  int16_t refill_[kAudioRefillSamples] = {};
  int32_t used_ = kAudioRefillSamples;  // samples of refill_ already handed out
  int32_t silentRefillsLeft_ = kAudioLeadInSamples / kAudioRefillSamples;
  int64_t samplesRead_ = 0;
};
