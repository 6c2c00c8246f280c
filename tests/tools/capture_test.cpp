// corvexa-tool capture: the video's frames, size, length and sound as ffmpeg
// reads them back, and every way it can fail without leaving a file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "effects/framebuffer.h"
#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

// Runs a shell command; its exit status (-1 when it did not exit).
int shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// ffprobe's key=value description of one stream ("v:0" or "a:0"), frames counted.
std::map<std::string, std::string> probeStream(const std::string& file, const std::string& stream,
                                               const std::string& scratch) {
  std::string listing = scratch + "/probe.txt";
  EXPECT_EQ(shell("ffprobe -v error -count_frames -select_streams " + stream +
                  " -show_entries stream=codec_name,width,height,pix_fmt,nb_read_frames,"
                  "duration_ts,time_base,sample_rate,channels -of default=nw=1 " +
                  file + " >" + listing),
            0);
  std::map<std::string, std::string> entries;
  std::ifstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    size_t equals = line.find('=');
    if (equals != std::string::npos) entries[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return entries;
}

// Seconds a stream lasts by its container's own count of time units.
double streamSeconds(const std::map<std::string, std::string>& stream) {
  const std::string& base = stream.at("time_base");  // "1/44100"
  double units = std::stod(base.substr(base.find('/') + 1));
  return std::stod(stream.at("duration_ts")) / units;
}

// The video's frames decoded to 8-bit red, green, blue.
std::vector<uint8_t> decodeFrames(const std::string& file, const std::string& scratch) {
  std::string raw = scratch + "/decoded.rgb";
  EXPECT_EQ(shell("ffmpeg -v error -y -i " + file + " -map 0:v -f rawvideo -pix_fmt rgb24 " + raw),
            0);
  return readBytes(raw);
}

// The video's sound decoded to 16-bit samples.
std::vector<int16_t> decodeSound(const std::string& file, const std::string& scratch) {
  std::string raw = scratch + "/decoded.s16";
  EXPECT_EQ(shell("ffmpeg -v error -y -i " + file + " -map 0:a -f s16le " + raw), 0);
  std::vector<uint8_t> bytes = readBytes(raw);
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); i++)
    samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return samples;
}

// The engine's frame at tick as `frames --raw` wrote it, enlarged scale times
// with square pixels, as 8-bit red, green, blue.
std::vector<uint8_t> engineFrame(const ScratchDirectory& dir, int32_t tick, int32_t scale) {
  char name[32];
  std::snprintf(name, sizeof name, "tick-%05d.u32", tick);
  std::vector<uint8_t> raw = readBytes(dir / name);
  EXPECT_EQ(raw.size(), 4u * kPixelCount) << name;
  std::vector<uint8_t> rgb;
  if (raw.size() != 4u * kPixelCount) return rgb;
  for (int32_t y = 0; y < kScreenHeight * scale; y++)
    for (int32_t x = 0; x < kScreenWidth * scale; x++) {
      size_t at = 4 * static_cast<size_t>((y / scale) * kScreenWidth + x / scale);
      rgb.insert(rgb.end(), {raw[at], raw[at + 1], raw[at + 2]});
    }
  return rgb;
}

// Frame index (from 0) of decoded frames at width x height.
std::vector<uint8_t> frameOf(const std::vector<uint8_t>& decoded, int64_t index, int32_t width,
                             int32_t height) {
  size_t size = static_cast<size_t>(width) * height * 3;
  if (decoded.size() < (index + 1) * size) return {};
  return std::vector<uint8_t>(decoded.begin() + index * size, decoded.begin() + (index + 1) * size);
}

bool onlyEntry(const ScratchDirectory& dir, const std::string& name) {
  int32_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
    entries++;
    if (entry.path().filename() != name) return false;
  }
  return entries == 1;
}

