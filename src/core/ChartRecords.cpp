#include "core/ChartRecords.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <utility>

namespace qor {

namespace {

// The integer of columns [from, from + 2) of a time text, 0 where it is not a number.
int TimeColumns(const std::string& text, std::size_t from) {
    if (from >= text.size()) return 0;
    return StrToIntDef0(std::string_view(text).substr(from, 2));
}

std::string FieldProblem(const AstroDat& s, const char* russian, const char* english,
                         const std::string& text) {
    return Lang(s, Cp(russian), english) + " \"" + text + "\"";
}

} // namespace

DatRecNameDateTime GetDatRecNameDateTime(const DatRec& rec) {
    return {rec[kRecName], rec[kRecDate], rec[kRecTime]};
}

UnpackedDatRec UnpackDatRec(const AstroDat& s, const DatRec& rec) {
    UnpackedDatRec r;
    const DateParts d = ParseDateText(rec[kRecDate]);
    if (!d.ok) {
        r.problem = FieldProblem(s, "Неверная дата", "Wrong date", rec[kRecDate]);
        return r;
    }
    r.day = d.d;
    r.month = d.m;
    r.year = d.y;
    const std::string& t = rec[kRecTime];
    r.hour = TimeColumns(t, 0);
    r.minute = TimeColumns(t, 3);
    r.second = TimeColumns(t, 6);
    if (r.hour < 0 || r.hour > 23 || r.minute < 0 || r.minute > 59 || r.second < 0 ||
        r.second > 59) {
        r.problem = FieldProblem(s, "Неверное время", "Wrong time", t);
        return r;
    }
    const auto zone = ParseZoneOffset(rec[kRecZone]);
    if (!zone) {
        r.problem = FieldProblem(s, "Неверный пояс", "Wrong zone", rec[kRecZone]);
        return r;
    }
    r.zone = *zone;
    const auto lat = ParseLatitude(rec[kRecLat]);
    if (!lat) {
        r.problem = FieldProblem(s, "Неверная широта", "Wrong latitude", rec[kRecLat]);
        return r;
    }
    r.lat = *lat;
    const auto lon = ParseLongitude(rec[kRecLong]);
    if (!lon) {
        r.problem = FieldProblem(s, "Неверная долгота", "Wrong longitude", rec[kRecLong]);
        return r;
    }
    r.lon = *lon;
    r.ok = true;
    return r;
}

bool UnpackDatRecToChart(AstroDat& s, const DatRec& rec) {
    const UnpackedDatRec r = UnpackDatRec(s, rec);
    if (!r.ok) {
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                Lang(s, Cp("Данные карты не приняты: "), "Chart data refused: ") +
                                    r.problem);
        return false;
    }
    SetChartMomentOf(s, r);
    return true;
}

void SetChartMomentOf(AstroDat& s, const UnpackedDatRec& r) {
    s.ChartDay = r.day;
    s.ChartMonth = r.month;
    s.ChartYear = r.year;
    s.ChartHour = r.hour;
    s.ChartMinute = r.minute;
    s.ChartSecond = r.second;
    s.ChartZone = r.zone;
    s.ChartLat = r.lat;
    s.ChartLong = r.lon;
}

double DatRecJulianDay(const UnpackedDatRec& r) {
    DateTimeRec rec;
    rec.Year = r.year;
    rec.Month = r.month;
    rec.Day = r.day;
    const double ut = r.hour + r.minute / 60.0 + r.second / 3600.0 - r.zone / 60.0;
    return JulianDayOf(rec) + ut / 24.0;
}

bool SwapCharts(AstroDat& s) {
    if (!UnpackDatRec(s, s.DatRec2).ok) {
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

} // namespace qor
