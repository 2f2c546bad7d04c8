// Shared helpers of the sky data loaders: reporting a damaged or oversized data file.
#pragma once

#include "core/AstroDat.h"

#include <string>

namespace qor {

// Shows "<file>: <text>" as a warning; the texts are UTF-8 literals (Russian, English).
void ReportDataFault(AstroDat& s, const std::string& fileName, std::string_view russian,
                     std::string_view english);

// "<count> records beyond the first <limit> were not read" in the current language.
void ReportRecordsBeyondLimit(AstroDat& s, const std::string& fileName, long long extra,
                              long long limit);

} // namespace qor
