// The display name of a chart point in words, as the exact-aspects window, the wheel's hints
// and menus and the interpretation texts write it.
#pragma once

#include "core/AstroDat.h"

#include <functional>
#include <string>

namespace qor {

// Point n in words, whatever the naming flags say: in a heliocentric chart point 1 is the
// Earth; points 0..14 by their body name; 15..26 an active Arabic part by its name, else the
// extra body by its name in the body table (record n + 57, through `bodyTableName`; the
// built-in name when there is none); 27..38 the cusp's long title. Trimmed.
std::string PointName(AstroDat& s, int n, bool helioMode,
                      const std::function<std::string(int)>& bodyTableName = {});

} // namespace qor
