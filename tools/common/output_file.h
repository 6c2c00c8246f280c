// OutputFile: how every tool writes a file, so that it appears whole or not
// at all. The bytes go to PATH.partial-XXXXXX (X random) in the same folder,
// which becomes PATH by a rename only in commit(), after the last write and a
// checked close. An OutputFile that ends without commit (a failure, an
// exception) removes its temporary file, and so does Ctrl-C or SIGTERM
// (interrupts.h); an earlier file of that name stays as it was until the
// rename.
//
// A PATH that already exists and is neither a regular file nor a directory
// (/dev/null, /dev/stdout, a named pipe) is written directly instead; a
// symbolic link to a file is followed, so the link stays a link.
//
// Every failure throws ToolFailure naming PATH:
//   PATH: is a directory                          (status 2)
//   PATH: cannot write (No space left on device)  (status 1)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::tools {

class OutputFile {
 public:
  // Creates the temporary file; throws when the folder is missing or cannot
  // be written.
  explicit OutputFile(const std::string& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // The name the program writing the file uses (the temporary one), and its
  // descriptor, for a child process that writes into it.
  const std::string& writtenPath() const { return written_; }
  int fd() const { return fd_; }

  // Appends size bytes, retrying short writes.
  void write(const void* data, size_t size);
  // The size of the file as written so far (by this process or a child).
  int64_t size() const;

  // Closes the file, checking the close, and renames it to PATH. After an
  // interrupt it throws instead, leaving nothing.
  void commit();

 private:
  [[noreturn]] void fail(int error) const;

  std::string path_;     // the name asked for
  std::string target_;   // where it lands: path_, or the file a link names
  std::string written_;  // the temporary file, or target_ when written directly
  int fd_ = -1;
  int slot_ = -1;  // in the list of temporaries an interrupt removes
  bool direct_ = false;
  bool done_ = false;
};

// A whole file at once.
void writeOutputFile(const std::string& path, const void* data, size_t size);
inline void writeOutputFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  writeOutputFile(path, bytes.data(), bytes.size());
}

}  // namespace corvexa::tools
