// Running programs from the tool tests: a command line through the shell,
// its exit status and what it printed; scratch directories and files.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace corvexa {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// A fresh directory under the system's temporary directory, named for this
// process too: CTest runs the tests of one binary side by side.
inline std::filesystem::path freshDirectory(const std::string& name) {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("corvexa-" + name + "-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

inline std::string shellQuote(const std::string& text) {
  return "'" + text + "'";
}
inline std::string shellQuote(const std::filesystem::path& path) {
  return shellQuote(path.string());
}

// Runs command with stdout and stderr captured into files of dir.
inline RunResult run(const std::string& command, const std::filesystem::path& dir) {
  std::filesystem::path out = dir / "stdout.txt", err = dir / "stderr.txt";
  int raw = std::system((command + " >" + shellQuote(out) + " 2>" + shellQuote(err)).c_str());
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::vector<uint8_t> o = readBytes(out), e = readBytes(err);
  result.out.assign(o.begin(), o.end());
  result.err.assign(e.begin(), e.end());
  return result;
}

struct ToolResult {
  int status = -1;     // the exit status, or -1 when it did not exit normally
  std::string output;  // stdout and stderr together
};

// Runs `corvexa-tool arguments` through the shell.
inline ToolResult runTool(const std::string& arguments) {
  ToolResult result;
  std::string command = std::string(CORVEXA_TOOL) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

// A fresh directory that is removed when the test ends.
struct ScratchDirectory {
  std::filesystem::path path;
  explicit ScratchDirectory(const std::string& name) : path(freshDirectory("test-" + name)) {}
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

}  // namespace corvexa