TEST(CaptureCommand, LosslessFramesAndSoundAreTheEnginesAtTheirTicks) {
  ScratchDirectory dir("capture-lossless");
  // 60 Hz: one tick per frame. 30 Hz: one tick per frame until the rate is
  // first measured at the 120th frame, two ticks per frame from then on.
  ToolResult at60 =
      runTool("capture --out " + (dir / "60.mp4") + " --seconds 2 --scale 2 --lossless");
  ASSERT_EQ(at60.status, 0) << at60.output;
  ToolResult at30 =
      runTool("capture --out " + (dir / "30.mp4") + " --seconds 5 --scale 1 --fps 30 --lossless");
  ASSERT_EQ(at30.status, 0) << at30.output;
  ToolResult frames = runTool("frames --raw --ticks 1-120,122,180 --out-dir " + dir.path.string());
  ASSERT_EQ(frames.status, 0) << frames.output;

  auto video = probeStream(dir / "60.mp4", "v:0", dir.path);
  EXPECT_EQ(video["codec_name"], "h264");
  EXPECT_EQ(video["width"], "640");
  EXPECT_EQ(video["height"], "360");
  EXPECT_EQ(video["nb_read_frames"], "120");
  std::vector<uint8_t> decoded = decodeFrames(dir / "60.mp4", dir.path);
  ASSERT_EQ(decoded.size(), 120u * 640 * 360 * 3);
  for (int32_t tick = 1; tick <= 120; tick++)
    ASSERT_TRUE(frameOf(decoded, tick - 1, 640, 360) == engineFrame(dir, tick, 2))
        << "frame at tick " << tick;

  // The sound is the audio output's stream (of which `stream` is tested
  // against the engine), sample for sample, cut to the video's length.
  ToolResult stream = runTool("stream --samples 220500 --out " + (dir / "stream.wav"));
  ASSERT_EQ(stream.status, 0) << stream.output;
  std::vector<uint8_t> wav = readBytes(dir / "stream.wav");
  ASSERT_EQ(wav.size(), 44u + 2 * 220500);
  std::vector<int16_t> streamed(220500);
  for (size_t i = 0; i < streamed.size(); i++)
    streamed[i] = static_cast<int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
  EXPECT_TRUE(decodeSound(dir / "60.mp4", dir.path) ==
              std::vector<int16_t>(streamed.begin(), streamed.begin() + 88200));
  EXPECT_TRUE(decodeSound(dir / "30.mp4", dir.path) == streamed);

  EXPECT_EQ(probeStream(dir / "30.mp4", "v:0", dir.path)["nb_read_frames"], "150");
  decoded = decodeFrames(dir / "30.mp4", dir.path);
  const std::pair<int32_t, int32_t> frameTicks[] = {{0, 1}, {119, 120}, {120, 122}, {149, 180}};
  for (auto [frame, tick] : frameTicks)
    EXPECT_TRUE(frameOf(decoded, frame, 320, 180) == engineFrame(dir, tick, 1))
        << "frame " << frame << " at tick " << tick;
}

