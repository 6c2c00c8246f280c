// Audio output: the show's AudioStream played through an SDL audio device in
// the sound's own format (mono signed 16-bit samples at 44,100 a second).
//
// The refill thread keeps two of the stream's 2,048-sample refills queued on
// the device: the first two are its silence (about 93 ms), and whenever no
// more than one refill's worth is still queued it reads the next refill and
// queues it; otherwise it sleeps 10 ms. It runs from startAudio until
// stopAudio. SDL_QueueAudio copies the samples it is given, so one buffer
// holds each refill in turn: the device's queue, not a pair of buffers, keeps
// the two refills.
//
// Without a usable device the show runs silently: startAudio says so in one
// line on stderr and answers false, and stopAudio is still safe to call.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "core/audio_stream.h"
#include "music/audio_format.h"

namespace corvexa {

inline constexpr int32_t kAudioPollMs = 10;

struct AudioOutput {
  std::optional<AudioStream> stream;
  SDL_AudioDeviceID device = 0;                  // 0: no sound
  AudioSample refill[kAudioRefillSamples] = {};  // the refill being queued
  std::thread refillThread;
  std::atomic<bool> stopping{false};
};

// Opens the default device, queues the stream's two silent refills, starts
// playback and the refill thread.
bool startAudio(AudioOutput& audio, Demo& demo);

// The refill thread's loop (runs until stopping is set).
void runAudioRefills(AudioOutput& audio);

// Ends the refill thread and closes the device.
void stopAudio(AudioOutput& audio);

}  // namespace corvexa
