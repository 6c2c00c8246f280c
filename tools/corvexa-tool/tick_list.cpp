#include "tools/corvexa-tool/tick_list.h"

#include "tools/corvexa-tool/command.h"

namespace {

int32_t parseTick(const std::string& text) {
  size_t used = 0;
  long value = -1;
  try {
    value = std::stol(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || value < 1 || value > kMaxListedTick) {
    throw CommandFailure("bad tick \"" + text + "\": ticks are whole numbers from 1 to " +
                         std::to_string(kMaxListedTick));
  }
  return static_cast<int32_t>(value);
}

}  // namespace

std::set<int32_t> parseTickList(const std::string& list) {
  std::set<int32_t> ticks;
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t comma = list.find(',', begin);
    std::string item =
        list.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    size_t dash = item.find('-');
    if (dash == std::string::npos) {
      ticks.insert(parseTick(item));
    } else {
      int32_t first = parseTick(item.substr(0, dash));
      int32_t last = parseTick(item.substr(dash + 1));
      if (last < first) throw CommandFailure("bad tick range \"" + item + "\": it runs backwards");
      for (int32_t t = first; t <= last; t++) ticks.insert(t);
    }
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  return ticks;
}
