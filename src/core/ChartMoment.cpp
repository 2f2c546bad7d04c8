#include "core/ChartMoment.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

namespace qor {

namespace {

// A whole number of digits with blanks around; nothing for anything else (a sign too).
std::optional<int> Digits(std::string_view text, int maxValue) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 7) return std::nullopt;
    for (char c : t)
        if (c < '0' || c > '9') return std::nullopt;
    const int v = std::stoi(t);
    if (v > maxValue) return std::nullopt;
    return v;
}

} // namespace

MomentTexts MomentTextsOf(const DatRec& rec) {
    return {rec[kRecDate], rec[kRecTime], rec[kRecZone], rec[kRecLat], rec[kRecLong]};
}

std::optional<MomentDate> ParseMomentDate(std::string_view text) {
    std::string rest = Trim(text);
    bool beforeEra = false;
    if (!rest.empty() && (rest.back() == 'B' || rest.back() == 'b')) {
        beforeEra = true;
        rest.pop_back();
    }
    const std::size_t dot1 = rest.find('.');
    const std::size_t dot2 = dot1 == std::string::npos ? dot1 : rest.find('.', dot1 + 1);
    if (dot2 == std::string::npos) return std::nullopt;
    const auto d = Digits(std::string_view(rest).substr(0, dot1), 31);
    const auto m = Digits(std::string_view(rest).substr(dot1 + 1, dot2 - dot1 - 1), 12);
    // The date field holds four digits of year: a longer year would be cut when shown.
    const auto y = Digits(std::string_view(rest).substr(dot2 + 1), 9999);
    if (!d || !m || !y) return std::nullopt;
    const int shown = *y == 0 ? 1 : *y; // the year 0000 is shown as 0001
    const MomentDate date{beforeEra ? 1 - shown : shown, *m, *d};
    if (!CalendarDateValid(date.Year, date.Month, date.Day)) return std::nullopt;
    return date;
}

std::optional<MomentTime> ParseMomentTime(std::string_view text) {
    std::string rest(text);
    const auto h = Digits(NextField(rest, ':'), 23);
    const auto m = Digits(NextField(rest, ':'), 59);
    // Seconds may be left out ("12:30").
    const std::string sec = Trim(rest);
    const auto s = sec.empty() ? std::optional<int>(0) : Digits(sec, 59);
    if (!h || !m || !s) return std::nullopt;
    return MomentTime{*h, *m, *s};
}

std::optional<int> ParseMomentZone(std::string_view text) {
    const auto zone = ParseZoneOffset(text);
    if (!zone || *zone < kZoneMinMinutes || *zone > kZoneMaxMinutes) return std::nullopt;
    return zone;
}

std::string MomentProblem(const AstroDat& s, MomentField f, const std::string& text) {
    struct Name {
        const char* ru;
        const char* en;
    };
    static const Name kNames[] = {
        {"", ""},         {"дата", "date"},       {"время", "time"},
        {"пояс", "zone"}, {"широта", "latitude"}, {"долгота", "longitude"}};
    const Name& n = kNames[static_cast<int>(f)];
    return Lang(s, Cp("Данные не приняты: неверное поле «") + Cp(n.ru) + Cp("»: "),
                std::string("Data refused: a wrong ") + n.en + ": ") +
           "\"" + text + "\"";
}

MomentParse ParseChartMoment(const AstroDat& s, const MomentTexts& t) {
    MomentParse r;
    auto refuse = [&](MomentField f, const std::string& text) {
        r.Refused = f;
        r.Problem = MomentProblem(s, f, text);
        return r;
    };
    const auto date = ParseMomentDate(t.Date);
    if (!date) return refuse(MomentField::Date, t.Date);
    const auto time = ParseMomentTime(t.Time);
    if (!time) return refuse(MomentField::Time, t.Time);
    const auto zone = ParseMomentZone(t.Zone);
    if (!zone) return refuse(MomentField::Zone, t.Zone);
    const auto lat = ParseLatitude(t.Lat);
    if (!lat) return refuse(MomentField::Latitude, t.Lat);
    const auto lon = ParseLongitude(t.Long);
    if (!lon) return refuse(MomentField::Longitude, t.Long);
    r.Moment = ChartMoment{date->Year,   date->Month, date->Day, time->Hour, time->Minute,
                           time->Second, *zone,       *lat,      *lon};
    return r;
}

double JulianDayUT(const ChartMoment& m) {
    DateTimeRec rec;
    rec.Year = m.Year;
    rec.Month = m.Month;
    rec.Day = m.Day;
    const double ut = m.Hour + m.Minute / 60.0 + m.Second / 3600.0 - m.ZoneMinutes / 60.0;
    return JulianDayOf(rec) + ut / 24.0;
}

ChartMoment MomentAtJD(ChartMoment m, double jd) {
    const DateTimeRec r = CalendarFromJD(jd);
    m.Year = r.Year;
    m.Month = r.Month;
    m.Day = static_cast<int>(r.Day);
    m.Hour = r.Hour;
    m.Minute = r.Minute;
    m.Second = static_cast<int>(r.Second);
    return m;
}

std::string MomentDateText(const ChartMoment& m) {
    std::string date = IntToStrW(m.Day, 2) + "." + IntToStrZ(m.Month, 2) + ".";
    date += m.Year <= 0 ? IntToStrZ(1 - m.Year, 4) + "B" : IntToStrZ(m.Year, 4);
    return date;
}

DateField MomentDateField(const ChartMoment& m) {
    return {MomentDateText(m).substr(0, 10), m.Year <= 0};
}

std::string MomentTimeText(const ChartMoment& m) {
    return IntToStrW(m.Hour, 2) + ":" + IntToStrZ(m.Minute, 2) + ":" + IntToStrZ(m.Second, 2);
}

std::string MomentZoneText(int zoneMinutes) {
    const int a = zoneMinutes < 0 ? -zoneMinutes : zoneMinutes;
    return std::string(1, zoneMinutes < 0 ? '-' : '+') + IntToStrZ(a / 60, 2) + ":" +
           IntToStrZ(a % 60, 2);
}

ChartMoment MomentOf(const ChartContext& c) {
    return {c.ChartYear,   c.ChartMonth, c.ChartDay, c.ChartHour, c.ChartMinute,
            c.ChartSecond, c.ChartZone,  c.ChartLat, c.ChartLong};
}

void SetChartMoment(ChartContext& c, const ChartMoment& m) {
    c.ChartYear = m.Year;
    c.ChartMonth = m.Month;
    c.ChartDay = m.Day;
    c.ChartHour = m.Hour;
    c.ChartMinute = m.Minute;
    c.ChartSecond = m.Second;
    c.ChartZone = m.ZoneMinutes;
    c.ChartLat = m.Lat;
    c.ChartLong = m.Long;
}

} // namespace qor
