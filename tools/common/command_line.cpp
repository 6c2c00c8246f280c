#include "tools/common/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "tools/common/tool_failure.h"

namespace corvexa::tools {

namespace {

// The command whose words CLI11 was reading: the deepest one selected.
CLI::App& commandBeingRead(CLI::App& app) {
  CLI::App* command = &app;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (CLI::App* sub : command->get_subcommands([](CLI::App*) { return true; })) {
      if (sub->parsed()) {
        command = sub;
        deeper = true;
        break;
      }
    }
  }
  return *command;
}

// "corvexa-tool song": the program and the command.
std::string nameOf(const CLI::App& command) {
  std::string name = command.get_name();
  for (const CLI::App* parent = command.get_parent(); parent != nullptr;
       parent = parent->get_parent())
    name = parent->get_name() + " " + name;
  return name;
}

// How --help and the messages show an option: "IN", "--out PATH", "--raw".
std::string shown(const CLI::Option& option) {
  if (!option.nonpositional()) return option.get_name();
  std::string type = option.get_type_name();
  return option.get_name() + (type.empty() ? "" : " " + type);
}

std::string commandList(CLI::App& app) {
  std::string list;
  for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
    list += (list.empty() ? "" : ", ") + sub->get_name();
  return list;
}

// Words that CLI11 could not place, with the hint a new user needs most: an
// output is an option, never a positional word.
std::string unexpected(const CLI::App& command, const std::vector<std::string>& words) {
  std::string text = words.size() == 1 ? "unexpected argument" : "unexpected arguments";
  bool positional = false;
  for (const std::string& word : words) {
    text += " " + word;
    positional |= word.empty() || word[0] != '-';
  }
  if (!positional) return text;
  for (const char* output : {"--out", "--out-dir"}) {
    const CLI::Option* option = command.get_option_no_throw(output);
    if (option != nullptr) return text + " (the output is given as " + shown(*option) + ")";
  }
  return text;
}

std::string describeArgumentError(CLI::App& command, const CLI::ParseError& error) {
  std::string text = error.what();
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (text == "A subcommand is required")
      return "missing the command (one of " + commandList(command) + ")";
    const std::string name = text.substr(0, text.find(" is required"));
    const CLI::Option* option = command.get_option_no_throw(name);
    if (option != nullptr)
      return "missing " + shown(*option) + " (" + option->get_description() + ")";
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    const CLI::Option* option = command.get_option_no_throw(text.substr(0, text.find(':')));
    if (option != nullptr) return "missing the value of " + shown(*option);
  }
  if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
    // "Could not convert: --samples = many"
    const size_t colon = text.find(": "), equals = text.find(" = ");
    if (colon != std::string::npos && equals != std::string::npos) {
      const std::string name = text.substr(colon + 2, equals - colon - 2);
      const CLI::Option* option = command.get_option_no_throw(name);
      const std::string kind = option != nullptr && option->get_type_name() == "INT"
                                   ? "not a whole number"
                                   : "not a number";
      return "bad " + name + " " + text.substr(equals + 3) + ": " + kind;
    }
  }
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

void allowExtras(CLI::App& app) {
  app.allow_extras();
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) allowExtras(*sub);
}

int refuse(const CLI::App& command, const std::string& reason) {
  std::fprintf(stderr, "%s: %s\n", nameOf(command).c_str(), reason.c_str());
  return kRefused;
}

}  // namespace

Arguments Arguments::addCommand(const std::string& name, const std::string& description) const {
  return Arguments(app_->add_subcommand(name, description));
}

void Arguments::addInput(const std::string& name, std::string& path,
                         const std::string& description) const {
  app_->add_option(name, path, description)->required()->type_name("");
}

void Arguments::addOutput(std::string& path, const std::string& description) const {
  app_->add_option("--out", path, description)->required()->type_name("PATH");
}

void Arguments::addOutputDirectory(std::string& path, const std::string& description) const {
  app_->add_option("--out-dir", path, description)->required()->type_name("DIR");
}

void Arguments::addFlag(const std::string& name, bool& value,
                        const std::string& description) const {
  app_->add_flag(name, value, description);
}

namespace {

template <typename Value>
CLI::Option* addValueOption(CLI::App& app, const std::string& name, Value& value,
                            const std::string& description, const std::string& valueName) {
  CLI::Option* option = app.add_option(name, value, description);
  if (!valueName.empty()) option->type_name(valueName);
  return option;
}

}  // namespace

template <typename Value>
void Arguments::addOption(const std::string& name, Value& value, const std::string& description,
                          const std::string& valueName) const {
  addValueOption(*app_, name, value, description, valueName);
}

template <typename Value>
void Arguments::addRequiredOption(const std::string& name, Value& value,
                                  const std::string& description,
                                  const std::string& valueName) const {
  addValueOption(*app_, name, value, description, valueName)->required();
}

#define CORVEXA_OPTION_VALUE(Value)                                                         \
  template void Arguments::addOption<Value>(const std::string&, Value&, const std::string&, \
                                            const std::string&) const;                      \
  template void Arguments::addRequiredOption<Value>(const std::string&, Value&,             \
                                                    const std::string&, const std::string&) const;
