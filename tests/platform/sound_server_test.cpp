// The demo program playing into a real sound server (PulseAudio, started in
// a folder of the test's own with one null sink): the sink is taken away
// while the song plays and brought back, and the song must go on from where
// it was heard last, while the picture keeps moving.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/audio_stream.h"
#include "core/demo_state.h"
#include "demo_window.h"
#include "music/audio_format.h"
#include "show_checks.h"

using namespace corvexa;

namespace {

constexpr int32_t kPiece = 1024;  // samples compared to find a place in the song
// The sink and the recordings take the sound as it is: no conversion.
const std::string kFormat = "format=s16le rate=" + std::to_string(kSampleRate) + " channels=1";
const std::string kSink = "load-module module-null-sink sink_name=spk " + kFormat;

// A busy machine may starve the device for a moment: the sink then records
// silence, and the song goes on after it. A run of this many zeros is taken
// for such a gap.
constexpr int32_t kUnderrun = 64;

// Every position at which the song, halved, holds samples[from .. to).
std::vector<int32_t> placesInSong(const std::vector<int16_t>& samples, size_t from, size_t to,
                                  const int16_t* song, int32_t count) {
  std::vector<int32_t> places;
  int32_t length = static_cast<int32_t>(to - from);
  for (int32_t p = 0; p + length <= count; p++) {
    int32_t i = 0;
    while (i < length && song[p + i] >> 1 == samples[from + i]) i++;
    if (i == length) places.push_back(p);
  }
  return places;
}

// The sound's last (or first) stretch with no such gap in it, at most kPiece
// samples of it next to that end, as [from, to); nothing when under 256.
std::optional<std::pair<size_t, size_t>> soundPiece(const std::vector<int16_t>& samples,
                                                    bool last) {
  size_t from = 0, to = samples.size();
  while (from < to && samples[from] == 0) from++;
  while (to > from && samples[to - 1] == 0) to--;
  int32_t zeros = 0;
  if (last) {
    for (size_t i = to; i > from && zeros < kUnderrun; i--) {
      zeros = samples[i - 1] == 0 ? zeros + 1 : 0;
      if (zeros == kUnderrun) from = i - 1 + kUnderrun;
    }
    while (from < to && samples[from] == 0) from++;
    if (to - from > kPiece) from = to - kPiece;
  } else {
    for (size_t i = from; i < to && zeros < kUnderrun; i++) {
      zeros = samples[i] == 0 ? zeros + 1 : 0;
      if (zeros == kUnderrun) to = i + 1 - kUnderrun;
    }
    while (to > from && samples[to - 1] == 0) to--;
    if (to - from > kPiece) to = from + kPiece;
  }
  if (to - from < 256) return std::nullopt;
  return std::make_pair(from, to);
}

class SoundServer {
 public:
  explicit SoundServer(const std::string& dir) : dir_(dir) {
    std::ofstream(dir + "/server.pa") << "load-module module-native-protocol-unix\n"
                                      << "load-module module-cli-protocol-unix\n"
                                      << kSink << "\nset-default-sink spk\n";
    server_ = std::make_unique<DemoRun>(
        nullptr, environment(),
        std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                 "--disallow-exit", "-F", dir + "/server.pa",
                                 "--log-target=file:" + dir + "/server.log"});
  }
  DemoRun::Environment environment() const {
    return {{"XDG_RUNTIME_DIR", dir_ + "/run"}, {"HOME", dir_}};
  }
  // A pulseaudio-utils command line against this server; true when it succeeds.
  bool run(const std::string& command, std::string* out = nullptr) const {
    std::string line =
        "export XDG_RUNTIME_DIR=" + dir_ + "/run HOME=" + dir_ + "; (" + command + ") 2>&1";
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) return false;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
      if (out) out->append(buffer, n);
    return pclose(pipe) == 0;
  }
  // Waits up to timeoutMs for command's output to contain text.
  bool waitFor(const std::string& command, const std::string& text, int32_t timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
      std::string out;
      if (run(command, &out) && out.find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
  }
  // parec on the sink's monitor, into file.
  std::unique_ptr<DemoRun> record(const std::string& file) const {
    return std::make_unique<DemoRun>(
        nullptr, environment(),
        std::vector<std::string>{"sh", "-c",
                                 "exec parec -d spk.monitor --raw --format=s16le --rate=" +
                                     std::to_string(kSampleRate) + " --channels=1 > " + file});
  }

 private:
  std::string dir_;
  std::unique_ptr<DemoRun> server_;
};

}  // namespace

