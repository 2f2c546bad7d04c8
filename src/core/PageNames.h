// The one rule for the names of the program's pages (Arabic-parts pages, aspect pages, chart
// base pages): a page name becomes a file name below the program folder.
#pragma once

#include "core/AstroDat.h"

#include <functional>
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

// The program name of a page's file ("Aspects\<page>.asp").
using PageFileOf = std::function<std::string(const std::string& page)>;

// Renames page `index` of `pages` and moves its file with it. Refuses with a message and
// changes nothing: a name the rule above refuses (beside the other pages), a name whose file
// exists already as another page's (a page whose tab was deleted keeps its file), a file that
// cannot be moved. A page whose file does not exist yet is renamed alone. True when renamed.
bool RenamePage(AstroDat& s, std::vector<std::string>& pages, std::size_t index,
                const std::string& newName, const PageFileOf& fileOf);

} // namespace qor
