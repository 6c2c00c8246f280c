// make-song: the committed song is exactly what its score builds, it has the
// shape and level the demo expects, and a bad score is refused with its line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

TEST_F(MakeSong, SongHasTheShapeTheDemoPlays) {
  fs::path xmPath = dir / "corvexa.xm";
  Result result = runMakeSong(kScore + " --out " + (dir / "corvexa.xm.gz").string() + " --xm");
  ASSERT_EQ(result.status, 0) << result.output;

  // One gzip member: deflate, no flags (no name), no time stamp.
  std::vector<uint8_t> gz = readBytes(kSong);
  ASSERT_GE(gz.size(), 18u);
  EXPECT_EQ(gz[0], 0x1F);
  EXPECT_EQ(gz[1], 0x8B);
  EXPECT_EQ(gz[2], 8);
  EXPECT_EQ(gz[3], 0);
  EXPECT_EQ(int32At(gz, 4), 0);
  EXPECT_LT(gz.size(), 8192u);

  std::vector<uint8_t> xm = readBytes(xmPath);
  ASSERT_GT(xm.size(), 336u);
  EXPECT_EQ(std::string(xm.begin(), xm.begin() + 17), "Extended Module: ");
  EXPECT_EQ(int16At(xm, 58), 0x0104);
  EXPECT_EQ(int32At(xm, 60), 276);
  EXPECT_EQ(int16At(xm, 64), 19);   // order entries
  EXPECT_EQ(int16At(xm, 68), 4);    // channels
  EXPECT_EQ(int16At(xm, 70), 14);   // patterns
  EXPECT_EQ(int16At(xm, 72), 6);    // instruments
  EXPECT_EQ(int16At(xm, 74), 1);    // linear frequency table
  EXPECT_EQ(int16At(xm, 76), 3);    // speed
  EXPECT_EQ(int16At(xm, 78), 125);  // tempo

  // Walk the patterns (64 rows each) and instruments (one sample each) to the
  // end of the file, adding up the sample frames.
  size_t at = 336;
  for (int32_t p = 0; p < 14; p++) {
    ASSERT_LT(at + 9, xm.size());
    EXPECT_EQ(int16At(xm, at + 5), 64);
    at += 9 + int16At(xm, at + 7);
  }
  // A looped wave keeps its mean at zero, so held notes add no DC offset.
  int32_t frames = 0;
  for (int32_t i = 0; i < 6; i++) {
    ASSERT_LT(at + 263 + 40, xm.size());
    EXPECT_EQ(int16At(xm, at + 27), 1);
    const size_t header = at + 263;
    const int32_t length = int32At(xm, header);
    const int32_t loopStart = int32At(xm, header + 4);
    const int32_t loopLength = int32At(xm, header + 8);
    EXPECT_EQ(xm[header + 14] & 0x10, 0);  // 8-bit data
    ASSERT_LE(header + 40 + length, xm.size());
    if ((xm[header + 14] & 3) != 0) {
      int8_t frame = 0;  // delta-coded
      int32_t sum = 0;
      for (int32_t f = 0; f < length; f++) {
        frame = static_cast<int8_t>(frame + xm[header + 40 + f]);
        if (f >= loopStart && f < loopStart + loopLength) sum += frame;
      }
      EXPECT_LE(std::abs(sum), loopLength * 2) << "instrument " << i + 1;
    }
    frames += length;
    at = header + 40 + length;
  }
  EXPECT_EQ(at, xm.size());
  EXPECT_LT(frames, 32768);
  // The gzip trailer's size is the whole XM file: one member holds it all.
  EXPECT_EQ(int32At(gz, gz.size() - 4), static_cast<int32_t>(xm.size()));

  // Played as the demo's player mixes: 19 x 64 rows x 3 ticks x 882 samples,
  // nothing clipped, loud but not too loud, no DC offset.
  result = runMakeSong(kScore + " --out " + (dir / "c.gz").string() + " --levels");
  ASSERT_EQ(result.status, 0) << result.output;
  long long samples = 0, clipped = -1;
  int peak = 0;
  double rms = 0, dc = 0;
  ASSERT_EQ(std::sscanf(result.output.c_str(),
                        "samples %lld frames %*d xm bytes %*d\npeak %d clipped %lld rms %lf "
                        "dBFS dc %lf",
                        &samples, &peak, &clipped, &rms, &dc),
            5)
      << result.output;
  EXPECT_EQ(samples, 3217536);
  EXPECT_EQ(clipped, 0);
  EXPECT_LT(peak, 32767);
  EXPECT_GT(rms, -20.0);
  EXPECT_LT(rms, -12.0);
  EXPECT_LT(dc < 0 ? -dc : dc, 64.0);
}

TEST_F(MakeSong, StandardPlayerLoadsTheSongWithoutWarnings) {
  if (std::system("openmpt123 --version > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "openmpt123 is not installed";
  }
  fs::path xmPath = dir / "corvexa.xm";
  Result result = runMakeSong(kScore + " --out " + (dir / "corvexa.xm.gz").string() + " --xm");
  ASSERT_EQ(result.status, 0) << result.output;
  FILE* pipe = popen(("openmpt123 --info " + xmPath.string() + " 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string info;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) info.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << info;
  EXPECT_NE(info.find("Type.......: xm (FastTracker 2 v1.04)"), std::string::npos) << info;
  EXPECT_NE(info.find("Duration...: 01:12.960"), std::string::npos) << info;
  EXPECT_NE(info.find("Orders.....: 19"), std::string::npos) << info;
  EXPECT_EQ(info.find("arning"), std::string::npos) << info;
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
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
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 F06 | ... .. ... ..."),
                "11: effect \"F06\" is not one the player plays (0-6, A, C, EC)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 D00 | ... .. ... ..."),
                "11: effect \"D00\" is not one the player plays (0-6, A, C, EC)");
  expectRefused(replaceLine(kSmallScore, 11, "00 | C-4 01 v64 E91 | ... .. ... ..."),
                "11: effect \"E91\" is not one the player plays (0-6, A, C, EC)");
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
  expectRefused(replaceLine(kSmallScore, 4, "tempo 100"),
                "4: the tempo must be a whole number from 110 to 255, not \"100\"");
  expectRefused(replaceLine(kSmallScore, 4, "sped 3"), "4: unknown keyword \"sped\"");
  expectRefused(replaceLine(kSmallScore, 1, "song \"test"), "1: a text without its closing '\"'");
  expectRefused(replaceLine(kSmallScore, 5, ""), "12: the score has no order list");
}

TEST_F(MakeSong, RefusesBadInstrumentsWithTheirLine) {
  expectRefused(replaceLine(kSmallScore, 7, "  wave organ length 32 amplitude 100"),
                "7: unknown wave \"organ\" (square, pulse, saw, triangle, sine, kick or noise)");
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