TEST(SoundServer, TheSongGoesOnWhereItWasWhenTheDeviceComesBack) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  const int16_t* song = state->pcmBuffer.items;
  int32_t count = state->renderedSampleCount;
  ScratchDirectory scratch("sound-server");
  const std::string& dir = scratch.path;
  SoundServer server(dir);
  ASSERT_TRUE(server.waitFor("pactl info", "Default Sink: spk", 10000)) << "no sound server";

  auto before = server.record(dir + "/before.raw");
  ASSERT_TRUE(server.waitFor("pactl list source-outputs", "parec", 5000));
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun::Environment environment = server.environment();
  environment.push_back({"SDL_AUDIODRIVER", "pulseaudio"});
  DemoRun demo(&display, environment);
  ASSERT_TRUE(demo.waitForTick(1, 20000)) << demo.errors();
  demo.readFor(2500);

  // The sink goes: its recording ends, and for 1.5 s there is no device at all.
  ASSERT_TRUE(server.run("pactl unload-module module-null-sink"));
  EXPECT_TRUE(before->waitForExit(3000)) << "parec went on without its sink";
  size_t gapStart = demo.trace().size();
  demo.readFor(1500);
  // It comes back suspended, so that its recording starts before the program
  // can play into it: the CLI runs both lines before any other client's request.
  ASSERT_TRUE(server.run("printf '" + kSink + "\\nsuspend-sink spk 1\\n' | pacmd"));
  auto after = server.record(dir + "/after.raw");
  EXPECT_TRUE(server.waitFor("pactl list source-outputs", "parec", 5000));
  EXPECT_TRUE(server.waitFor("pactl list sink-inputs", "corvexa", 5000))
      << "the program did not open the new sink\n"
      << demo.errors();
  ASSERT_TRUE(server.run("pactl suspend-sink spk 0"));
  demo.readFor(2000);
  kill(after->pid(), SIGTERM);
  after->waitForExit(2000);

  // The picture never waited for the sound meanwhile.
  const std::vector<TraceLine>& trace = demo.trace();
  ASSERT_GT(trace.size(), gapStart + 20) << "frames stopped when the device went";
  int64_t longest = 0;
  for (size_t i = gapStart; i < trace.size(); i++)
    longest = std::max(longest, trace[i].ms - trace[i - 1].ms);
  EXPECT_LT(longest, 750) << "ms between two frames while the device changed";
  display.run("xdotool key Escape");
  EXPECT_EQ(demo.waitForExit(3000), 0) << demo.errors();

  // The last samples heard before the gap, and the first after it, found in
  // the song: the second follow the first (within a refill, which the lost
  // device may have taken with it), and the song did not start over.
  std::vector<int16_t> heard = readSamples(dir + "/before.raw");
  auto lastHeard = soundPiece(heard, true);
  ASSERT_TRUE(lastHeard) << "nothing was heard before the gap";
  std::vector<int32_t> reached =
      placesInSong(heard, lastHeard->first, lastHeard->second, song, count);
  ASSERT_EQ(reached.size(), 1u) << "the sound before the gap is not the song's, once";
  int32_t gapAt = reached[0] + static_cast<int32_t>(lastHeard->second - lastHeard->first);

  std::vector<int16_t> resumed = readSamples(dir + "/after.raw");
  auto firstHeard = soundPiece(resumed, false);
  ASSERT_TRUE(firstHeard) << "nothing was heard after the gap";
  EXPECT_GE(resumed.size() - firstHeard->first, static_cast<size_t>(kSampleRate))
      << "under a second of sound after the gap";
  std::vector<int32_t> goesOn =
      placesInSong(resumed, firstHeard->first, firstHeard->second, song, count);
  ASSERT_EQ(goesOn.size(), 1u) << "the sound after the gap is not the song's, once";
  std::printf(
      "heard up to sample %d, went on at %d (%d later); %lld frames in %lld ms, at most "
      "%lld ms apart\n",
      gapAt, goesOn[0], goesOn[0] - gapAt, static_cast<long long>(trace.size() - gapStart),
      static_cast<long long>(trace.back().ms - trace[gapStart - 1].ms),
      static_cast<long long>(longest));
  // (A song that started over would go on at its first samples.)
  EXPECT_GT(gapAt, 4 * kAudioRefillSamples) << "too little of the song was heard before the gap";
  EXPECT_LE(std::abs(goesOn[0] - gapAt), kAudioRefillSamples)
      << "heard up to " << gapAt << ", went on at " << goesOn[0];
}
