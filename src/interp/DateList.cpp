#include "interp/DateList.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <cmath>

namespace qor::interp {

std::optional<std::vector<std::string>> DateListOf(std::string_view comment) {
    const std::size_t open = comment.find('[');
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = comment.find(']', open);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view inside = comment.substr(open + 1, close - open - 1);
    const std::size_t blank = inside.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string stepText = Trim(inside.substr(0, blank));
    const std::string_view date = inside.substr(blank + 1);
    // the step: a number with "," as its decimal separator
    if (stepText.empty() || stepText.find_first_not_of("0123456789,") != std::string::npos ||
        stepText.find(',') != stepText.rfind(','))
        return std::nullopt;
    const double step = StrToFloatHM(stepText);
    if (!(step >= 1) || step > 1e6) return std::nullopt;
    if (date.size() != 10 || date[2] != '.' || date[5] != '.') return std::nullopt;
    const auto day = ParseWholeInteger(date.substr(0, 2));
    const auto month = ParseWholeInteger(date.substr(3, 2));
    const auto year = ParseWholeInteger(date.substr(6, 4));
    if (!day || !month || !year || *month < 1 || *month > 12 || *day < 1 || *year < 1)
        return std::nullopt;
    DateTimeRec rec;
    rec.Year = static_cast<int32_t>(*year);
    rec.Month = static_cast<int32_t>(*month);
    rec.Day = static_cast<double>(*day);
    const double jd = JulianDayOf(rec);
    // a day the calendar has comes back as itself (no 31.02, no day of the 1582 gap)
    const DateTimeRec back = CalendarFromJD(jd);
    if (back.Year != rec.Year || back.Month != rec.Month || back.Day != rec.Day)
        return std::nullopt;
    std::vector<std::string> out;
    for (int i = 1; i <= 12; ++i) {
        const DateTimeRec d = CalendarFromJD(jd + i * step);
        out.push_back(IntToStrZ(static_cast<long long>(std::floor(d.Day)), 2) + "." +
                      IntToStrZ(d.Month, 2) + "." + std::to_string(d.Year));
    }
    return out;
}

} // namespace qor::interp
