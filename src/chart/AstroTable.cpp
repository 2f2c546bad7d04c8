#include "chart/AstroTable.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/BodyMotion.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/BodyPoles.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

namespace {

// Diameters in kilometres of chart points 0 (the Earth) .. 10 (Pluto).
constexpr std::array<double, 11> kDiameterKm = {12757, 1392000, 3476,   4700,  12400, 6900,
                                                142000, 120000, 51000, 55000, 5900};
constexpr double kKmPerAu = 149600000;
// Seconds of time to radians.
constexpr double kTimeSecondToRad = 4.84813681109536e-06;

const char* const kTitlesEnglish[kAstroColumns] = {
    "",           "Longitude",  "Latitude ",  "R.Ascention", "Declination", "Hour angle",
    "Altitude ",  "Azimuth  ",  "From Earth", "Angle Speed", "Max. Speed",  " Speed(%)",
    "Angle Diam.", "     i    ", "   eks   ",  "     A    ",  "     O    ",  "     P    ",
    "     l    ", "     b    ", "     r    ", "     X     ", "     Y     ", "     Z     ",
    "Np Long.",   "Np Lat."};
const char* const kTitlesRussian[kAstroColumns] = {
    "               ", " Долгота  ",  "  Широта  ",  "Пр.восхождение", " Склонение",
    " Часовой угол ",  " Высота   ",  " Азимут   ",  "    От Земли ",  "Угл.скорость",
    " Макс.скор",      " Скор(%)",    "Угл.диам",    "     i    ",     "     e   ",
    "     A    ",      "     O    ",  "     P    ",  "     l    ",     "     b    ",
    "     r    ",      "     X     ", "     Y     ", "     Z     ",    "Долгота Np",
    " Широта Np"};

class Cells {
public:
    Cells(AstroDat& s, const AstroTableOptions& o) : s_(s), o_(o) {}

    std::string Text(int col, int row) {
        if (col < 0 || col >= kAstroColumns || row < 0 || row >= AstroRowCount(s_)) return {};
        if (row == 0) return s_.EnglishMode ? kTitlesEnglish[col] : Cp(kTitlesRussian[col]);
        const int b = row - 1;
        if (b >= kBodyRecords) return {};
        const BodyRec& r = s_.Bodies[b];
        if (col == 0) return Name(b, r);
        const bool observed =
            b != o_.ExterrBody && !(o_.ExterrBody != 0 && (b == 2 || (b >= 11 && b <= 14)));
        if (col <= 12 && !observed) return {};
        const bool orbit = b != 1 && (b <= 10 || b >= 15);
        const bool helio = b != 1 && b != 2 && (b <= 10 || b >= 15);
        switch (col) {
        case 1: return Angle(r[11]);
        case 2: return Angle(r[12]);
        case 3: return Hours(r[13]);
        case 4: return Angle(r[14]);
        case 5: return Hours(NormAngle(s_.SiderealTimeSec * 15 * kTimeSecondToRad - r[13]));
        case 6: return Angle(r[16]);
        case 7: return Angle(r[15]);
        case 8:
            if (b == 2 || (b == 13 && o_.BlackMoonFocus))
                return FloatToStrComma(13, 3, r[7] * kKmPerAu);
            if (b <= 10 || b >= 15) return FloatToStrComma(13, 3, r[7]);
            return {};
        case 9: return "  " + Angle(r[17]);
        case 10: {
            if (b > 10) return {};
            const std::string max = MaxSpeedText(b);
            return o_.DecimalMode ? FloatToStrComma(10, 5, StrToAngle(max) / kDegToRad) : max;
        }
        case 11: {
            if (b > 10) return {};
            const double max = StrToAngle(MaxSpeedText(b));
            return max == 0 ? std::string() : FloatToStrComma(8, 1, 100 * r[17] / max);
        }
        case 12:
            return b <= 10 ? DiamText(PlanetAngDiam(s_, b) * kRadToArcSec, o_.DecimalMode)
                           : std::string();
        case 13: return orbit ? Angle(r[0]) : std::string();
        case 14: return orbit ? FloatToStrComma(9, 7, r[1]) : std::string();
        case 15: return orbit ? FloatToStrComma(10, 7, r[2]) : std::string();
        case 16: return orbit ? Angle(r[3]) : std::string();
        case 17: return orbit ? Angle(r[5]) : std::string();
        case 18: return helio ? Angle(r[6]) : std::string();
        case 19:
            return helio ? Angle(std::asin(std::clamp(r[10] / NonZeroGuard(r[4]), -1.0, 1.0)))
                         : std::string();
        case 20: return helio ? FloatToStrComma(10, 7, r[4]) : std::string();
        case 21:
        case 22:
        case 23: return helio ? FloatToStrComma(11, 7, r[8 + col - 21]) : std::string();
        case 24:
        case 25: {
            if (b >= 10) return {};
            const PoleDirection pole = BodyEquatorPole(s_, b);
            return Angle(col == 24 ? pole.lon : pole.lat);
        }
        default: return {};
        }
    }

private:
    std::string Angle(double rad) const {
        if (o_.DecimalMode) return FloatToStrComma(10, 5, rad / kDegToRad);
        return FormatDMS(s_, rad * kRadToArcSec).substr(1);
    }
    std::string Hours(double rad) const {
        if (o_.DecimalMode) return FloatToStrComma(14, 7, rad / kDegToRad / 15);
        return FormatHMSRadSpaced(true, false, rad);
    }
    std::string Name(int b, const BodyRec& r) const {
        const bool retro = r[17] < 0;
        if (s_.GlyphNames) return BodyName(s_, b) + (retro ? "\x11" : "");
        std::string name;
        if (b <= 14) {
            name = Trim(BodyName(s_, b));
        } else if (o_.BodyTableName) {
            name = Trim(o_.BodyTableName(b + 57));
        }
        if (name.empty()) name = Trim(BodyName(s_, b));
        return FitTextLeft(name + (retro ? "(R)" : ""), 15);
    }

