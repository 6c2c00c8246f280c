// make-song: the committed song is exactly what its score builds, it has the
// shape and level the demo expects, and a bad score is refused with its line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "music/module.h"
#include "music/song.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string output;  // stdout and stderr together
};

Result runMakeSong(const std::string& arguments) {
  Result result;
  std::string command = std::string(MAKE_SONG_TOOL) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<uint8_t> readBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int32_t int16At(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8;
}

int32_t int32At(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                              static_cast<uint32_t>(bytes[at + 3]) << 24);
}

class MakeSong : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("make-song-test-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string writeScore(const std::string& text) {
    fs::path path = dir / "bad.score";
    std::ofstream(path) << text;
    return path.string();
  }

  // Runs make-song on a score and expects it refused with this message.
  void expectRefused(const std::string& score, const std::string& message) {
    std::string path = writeScore(score);
    Result result = runMakeSong(path + " --out " + (dir / "out.gz").string());
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_EQ(result.output, "make-song: " + path + ":" + message + "\n");
    EXPECT_FALSE(fs::exists(dir / "out.gz"));
  }
};

const std::string kScore = std::string(CORVEXA_SOURCE_DIR) + "/assets/song/corvexa.score";
const std::string kSong = std::string(CORVEXA_SOURCE_DIR) + "/assets/data/corvexa.xm.gz";

// A small valid score that the error cases below break one line at a time.
const std::string kSmallScore =
    "song \"test\"\n"                                 // 1
    "channels 2\n"                                    // 2
    "rows 4\n"                                        // 3
    "speed 3\n"                                       // 4
    "order 0 0\n"                                     // 5
    "instrument 1 \"square\"\n"                       // 6
    "  wave square length 32 amplitude 100\n"         // 7
    "  loop forward 0 32\n"                           // 8
    "  envelope 0:64 4:32 sustain 1\n"                // 9
    "pattern 0\n"                                     // 10
    "00 | C-4 01 v64 ... | ... .. ... ...\n"          // 11
    "02 | === .. ... ... | ... .. ... ...  ; off\n";  // 12

std::string replaceLine(const std::string& text, int32_t line, const std::string& with) {
  size_t begin = 0;
  for (int32_t i = 1; i < line; i++) begin = text.find('\n', begin) + 1;
  size_t end = text.find('\n', begin);
  return text.substr(0, begin) + with + text.substr(end);
}

TEST_F(MakeSong, RebuildsTheCommittedSongByteForByte) {
  fs::path built = dir / "corvexa.xm.gz";
  Result result = runMakeSong(kScore + " --out " + built.string());
  ASSERT_EQ(result.status, 0) << result.output;
  std::vector<uint8_t> committed = readBytes(kSong);
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(readBytes(built) == committed)
      << "assets/data/corvexa.xm.gz is not what assets/song/corvexa.score builds";
}

// The preview's figures as --levels prints them.
struct PreviewLevels {
  long long samples = 0, clipped = -1;
  int peak = 0;
  double rms = 0, dc = 0;
};

PreviewLevels previewLevels(const Result& result) {
  PreviewLevels l;
  EXPECT_EQ(std::sscanf(result.output.c_str(),
                        "samples %lld frames %*d xm bytes %*d\npeak %d clipped %lld rms %lf "
                        "dBFS dc %lf",
                        &l.samples, &l.peak, &l.clipped, &l.rms, &l.dc),
            5)
      << result.output;
  return l;
}

