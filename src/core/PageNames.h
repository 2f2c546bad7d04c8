// The one rule for the names of the program's pages (Arabic-parts pages, aspect pages): a
// page name becomes a file name below the program folder.
#pragma once

#include "core/AstroDat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Nothing when `name` may name a page beside `others`; otherwise the reason, to show the user.
// A page name must not be empty, hold a folder separator, a character that file names cannot
// hold, a control character or a ";" (the window state keeps pages as one ";"-separated list),
// be "." or "..", begin or end with a blank or end with a dot, be longer than 64, or equal
// another page's name (without regard to case).
std::optional<std::string> PageNameProblem(const AstroDat& s, std::string_view name,
                                           const std::vector<std::string>& others = {});

} // namespace qor
