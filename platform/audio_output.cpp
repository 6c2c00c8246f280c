#include "platform/audio_output.h"

#include <chrono>

#include "platform/report.h"

namespace corvexa {

namespace {

constexpr uint32_t kBufferBytes = kAudioRefillSamples * sizeof(AudioSample);

bool silent(const char* what) {
  reportNote("%s (%s); the show runs without sound", what, SDL_GetError());
  return false;
}

}  // namespace

bool startAudio(AudioOutput& audio, Demo& demo) {
  audio.stream.emplace(demo);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return silent("no audio driver");
  SDL_AudioSpec wanted{};
  static_assert(sizeof(AudioSample) == 2);
  wanted.freq = kSampleRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kAudioChannels;
  wanted.samples = 1024;      // the device's own buffer: under one of ours
  wanted.callback = nullptr;  // queued, not pulled
  // No changes allowed: SDL converts to whatever the device really takes.
  audio.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (audio.device == 0) return silent("no audio device");
  // The stream's first two refills (its silence) go in before playback
  // starts, so the device's first samples are exactly the stream's.
  for (int32_t i = 0; i < 2; i++) {
    audio.stream->read(audio.refill, kAudioRefillSamples);
    if (SDL_QueueAudio(audio.device, audio.refill, kBufferBytes) != 0) {
      silent("the audio device takes no samples");
      SDL_CloseAudioDevice(audio.device);
      audio.device = 0;
      return false;
    }
  }
  SDL_PauseAudioDevice(audio.device, 0);
  audio.stopping = false;
  audio.refillThread = std::thread(runAudioRefills, std::ref(audio));
  return true;
}

void runAudioRefills(AudioOutput& audio) {
  while (!audio.stopping.load(std::memory_order_relaxed)) {
    if (SDL_GetQueuedAudioSize(audio.device) > kBufferBytes) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kAudioPollMs));
      continue;
    }
    audio.stream->read(audio.refill, kAudioRefillSamples);
    if (SDL_QueueAudio(audio.device, audio.refill, kBufferBytes) != 0) {
      silent("the audio device stopped taking samples");
      return;
    }
  }
}

void stopAudio(AudioOutput& audio) {
  audio.stopping = true;
  if (audio.refillThread.joinable()) audio.refillThread.join();
  if (audio.device != 0) SDL_CloseAudioDevice(audio.device);
  audio.device = 0;
}

}  // namespace corvexa