TEST_F(MakeSong, SongHasTheShapeTheDemoPlays) {
  fs::path xmPath = dir / "corvexa.xm";
  Result result =
      runMakeSong(kScore + " --out " + (dir / "corvexa.xm.gz").string() + " --xm --levels");
  ASSERT_EQ(result.status, 0) << result.output;

  // One gzip member, without name or time stamp, that Debian's gzip unpacks
  // into the XM file: the trailer's CRC-32 and size are right.
  std::vector<uint8_t> gz = readBytes(kSong);
  ASSERT_GE(gz.size(), 18u);
  EXPECT_EQ(std::vector<uint8_t>(gz.begin(), gz.begin() + 8),
            (std::vector<uint8_t>{0x1F, 0x8B, 8, 0, 0, 0, 0, 0}));
  EXPECT_EQ(std::system(("gzip -dc " + kSong + " | cmp -s - " + xmPath.string()).c_str()), 0);

  // The demo's loader takes it: eight channels, and every looped sample
  // keeps its loop's mean near zero, so a held note adds no offset.
  std::vector<uint8_t> xm = readBytes(xmPath);
  corvexa::Arena arena;
  corvexa::Array<int16_t> output = arena.makeArray<int16_t>(corvexa::kPcmBufferSamples);
  const corvexa::RenderedSong song =
      corvexa::renderSong(arena, {static_cast<int32_t>(xm.size()), xm.data()}, output);
  ASSERT_EQ(song.error, corvexa::LoadError::kNone);
  EXPECT_EQ(song.module->channelCount, corvexa::kMaxChannels);
  for (int32_t i = 0; i < song.module->instrumentCount; i++) {
    const corvexa::Instrument& inst = song.module->instruments[i];
    for (int32_t s = 0; s < inst.sampleCount; s++) {
      const corvexa::Sample& sample = inst.samples[s];
      if (sample.loopType == 0) continue;
      int64_t sum = 0;
      for (int32_t f = sample.loopStart; f < sample.loopStart + sample.loopLength; f++) {
        sum += song.module->samplePool[sample.poolOffset + f];
      }
      EXPECT_LE(std::abs(sum / sample.loopLength), 64) << "instrument " << i + 1 << " sample " << s;
    }
  }

  // As the player mixes it: what start-up renders, nothing at the clamp, loud
  // but not too loud, hardly any offset.
  const PreviewLevels l = previewLevels(result);
  EXPECT_EQ(l.samples, song.sampleCount);
  EXPECT_EQ(l.clipped, 0);
  EXPECT_LT(l.peak, 32767 * 9 / 10);
  EXPECT_GT(l.rms, -16.0);
  EXPECT_LT(l.rms, -12.0);
  EXPECT_LT(std::abs(l.dc), 256.0);
}

