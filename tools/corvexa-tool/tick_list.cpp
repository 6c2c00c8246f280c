#include "tools/corvexa-tool/tick_list.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "tools/corvexa-tool/command.h"

namespace corvexa::corvexa_tool {

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
    throw ToolFailure("bad tick \"" + text + "\": ticks are whole numbers from 1 to " +
                      std::to_string(kMaxListedTick));
  }
  return static_cast<int32_t>(value);
}

}  // namespace

std::set<int32_t> parseTickList(const std::string& list) {
  // The items first, as ranges; then each tick once. Inserting every range as
  // it comes would cost 65,535 steps for each "1-65535", however often the
  // list repeats it.
  std::vector<std::pair<int32_t, int32_t>> ranges;
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t comma = list.find(',', begin);
    std::string item =
        list.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    size_t dash = item.find('-');
    if (dash == std::string::npos) {
      int32_t tick = parseTick(item);
      ranges.emplace_back(tick, tick);
    } else {
      int32_t first = parseTick(item.substr(0, dash));
      int32_t last = parseTick(item.substr(dash + 1));
      if (last < first) throw ToolFailure("bad tick range \"" + item + "\": it runs backwards");
      ranges.emplace_back(first, last);
    }
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  std::sort(ranges.begin(), ranges.end());
  std::set<int32_t> ticks;
  int32_t next = 1;  // the smallest tick not yet in ticks that a later range may add
  for (const auto& [first, last] : ranges) {
    for (int32_t t = std::max(first, next); t <= last; t++) ticks.insert(ticks.end(), t);
    next = std::max(next, last + 1);
  }
  return ticks;
}

}  // namespace corvexa::corvexa_tool