TEST(CaptureCommand, PlayableMp4OfTheRightSizeLengthAndSound) {
  ScratchDirectory dir("capture-mp4");
  // 50 Hz: 2.6 s are 130 frames and 114,660 samples.
  ToolResult result =
      runTool("capture --out " + (dir / "show.mp4") + " --seconds 2.6 --scale 3 --fps 50");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_TRUE(onlyEntry(dir, "show.mp4"));

  auto video = probeStream(dir / "show.mp4", "v:0", dir.path);
  EXPECT_EQ(video["codec_name"], "h264");
  EXPECT_EQ(video["pix_fmt"], "yuv420p");
  EXPECT_EQ(video["width"], "960");
  EXPECT_EQ(video["height"], "540");
  EXPECT_EQ(video["nb_read_frames"], "130");
  EXPECT_NEAR(streamSeconds(video), 2.6, 1e-6);
  auto audio = probeStream(dir / "show.mp4", "a:0", dir.path);
  EXPECT_EQ(audio["codec_name"], "aac");
  EXPECT_EQ(audio["sample_rate"], "44100");
  EXPECT_EQ(audio["channels"], "1");
  // AAC codes whole blocks of 1,024 samples; the file's own length may differ
  // from the 114,660 sent by a few samples.
  EXPECT_NEAR(streamSeconds(audio), 2.6, 0.005);

  // The index sits before the media data, so players can start at once.
  std::vector<uint8_t> bytes = readBytes(dir / "show.mp4");
  std::string text(bytes.begin(), bytes.end());
  EXPECT_LT(text.find("moov"), text.find("mdat"));

  // The first and the last frame against the engine's: close, within what
  // yuv420p and the encoder lose (a frame one tick off is about 3 per channel
  // away). At 50 Hz the rate measured at the 120th frame makes the increment
  // 19.2 ms, so the 125th and the 130th frames run two ticks: the 130th shows 132.
  ToolResult frames = runTool("frames --raw --ticks 1,132 --out-dir " + dir.path.string());
  ASSERT_EQ(frames.status, 0) << frames.output;
  std::vector<uint8_t> decoded = decodeFrames(dir / "show.mp4", dir.path);
  for (auto [frame, tick] : {std::pair{0, 1}, std::pair{129, 132}}) {
    std::vector<uint8_t> got = frameOf(decoded, frame, 960, 540);
    std::vector<uint8_t> want = engineFrame(dir, tick, 3);
    ASSERT_EQ(got.size(), want.size()) << "frame " << frame;
    int64_t totalError = 0;
    for (size_t i = 0; i < got.size(); i++) totalError += std::abs(got[i] - want[i]);
    EXPECT_LT(static_cast<double>(totalError) / got.size(), 1.5) << "frame " << frame;
  }
}

// Twenty seconds at 75 and 144 Hz end on the tick due then: one a frame for
// the first 120 frames, 60 a second after them (within a tick).
TEST(CaptureCommand, TwentySecondsAtOtherRatesEndOnTheTickDue) {
  ScratchDirectory dir("capture-rates");
  for (int32_t fps : {75, 144}) {
    const std::string video = dir / (std::to_string(fps) + ".mp4"), last = dir / "last.rgb";
    ToolResult result = runTool("capture --out " + video +
                                " --seconds 20 --scale 1 --lossless --fps " + std::to_string(fps));
    ASSERT_EQ(result.status, 0) << result.output;
    ASSERT_EQ(shell("ffmpeg -v error -sseof -0.2 -i " + video +
                    " -map 0:v -f rawvideo -pix_fmt rgb24 -y " + last),
              0);
    std::vector<uint8_t> frames = readBytes(last);
    ASSERT_GE(frames.size(), 3u * kPixelCount);
    const int32_t due = 120 + (20 * fps - 120) * 60 / fps;
    ToolResult engine = runTool("frames --raw --ticks " + std::to_string(due - 1) + "-" +
                                std::to_string(due + 1) + " --out-dir " + dir.path.string());
    ASSERT_EQ(engine.status, 0) << engine.output;
    std::vector<uint8_t> shown(frames.end() - 3 * kPixelCount, frames.end());
    int32_t matches = 0;
    for (int32_t tick = due - 1; tick <= due + 1; tick++)
      matches += shown == engineFrame(dir, tick, 1);
    EXPECT_GE(matches, 1) << fps << " Hz: the last frame is none of ticks " << due - 1 << " to "
                          << due + 1;
  }
}