TEST_F(MakeSong, StandardPlayerLoadsTheSongWithoutWarnings) {
  if (std::system("openmpt123 --version > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "openmpt123 is not installed";
  }
  fs::path xmPath = dir / "corvexa.xm";
  Result result =
      runMakeSong(kScore + " --out " + (dir / "corvexa.xm.gz").string() + " --xm --levels");
  ASSERT_EQ(result.status, 0) << result.output;
  FILE* pipe = popen(("openmpt123 --info " + xmPath.string() + " 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string info;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) info.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << info;
  EXPECT_NE(info.find("Type.......: xm (FastTracker 2 v1.04)"), std::string::npos) << info;
  EXPECT_EQ(info.find("arning"), std::string::npos) << info;
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  // The standard player times the song as ours renders it, speed and tempo
  // changes and all, but for our whole samples a tick (980 at tempo 113,
  // where a tempo gives 975.66): within half a percent.
  int minutes = 0;
  double seconds = 0;
  const size_t at = info.find("Duration...: ");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Duration...: %d:%lf", &minutes, &seconds), 2) << info;
  const double ours = previewLevels(result).samples / 44100.0;
  EXPECT_NEAR(minutes * 60 + seconds, ours, ours * 0.005);
}

TEST_F(MakeSong, PreviewMixesAtTheStoredAmplitude) {
  // A square of amplitude 100 at volume 64 with no envelope: gain 256 gives
  // frames of 100 x 256; one row of 3 ticks of 882 samples, twice.
  std::string score = replaceLine(kSmallScore, 9, "");
  score = replaceLine(score, 12, "");
  Result result =
      runMakeSong(writeScore(score) + " --out " + (dir / "out.gz").string() + " --levels");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("samples 21168 "), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("peak 25600  clipped 0"), std::string::npos) << result.output;
}

// The sample frames of each instrument in an XM file written by make-song
// (one sample per instrument, 8-bit, delta-coded).
std::vector<std::vector<int8_t>> sampleFrames(const std::vector<uint8_t>& xm) {
  std::vector<std::vector<int8_t>> samples;
  size_t at = 60 + static_cast<size_t>(int32At(xm, 60));
  for (int32_t p = 0; p < int16At(xm, 70); p++) at += 9 + int16At(xm, at + 7);
  for (int32_t i = 0; i < int16At(xm, 72); i++) {
    const size_t header = at + 263;
    const int32_t length = int32At(xm, header);
    std::vector<int8_t> frames;
    int8_t frame = 0;
    for (int32_t f = 0; f < length; f++) {
      frame = static_cast<int8_t>(frame + xm.at(header + 40 + f));
      frames.push_back(frame);
    }
    samples.push_back(frames);
    at = header + 40 + length;
  }
  return samples;
}

TEST_F(MakeSong, SynthesisesEachWave) {
  std::string score =
      "order 0\nrows 1\npattern 0\n"
      "instrument 1 \"square\"\n  wave square length 8 amplitude 100\n"
      "instrument 2 \"pulse\"\n  wave pulse length 8 duty 25 amplitude 90\n"
      "instrument 3 \"saw\"\n  wave saw length 8 amplitude 70\n"
      "instrument 4 \"triangle\"\n  wave triangle length 8 amplitude 80\n"
      "instrument 5 \"sine\"\n  wave sine length 8 amplitude 100\n"
      "instrument 6 \"kick\"\n  wave kick length 400 amplitude 120 start 2000 end 400 fall 300 "
      "decay 700\n"
      "instrument 7 \"noise\"\n  wave noise length 300 amplitude 100 seed 99 decay 0\n"
      "instrument 8 \"noise again\"\n  wave noise length 300 amplitude 100 seed 99 decay 0\n"
      "instrument 9 \"other noise\"\n  wave noise length 300 amplitude 100 seed 98 decay 0\n";
  fs::path xmPath = dir / "waves.xm";
  Result result =
      runMakeSong(writeScore(score) + " --out " + (dir / "waves.xm.gz").string() + " --xm");
  ASSERT_EQ(result.status, 0) << result.output;
  auto samples = sampleFrames(readBytes(xmPath));
  ASSERT_EQ(samples.size(), 9u);
  EXPECT_EQ(samples[0], (std::vector<int8_t>{100, 100, 100, 100, -100, -100, -100, -100}));
  // The short high part takes the amplitude, the long low part balances it.
  EXPECT_EQ(samples[1], (std::vector<int8_t>{90, 90, -30, -30, -30, -30, -30, -30}));
  EXPECT_EQ(samples[2], (std::vector<int8_t>{-70, -50, -30, -10, 10, 30, 50, 70}));
  EXPECT_EQ(samples[3], (std::vector<int8_t>{0, 40, 80, 40, 0, -40, -80, -40}));
  EXPECT_EQ(samples[4], (std::vector<int8_t>{0, 70, 100, 70, 0, -70, -100, -70}));

  // The kick starts at zero, swings to nearly full level and dies away.
  const std::vector<int8_t>& kick = samples[5];
  EXPECT_EQ(kick[0], 0);
  int32_t early = 0, late = 0;
  for (size_t i = 0; i < 50; i++) early = std::max(early, std::abs(int32_t{kick[i]}));
  for (size_t i = 380; i < 400; i++) late = std::max(late, std::abs(int32_t{kick[i]}));
  EXPECT_GE(early, 100);
  EXPECT_LE(late, 5);
  // Its pitch falls: zero crossings come further apart.
  std::vector<size_t> crossings;
  for (size_t i = 1; i < 200; i++) {
    if ((kick[i - 1] < 0) != (kick[i] < 0)) crossings.push_back(i);
  }
  ASSERT_GE(crossings.size(), 4u);
  EXPECT_LT(crossings[1] - crossings[0], crossings.back() - crossings[crossings.size() - 2]);

  // Noise depends on its seed alone, and keeps its amplitude.
  EXPECT_EQ(samples[6], samples[7]);
  EXPECT_NE(samples[6], samples[8]);
  int32_t loudest = 0;
  for (int8_t f : samples[6]) loudest = std::max(loudest, std::abs(int32_t{f}));
  EXPECT_GE(loudest, 95);
  EXPECT_LE(loudest, 100);
}

// The preview's samples, as --wav writes them (16-bit mono after a 44-byte header).
std::vector<int16_t> wavSamples(const fs::path& path) {
  std::vector<uint8_t> bytes = readBytes(path);
  std::vector<int16_t> samples;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    samples.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
  }
  return samples;
}

// Upward zero crossings, interpolated: the frequency of a tone.
double toneFrequency(const std::vector<int16_t>& s, size_t from, size_t to) {
  double first = -1, last = -1;
  int32_t cycles = -1;
  for (size_t i = from + 1; i < to; i++) {
    if (s[i - 1] < 0 && s[i] >= 0) {
      const double at =
          static_cast<double>(i - 1) + -s[i - 1] / static_cast<double>(s[i] - s[i - 1]);
      if (first < 0) first = at;
      last = at;
      cycles++;
    }
  }
  return cycles * 44100.0 / (last - first);
}

// The share of a stretch's power above `hz`, in dB (a plain DFT).
double powerAboveDecibels(const std::vector<int16_t>& s, size_t from, double hz) {
  const size_t n = 4096;
  double above = 0, total = 0;
  for (size_t k = 1; k < n / 2; k++) {
    double re = 0, im = 0;
    for (size_t i = 0; i < n; i++) {
      const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
      re += w * s[from + i] * std::cos(2 * std::numbers::pi * k * i / n);
      im -= w * s[from + i] * std::sin(2 * std::numbers::pi * k * i / n);
    }
    const double power = re * re + im * im;
    total += power;
    if (k * 44100.0 / n > hz) above += power;
  }
  return 10 * std::log10(above / total + 1e-30);
}

TEST_F(MakeSong, ProducedVoicesPlayInTuneWithNothingAboveTheBand) {
  // Rows of 5,292 samples (speed 6, tempo 125): A-4 and E-5 on a sine written
  // at A-4, then the top key of a saw voice and of the plain saw wave.
  std::string score =
      "channels 1\nrows 4\nspeed 6\ntempo 125\norder 0\n"
      "instrument 1 \"sine\"\n  wave voice pitch A-4 cycle 100 cycles 100 shape sine\n"
      "instrument 2 \"saw\"\n  wave voice pitch A-5 cycle 50 cycles 100 shape saw to A-6\n"
      "instrument 3 \"plain saw\"\n  wave saw length 32 amplitude 100\n  loop forward 0 32\n"
      "  relative 12\n"
      "pattern 0\n00 | A-4 01 ... ...\n01 | E-5 01 ... ...\n02 | A-6 02 ... ...\n"
      "03 | A-6 03 ... ...\n";
  fs::path wav = dir / "voices.wav";
  Result result =
      runMakeSong(writeScore(score) + " --out " + (dir / "voices.xm.gz").string() + " --wav");
  ASSERT_EQ(result.status, 0) << result.output;
  std::vector<int16_t> s = wavSamples(wav);
  ASSERT_EQ(s.size(), 4u * 5292);
  EXPECT_NEAR(toneFrequency(s, 500, 5292), 440.0, 0.3);
  EXPECT_NEAR(toneFrequency(s, 5292 + 500, 2 * 5292), 659.26, 0.4);
  const double voice = powerAboveDecibels(s, 2 * 5292 + 500, 19000);
  const double plain = powerAboveDecibels(s, 3 * 5292 + 500, 19000);
  std::printf("above 19 kHz: voice %.1f dB, plain wave %.1f dB\n", voice, plain);
  EXPECT_LT(voice, -40.0);
  EXPECT_GT(plain, -30.0);  // a plain wave aliases
}

TEST_F(MakeSong, PlaysPhrasesTransposedScaledAndLate) {
  std::string score =
      "channels 2\nrows 8\norder 0\n"
      "instrument 1 \"a\"\n  wave square length 32 amplitude 100\n  volume 40\n"
      "instrument 2 \"b\"\n  wave square length 32 amplitude 100\n"
      "phrase up rows 4\n00 | C-4 01 ... ...\n01 | ... .. v40 ...\n02 | === .. ... ...\n"
      "03 | E-4 01 ... 443\n"
      "pattern 0\nplay up on 2 at -2 transpose 12 volume 50 as 2\nplay up on 2 at 4 times 2\n"
      "00 | D-4 01 ... ... | ... .. ... ...\n";
  fs::path xmPath = dir / "phrases.xm";
  Result result =
      runMakeSong(writeScore(score) + " --out " + (dir / "phrases.xm.gz").string() + " --xm");
  ASSERT_EQ(result.status, 0) << result.output;
  std::vector<uint8_t> xm = readBytes(xmPath);
  corvexa::Arena arena;
  corvexa::Array<int16_t> output = arena.makeArray<int16_t>(1 << 20);
  const corvexa::Module& song =
      *corvexa::renderSong(arena, {static_cast<int32_t>(xm.size()), xm.data()}, output).module;
  auto note = [&](int32_t row, int32_t channel) {
    const corvexa::Note& n = song.notePool[row * 2 + channel];
    return std::vector<int32_t>{n.key, n.instrument, n.volume, n.effect, n.parameter};
  };
  EXPECT_EQ(note(0, 0), (std::vector<int32_t>{51, 1, 0, 0, 0}));  // written out: D-4
  // The phrase's tail two rows early: the key-off, then E-5 with instrument 2
  // at half its volume (32).
  EXPECT_EQ(note(0, 1), (std::vector<int32_t>{97, 0, 0, 0, 0}));
  EXPECT_EQ(note(1, 1), (std::vector<int32_t>{65, 2, 0x10 + 32, 4, 0x43}));
  // Then as written from row 4; the second time falls past the pattern.
  EXPECT_EQ(note(4, 1), (std::vector<int32_t>{49, 1, 0, 0, 0}));
  EXPECT_EQ(note(5, 1), (std::vector<int32_t>{0, 0, 0x10 + 40, 0, 0}));
  EXPECT_EQ(note(7, 1), (std::vector<int32_t>{53, 1, 0, 4, 0x43}));
  EXPECT_EQ(song.patterns[0].rowCount, 8);

  expectRefused(score + "play up on 2 at 3\n", "18: row 4 of channel 2 is written twice");
}

TEST_F(MakeSong, WritesCellsPacked) {
  std::string score = replaceLine(kSmallScore, 12,
                                  "01 | ... .. ... EC2 | D#5 .. g15 4A3\n"
                                  "02 | === .. ... ... | ... .. b09 ...");
  fs::path xmPath = dir / "small.xm";
  Result result =
      runMakeSong(writeScore(score) + " --out " + (dir / "small.xm.gz").string() + " --xm");
  ASSERT_EQ(result.status, 0) << result.output;
  std::vector<uint8_t> xm = readBytes(xmPath);
  EXPECT_EQ(int16At(xm, 64), 2);  // order entries
  EXPECT_EQ(int16At(xm, 68), 2);  // channels
  const size_t pattern = 336;
  EXPECT_EQ(int16At(xm, pattern + 5), 4);  // rows
  // clang-format off
  const std::vector<uint8_t> packed = {
      0x87, 49, 1, 0x50,           // C-4 01 v64
      0x80,                        // empty
      0x98, 0x0E, 0xC2,            // EC2
      0x9D, 64, 0xFF, 0x04, 0xA3,  // D#5, g15, 4A3
      0x81, 97,                    // key-off
      0x84, 0x89,                  // b09
      0x80, 0x80};
  // clang-format on
  ASSERT_EQ(int16At(xm, pattern + 7), static_cast<int32_t>(packed.size()));
  EXPECT_EQ(
      std::vector<uint8_t>(xm.begin() + pattern + 9, xm.begin() + pattern + 9 + packed.size()),
      packed);
}

TEST_F(MakeSong, RefusesBadNotesAndCommandsWithTheirLine) {
  expectRefused(replaceLine(kSmallScore, 11, "00 | H-4 01 v64 ... | ... .. ... ..."),
                "11: bad note \"H-4\" (C-0 to B-7, C#4 for sharps, === key-off, ...)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v65 ... | ... .. ... ..."),
                "11: bad volume column \"v65\" (v00-v64, or d c b a u h g with 00-15, or ...)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 B01 | ... .. ... ..."),
                "11: effect \"B01\" is not one the player plays (0-6, A, C, D, F, EC)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 E91 | ... .. ... ..."),
                "11: effect \"E91\" is not one the player plays (0-6, A, C, D, F, EC)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 D10 | ... .. ... ..."),
                "11: effect \"D10\": the player breaks to row 0 whatever the row, so D00");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 C41 | ... .. ... ..."),
                "11: effect C sets a volume of at most 40 (64)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 | ... .. ... ..."),
                "11: a cell has four parts (note instrument volume effect), not \" C-4 01 v64 \"");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 ..."),
                "11: row 00 has 1 cells, not one per channel (2)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 02 v64 ... | ... .. ... ..."),
                "11: instrument 2 is not described");
}