    AstroDat& s_;
    const AstroTableOptions& o_;
};

} // namespace

AstroTimeTexts AstroTimeLabels(const AstroDat& s) {
    static const std::string leapRu = Cp("Високосный"), gregRu = Cp("Григорианский"),
                             julRu = Cp("Юлианский");
    AstroTimeTexts t;
    t.LeapLabel = s.StepCalendar.LeapYear ? Lang(s, leapRu, "Leap") : std::string();
    t.GregLabel =
        s.StepCalendar.Gregorian ? Lang(s, gregRu, "Gregorian") : Lang(s, julRu, "Julian");
    t.JdLabel = FloatToStrComma(13, 5, s.ChartJD);
    t.TeLabel = FloatToStrWD(1, 1, s.DeltaTSec);
    // Degrees, minutes and seconds whatever format the wheel last drew with.
    const std::string eo = FormatDMSAs(1, s.EpsMean * kRadToArcSec);
    t.EoLabel = eo.size() > 1 ? eo.substr(1, 20) : std::string();
    t.dELabel = FloatToStrComma(4, 1, s.NutEps * kRadToArcSec) + "\"";
    t.dFLabel = FloatToStrComma(4, 1, s.NutPsi * kRadToArcSec) + "\"";
    t.StLabel = FormatSecondsHMS(false, s.SiderealTimeSec);
    return t;
}

std::string AstroCellText(AstroDat& s, const AstroTableOptions& o, int col, int row) {
    return Cells(s, o).Text(col, row);
}

double PlanetAngDiam(const AstroDat& s, int point) {
    if (point < 0 || point > 10) return 0;
    const double d = NonZeroGuard(s.Bodies[point][kBodyDistance]);
    return std::atan(kDiameterKm[point] / kKmPerAu / d);
}

std::string DiamText(double arcsec, bool decimal) {
    if (decimal) return FloatToStrComma(8, 5, arcsec / 60);
    // Tenths of a second first, so that 59.96" carries into the minute.
    const long long tenths = RoundEven(std::fabs(arcsec) * 10);
    const long long m = tenths / 600;
    const std::string sec = FloatToStrComma(4, 1, static_cast<double>(tenths % 600) / 10) + "\"";
    return m <= 0 ? "   " + sec : IntToStrW(m, 2) + "'" + sec;
}

std::vector<std::string> AstroTextTable(AstroDat& s, AstroTableOptions o,
                                        const std::string& caption,
                                        const AstroLabelCaptions& labels,
                                        const std::string& flags) {
    const auto flag = [&](std::size_t i) { return i <= flags.size() && flags[i - 1] == '1'; };
    o.DecimalMode = flag(1);
    const bool glyphs = s.GlyphNames;
    s.GlyphNames = false;

    std::vector<std::string> out{caption};
    const auto degrees = [](double rad) { return FloatToStrComma(10, 5, rad / kDegToRad); };
    const AstroTimeTexts t = AstroTimeLabels(s);
    const std::array<std::string, 9> values = {
        t.JdLabel,
        t.StLabel,
        o.DecimalMode ? degrees(s.EpsMean) : t.EoLabel,
        o.DecimalMode ? degrees(StrToAngle(s.SVPText)) : s.SVPText,
        o.DecimalMode ? degrees(s.NutEps) : t.dELabel,
        o.DecimalMode ? degrees(s.NutPsi) : t.dFLabel,
        s.UTDateText,
        s.UTTimeText,
        t.TeLabel};
    for (std::size_t i = 0; i < values.size(); ++i)
        out.push_back(Trim(labels.Captions[i]) + " " + Trim(values[i]));

    // Every column as wide as its widest cell, so that empty cells keep the columns aligned.
    Cells cells(s, o);
    const int rows = AstroRowCount(s);
    std::vector<std::vector<std::string>> grid(rows, std::vector<std::string>(kAstroColumns));
    std::array<std::size_t, kAstroColumns> width{};
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kAstroColumns; ++c) {
            grid[r][c] = cells.Text(c, r);
            width[c] = std::max(width[c], grid[r][c].size());
        }
    for (int r = 0; r < rows; ++r) {
        std::string line;
        for (int c = 0; c < kAstroColumns; ++c)
            if (flag(static_cast<std::size_t>(c) + 2))
                line += FitTextLeft(grid[r][c], static_cast<int>(width[c])) + " ";
        out.push_back(line);
    }
    s.GlyphNames = glyphs;
    return out;
}

std::string NextAstroFileName(const AstroDat& s) {
    for (int n = 1; n <= 999; ++n) {
        const std::string name = "Wrk\\Astro" + std::to_string(n) + ".txt";
        std::error_code ec;
        if (!fs::exists(s.DataPath(name), ec)) return name;
    }
    return {};
}

} // namespace qor::chart
