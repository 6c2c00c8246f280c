// Reading a tool's input file whole, with a bound on its size, and the one
// wording of its refusals (each status 2, naming the file):
//   PATH: cannot open (No such file or directory)
//   PATH: not a regular file
//   PATH: larger than 67,108,864 bytes
// A read that fails once the file is open is the system's failure:
//   PATH: cannot read (Input/output error)   (status 1)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::tools {

// The bytes of the regular file at path, at most maxBytes of them. Directories,
// devices and pipes are refused without being read (a pipe without a writer
// does not block the tool). Throws ToolFailure.
std::vector<uint8_t> readInputFile(const std::string& path, int64_t maxBytes);

// The same as text.
std::string readInputText(const std::string& path, int64_t maxBytes);

// n with a comma between groups of three digits: 67,108,864.
std::string groupedDigits(int64_t n);

}  // namespace corvexa::tools
