#include "core/ChartRecords.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <utility>

namespace qor {

DatRecNameDateTime GetDatRecNameDateTime(const DatRec& rec) {
    return {rec[kRecName], rec[kRecDate], rec[kRecTime]};
}

bool UnpackDatRecToChart(AstroDat& s, const DatRec& rec) {
    const MomentParse r = ParseChartMoment(s, rec);
    if (!r) {
        ReportOf(s).ShowMessage(MsgKind::Warning, r.Problem);
        return false;
    }
    SetChartMoment(s, *r.Moment);
    return true;
}

bool SwapCharts(AstroDat& s) {
    if (!ParseChartMoment(s, s.DatRec2)) {
        UnpackDatRecToChart(s, s.DatRec2); // tells the user what is wrong
        return false;
    }
    std::swap(s.DatRec1, s.DatRec2);
    UnpackDatRecToChart(s, s.DatRec1);
    std::swap(s.DynMethod, s.DynMethod2);
    std::swap(s.DateShort1, s.DateShort2);
    std::swap(s.DirAge, s.DirAge2);
    UpdateCalendarForYear(s);
    return true;
}

std::string SexCodeToLetter(const AstroDat& s, const std::string& code) {
    if (code == "0") return "M";
    if (code == "1") return Lang(s, Cp("Ж"), "W");
    return std::string(1, '\x97');
}

std::string SexLetterToCode(const std::string& letter) {
    const std::string l = Trim(letter);
    if (l == "M" || l == Cp("М")) return "0";
    if (l == "W" || l == Cp("Ж")) return "1";
    return "2";
}

std::string LineBreaksToBars(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += '|';
        } else if (c == '\n') {
            out += '|';
        } else {
            out += c == ';' ? ',' : c;
        }
    }
    return out;
}

std::string BarsToLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '|')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

} // namespace qor
