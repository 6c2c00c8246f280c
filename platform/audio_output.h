// Audio output: the song, rendered at start-up, played through an SDL audio
// device as 44,100 Hz mono signed 16-bit samples.
//
// The work item keeps two buffers of 2,048 samples queued on the device: the
// first two are silence (about 93 ms), and whenever no more than one buffer's
// worth is still queued it has the Demo's fillAudio write the next 2,048
// samples into the buffer that has just finished and queues it; otherwise it
// sleeps 10 ms. It runs on its own thread from startAudio until stopAudio.
//
// Without a usable device the show runs silently: startAudio says so in one
// line on stderr and answers false, and stopAudio is still safe to call.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "core/demo.h"

inline constexpr int32_t kAudioRate = 44100;
inline constexpr int32_t kAudioBufferSamples = 2048;
inline constexpr int32_t kAudioPollMs = 10;

struct AudioOutput {
  Demo* demo = nullptr;
  SDL_AudioDeviceID device = 0;  // 0: no sound
  int16_t buffers[2][kAudioBufferSamples] = {};
  std::thread workItem;
  std::atomic<bool> stopping{false};
};

// Opens the default device, queues the two silent buffers, starts playback
// and the work item.
bool startAudio(AudioOutput& audio, Demo& demo);

// The work item's loop (runs until stopping is set).
void runAudioWorkItem(AudioOutput& audio);

// Ends the work item and closes the device.
void stopAudio(AudioOutput& audio);
