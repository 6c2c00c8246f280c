// corvexa-tool capture --out OUT.mp4 [--seconds S] [--scale K] [--fps F] [--lossless]
//
// Renders the show without a display into a video file that any player opens:
// H.264 (yuv420p) and AAC in MP4, with the index at the front (+faststart).
//
// The engine runs as on a display of F frames a second (60 by default): one
// frameStep per frame with a clock that advances 1000 / F ms per frame in whole
// milliseconds, so the frame driver's rate measurement picks the ticks per
// frame exactly as it would live (one per frame at 60, two at 30, one and now
// and then two at 50). Each frame is enlarged K times (by ffmpeg) with nearest-neighbour
// pixels (4 by default: 1280 x 720). The sound is what the audio output sends
// to the device: 4,096 samples of silence, then the song halved and looping,
// cut to exactly the video's length.
//
// Without --seconds the video holds the whole show and 20 seconds of its last
// scene. --lossless stores every pixel and sample exactly (H.264 in RGB at
// quantiser 0, FLAC), for comparing with the engine; not every player plays
// such files.
//
// ffmpeg does the encoding. Frames go to its standard input and the sound to
// its descriptor 3, each pipe fed by its own thread, one frame and one small
// block of sound in memory at a time. ffmpeg writes OUT as every tool's
// output is written (tools/common/output_file.h): under a temporary name that
// becomes OUT only when everything succeeded, so that on any failure (ffmpeg
// missing or failing, a full disk, an interrupt) no OUT appears and an
// existing OUT stays as it was.
//
// The old spelling `capture OUT` still works for this release, with a note.
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core/audio_stream.h"
#include "core/demo_state.h"
#include "music/audio_format.h"
#include "tools/common/child_process.h"
#include "tools/common/interrupts.h"
#include "tools/common/output_file.h"
#include "tools/common/start_show.h"
#include "tools/corvexa-tool/command.h"
#include "tools/corvexa-tool/progress_line.h"
#include "tools/corvexa-tool/show_clock.h"

