#include "sky/SkyFiles.h"

#include "core/Text.h"

namespace qor {

void ReportDataFault(AstroDat& s, const std::string& fileName, std::string_view russian,
                     std::string_view english) {
    const std::string text = s.EnglishMode ? Cp(english) : Cp(russian);
    ReportOf(s).ShowMessage(MsgKind::Warning, fileName + ": " + text);
}

void ReportRecordsBeyondLimit(AstroDat& s, const std::string& fileName, long long extra,
                              long long limit) {
    const std::string n = std::to_string(extra);
    const std::string l = std::to_string(limit);
    ReportDataFault(s, fileName, "записей сверх " + l + " не прочитано: " + n,
                    "records beyond the first " + l + " not read: " + n);
}

} // namespace qor
