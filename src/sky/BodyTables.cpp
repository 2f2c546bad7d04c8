#include "sky/BodyTables.h"

#include "core/AstrClcs.h"
#include "core/RiseSet.h"
#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <cmath>
#include <cstdio>

namespace qor {

namespace {

constexpr double kKmPerAu = 149600000;

std::string Dms(double rad) {
    return Trim(FormatDMSAs(1, rad * kRadToArcSec));
}

// A whole number with blanks between the thousands, right-aligned in `width`.
std::string Grouped(double value, int width) {
    std::string digits = std::to_string(std::llround(std::abs(value)));
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, " ");
    if (value < 0 && std::llround(value) != 0) digits.insert(0, "-");
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), ' ');
    return digits;
}

} // namespace

std::string PlanetDistanceText(const AstroDat& s, double au) {
    if (au <= 0.1)
        return Trim(IntToStrW(std::llround(au * kKmPerAu), 9)) + Lang(s, Cp(" км"), " km");
    return Trim(FloatToStrComma(9, 5, au)) + Lang(s, Cp(" ае"), " au");
}

bool FillPlanetInfo(AstroDat& s, const CosmosBodies& b, ChartEngine& e, const GeneralOptions& g,
                    int index, bool helioMode, bool blackMoonFocus, PlanetInfoTexts& t) {
    if (index < 0 || index >= kBodyRecords) return false;
    int i = index;
    if (helioMode && i == 1) i = 0;
    t = PlanetInfoTexts{};
    const bool glyphs = s.GlyphNames;
    s.GlyphNames = false;
    t.Caption = Trim(i > 16 ? b.PlanetsMdb[i + 57].Name : BodyName(s, i));
    s.GlyphNames = glyphs;
    const BodyRec& r = s.Bodies[i];
    if (i != 0) {
        t.Label[2] = Dms(r[kBodyLon]);
        t.Label[3] = Dms(r[kBodyLat]);
        t.Label[4] = Trim(FormatSecondsHMS(true, r[kBodyRA] * kRadToArcSec / 15));
        t.Label[5] = Dms(r[kBodyDec]);
        t.Label[6] = Dms(r[kBodyAzimuth]);
        t.Label[7] = Dms(r[kBodyAltitude]);
    }
    if (i >= 11 && i <= 14) {
        if (i == 13 && blackMoonFocus) t.Label[28] = PlanetDistanceText(s, r[kBodyDistance]);
        return true;
    }
    t.Label[20] = Dms(r[kBodyInclination]);
    t.Label[21] = Trim(FloatToStrComma(8, 5, r[kBodyEccentricity]));
    t.Label[22] = Trim(FloatToStrComma(8, 5, r[kBodySemiMajorAxis]));
    t.Label[23] = Dms(r[kBodyNode]);
    t.Label[24] = Dms(r[kBodyPerihelion]);
    t.Label[25] = Dms(i == 1 ? s.Bodies[0][kBodyHelioLon] : r[kBodyHelioLon]);
    if (i != 1 && i != 2) t.Label[26] = PlanetDistanceText(s, r[kBodyHelioRadius]);
    if (i != 0) t.Label[28] = PlanetDistanceText(s, r[kBodyDistance]);
    if (i == 1 || i == 2) {
        const RiseSetTimes rs = i == 1 ? SunRiseSet(s, e, g) : MoonRiseSet(s, e, g);
        t.Label[34] = Trim(FormatSecondsHMS(false, rs.transit * 3600));
        const std::string no = Lang(s, Cp("Нет"), "No");
        if (rs.status == kNeverRises) {
            t.Label[31] = no;
        } else if (rs.status == kNeverSets) {
            t.Label[32] = no;
        } else {
            t.Label[31] = Trim(FormatMinutesHHMM(rs.rise * 3600));
            t.Label[32] = Trim(FormatMinutesHHMM(rs.set * 3600));
        }
    }
    return true;
}

int SatelliteRowSlot(int mode, int row) {
    return mode == 1 ? CosmosModeSlot(1 + row) : CosmosModeSlot(mode) + row;
}

int SatelliteRows(int mode) {
    return mode >= 0 && mode <= kMaxCosmosMode ? SatelliteCount(mode) : 0;
}

