// The astronomical data table: its columns against python3-ephem for charts of both
// hemispheres, the labels of the time step, the fixed texts (greatest speeds, diameters), the
// names with their retrograde marks, and the text export with its decimal form and its
// columns left out.
#include "chart/AstroTable.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/BodyMotion.h"
#include "core/Chart.h"
#include "core/ChartEngine.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "support/JulianDays.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace qor::chart {
namespace {

constexpr double kArcsec = kArcsecToRad;

class AstroTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
    }
    void ChartAt(double jdUT, double latDeg, double lonDeg) {
        SetChartMoment(s, test::MomentOfJD(jdUT));
        s.ChartZone = 0;
        s.ChartLat = latDeg * kDegToRad;
        s.ChartLong = lonDeg * kDegToRad;
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
        ShowUTLabels(s);
    }
    // A cell of the decimal form read back as a number ("," the decimal point).
    double Decimal(int col, int point) {
        AstroTableOptions o;
        o.DecimalMode = true;
        std::string t = Trim(AstroCellText(s, o, col, point + 1));
        CommaToPoint(t);
        EXPECT_FALSE(t.empty()) << col << " " << point;
        return t.empty() ? 0 : std::stod(t);
    }
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen; // topocentric places, as the chart computes them by default
};

double SignedDegrees(double a) {
    return std::remainder(a, 360.0);
}

// Topocentric right ascension and declination, altitude without refraction, azimuth from the
// south, geocentric distance, angular diameter and the heliocentric place of the planets, as
// python3-ephem gives them for an observer at sea level without refraction. Tolerances: 2" in
// position for the Sun and the planets (Pluto 12"), whose series agree with libastro's to
// about an arc-second; 40" for the Moon, whose theories differ by up to half a minute and whose
// parallax here takes the Earth as a sphere (libastro: the ellipsoid); distances as written
// (0.001 AU; the Moon 25 km), the radius vector to 2e-5 of itself (the series' radii are
// shorter than their longitudes), diameters to a tenth of an
// arc-second of the table's diameters at libastro's distances. The planets' heliocentric places
// and distances are those of the moment their light left them, as the chart's own.
TEST_F(AstroTableTest, ColumnsAgreeWithPythonEphemInBothHemispheres) {
    std::ifstream in(fs::path(QOR_FIXTURES_DIR) / "ephem_astro_table.txt");
    ASSERT_TRUE(in);
    std::string line;
    int rows = 0, charts = 0;
    std::map<int, double> worst;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        std::string kind;
        f >> kind;
        if (kind == "C") {
            double jd, lat, lon;
            f >> jd >> lat >> lon;
            ChartAt(jd, lat, lon);
            ++charts;
            continue;
        }
        int p;
        double ra, dec, alt, az, dist, size, hlon, hlat, r;
        f >> p >> ra >> dec >> alt >> az >> dist >> size >> hlon >> hlat >> r;
        const double pos = p == 2 ? 40 : p == 10 ? 12 : 2; // arc-seconds
        const double cosDec = std::cos(dec * kDegToRad);
        EXPECT_NEAR(SignedDegrees(Decimal(3, p) * 15 - ra) * cosDec * 3600, 0, pos) << line;
        EXPECT_NEAR((Decimal(4, p) - dec) * 3600, 0, pos) << line;
        EXPECT_NEAR((Decimal(6, p) - alt) * 3600, 0, pos) << line;
        EXPECT_NEAR(SignedDegrees(Decimal(7, p) - az) * std::cos(alt * kDegToRad) * 3600, 0, pos)
            << line;
        worst[p] = std::max(worst[p], std::fabs(Decimal(4, p) - dec) * 3600);
        if (p == 2)
            EXPECT_NEAR(Decimal(8, p), dist * 149600000, 25) << line;
        else
            EXPECT_NEAR(Decimal(8, p), dist, 0.0006) << line; // written to 0.001 AU
        // the table's diameters (km) at libastro's distance; libastro's own for the Sun and
        // the Moon, whose diameters both know alike
        const double km[11] = {12757, 1392000, 3476, 4700, 12400, 6900, 142000, 120000, 51000, 55000, 5900};
        const double diam = PlanetAngDiam(s, p) / kArcsec;
        EXPECT_NEAR(diam, std::atan(km[p] / 149600000 / dist) / kArcsec, 0.1) << line;
        if (p <= 2) EXPECT_NEAR(diam / size, 1, 0.005) << line;
        if (p >= 3) {
            EXPECT_NEAR(SignedDegrees(Decimal(18, p) - hlon) * 3600, 0, pos) << line;
            EXPECT_NEAR((Decimal(19, p) - hlat) * 3600, 0, pos) << line;
            EXPECT_NEAR(Decimal(20, p) / r, 1, 2e-5) << line;
        } else {
            EXPECT_EQ(Trim(AstroCellText(s, {}, 18, p + 1)), "") << p;
        }
        ++rows;
    }
    EXPECT_EQ(charts, 3);
    EXPECT_EQ(rows, 30);
    for (auto [p, w] : worst) RecordProperty("dec" + std::to_string(p), std::to_string(w));
}

