// The command line of every tool, one convention for all, through CLI11:
//
//   - inputs are positional; every output is --out PATH, or --out-dir DIR
//     for a command that writes several files (addInput, addOutput,
//     addOutputDirectory);
//   - --help lists the options and --version prints "NAME VERSION", the
//     CMake project's version (addVersionFlag);
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

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace corvexa::tools {

// A positional input, required: its name is how --help and the messages call it.
CLI::Option* addInput(CLI::App& app, const std::string& name, std::string& path,
                      const std::string& description);
// --out PATH, required.
CLI::Option* addOutput(CLI::App& app, std::string& path, const std::string& description);
// --out-dir DIR, required.
CLI::Option* addOutputDirectory(CLI::App& app, std::string& path, const std::string& description);

// --version: "NAME VERSION".
void addVersionFlag(CLI::App& app);

// The words of a command line after the program's name.
using CommandWords = std::vector<std::string>;

CommandWords commandWords(int argc, char** argv);

// Parses words into app and its commands. Gives -1 when the tool is to run;
// otherwise the status to exit with, the output printed: 0 after --help or
// --version, 2 after an argument error (one line, "NAME: reason", NAME with
// the command that was being read: "corvexa-tool song").
int parseCommandLine(CLI::App& app, CommandWords words);

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
