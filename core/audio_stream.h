// AudioStream: the sound exactly as a player of the show hears it, in order.
//
// Every player takes its samples from here: the desktop audio output, the
// browser page, and corvexa-tool's stream and capture. A live output keeps
// two buffers of 2,048 samples queued: the first two are silent, and each
// later one is the Demo's fillAudio. So the stream is 4,096 samples of
// silence, then the rendered song halved and looping without end. It hands
// that sequence out in pieces of any size, refilling 2,048 samples at a time;
// it moves the Demo's play position, which nothing else may touch meanwhile.
#pragma once

#include <cstdint>

#include "core/demo.h"
#include "music/audio_format.h"

namespace corvexa {

inline constexpr int32_t kAudioRefillSamples = 2048;
inline constexpr int32_t kAudioLeadInSamples = 2 * kAudioRefillSamples;  // the two silent buffers

class AudioStream {
 public:
  explicit AudioStream(Demo& demo) : demo_(demo) {}

  // The next count samples of the stream (count >= 0).
  void read(AudioSample* destination, int64_t count);

  int64_t samplesRead() const { return samplesRead_; }

 private:
  // Puts the next 2,048 samples into refill_: silence while the lead-in lasts,
  // then the song through fillAudio.
  void refill();

  Demo& demo_;
  AudioSample refill_[kAudioRefillSamples] = {};
  int32_t used_ = kAudioRefillSamples;  // samples of refill_ already handed out
  int32_t silentRefillsLeft_ = kAudioLeadInSamples / kAudioRefillSamples;
  int64_t samplesRead_ = 0;
};

}  // namespace corvexa