TEST(AstroTableTexts, TimeStepLabelsOfTheDataWindow) {
    AstroDat s;
    s.ChartYear = 2000;
    s.ChartMonth = 1;
    s.ChartDay = 1;
    s.ChartHour = 12;
    s.EnglishMode = true;
    CalcAstroTime(s, {});
    s.DMSFormat = 0; // as the wheel leaves it while it draws: the labels keep their seconds
    AstroTimeTexts t = AstroTimeLabels(s);
    EXPECT_EQ(t.JdLabel, "2451545,00000");
    EXPECT_EQ(t.TeLabel, "63.8");
    EXPECT_EQ(t.LeapLabel, "Leap");
    EXPECT_EQ(t.GregLabel, "Gregorian");
    EXPECT_EQ(t.dFLabel, FloatToStrComma(4, 1, s.NutPsi * kRadToArcSec) + "\"");
    EXPECT_EQ(t.dELabel, FloatToStrComma(4, 1, s.NutEps * kRadToArcSec) + "\"");
    EXPECT_NE(t.EoLabel.find("26'"), std::string::npos) << t.EoLabel;
    EXPECT_NE(t.EoLabel.find("21\""), std::string::npos) << t.EoLabel; // 23°26'21"

    // 1987 April 10, 19:21 UT at Greenwich (Meeus, example 12.b): sidereal time 8:34:57.
    s.ChartYear = 1987;
    s.ChartMonth = 4;
    s.ChartDay = 10;
    s.ChartHour = 19;
    s.ChartMinute = 21;
    s.EnglishMode = false;
    CalcAstroTime(s, {});
    EXPECT_EQ(AstroTimeLabels(s).StLabel, " 8:34:57");

    // The calendar of the moment stays though a later conversion changes the state's own.
    s.ChartYear = 1501;
    s.ChartMonth = 6;
    s.ChartHour = 0;
    CalcAstroTime(s, {});
    s.GregorianCal = true;
    s.ChartLeapYear = true;
    t = AstroTimeLabels(s);
    EXPECT_EQ(t.LeapLabel, "");
    EXPECT_EQ(t.GregLabel, Cp("Юлианский"));
}

TEST(AstroTableTexts, DiameterTextsCarryASixtiethSecondIntoTheMinute) {
    struct Case {
        double arcsec;
        const char* dms;
        const char* decimal;
    };
    const Case cases[] = {{31.64, "   31,6\"", " 0,52733"},
                          {59.94, "   59,9\"", " 0,99900"},
                          {59.96, " 1' 0,0\"", " 0,99933"},
                          {60.0, " 1' 0,0\"", " 1,00000"},
                          {1925.43, "32' 5,4\"", "32,09050"},
                          {2039.97, "34' 0,0\"", "33,99950"},
                          {0, "    0,0\"", " 0,00000"}};
    for (const Case& c : cases) {
        EXPECT_EQ(DiamText(c.arcsec, false), c.dms) << c.arcsec;
        EXPECT_EQ(DiamText(c.arcsec, true), c.decimal) << c.arcsec;
    }
}

