#include "platform/audio_output.h"

#include <chrono>
#include <cstring>

#include "platform/report.h"

namespace corvexa {

namespace {

constexpr uint32_t kBufferBytes = kAudioRefillSamples * sizeof(AudioSample);
constexpr int32_t kRecentSamples = sizeof(AudioOutput::recent) / sizeof(AudioSample);

bool silent(const char* what) {
  reportNote("%s (%s); the show runs without sound", what, SDL_GetError());
  return false;
}

void sleepMs(int32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Reads the stream's next refill into the end of recent, and queues it.
bool queueRefill(AudioOutput& audio, SDL_AudioDeviceID device) {
  AudioSample* refill = audio.recent + kRecentSamples - kAudioRefillSamples;
  std::memmove(audio.recent, audio.recent + kAudioRefillSamples,
               (kRecentSamples - kAudioRefillSamples) * sizeof(AudioSample));
  audio.stream->read(refill, kAudioRefillSamples);
  audio.unplayed += kAudioRefillSamples;
  return SDL_QueueAudio(device, refill, kBufferBytes) == 0;
}

// Opens the default output and queues what the last device left unplayed,
// then refills until two refills' worth waits, then starts playback. The
// first time, that is the stream's two silent refills, so the device's first
// samples are exactly the stream's.
SDL_AudioDeviceID openDevice(AudioOutput& audio) {
  SDL_AudioSpec wanted{};
  static_assert(sizeof(AudioSample) == 2);
  wanted.freq = kSampleRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kAudioChannels;
  wanted.samples = kAudioDeviceSamples;
  wanted.callback = nullptr;  // queued, not pulled
  // No changes allowed: SDL converts to whatever the device really takes.
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) return 0;
  if (audio.unplayed > kRecentSamples) audio.unplayed = kRecentSamples;
  bool queued = SDL_QueueAudio(device, audio.recent + kRecentSamples - audio.unplayed,
                               static_cast<uint32_t>(audio.unplayed) * sizeof(AudioSample)) == 0;
  while (queued && audio.unplayed <= kAudioRefillSamples) queued = queueRefill(audio, device);
  if (!queued) {
    SDL_CloseAudioDevice(device);
    return 0;
  }
  SDL_PauseAudioDevice(device, 0);
  audio.device = device;
  return device;
}

}  // namespace

bool startAudio(AudioOutput& audio, Demo& demo) {
  audio.stream.emplace(demo);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return silent("no audio driver");
  bool opened = openDevice(audio) != 0;
  if (!opened) {
    reportNote("no audio device (%s); the show runs without sound until one appears",
               SDL_GetError());
  }
  audio.stopping = false;
  audio.refillThread = std::thread(runAudioRefills, std::ref(audio));
  return opened;
}

void audioDeviceEvent(AudioOutput& audio, const SDL_AudioDeviceEvent& event) {
  if (event.iscapture) return;
  SDL_AudioDeviceID device = audio.device;
  bool ours = event.type == SDL_AUDIODEVICEREMOVED && device != 0 && event.which == device;
  bool wanted = event.type == SDL_AUDIODEVICEADDED && device == 0;
  if (ours || wanted) audio.reopen = true;
}

void runAudioRefills(AudioOutput& audio) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point nextTry = Clock::now();
  while (!audio.stopping.load(std::memory_order_relaxed)) {
    SDL_AudioDeviceID device = audio.device;
    if (device != 0 && audio.reopen.exchange(false)) {
      reportNote("the audio device went away; the sound goes on when one is there");
      // Besides its queue, the device had taken about a buffer of its own
      // that it never played.
      audio.unplayed += kAudioDeviceSamples;
      audio.device = 0;
      SDL_CloseAudioDevice(device);
      device = 0;
      nextTry = Clock::now();
    }
    if (device == 0) {
      // An added device is tried at once, else one try a second.
      if (audio.reopen.exchange(false) || Clock::now() >= nextTry) {
        if (openDevice(audio) != 0) {
          reportNote("the sound goes on on the default audio device");
          continue;
        }
        nextTry = Clock::now() + std::chrono::milliseconds(kAudioRetryMs);
      }
      sleepMs(kAudioPollMs);
      continue;
    }
    // A lost device is stopped: it gets nothing more until it is replaced.
    if (SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_PLAYING) {
      sleepMs(kAudioPollMs);
      continue;
    }
    uint32_t queued = SDL_GetQueuedAudioSize(device);
    audio.unplayed = static_cast<int32_t>(queued / sizeof(AudioSample));
    if (queued > kBufferBytes) {
      sleepMs(kAudioPollMs);
      continue;
    }
    // SDL_QueueAudio fails only when it cannot allocate: a lost sound, not a
    // lost device, and the next refill tries again.
    queueRefill(audio, device);
  }
}

void stopAudio(AudioOutput& audio) {
  audio.stopping = true;
  if (audio.refillThread.joinable()) audio.refillThread.join();
  SDL_AudioDeviceID device = audio.device;
  if (device != 0) SDL_CloseAudioDevice(device);
  audio.device = 0;
}

}  // namespace corvexa