TEST_F(MakeSong, RefusesBadStructureWithTheirLine) {
  expectRefused(replaceLine(kSmallScore, 12, "00 | === .. ... ... | ... .. ... ..."),
                "12: row 00 does not follow the row before");
  expectRefused(replaceLine(kSmallScore, 12, "04 | === .. ... ... | ... .. ... ..."),
                "12: the row number must be a whole number from 0 to 3, not \"04\"");
  expectRefused(replaceLine(kSmallScore, 5, "order 0 1"),
                "5: the order list names pattern 1, which is not written");
  expectRefused(replaceLine(kSmallScore, 10, "pattern 1"),
                "10: patterns are numbered 0, 1, 2, ... in order: expected 0");
  expectRefused(replaceLine(kSmallScore, 4, "speed 0"),
                "4: the speed must be a whole number from 1 to 31, not \"0\"");
  expectRefused(replaceLine(kSmallScore, 4, "tempo 20"),
                "4: the tempo must be a whole number from 32 to 255, not \"20\"");
  expectRefused(replaceLine(kSmallScore, 4, "sped 3"), "4: unknown keyword \"sped\"");
  expectRefused(replaceLine(kSmallScore, 1, "song \"test"), "1: a text without its closing '\"'");
  expectRefused(replaceLine(kSmallScore, 5, ""), "12: the score has no order list");
}