// The greatest speeds: the fixed texts, in degrees in the decimal form, and the speed as a
// share of them; blank beyond Pluto.
TEST_F(AstroTableTest, GreatestSpeedsAndTheShareOfThem) {
    ChartAt(2460390.1875, 55.75, 37.62);
    AstroTableOptions dms, decimal;
    decimal.DecimalMode = true;
    EXPECT_EQ(AstroCellText(s, dms, 10, 3), " 15\xB0" "14'39\"");
    EXPECT_EQ(AstroCellText(s, decimal, 10, 3), "  15,24417");
    EXPECT_EQ(AstroCellText(s, dms, 10, 2), MaxSpeedText(1));
    EXPECT_EQ(AstroCellText(s, dms, 10, 12), "");
    EXPECT_EQ(AstroCellText(s, dms, 11, 12), "");
    for (int b = 1; b <= 10; ++b) {
        std::string share = Trim(AstroCellText(s, decimal, 11, b + 1));
        CommaToPoint(share);
        EXPECT_NEAR(std::stod(share), 100 * s.Bodies[b][17] / MaxDailyMotion(b), 0.05) << b;
    }
}

// Names: with glyphs the body's glyph and the character 17 when it moves backwards; in words
// its name and "(R)", 15 wide; the titles in the window's language.
TEST_F(AstroTableTest, NamesMarkRetrogradeBodiesAndTitlesFollowTheLanguage) {
    ChartAt(2460390.1875, 55.75, 37.62);
    s.Bodies[3][17] = -0.01; // Mercury backwards
    AstroTableOptions o;
    s.GlyphNames = true;
    EXPECT_EQ(AstroCellText(s, o, 0, 4), BodyName(s, 3) + "\x11");
    EXPECT_EQ(AstroCellText(s, o, 0, 5), BodyName(s, 4));
    s.GlyphNames = false;
    EXPECT_EQ(AstroCellText(s, o, 0, 4), FitTextLeft(Trim(BodyName(s, 3)) + "(R)", 15));
    EXPECT_EQ(AstroCellText(s, o, 0, 4).size(), 15u);
    EXPECT_EQ(AstroCellText(s, o, 1, 0), " Долгота  "_cp);
    s.EnglishMode = true;
    EXPECT_EQ(AstroCellText(s, o, 1, 0), "Longitude");
    EXPECT_EQ(AstroCellText(s, o, 14, 0), "   eks   ");
    EXPECT_EQ(AstroCellText(s, o, 0, 4), FitTextLeft("Mercury(R)", 15));
}

// Which rows have which columns: the Sun no orbit, the Sun and the Moon no heliocentric
// place, the lunar points no distance; away from the Earth the observer's own planet, the Moon
// and the lunar points are not observed.
TEST_F(AstroTableTest, RowsWithoutAValueAreBlank) {
    ChartAt(2451545.0, -33.87, 151.21);
    AstroTableOptions o;
    const auto empty = [&](int col, int point) { return AstroCellText(s, o, col, point + 1).empty(); };
    EXPECT_TRUE(empty(13, 1));
    EXPECT_FALSE(empty(13, 3));
    EXPECT_TRUE(empty(18, 2));
    EXPECT_FALSE(empty(18, 9));
    EXPECT_TRUE(empty(8, 11));
    EXPECT_FALSE(empty(8, 13)); // the Black Moon as the focus has a distance
    o.BlackMoonFocus = false;
    EXPECT_TRUE(empty(8, 13));
    EXPECT_TRUE(empty(24, 10));
    EXPECT_FALSE(empty(24, 9));
    o.ExterrBody = 4;
    EXPECT_TRUE(empty(1, 4));
    EXPECT_TRUE(empty(1, 2));
    EXPECT_TRUE(empty(1, 12));
    EXPECT_FALSE(empty(1, 5));
    EXPECT_FALSE(empty(0, 4));
    EXPECT_FALSE(empty(13, 4)); // its orbit is still known
    // the Moon's distance in kilometres, the planets' in astronomical units
    o = {};
    std::string moon = Trim(AstroCellText(s, o, 8, 3)), sun = Trim(AstroCellText(s, o, 8, 2));
    CommaToPoint(moon);
    CommaToPoint(sun);
    EXPECT_NEAR(std::stod(moon), s.Bodies[2][7] * 149600000, 0.001);
    EXPECT_NEAR(std::stod(sun), s.Bodies[1][7], 0.001);
}

