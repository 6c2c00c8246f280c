#include "core/audio_stream.h"

namespace corvexa {

void AudioStream::refill() {
  if (silentRefillsLeft_ > 0) {
    silentRefillsLeft_--;
    for (AudioSample& sample : refill_) sample = 0;
  } else {
    demo_.fillAudio(refill_, kAudioRefillSamples);
  }
  used_ = 0;
}

void AudioStream::read(AudioSample* destination, int64_t count) {
  while (count > 0) {
    if (used_ == kAudioRefillSamples) refill();
    int64_t n = kAudioRefillSamples - used_;
    if (n > count) n = count;
    for (int64_t i = 0; i < n; i++) destination[i] = refill_[used_ + i];
    used_ += static_cast<int32_t>(n);
    destination += n;
    count -= n;
    samplesRead_ += n;
  }
}

}  // namespace corvexa
