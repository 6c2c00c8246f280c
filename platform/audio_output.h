// Audio output: the show's AudioStream played through an SDL audio device in
// the sound's own format (mono signed 16-bit samples at 44,100 a second).
//
// The refill thread keeps two of the stream's 2,048-sample refills queued on
// the device: the first two are its silence (about 93 ms), and whenever no
// more than one refill's worth is still queued it reads the next refill and
// queues it; otherwise it sleeps 10 ms. It runs from startAudio until
// stopAudio. SDL_QueueAudio copies the samples it is given; the output keeps
// the last ones it queued only to play again what a lost device never played.
//
// Devices come and go: headphones are unplugged, a USB or Bluetooth device is
// switched off, the sound server restarts. SDL then marks the device stopped
// and reports it removed. From the moment the refill thread sees it stopped
// it queues nothing more, so the song holds its place. When the view hands
// over the removal (audioDeviceEvent), the thread closes the device and opens
// the default output again: first come the samples the lost device still had
// queued or held in its own buffer, then the stream goes on where it was.
// With no device to open, the show runs silently and the thread tries again
// every second, and at once when SDL reports an output device added. Opening
// happens on the refill thread only, so the picture never waits for a device.
//
// Without an audio driver the show runs silently for good: startAudio says so
// in one line on stderr and answers false, and stopAudio is still safe to call.
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
inline constexpr int32_t kAudioDeviceSamples = 1024;  // the device's own buffer: under one refill
inline constexpr int32_t kAudioRetryMs = 1000;        // between tries to open a device

struct AudioOutput {
  std::optional<AudioStream> stream;
  std::atomic<SDL_AudioDeviceID> device{0};  // 0: no sound
  // The last samples queued, the newest last: two refills and one device
  // buffer. unplayed: how many of them the device had not played at the last
  // look.
  AudioSample recent[2 * kAudioRefillSamples + kAudioDeviceSamples] = {};
  int32_t unplayed = 0;
  std::atomic<bool> reopen{false};  // a removal or an added device reported
  std::thread refillThread;
  std::atomic<bool> stopping{false};
};

// Opens the default device, queues the stream's two silent refills, starts
// playback and the refill thread (which keeps trying when no device opens).
bool startAudio(AudioOutput& audio, Demo& demo);

// An SDL_AUDIODEVICEADDED or SDL_AUDIODEVICEREMOVED event, from the thread
// that handles events; the refill thread acts on it.
void audioDeviceEvent(AudioOutput& audio, const SDL_AudioDeviceEvent& event);

// The refill thread's loop (runs until stopping is set).
void runAudioRefills(AudioOutput& audio);

// Ends the refill thread and closes the device.
void stopAudio(AudioOutput& audio);

}  // namespace corvexa