namespace corvexa::corvexa_tool {

namespace {

constexpr int32_t kLastSceneSeconds = 20;  // shown of the last scene by default
constexpr double kMaxSeconds = 3600;       // an hour of video at most
constexpr int32_t kMaxScale = 12;          // 3840 x 2160
constexpr int32_t kMaxFramesPerSecond = 240;
constexpr int32_t kPipeBlockSamples = 4096;  // samples written to ffmpeg at a time

struct CaptureOptions {
  std::string out;
  double seconds = 0;
  tools::Arguments arguments;  // whether --seconds was given, and as what
  int32_t scale = 4;
  int32_t framesPerSecond = 60;
  bool lossless = false;
};

// What the video holds, worked out before anything runs.
struct CapturePlan {
  int64_t frames = 0;
  int64_t samples = 0;  // frames' duration at 44,100 Hz, rounded to the nearest sample
  int32_t width = 0;
  int32_t height = 0;
};

using tools::interrupted;

CapturePlan planCapture(const CaptureOptions& options) {
  const int32_t fps = options.framesPerSecond;
  if (fps < 1 || fps > kMaxFramesPerSecond)
    throw ToolFailure("bad --fps " + std::to_string(fps) + ": the display rate runs from 1 to " +
                      std::to_string(kMaxFramesPerSecond));
  if (options.scale < 1 || options.scale > kMaxScale)
    throw ToolFailure("bad --scale " + std::to_string(options.scale) +
                      ": the scale is a whole number from 1 to " + std::to_string(kMaxScale));
  CapturePlan plan;
  if (options.arguments.given("--seconds")) {
    if (!std::isfinite(options.seconds) || options.seconds <= 0 || options.seconds > kMaxSeconds)
      throw ToolFailure("bad --seconds " + options.arguments.written("--seconds") +
                        ": the length runs from one frame to " +
                        std::to_string(static_cast<int32_t>(kMaxSeconds)) + " seconds");
    plan.frames = std::llround(options.seconds * fps);
    if (plan.frames < 1)
      throw ToolFailure("bad --seconds " + options.arguments.written("--seconds") +
                        ": shorter than one frame at " + std::to_string(fps) + " fps");
  } else {
    plan.frames = framesBeforeTick(kLastSceneTick, fps) + int64_t{kLastSceneSeconds} * fps;
  }
  plan.samples = (plan.frames * kSampleRate + fps / 2) / fps;
  plan.width = kScreenWidth * options.scale;
  plan.height = kScreenHeight * options.scale;
  return plan;
}

std::vector<std::string> ffmpegArguments(const CaptureOptions& options, const CapturePlan& plan,
                                         const std::string& output) {
  std::vector<std::string> arguments = {
      "ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
      // Every error fails the run: without this a full disk while writing the
      // index is only logged, and ffmpeg exits 0 with a truncated file.
      "-xerror",
      // The frames as the engine draws them, 320 x 180 of 8-bit red, green,
      // blue, top row first; ffmpeg enlarges them (below). It queues a few
      // (its default 8) so that its memory stays small.
      "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size",
      std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight), "-framerate",
      std::to_string(options.framesPerSecond), "-i", "pipe:0",
      // The sound: 16-bit little-endian mono samples.
      "-f", "s16le", "-ar", std::to_string(kSampleRate), "-ac", std::to_string(kAudioChannels),
      "-thread_queue_size", "64", "-i", "pipe:3", "-map", "0:v", "-map", "1:a"};
  // Each engine pixel becomes a square of scale x scale pixels (nearest
  // neighbour), in the same pass as the conversion to the video's colours:
  // far less to pipe and convert than frames enlarged beforehand.
  const std::string enlarge =
      "scale=" + std::to_string(plan.width) + ":" + std::to_string(plan.height) + ":flags=neighbor";
  if (options.lossless) {
    // FLAC in MP4 is still marked experimental in ffmpeg, hence -strict -2.
    const std::string lossless[] = {"-vf",  enlarge,   "-c:v",      "libx264rgb", "-qp",
                                    "0",    "-preset", "ultrafast", "-pix_fmt",   "rgb24",
                                    "-c:a", "flac",    "-strict",   "-2"};
    arguments.insert(arguments.end(), std::begin(lossless), std::end(lossless));
  } else {
    // Studio-range BT.709, stated in the file, so players show the colours as drawn.
    // x264's fastest preset: the picture's flat colours compress well even so
    // (about 0.4 MB a second at 720p), and it encodes several times faster than
    // the show plays, where "veryfast" kept up with it only just.
    // clang-format off
    const std::string playable[] = {
        "-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-tune", "animation",
        "-vf", enlarge + ":out_color_matrix=bt709:out_range=tv", "-pix_fmt", "yuv420p",
        "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
        "-color_range", "tv",
        "-c:a", "aac", "-b:a", "192k"};
    // clang-format on
    arguments.insert(arguments.end(), std::begin(playable), std::end(playable));
  }
  // "file:" so that a name with a colon or a leading dash is a plain file name.
  const std::string tail[] = {"-movflags", "+faststart", "-f", "mp4", "file:" + output};
  arguments.insert(arguments.end(), std::begin(tail), std::end(tail));
  return arguments;
}

// One frame as ffmpeg reads it: every engine pixel (red | green << 8 |
// blue << 16) as three bytes, red first.
void frameBytes(const Framebuffer& frame, std::vector<uint8_t>& out) {
  out.resize(static_cast<size_t>(kPixelCount) * 3);
  uint8_t* byte = out.data();
  for (uint32_t pixel : frame) {
    *byte++ = static_cast<uint8_t>(pixel);
    *byte++ = static_cast<uint8_t>(pixel >> 8);
    *byte++ = static_cast<uint8_t>(pixel >> 16);
  }
}

// The sound side, run on its own thread: the audio output's stream, cut to
// samples, into fd, which it closes at the end.
struct AudioFeed {
  Demo* demo = nullptr;
  int fd = -1;
  int64_t samples = 0;
  std::atomic<int> error{0};  // errno of a failed write
};

void feedAudio(AudioFeed& feed) {
  // An interrupt goes to the main thread, whose blocked write it ends; that
  // thread then stops ffmpeg, which ends this thread's write too.
  tools::InterruptsBlocked blocked;
  AudioStream stream(*feed.demo);
  int16_t samples[kPipeBlockSamples];
  uint8_t bytes[2 * kPipeBlockSamples];
  while (stream.samplesRead() < feed.samples && !interrupted()) {
    int64_t count = feed.samples - stream.samplesRead();
    if (count > kPipeBlockSamples) count = kPipeBlockSamples;
    stream.read(samples, count);
    for (int64_t i = 0; i < count; i++) {
      bytes[2 * i] = static_cast<uint8_t>(samples[i]);
      bytes[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(samples[i]) >> 8);
    }
    int error = tools::writeAll(feed.fd, bytes, static_cast<size_t>(2 * count), interrupted);
    if (error != 0) {
      feed.error = error;
      break;
    }
  }
  close(feed.fd);
}

int runCapture(const CaptureOptions& options) {
  CapturePlan plan = planCapture(options);
  // Ctrl-C or a kill ends the capture cleanly: the loops see the flag, blocked
  // writes return EINTR, ffmpeg is stopped and waited for, and then the
  // temporary file is removed.
  tools::InterruptHold hold;
  tools::OutputFile output(options.out);  // a bad OUT first: status 2 before 1
  const std::string ffmpeg = tools::findProgram("ffmpeg", "ffmpeg");

  auto state = std::make_unique<DemoState>();
  tools::startShow(*state);
  tools::ChildProcess child = tools::startChild(
      ffmpeg, ffmpegArguments(options, plan, output.writtenPath()), {.thirdPipe = true});

  // From here until the joins nothing throws: the thread must be joined.
  AudioFeed audio;
  audio.demo = state->demo;
  audio.fd = child.thirdFd;
  audio.samples = plan.samples;
  std::thread audioThread;
  try {
    audioThread = std::thread(feedAudio, std::ref(audio));
  } catch (const std::system_error& error) {
    close(child.inputFd);
    close(child.thirdFd);
    kill(child.pid, SIGTERM);
    tools::waitChild(child.pid);
    throw ToolFailure(std::string("cannot start a thread (") + error.what() + ")", kSystemFailed);
  }

  ShowClock clock(*state, options.framesPerSecond);
  ProgressLine progress(plan.frames, options.framesPerSecond);
  std::vector<uint8_t> pixels;
  int videoError = 0;
  int64_t done = 0;
  while (done < plan.frames && videoError == 0 && audio.error == 0 && !interrupted()) {
    frameBytes(clock.step(), pixels);
    videoError = tools::writeAll(child.inputFd, pixels.data(), pixels.size(), interrupted);
    if (videoError == 0) progress.update(++done);
  }
  close(child.inputFd);
  bool stoppedEarly = done < plan.frames;
  // ffmpeg may wait for sound that will not come now; stop it.
  if (stoppedEarly) kill(child.pid, SIGTERM);
  audioThread.join();
  int status = tools::waitChild(child.pid);
  if (stoppedEarly) progress.abandon();

  const std::string notWritten = "; " + options.out + " not written";
  if (interrupted()) throw ToolFailure("interrupted" + notWritten, kSystemFailed);
  if (videoError != 0)
    throw ToolFailure(std::string("ffmpeg stopped taking frames (") + strerror(videoError) +
                          ", ffmpeg " + tools::describeChildStatus(status) + ")" + notWritten,
                      kSystemFailed);
  if (audio.error != 0)
    throw ToolFailure(std::string("ffmpeg stopped taking sound (") + strerror(audio.error) +
                          ", ffmpeg " + tools::describeChildStatus(status) + ")" + notWritten,
                      kSystemFailed);
  if (status != 0)
    throw ToolFailure("ffmpeg failed (" + tools::describeChildStatus(status) + ")" + notWritten,
                      kSystemFailed);
  if (output.size() == 0)
    throw ToolFailure("ffmpeg reported success but wrote nothing" + notWritten, kSystemFailed);
  output.commit();

  std::printf("wrote %s: %lld frames at %d fps (%.3f s), %dx%d, %s, %.1fx real time\n",
              options.out.c_str(), static_cast<long long>(plan.frames), options.framesPerSecond,
              static_cast<double>(plan.frames) / options.framesPerSecond, plan.width, plan.height,
              options.lossless ? "lossless RGB H.264 + FLAC" : "H.264 + AAC",
              progress.speed(plan.frames));
  return 0;
}

}  // namespace

Command addCaptureCommand(const tools::Arguments& line) {
  auto options = std::make_shared<CaptureOptions>();
  tools::Arguments command =
      line.addCommand("capture", "render the show with its sound to an MP4 video (ffmpeg)");
  command.addOutput(options->out, "the video file to write, e.g. corvexa.mp4");
  options->arguments = command;
  command.addOption("--seconds", options->seconds,
                    "length (default: the whole show and 20 s of its last scene)");
  command.addOption("--scale", options->scale, "whole-number enlargement (default 4: 1280x720)");
  command.addOption("--fps", options->framesPerSecond,
                    "display rate to simulate (default 60: one tick per frame)");
  command.addFlag(
      "--lossless", options->lossless,
      "store every pixel and sample exactly (RGB H.264 at quantiser 0, FLAC), for tests");
  // The old spelling: the output as the one positional word.
  auto modernise = [](tools::CommandWords& words) {
    if (tools::nameOldPositionalOutput(words, 1, "--out", {"--seconds", "--scale", "--fps"}, 1))
      tools::noteOldSpelling("corvexa-tool capture", "capture OUT", "capture --out OUT");
  };
  return {command, [options] { return runCapture(*options); }, modernise};
}

}  // namespace corvexa::corvexa_tool
