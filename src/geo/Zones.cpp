#include "geo/Zones.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "geo/Atlas.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <cstdlib>

namespace qor {

namespace {

const std::string kVariatFile = "variat.ctm";
const std::string kCorrecFile = "correc.ctm";

// Days from 1 January 1970 of a Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

long long MomentMinutes(int y, int m, int d, int h, int min) {
    return DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) * 1440 + h * 60 +
           min;
}

std::optional<int> NumberAt(std::string_view line, std::size_t from, std::size_t width) {
    if (from >= line.size()) return std::nullopt;
    const auto v = ParseWholeInteger(line.substr(from, width));
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

void ReportZoneFailure(AstroDat& s, const std::string& text) {
    PlayWav(s, "Error.wav");
    ReportOf(s).ShowMessage(MsgKind::Error, text);
}

// A zone table that does not read is told once per run (every look-up in it fails).
void ReportTableOnce(AstroDat& s, const std::string& file, const std::string& text) {
    if (s.Messages.reportedMissing.insert({file, -2}).second) ReportZoneFailure(s, text);
}

// Reads a zone table; false (told once) when the file cannot be read or is far too large.
bool ReadZoneTable(AstroDat& s, const std::string& file, std::vector<std::string>& lines) {
    const IoResult r = ReadTextLines(s.DataPath(file), lines, kZoneTableMaxBytes);
    if (r.ok()) return true;
    if (r.error == EFBIG)
        ReportTableOnce(s, file,
                        file + Lang(s, ": файл слишком велик для таблицы зон"_cp,
                                    ": the file is too large for a zone table"));
    else if (s.Messages.reportedMissing.insert({file, -2}).second)
        IOCheck(s, r, file);
    return false;
}

std::string UnreadableTableText(AstroDat& s, const std::string& file) {
    return file + Lang(s, ": таблица не читается; зона неизвестна"_cp,
                       ": the table does not read; the zone is unknown");
}

// A dated line of "correc.ctm": day, month, year and hour (Moscow time) all numbers.
struct SummerLine {
    int day, month, year, hour;
};
std::optional<SummerLine> SummerLineOf(std::string_view line) {
    const auto y = NumberAt(line, 7, 4), d = NumberAt(line, 1, 2), mo = NumberAt(line, 4, 2),
               hr = NumberAt(line, 12, 2);
    if (!y || !d || !mo || !hr) return std::nullopt;
    return SummerLine{*d, *mo, *y, *hr};
}

// The summer-time table reads when it has a dated line and every other line is blank or a
// comment (";" first).
bool SummerTableReads(const std::vector<std::string>& lines) {
    bool dated = false;
    for (const auto& line : lines) {
        if (Trim(line).empty() || line[0] == ';') continue;
        if (!SummerLineOf(line)) return false;
        dated = true;
    }
    return dated;
}

std::string HoursText(int minutes) {
    if (minutes % 60 == 0) return std::to_string(minutes / 60);
    return FormatDT(minutes);
}

} // namespace

std::optional<ZoneMoment> ZoneMomentFromTexts(std::string_view dateText,
                                              std::string_view timeText) {
    const DateParts d = ParseDateText(dateText);
    if (!d.ok) return std::nullopt;
    TimeParts t = ParseTimeText(timeText);
    if (!t.ok) t = ParseTimeText(std::string(timeText) + ":00");
    if (!t.ok) return std::nullopt;
    return ZoneMoment{d.y, d.m, d.d, t.h, t.m};
}

std::string FormatDT(int minutes) {
    const int a = std::abs(minutes);
    std::string out(1, minutes < 0 ? '-' : '+');
    out += IntToStrZ(a / 60, 2);
    out += ':';
    out += IntToStrZ(a % 60, 2);
    return out;
}

ZoneWindowTexts ZoneEditTexts(const ZoneLookup& z) {
    ZoneWindowTexts t;
    if (!z.ok) return t;
    switch (z.source) {
    case ZoneSource::Longitude:
        t.edit1 = t.edit3 = IntToStrW(z.zoneMinutes / 60, 3) + ":00";
        break;
    case ZoneSource::History:
    case ZoneSource::Database:
        t.edit1 = HoursText(z.zoneMinutes);
        t.edit2 = HoursText(z.summerMinutes);
        t.edit3 = HoursText(z.dT());
        if (z.moscowDiffMinutes) {
            t.edit4 = *z.moscowDiffMinutes % 60 == 0 ? IntToStrW(*z.moscowDiffMinutes / 60, 2)
                                                     : FormatDT(*z.moscowDiffMinutes);
        }
        break;
    }
    return t;
}

ZoneHistory ParseZoneHistory(const std::vector<std::string>& lines) {
    ZoneHistory h;
    if (lines.size() >= 8) {
        for (int c = 1; c <= kZoneColumns; ++c) {
            const std::size_t base = 5 * static_cast<std::size_t>(c - 1);
            const auto day = NumberAt(lines[4], base + 6, 2);
            const auto month = NumberAt(lines[5], base + 5, 2);
            const auto year = NumberAt(lines[6], base + 4, 4);
            const auto hour = NumberAt(lines[7], base + 5, 1);
            if (!day || !month || !year || !hour) break;
            h.columns.push_back({*day, *month, *year, *hour});
        }
    }
    for (std::size_t i = 8; i < lines.size(); ++i) h.zoneLines.push_back(lines[i]);
    return h;
}

std::optional<int> RegionLineZone(std::string_view line, int k) {
    int c = k;
    while (c >= 1) {
        const std::size_t mark = 5 * static_cast<std::size_t>(c - 1) + 6;
        if (mark < line.size() && line[mark] == '.')
            --c;
        else
            break;
    }
    if (c < 1) return std::nullopt;
    return NumberAt(line, 5 * static_cast<std::size_t>(c - 1) + 5, 2);
}

ZoneLookup RegionZone(AstroDat& s, const ZoneMoment& m, std::string_view regionText) {
    ZoneLookup out;
    out.source = ZoneSource::History;
    const auto n =
        ParseWholeInteger(regionText.substr(0, std::min<std::size_t>(2, regionText.size())));
    if (!n || *n < 0) {
        ReportZoneFailure(s, Lang(s, "Номер временной зоны не число: "_cp,
                                  "The time-zone region is not a number: ") +
                                 "\"" + std::string(regionText) + "\"");
        return out;
    }
    std::vector<std::string> lines;
    if (!ReadZoneTable(s, kVariatFile, lines)) return out;
    const ZoneHistory h = ParseZoneHistory(lines);
    if (static_cast<std::size_t>(kMoscowRegion) >= h.zoneLines.size() || h.columns.empty()) {
        ReportTableOnce(s, kVariatFile, UnreadableTableText(s, kVariatFile));
        return out;
    }
    const auto region = static_cast<std::size_t>(*n);
    if (region >= h.zoneLines.size()) {
        ReportZoneFailure(s, Lang(s, "Нет временной зоны "_cp, "No time-zone region ") +
                                 std::to_string(*n) + Lang(s, " в файле "_cp, " in the file ") +
                                 kVariatFile);
        return out;
    }
    const std::string& regionLine = h.zoneLines[region];
    const std::string& moscowLine = h.zoneLines[kMoscowRegion];

    // The column of the local date first, then of the moment in Moscow time: the change hours
    // are Moscow's, and the Moscow moment carries into the next or previous day.
    const long long local = MomentMinutes(m.year, m.month, m.day, m.hour, m.minute);
    const long long localDay = MomentMinutes(m.year, m.month, m.day, 0, 0);
    auto columnsUpTo = [&](long long moment, bool dateOnly) {
        int k = 0;
        for (const auto& c : h.columns) {
            const long long cm = MomentMinutes(c.year, c.month, c.day, dateOnly ? 0 : c.hour, 0);
            if (cm <= moment) ++k;
        }
        return k;
    };
    int k = columnsUpTo(localDay, true);
    std::optional<int> zr, zm;
    long long moscow = local;
    for (int pass = 0; pass < 3; ++pass) {
        if (k == 0) {
            out.beforeHistory = true;
            return out;
        }
        zr = RegionLineZone(regionLine, k);
        zm = RegionLineZone(moscowLine, k);
        if (!zr || !zm) {
            ReportZoneFailure(s, Lang(s, "Нет временной зоны "_cp, "No time-zone region ") +
                                     std::to_string(*n) + Lang(s, " в файле "_cp, " in the file ") +
                                     kVariatFile);
            return out;
        }
        moscow = local + (*zm - *zr) * 60LL;
        if (pass < 2) k = columnsUpTo(moscow, false);
    }

    // Summer time: the last line dated not later than the Moscow moment.
    std::vector<std::string> correc;
    if (!ReadZoneTable(s, kCorrecFile, correc)) return out;
    if (!SummerTableReads(correc)) {
        ReportTableOnce(s, kCorrecFile, UnreadableTableText(s, kCorrecFile));
        return out;
    }
    int summer = 0;
    const std::string* last = nullptr;
    for (const auto& line : correc) {
        if (const auto d = SummerLineOf(line);
            d && MomentMinutes(d->year, d->month, d->day, d->hour, 0) > moscow)
            break;
        last = &line;
    }
    if (last) summer = NumberAt(*last, 28, 2).value_or(0);
    out.ok = true;
    out.zoneMinutes = *zr * 60;
    out.summerMinutes = summer * 60;
    out.moscowDiffMinutes = (*zr - *zm) * 60;
    return out;
}

ZoneLookup DatabaseZone(AstroDat& s, const ZoneMoment& m, std::string_view ianaZone) {
    ZoneLookup out;
    out.source = ZoneSource::Database;
    const QTimeZone tz(QByteArray(ianaZone.data(), static_cast<qsizetype>(ianaZone.size())));
    if (!tz.isValid()) {
        ReportZoneFailure(s, Lang(s, "Нет временной зоны "_cp, "No time zone ") +
                                 std::string(ianaZone) +
                                 Lang(s, " в базе часовых поясов системы"_cp,
                                      " in the system's time-zone database"));
        return out;
    }
    // The instant of the local moment: the offset in force there, found by two steps (a local
    // time in a spring gap takes the offset before the change).
    const QDateTime asUtc(QDate(m.year, m.month, m.day), QTime(m.hour, m.minute), Qt::UTC);
    int offset = tz.offsetFromUtc(asUtc);
    for (int i = 0; i < 2; ++i) offset = tz.offsetFromUtc(asUtc.addSecs(-offset));
    const QDateTime instant = asUtc.addSecs(-offset);
    const int standard = tz.standardTimeOffset(instant);
    out.ok = true;
    out.zoneMinutes = static_cast<int>(std::lround(standard / 60.0));
    out.summerMinutes = static_cast<int>(std::lround((offset - standard) / 60.0));
    const QTimeZone moscow(QByteArray("Europe/Moscow"));
    if (moscow.isValid())
        out.moscowDiffMinutes =
            static_cast<int>(std::lround((offset - moscow.offsetFromUtc(instant)) / 60.0));
    return out;
}

ZoneLookup LongitudeZone(std::string_view longitudeText) {
    ZoneLookup out;
    out.source = ZoneSource::Longitude;
    const auto minutes = ZoneFromLongitude(longitudeText);
    if (!minutes) return out;
    out.ok = true;
    out.zoneMinutes = *minutes;
    return out;
}

ZoneLookup CityZone(AstroDat& s, const ZoneMoment& m, std::string_view regionText,
                    std::string_view longitudeText, std::string_view ianaZone) {
    if (!RemoveBlanks(regionText).empty() && m.year >= kZoneHistoryFirstYear) {
        ZoneLookup r = RegionZone(s, m, regionText);
        if (r.ok || !r.beforeHistory) return r;
    }
    if (!Trim(ianaZone).empty()) {
        ZoneLookup d = DatabaseZone(s, m, Trim(ianaZone));
        if (d.ok) return d;
    }
    return LongitudeZone(longitudeText);
}

std::string CityZoneText(const ZoneLookup& z) {
    return z.ok ? FormatDT(z.dT()) : std::string();
}

} // namespace qor
