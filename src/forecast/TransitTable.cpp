#include "forecast/TransitTable.h"

#include "core/AstroMath.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <cmath>

namespace qor::forecast {

namespace {

constexpr int kTableAspects = 14;
// The "WinStar" face's characters of points 1..16 and aspects 1..14 (0: none).
constexpr unsigned char kWinStarPoints[16] = {0xA2, 0xA1, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                                              0xA9, 0xAA, 0xAB, 0xC1, 0xE9, 0x53, 0x50, 0xB1};
constexpr unsigned char kWinStarAspects[14] = {0xC2, 0xC8, 0,    0,    0xC7, 0xC6, 0xCA,
                                               0xC5, 0,    0xC4, 0xCB, 0,    0xC9, 0xC3};

std::string Char(unsigned char c) {
    return std::string(1, static_cast<char>(c));
}

// An aspect's angle as text: "36°", "22,5°".
std::string AngleText(double rad) {
    return Trim(AspectAngleText(rad / kDegToRad));
}

// Minutes of arc in two digits with their sign: "05", "-05", "30".
std::string SignedMinutes(long long m) {
    return (m < 0 ? "-" : "") + IntToStrZ(std::llabs(m), 2);
}

} // namespace

TransitGlyphs TransitGlyphTable(bool winStar, const AspDefTable& table) {
    TransitGlyphs g;
    g.fontName = winStar ? "Winstar" : "QOR";
    g.charset = winStar ? 2 : 0;
    for (int p = 1; p <= 16; ++p)
        g.point[static_cast<std::size_t>(p)] =
            Char(winStar ? kWinStarPoints[p - 1] : static_cast<unsigned char>(0x8D + p - 1));
    for (int p = 17; p <= 26; ++p)
        g.point[static_cast<std::size_t>(p)] = winStar ? Char(0xC6) : "5";
    for (int p = 27; p <= 38; ++p) g.point[static_cast<std::size_t>(p)] = std::to_string(p - 26);
    g.point[27] = winStar ? Char(0xAD) : "A";
    g.point[36] = winStar ? Char(0xAC) : "M";
    for (int a = 1; a <= kTableAspects; ++a) {
        const unsigned char c =
            winStar ? kWinStarAspects[a - 1] : static_cast<unsigned char>(0xAB + a - 1);
        g.aspect[static_cast<std::size_t>(a)] =
            c != 0 ? Char(c) : AngleText(table.Asp[static_cast<std::size_t>(a)].AspAngle);
    }
    return g;
}

bool AspectAllowed(const AspDefTable& table, int a, int aspMode) {
    if (a < 1 || a > table.AspCount) return false;
    const char kind = table.Asp[static_cast<std::size_t>(a)].AspKind;
    return (kind == 'M' && aspMode == 1) || (kind == ' ' && aspMode == 2) ||
           (kind != '-' && aspMode == 3);
}

std::string TransitTableEntries(const TransitTableInput& in, int w, double transitLon) {
    std::string out;
    if (!in.table || w < 1 || w > 38) return out;
    for (int p = 1; p <= 38; ++p) {
        const bool chosen = (p <= 15 && p <= static_cast<int>(in.natal.size()) &&
                             in.natal[static_cast<std::size_t>(p - 1)] != '*') ||
                            (p >= 27 && p - 26 <= static_cast<int>(in.houses.size()) &&
                             in.houses[static_cast<std::size_t>(p - 27)] != '*');
        if (!chosen) continue;
        const double natal = in.natalLon[static_cast<std::size_t>(p)];
        const int a = AspectTestHit(*in.table, 1, natal, transitLon);
        if (a < 1 || a > kTableAspects || !AspectAllowed(*in.table, a, in.aspMode)) continue;
        const double dev = NormAngleSigned(in.table->Asp[static_cast<std::size_t>(a)].AspAngle -
                                           std::abs(NormAngleSigned(natal - transitLon)));
        const long long minutes = RoundEven(dev / kDegToRad * 60.0);
        out += in.glyphs.point[static_cast<std::size_t>(p)] +
               in.glyphs.aspect[static_cast<std::size_t>(a)] +
               in.glyphs.point[static_cast<std::size_t>(w)] + " (" + SignedMinutes(minutes) +
               ")   ";
    }
    return out;
}

int WorkingBody(const std::string& workPicker) {
    for (std::size_t i = 0; i < workPicker.size() && i < 16; ++i)
        if (workPicker[i] == '.') return static_cast<int>(i) + 1;
    return 1;
}

std::vector<std::string> TransitTableLines(const TransitTableInput& in, int w,
                                           const std::vector<EphemerisRecord>& year) {
    std::vector<std::string> lines;
    lines.reserve(year.size());
    for (const EphemerisRecord& r : year) {
        const double lon =
            w >= 1 && w <= kEphemerisPoints ? r.Lon[static_cast<std::size_t>(w - 1)] : 0;
        lines.push_back(IntToStrZ(r.Day, 2) + "." + IntToStrZ(r.Month, 2) + "   " +
                        TransitTableEntries(in, w, lon));
    }
    return lines;
}

std::vector<std::string> MoonTransitTable(AstroDat& s, ChartEngine& chart,
                                          const TransitTableInput& in, int month, int year) {
    std::vector<std::string> lines;
    const ChartContextGuard keep(s);
    s.ChartYear = year;
    s.ChartMonth = month;
    s.ChartDay = 1;
    s.ChartHour = s.ChartMinute = s.ChartSecond = 0;
    UpdateCalendarForYear(s);
    while (s.ChartMonth == month) {
        chart.CalcAstroTime();
        chart.CalcChart(2);
        lines.push_back(IntToStrZ(s.ChartDay, 2) + "  " + IntToStrZ(s.ChartHour, 2) + "   " +
                        TransitTableEntries(in, 2, chart.PlanetLon()[2]));
        IncHour(s, 2);
    }
    return lines;
}

} // namespace qor::forecast