CORVEXA_OPTION_VALUE(int32_t)
CORVEXA_OPTION_VALUE(int64_t)
CORVEXA_OPTION_VALUE(double)
CORVEXA_OPTION_VALUE(std::string)
#undef CORVEXA_OPTION_VALUE

void Arguments::addHiddenOption(const std::string& name, std::string& value) const {
  app_->add_option(name, value)->group("");
}

std::string Arguments::name() const {
  return app_->get_name();
}

bool Arguments::chosen() const {
  return app_->parsed();
}

bool Arguments::given(const std::string& option) const {
  return app_->get_option(option)->count() > 0;
}

std::string Arguments::written(const std::string& option) const {
  return app_->get_option(option)->as<std::string>();
}

CommandLine::CommandLine(const std::string& name, const std::string& description)
    : app_(std::make_unique<CLI::App>(description, name)) {
  app_->set_version_flag("--version", name + " " + CORVEXA_VERSION);
}

CommandLine::~CommandLine() = default;

void CommandLine::requireOneCommand() {
  app_->require_subcommand(1, 1);
}

CommandWords commandWords(int argc, char** argv) {
  return CommandWords(argv + (argc > 0 ? 1 : 0), argv + argc);
}

int parseCommandLine(CommandLine& line, CommandWords words) {
  CLI::App& app = *line.app_;
  // An unknown command would otherwise read as a missing one.
  const auto commands = app.get_subcommands([](CLI::App*) { return true; });
  const bool known = std::any_of(commands.begin(), commands.end(), [&](const CLI::App* command) {
    return !words.empty() && command->get_name() == words[0];
  });
  if (!commands.empty() && !known && !words.empty() && !words[0].empty() && words[0][0] != '-') {
    return refuse(app, "unknown command " + words[0] + " (one of " + commandList(app) + ")");
  }
  // Extras are kept, not thrown, so that the message can name them exactly.
  allowExtras(app);
  std::reverse(words.begin(), words.end());
  try {
    app.parse(words);
  } catch (const CLI::Success& success) {  // --help, --version
    return app.exit(success);
  } catch (const CLI::ParseError& error) {
    CLI::App& command = commandBeingRead(app);
    // Stray words first: "song out.wav" lacks --out because of them.
    if (!command.remaining().empty())
      return refuse(command, unexpected(command, command.remaining()));
    return refuse(command, describeArgumentError(command, error));
  }
  for (CLI::App* command = &app; command != nullptr;) {
    if (!command->remaining().empty())
      return refuse(*command, unexpected(*command, command->remaining()));
    CLI::App* next = nullptr;
    for (CLI::App* sub : command->get_subcommands()) next = sub;
    command = next;
  }
  return -1;
}

std::vector<size_t> positionalWords(const CommandWords& words, size_t first,
                                    const std::vector<std::string>& valueOptions) {
  std::vector<size_t> positions;
  bool optionsEnded = false;
  for (size_t i = first; i < words.size(); i++) {
    const std::string& word = words[i];
    if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
      positions.push_back(i);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (std::find(valueOptions.begin(), valueOptions.end(), word) != valueOptions.end()) {
      i++;  // its value
    }
  }
  return positions;
}

int32_t findOption(const CommandWords& words, size_t first, const std::string& option) {
  for (size_t i = first; i < words.size() && words[i] != "--"; i++) {
    if (words[i] == option || words[i].rfind(option + "=", 0) == 0) return static_cast<int32_t>(i);
  }
  return -1;
}

bool nameOldPositionalOutput(CommandWords& words, size_t first, const std::string& option,
                             const std::vector<std::string>& valueOptions, size_t count) {
  if (findOption(words, first, option) >= 0) return false;
  const std::vector<size_t> positional = positionalWords(words, first, valueOptions);
  if (positional.size() != count) return false;
  words.insert(words.begin() + static_cast<std::ptrdiff_t>(positional.back()), option);
  return true;
}

bool renameOldFlagValue(CommandWords& words, size_t first, const std::string& flag,
                        const std::string& hidden, const std::vector<std::string>& valueOptions) {
  const int32_t at = findOption(words, first, flag);
  if (at < 0) return false;
  if (words[at] == flag) {
    const std::vector<size_t> positional = positionalWords(words, first, valueOptions);
    const bool valueFollows = std::find(positional.begin(), positional.end(),
                                        static_cast<size_t>(at) + 1) != positional.end();
    if (!valueFollows || positional.size() < 2) return false;
  }
  words[at].replace(0, flag.size(), hidden);
  return true;
}

void noteOldSpelling(const std::string& name, const std::string& old, const std::string& now,
                     const std::string& remark) {
  const std::string aside = remark.empty() ? "" : " (" + remark + ")";
  std::fprintf(stderr, "%s: note: '%s' is now '%s'%s; the old spelling goes in the next release\n",
               name.c_str(), old.c_str(), now.c_str(), aside.c_str());
}

std::string besideOutput(const std::string& output, const std::string& ending,
                         const std::string& newEnding) {
  if (output.size() > ending.size() &&
      output.compare(output.size() - ending.size(), ending.size(), ending) == 0)
    return output.substr(0, output.size() - ending.size()) + newEnding;
  return output + newEnding;
}

}  // namespace corvexa::tools
