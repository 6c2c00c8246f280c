// The command line of every tool, one convention for all, through CLI11:
//
//   - inputs are positional; every output is --out PATH, or --out-dir DIR
//     for a command that writes several files (Arguments::addInput,
//     addOutput, addOutputDirectory);
//   - --help lists the options and --version prints "NAME VERSION", the
//     CMake project's version (CommandLine);
//   - arguments it cannot take end the tool with one line on stderr and
//     status 2, worded as the tools' own refusals (parseCommandLine):
//       corvexa-tool song: missing --out PATH (the WAV file to write)
//       corvexa-tool song: unexpected argument out.wav (the output is given as --out PATH)
//       corvexa-tool stream: bad --samples many: not a whole number
//   - an old spelling still works for one release, after a note on stderr
//     that names the new one (noteOldSpelling); each tool rewrites its old
//     spellings into the new ones before parsing:
//       corvexa-tool gunzip: note: 'gunzip IN OUT' is now 'gunzip IN --out OUT';
//       the old spelling goes in the next release
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// CLI11 is header-only and slow to compile (seconds a file): only
// command_line.cpp includes it, and the tools see it through Arguments.
namespace CLI {
class App;
}

namespace corvexa::tools {

// The arguments of one command: a tool's own, or one of its subcommands'. A
// handle to what CommandLine owns, copied freely, valid while it lives.
class Arguments {
 public:
  Arguments() = default;
  explicit Arguments(CLI::App* app) : app_(app) {}

  // A subcommand NAME with arguments of its own.
  Arguments addCommand(const std::string& name, const std::string& description) const;
  // A positional input, required: its name is how --help and the messages call it.
  void addInput(const std::string& name, std::string& path, const std::string& description) const;
  // --out PATH, required.
  void addOutput(std::string& path, const std::string& description) const;
  // --out-dir DIR, required.
  void addOutputDirectory(std::string& path, const std::string& description) const;
  void addFlag(const std::string& name, bool& value, const std::string& description) const;
  // "NAME VALUE", VALUE shown in --help as valueName (by default as its kind:
  // INT, FLOAT, TEXT). Value is int32_t, int64_t, double or std::string.
  template <typename Value>
  void addOption(const std::string& name, Value& value, const std::string& description,
                 const std::string& valueName = "") const;
  template <typename Value>
  void addRequiredOption(const std::string& name, Value& value, const std::string& description,
                         const std::string& valueName = "") const;
  // An option --help does not list: where an old spelling's value goes.
  void addHiddenOption(const std::string& name, std::string& value) const;

  std::string name() const;
  // Whether this command was the one given, once parsed.
  bool chosen() const;
  // Whether option was given, and its value as written.
  bool given(const std::string& option) const;
  std::string written(const std::string& option) const;

 private:
  CLI::App* app_ = nullptr;
};

// A tool's whole command line, with --help and --version ("NAME VERSION", the
// CMake project's version).
class CommandLine {
 public:
  CommandLine(const std::string& name, const std::string& description);
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;
  ~CommandLine();

  Arguments arguments() const { return Arguments(app_.get()); }
  // Exactly one of the subcommands must be given.
  void requireOneCommand();

 private:
  friend int parseCommandLine(CommandLine& line, std::vector<std::string> words);
  std::unique_ptr<CLI::App> app_;
};

// The words of a command line after the program's name.
using CommandWords = std::vector<std::string>;

CommandWords commandWords(int argc, char** argv);

// Parses words into the line and its commands. Gives -1 when the tool is to
// run; otherwise the status to exit with, the output printed: 0 after --help
// or --version, 2 after an argument error (one line, "NAME: reason", NAME with
// the command that was being read: "corvexa-tool song").
int parseCommandLine(CommandLine& line, CommandWords words);

// The positions of the positional words of words[first ..]: those that are
// not options ("-x", "--x", "--x=V") nor the value of one of valueOptions
// ("--out V"). A lone "--" makes every word after it positional.
std::vector<size_t> positionalWords(const CommandWords& words, size_t first,
                                    const std::vector<std::string>& valueOptions);

// The position of option (as "--x" or "--x=V") in words[first ..], or -1.
int32_t findOption(const CommandWords& words, size_t first, const std::string& option);

// An output that was a positional word and is now option: when option is not
// given and words[first ..] hold exactly `count` positional words, the last
// of them becomes option's value. Answers whether it did.
bool nameOldPositionalOutput(CommandWords& words, size_t first, const std::string& option,
                             const std::vector<std::string>& valueOptions, size_t count);

// An option that took a path and is now a flag: "--flag PATH" (when PATH is
// not the one positional word, the input) or "--flag=PATH" becomes
// "hidden PATH". Answers whether it was there.
bool renameOldFlagValue(CommandWords& words, size_t first, const std::string& flag,
                        const std::string& hidden, const std::vector<std::string>& valueOptions);

// One line on stderr: "NAME: note: 'OLD' is now 'NOW' (REMARK); the old
// spelling goes in the next release", without the brackets when remark is "".
void noteOldSpelling(const std::string& name, const std::string& old, const std::string& now,
                     const std::string& remark = "");

// The path of a file written beside output: output with its ending
// (".png", ".xm.gz") replaced by newEnding, or newEnding appended when output
// does not end so.
std::string besideOutput(const std::string& output, const std::string& ending,
                         const std::string& newEnding);

}  // namespace corvexa::tools