TEST_F(MakeSong, RefusesBadInstrumentsWithTheirLine) {
  expectRefused(
      replaceLine(kSmallScore, 7, "  wave organ length 32 amplitude 100"),
      "7: unknown wave \"organ\" (square, pulse, saw, triangle, sine, kick, noise, voice, "
      "bell, bassdrum, snare, clap or metal)");
  expectRefused(replaceLine(kSmallScore, 7, "  wave square length 32 amplitude 200"),
                "7: the amplitude must be a whole number from 1 to 127, not \"200\"");
  expectRefused(replaceLine(kSmallScore, 7, "  wave square length 32"),
                "7: the wave needs an amplitude");
  expectRefused(replaceLine(kSmallScore, 8, "  loop forward 8 32"),
                "6: instrument square loops past the end of its wave");
  expectRefused(replaceLine(kSmallScore, 9, "  envelope 0:64 4:32 4:0"),
                "9: envelope ticks must rise from point to point");
  expectRefused(replaceLine(kSmallScore, 9, "  envelope 0:64 4:32 sustain 2"),
                "9: the sustain point must be a whole number from 0 to 1, not \"2\"");
  expectRefused(replaceLine(kSmallScore, 9, "  envelope 0:64 4:32 loop 1 0"),
                "9: the loop end point must be a whole number from 1 to 1, not \"0\"");
  expectRefused(replaceLine(kSmallScore, 6, "instrument 2 \"square\""),
                "6: instruments are numbered 1, 2, 3, ... in order: expected 1");
  expectRefused("volume 40\n", "1: \"volume\" outside an instrument");
}

TEST_F(MakeSong, ReportsAMissingScore) {
  Result result =
      runMakeSong((dir / "none.score").string() + " --out " + (dir / "out.gz").string());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.output, "make-song: " + (dir / "none.score").string() +
                               ": cannot open (No such file or directory)\n");
}

}  // namespace