std::string SatelliteHeader(const AstroDat& s, int mode, int column) {
    static const char* const ru[kSatColumns] = {"Спутник",
                                                "",
                                                "Расстояние/от центра",
                                                "Период/обращения",
                                                "Диаметр",
                                                "Эксцен-/триситет",
                                                "Наклон/орбиты",
                                                "Долгота/восх.узла",
                                                "Долгота/перицентра",
                                                "Долгота/в орбите",
                                                "Наклон экватора/к орбите",
                                                "Период/вращения",
                                                "  Масса/"};
    static const char* const en[kSatColumns] = {"Satellite",
                                                "",
                                                "Distance/from center",
                                                "Revolution/period",
                                                "Diameter",
                                                "Eccen-/tricity",
                                                "Inclination/of orbit",
                                                "Node",
                                                "Pericenter",
                                                "Orbital/longitude",
                                                "Inclination/of equator",
                                                "Rotation/period",
                                                "Weight/"};
    if (column < 0 || column >= kSatColumns) return {};
    std::string h = Lang(s, Cp(ru[column]), en[column]);
    if (column == 12)
        h += mode == 1 ? Lang(s, Cp("(Земля=1)"), "(Earth=1)")
                       : Lang(s, Cp("(1:Mпланеты)"), "(1:Mplanet)");
    return h;
}

std::string SatelliteCell(const AstroDat& s, const CosmosBodies& b, int mode, int row, int column) {
    if (row < 1 || row > SatelliteRows(mode)) return {};
    const int slot = SatelliteRowSlot(mode, row);
    if (slot < 0 || slot >= kPlanetsMdbSlots) return {};
    const PlnMdbRec& r = b.PlanetsMdb[slot];
    switch (column) {
    case 0:
        return Trim(r.Name);
    case 1: {
        const bool orbit = b.OrbitFlags[mode][row] != 0,
                   scheme = b.OrbitSchemeFlags[mode][row] != 0;
        return orbit && scheme ? "\xA9" : orbit ? "\xAE" : " ";
    }
    case 2:
        return r.Axis <= 1 ? Grouped(r.Axis * kKmPerAu, 12) : FloatToStrComma(12, 3, r.Axis);
    case 3: {
        if (r.MeanMotion == 0) return {};
        const double days = 2 * kPi / r.MeanMotion;
        return FloatToStrComma(7, 3, days < 366 ? days : days / 365.25);
    }
    case 4:
        return Grouped(r.Diameter, 10);
    case 5:
        return FloatToStrComma(5, 3, r.Ecc);
    case 6:
        return Dms(r.Incl);
    case 7:
        return Dms(r.Node);
    case 8:
        return Dms(r.Peri);
    case 9:
        return Dms(r.MeanLon);
    case 10:
        return Dms(r.EquatorIncl);
    case 11:
        return FloatToStrComma(5, 3, r.RotationHours);
    case 12: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%10.3g", r.Mass);
        std::string m = buf;
        for (char& c : m)
            if (c == '.') c = ',';
        return m;
    }
    default:
        return {};
    }
}

std::vector<std::string> DefaultSatelliteFlags() {
    std::vector<std::string> lines = {"0111111110100011111111"};
    for (int i = 0; i < 4; ++i) lines.push_back("0111111111111111111111");
    for (int i = 0; i < 5; ++i) lines.push_back("0000000000000000000000");
    return lines;
}

void LoadSatelliteFlags(CosmosBodies& b, const std::vector<std::string>& lines) {
    const std::vector<std::string> defaults = DefaultSatelliteFlags();
    for (int m = 1; m <= 10; ++m) {
        const std::string& line = m - 1 < static_cast<int>(lines.size()) ? lines[m - 1] : "";
        for (int j = 0; j < 22; ++j) {
            const char c = j < static_cast<int>(line.size()) ? line[j] : defaults[m - 1][j];
            b.OrbitFlags[m][j] = c == '1' ? 1 : 0;
        }
    }
}

std::vector<std::string> SaveSatelliteFlags(const CosmosBodies& b) {
    std::vector<std::string> lines;
    for (int m = 1; m <= 10; ++m) {
        std::string line;
        for (int j = 0; j < 22; ++j) line += b.OrbitFlags[m][j] ? '1' : '0';
        lines.push_back(line);
    }
    return lines;
}

} // namespace qor
