// Running corvexa-tool from a test: its exit status and what it printed.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
  int status = pclose(pipe);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

inline std::vector<uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

// A fresh directory under the system's temporary directory, removed at the end.
struct ScratchDirectory {
  std::filesystem::path path;
  explicit ScratchDirectory(const std::string& name)
      : path(std::filesystem::temp_directory_path() / ("corvexa-test-" + name)) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchDirectory() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};