std::string Flags(std::string flags, int col, char value) {
    flags[col + 1] = value;
    return flags;
}

// The export: the caption, the nine quantities of the moment, then the rows with the columns
// ticked, each as wide as its widest cell; "(R)" in words; the decimal form on request.
TEST_F(AstroTableTest, ExportWritesTheTickedColumnsAlignedAndTheDecimalFormOnRequest) {
    ChartAt(2460390.1875, 55.75, 37.62);
    s.Bodies[3][17] = -0.01;
    AstroLabelCaptions labels;
    labels.Captions = {"JD", "ST", "Eo", "SVP", "dE", "dF", "UTD", "UTC", "dT"};
    const std::string all(27, '0');
    std::string flags = Flags(Flags(Flags(all, 0, '1'), 1, '1'), 8, '1');
    s.GlyphNames = true;
    const std::vector<std::string> lines = AstroTextTable(s, {}, "Caption", labels, flags);
    EXPECT_TRUE(s.GlyphNames); // given back
    ASSERT_EQ(lines.size(), 1u + 9 + 16);
    EXPECT_EQ(lines[0], "Caption");
    EXPECT_EQ(lines[1], "JD " + Trim(AstroTimeLabels(s).JdLabel));
    EXPECT_EQ(lines[8], "UTC " + Trim(s.UTTimeText));
    EXPECT_EQ(lines[9], "dT " + Trim(AstroTimeLabels(s).TeLabel));
    EXPECT_EQ(lines[4], "SVP " + Trim(s.SVPText));
    // every row as long as the others; the columns start at the same places
    const std::size_t width = lines[10].size();
    for (std::size_t i = 10; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), width) << i;
    EXPECT_EQ(lines[10].substr(0, 15), std::string(15, ' '));
    s.GlyphNames = false;
    EXPECT_EQ(lines[10 + 4].substr(0, 15), FitTextLeft(Trim(BodyName(s, 3)) + "(R)", 15));
    EXPECT_EQ(lines[10 + 2].substr(16, 10), AstroCellText(s, {}, 1, 2));
    EXPECT_NE(lines[10 + 2].find(Trim(AstroCellText(s, {}, 8, 2))), std::string::npos);
    // no column of the unticked ones
    EXPECT_EQ(lines[10 + 2].find(Trim(AstroCellText(s, {}, 2, 2))), std::string::npos);
    // decimal: degrees and the quantities of the moment as numbers
    const std::vector<std::string> dec =
        AstroTextTable(s, {}, "Caption", labels, Flags(flags, -1, '1'));
    EXPECT_EQ(dec[3], "Eo " + Trim(FloatToStrComma(10, 5, s.EpsMean / kDegToRad)));
    AstroTableOptions decimal;
    decimal.DecimalMode = true;
    EXPECT_NE(dec[10 + 2].find(Trim(AstroCellText(s, decimal, 1, 2))), std::string::npos);
}

// Astro1.txt, Astro2.txt ... the first that does not exist; none when all 999 do.
TEST(AstroTableFiles, NumberedExportsTakeTheFirstFreeNumberUpTo999) {
    test::TempDir dir;
    AstroDat s;
    s.ProgramFolder = dir.path();
    EXPECT_EQ(NextAstroFileName(s), "Wrk\\Astro1.txt");
    fs::create_directories(dir / "Wrk");
    for (int n : {1, 2, 4}) std::ofstream(dir / "Wrk" / ("Astro" + std::to_string(n) + ".txt"));
    EXPECT_EQ(NextAstroFileName(s), "Wrk\\Astro3.txt");
    for (int n = 1; n <= 999; ++n) std::ofstream(dir / "Wrk" / ("Astro" + std::to_string(n) + ".txt"));
    EXPECT_EQ(NextAstroFileName(s), "");
}

} // namespace
} // namespace qor::chart
