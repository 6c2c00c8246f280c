// The tick list of `frames` and the commands like it: "1,99,520,4600-4610"
// names ticks 1, 99, 520 and 4600 to 4610. Items are whole numbers from 1 to
// kMaxListedTick or ranges of two such numbers that do not run backwards,
// separated by single commas.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace corvexa::corvexa_tool {

// The largest tick a list may name: about 17 minutes of show.
inline constexpr int32_t kMaxListedTick = 65535;

// The set of ticks list names; a malformed list throws ToolFailure (exit
// status 2) with a one-line reason quoting the bad item.
std::set<int32_t> parseTickList(const std::string& list);

}  // namespace corvexa::corvexa_tool