TEST(CaptureCommand, BadArgumentsGiveOneLineAndStatus2) {
  ScratchDirectory dir("capture-bad");
  const std::string out = dir / "bad.mp4";
  for (std::string arguments :
       {std::string("capture"), "capture --out " + out + " --scale 0",
        "capture --out " + out + " --scale 13", "capture --out " + out + " --scale two",
        "capture --out " + out + " --fps 0", "capture --out " + out + " --fps 241",
        "capture --out " + out + " --seconds 0", "capture --out " + out + " --seconds -1",
        "capture --out " + out + " --seconds 3601", "capture --out " + out + " --seconds nan",
        "capture --out " + out + " --seconds 0.001", "capture --out " + out + " --bogus",
        "capture --out " + dir.path.string()}) {
    ToolResult result = runTool(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1)
        << arguments << ": " << result.output;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

// A stand-in for ffmpeg in a directory of its own, put first on PATH.
struct FakeFfmpeg {
  std::string oldPath = std::getenv("PATH");
  FakeFfmpeg(const ScratchDirectory& dir, const std::string& script) {
    std::filesystem::create_directories(dir / "bin");
    std::ofstream(dir / "bin/ffmpeg") << "#!/bin/sh\n" << script << "\n";
    chmod((dir / "bin/ffmpeg").c_str(), 0755);
    setenv("PATH", ((dir / "bin") + ":" + oldPath).c_str(), 1);
  }
  ~FakeFfmpeg() { setenv("PATH", oldPath.c_str(), 1); }
};

TEST(CaptureCommand, FailuresLeaveNoFileAndSaySo) {
  ScratchDirectory dir("capture-fail");
  const std::string out = dir / "show.mp4";
  const std::string capture = "capture --out " + out + " --seconds 2 --scale 1";

  ToolResult noDirectory = runTool("capture --out " + (dir / "missing/show.mp4") + " --seconds 1");
  EXPECT_EQ(noDirectory.status, 1) << noDirectory.output;
  EXPECT_NE(noDirectory.output.find("missing/show.mp4"), std::string::npos) << noDirectory.output;

  {
    std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir / "nowhere").c_str(), 1);
    ToolResult noFfmpeg = runTool(capture);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(noFfmpeg.status, 1) << noFfmpeg.output;
    EXPECT_NE(noFfmpeg.output.find("Debian package ffmpeg"), std::string::npos) << noFfmpeg.output;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));

  // An earlier video stays as it was whatever goes wrong.
  std::ofstream(out) << "earlier video";
  const std::string scripts[] = {
      "exit 1",                                      // fails before reading anything
      "head -c 100000 >/dev/null; exit 0",           // stops reading, says nothing
      "cat >/dev/null; cat <&3 >/dev/null; exit 3",  // reads everything, then fails
      "cat >/dev/null; cat <&3 >/dev/null; exit 0",  // claims success, writes nothing
      "for last; do :; done; echo partial >\"${last#file:}\"; kill -9 $$",  // dies mid-file
  };
  // A full disk: ffmpeg's writes fail (EFBIG here, as ENOSPC would) once the
  // file passes 1 KiB (2 KiB where sh is bash, which counts in KiB), the size
  // limit's signal being ignored. The video is about 7 KiB.
  {
    const std::string log = dir.path.string() + "-full.txt";
    EXPECT_EQ(shell("trap '' XFSZ; ulimit -f 2; " + std::string(CORVEXA_TOOL) + " " + capture +
                    " >" + log + " 2>&1"),
              1);
    std::vector<uint8_t> message = readBytes(log);
    EXPECT_NE(std::string(message.begin(), message.end()).find("not written"), std::string::npos);
    std::filesystem::remove(log);
    EXPECT_TRUE(onlyEntry(dir, "show.mp4"));
    std::vector<uint8_t> kept = readBytes(out);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier video");
  }
  for (const std::string& script : scripts) {
    FakeFfmpeg fake(dir, script);
    ToolResult result = runTool(capture);
    EXPECT_EQ(result.status, 1) << script << ": " << result.output;
    EXPECT_NE(result.output.find("not written"), std::string::npos)
        << script << ": " << result.output;
    std::filesystem::remove_all(dir / "bin");
    EXPECT_TRUE(onlyEntry(dir, "show.mp4")) << script;
    std::vector<uint8_t> kept = readBytes(out);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier video") << script;
  }
}

}  // namespace
