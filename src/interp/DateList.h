// The date list of the text window (Alt+Z): the comment of the chart may hold "[" + a step in
// days + " " + a date "dd.mm.yyyy" + "]"; the list is the twelve dates one, two ... twelve
// steps after that date.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::interp {

// The twelve dates "dd.mm.yyyy", or nothing when the comment holds no date list: the step
// (decimal comma allowed) must be at least 1 and the date a day of the calendar.
std::optional<std::vector<std::string>> DateListOf(std::string_view comment);

} // namespace qor::interp
