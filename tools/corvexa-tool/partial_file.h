// PartialFile: where a program writes a file that must appear whole or not at
// all. It lies beside the final name (so the last step is a rename on one file
// system), is removed when the PartialFile ends, and becomes the final file
// only through keepAs, so that a failure never leaves a truncated file under
// the final name and never spoils an earlier file of that name.
#pragma once

#include <cstdint>
#include <string>

namespace corvexa::tool {

class PartialFile {
 public:
  // Creates OUT.partial-XXXXXX (X random). Throws CommandFailure (status 1)
  // naming out when the folder does not exist or cannot be written.
  explicit PartialFile(const std::string& out);
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;
  ~PartialFile();

  const std::string& path() const { return path_; }
  // Its size in bytes now (0 when it cannot be read).
  int64_t size() const;

  // Renames it to out with the usual rights (0666 less the umask). Throws
  // CommandFailure (status 1) when the rename fails; it is then removed as
  // usual.
  void keepAs(const std::string& out);

 private:
  std::string path_;
  bool kept_ = false;
};

}  // namespace corvexa::tool
