// corvexa-tool gunzip against gzip -d on members that gzip and zopfli make,
// and its refusals: exit status 2, one line naming the file, no output file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class GunzipTool : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    dir = fs::temp_directory_path() / ("corvexa-gunzip-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the tool on dir/in into dir/out; keeps its stderr in message.
  int gunzip(const std::string& in, const std::string& out = "out") {
    int status = shell(std::string(CORVEXA_TOOL) + " gunzip " + (dir / in).string() + " --out " +
                       (dir / out).string() + " >/dev/null 2>" + (dir / "stderr").string());
    message = readText(dir / "stderr");
    return status;
  }
  std::string message;

  // The tool's output of dir/gz must be gzip -d's, byte for byte.
  void expectSameAsGzip(const std::string& gz) {
    ASSERT_EQ(shell("gzip -dc " + (dir / gz).string() + " > " + (dir / "expected").string()), 0);
    ASSERT_EQ(gunzip(gz), 0) << message;
    std::string expected = readText(dir / "expected");
    std::string actual = readText(dir / "out");
    EXPECT_EQ(actual.size(), expected.size()) << gz;
    EXPECT_TRUE(actual == expected) << gz;
  }

  // One line that names the input file, exit status 2, and no output file.
  void expectRefusal(const std::string& in, const std::string& reason) {
    EXPECT_EQ(gunzip(in), 2) << in;
    EXPECT_NE(message.find((dir / in).string()), std::string::npos) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_FALSE(fs::exists(dir / "out")) << in;
  }
};

TEST_F(GunzipTool, MatchesGzipOnMembersFromGzipAndZopfli) {
  // Source text (compressible), random bytes and an empty file.
  std::string source = readText(std::string(CORVEXA_SOURCE_DIR) + "/assets/gzip_inflater.cpp");
  std::string text;
  for (int32_t i = 0; i < 4; i++) text += source;
  std::mt19937 random(42);
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  writeBytes(dir / "text", text);
  writeBytes(dir / "noise", noise + text);
  writeBytes(dir / "empty", "");

  const std::string d = dir.string() + "/";
  ASSERT_EQ(shell("gzip -c -1 " + d + "text > " + d + "text1.gz"), 0);
  ASSERT_EQ(shell("gzip -c -9 -n " + d + "noise > " + d + "noise9.gz"), 0);
  ASSERT_EQ(shell("gzip -c " + d + "empty > " + d + "empty.gz"), 0);
  ASSERT_EQ(shell("cd " + d + " && gzip -k -6 text && mv text.gz named.gz"), 0);  // FNAME
  ASSERT_EQ(shell("zopfli -c " + d + "text > " + d + "text.zopfli.gz"), 0);
  ASSERT_EQ(shell("zopfli -c --i5 " + d + "noise > " + d + "noise.zopfli.gz"), 0);
  for (const char* gz :
       {"text1.gz", "noise9.gz", "empty.gz", "named.gz", "text.zopfli.gz", "noise.zopfli.gz"}) {
    expectSameAsGzip(gz);
  }
}

TEST_F(GunzipTool, RefusesMalformedMembersWithoutOutput) {
  const std::string d = dir.string() + "/";
  std::string source = readText(std::string(CORVEXA_SOURCE_DIR) + "/assets/gzip_inflater.cpp");
  writeBytes(dir / "text", source);
  ASSERT_EQ(shell("gzip -c -9 " + d + "text > " + d + "text.gz"), 0);
  std::string gz = readText(dir / "text.gz");

  writeBytes(dir / "cut.gz", gz.substr(0, gz.size() / 2));
  expectRefusal("cut.gz", "the data ends early");
  writeBytes(dir / "two.gz", gz + gz);
  expectRefusal("two.gz", "only one member");
  writeBytes(dir / "plain.txt", "this is not gzip\n");
  expectRefusal("plain.txt", "the data ends early");
  // A fixed block that copies from before its start.
  writeBytes(dir / "far.gz", std::string("\x1f\x8b\x08\0\0\0\0\0\0\x03\x03\x02\x05\0", 14));
  expectRefusal("far.gz", "before the first decoded byte");
  std::string extra = gz;
  extra[3] = 4;
  writeBytes(dir / "extra.gz", extra);
  expectRefusal("extra.gz", "extra field");
  expectRefusal("missing.gz", "cannot open (No such file or directory)");
  fs::create_directories(dir / "folder.gz");
  expectRefusal("folder.gz", "not a regular file");
}

// The inflater reads no trailer; the tool checks it against what it decoded.
TEST_F(GunzipTool, RefusesAMemberWhoseTrailerDisagrees) {
  // "hello" in one stored block, its CRC-32 (3610A686) and size in the trailer.
  const std::string header("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10);
  const std::string block("\x01\x05\0\xfa\xff", 5);
  const std::string crc("\x86\xa6\x10\x36", 4), size("\x05\0\0\0", 4);
  writeBytes(dir / "good.gz", header + block + "hello" + crc + size);
  ASSERT_EQ(gunzip("good.gz"), 0) << message;
  EXPECT_EQ(readText(dir / "out"), "hello");
  fs::remove(dir / "out");

  writeBytes(dir / "damaged.gz", header + block + "jello" + crc + size);
  expectRefusal("damaged.gz", ": the trailer's CRC-32 is 3610A686, the data's ");
  writeBytes(dir / "size.gz", header + block + "hello" + crc + std::string("\x06\0\0\0", 4));
  expectRefusal("size.gz", ": the trailer's size is 6, the data's 5\n");
  writeBytes(dir / "both.gz", header + block + "jello" + crc + std::string("\x06\0\0\0", 4));
  expectRefusal("both.gz", "; the trailer's size is 6, the data's 5\n");
  writeBytes(dir / "short.gz", header + block + "hello" + crc);
  expectRefusal("short.gz", ": the data ends early, without the trailer's CRC-32 and size\n");
}

TEST_F(GunzipTool, RefusesMembersBeyondItsBound) {
  const std::string d = dir.string() + "/";
  ASSERT_EQ(shell("head -c 268435457 /dev/zero | gzip -1 > " + d + "bomb.gz"), 0);
  expectRefusal("bomb.gz", "more than 256 MiB");
}

}  // namespace
