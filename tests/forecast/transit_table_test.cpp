// The transit table of a working body: the glyphs of both printer fonts, the entries and their
// deviations against python3-ephem's place of the transiting body, the aspect kinds, a year
// with every cusp chosen, and the Moon's two-hourly month.

#include "ForecastTestSupport.h"
#include "core/AstroMath.h"
#include "core/ChartEngine.h"
#include "core/Planets.h"
#include "forecast/TransitTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace qor::forecast {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";
constexpr double kDeg = kDegToRad;

using test_support::DefaultAspects;

TEST(TransitTable, GlyphsOfBothFacesCoverEveryPointAndAspect) {
    const AspDefTable table = DefaultAspects();
    const TransitGlyphs qor = TransitGlyphTable(false, table);
    EXPECT_EQ(qor.fontName, "QOR");
    EXPECT_EQ(qor.point[1], "\x8D");
    EXPECT_EQ(qor.point[16], "\x9C");
    EXPECT_EQ(qor.point[17], "5");
    EXPECT_EQ(qor.point[27], "A");
    EXPECT_EQ(qor.point[28], "2"); // a cusp without a glyph: its house number
    EXPECT_EQ(qor.point[36], "M");
    EXPECT_EQ(qor.point[37], "11");
    EXPECT_EQ(qor.point[38], "12");
    EXPECT_EQ(qor.aspect[1], "\xAB");
    EXPECT_EQ(qor.aspect[14], "\xB8");
    const TransitGlyphs win = TransitGlyphTable(true, table);
    EXPECT_EQ(win.fontName, "Winstar");
    EXPECT_EQ(win.charset, 2);
    EXPECT_EQ(win.point[1], "\xA2");
    EXPECT_EQ(win.point[27], "\xAD");
    EXPECT_EQ(win.aspect[1], "\xC2");
    // The aspects the face has no glyph for are listed by their angle.
    EXPECT_EQ(win.aspect[3], "36\xB0");
    EXPECT_EQ(win.aspect[4], "40\xB0");
    EXPECT_EQ(win.aspect[9], "108\xB0");
    EXPECT_EQ(win.aspect[12], "144\xB0");
    for (const TransitGlyphs* g : {&qor, &win}) {
        for (int p = 1; p <= 38; ++p) {
            EXPECT_FALSE(g->point[static_cast<std::size_t>(p)].empty()) << p;
            EXPECT_EQ(g->point[static_cast<std::size_t>(p)].find('\0'), std::string::npos);
        }
        for (int a = 1; a <= 14; ++a) EXPECT_FALSE(g->aspect[static_cast<std::size_t>(a)].empty());
    }
}

TEST(TransitTable, AspectKindsByMode) {
    const AspDefTable table = DefaultAspects();
    // Aspect 1 (conjunction) is major, 2 (semi-sextile) minor.
    struct Case {
        int a, mode;
        bool allowed;
    } cases[] = {{1, 1, true}, {1, 2, false}, {1, 3, true},  {1, 0, false}, {2, 1, false},
                 {2, 2, true}, {2, 3, true},  {2, 0, false}, {0, 3, false}, {15, 3, false}};
    for (const Case& c : cases)
        EXPECT_EQ(AspectAllowed(table, c.a, c.mode), c.allowed) << c.a << " " << c.mode;
    EXPECT_EQ(WorkingBody("****.*****"), 5);
    EXPECT_EQ(WorkingBody(std::string(16, '*')), 1);
    EXPECT_EQ(WorkingBody(""), 1);
}

class TransitTableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = kData;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        s.ProgramFolder = dir.path();
        ASSERT_TRUE(BuildAnnualEphemeris(s, 2024).ok());
        ASSERT_TRUE(ReadEphemerisFile(s.DataPath("Wrk\\Tab2024.wrk"), records).ok());
        in.table = &table;
        in.glyphs = TransitGlyphTable(false, table);
    }
    test::TempDir dir;
    AstroDat s;
    AspDefTable table = DefaultAspects();
    TransitTableInput in;
    std::vector<EphemerisRecord> records;
};

// Natal points placed from python3-ephem's Jupiter of 1 June 2024 (0h UT): opposite it, 30'
// short of a trine, 15' past a square, a semi-square; the program's own Jupiter (within 2" of
// ephem's) gives the deviations "00", "30", "-15" and "00".
TEST_F(TransitTableFileTest, EntriesAndDeviationsAgainstPythonEphem) {
    if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    const std::vector<std::string> days = test_support::OracleLines("motion_oracle.py", "2024");
    ASSERT_EQ(days.size(), 366u);
    double jupiter = -1;
    std::istringstream june(days[152]); // 1 June
    for (int body = 1; body <= 6; ++body) june >> jupiter;
    ASSERT_GE(jupiter, 0);

    in.natal = "....*" + std::string(11, '*');
    in.houses = std::string(12, '*');
    in.natalLon[1] = (jupiter + 180) * kDeg;
    in.natalLon[2] = (jupiter - 119.5) * kDeg;
    in.natalLon[3] = (jupiter + 90.25) * kDeg;
    in.natalLon[4] = (jupiter + 45) * kDeg;
    const std::vector<std::string> lines = TransitTableLines(in, 6, records);
    ASSERT_EQ(lines.size(), 366u);
    const std::string& g6 = in.glyphs.point[6];
    const auto& asp = in.glyphs.aspect;
    EXPECT_EQ(lines[152], "01.06   " + in.glyphs.point[1] + asp[14] + g6 + " (00)   " +
                              in.glyphs.point[2] + asp[10] + g6 + " (30)   " + in.glyphs.point[3] +
                              asp[8] + g6 + " (-15)   " + in.glyphs.point[4] + asp[5] + g6 +
                              " (00)   ");
    // Major aspects only: the semi-square goes; no kind at all: nothing after the date.
    in.aspMode = 1;
    EXPECT_EQ(TransitTableLines(in, 6, records)[152].find(asp[5]), std::string::npos);
    in.aspMode = 0;
    for (const std::string& l : TransitTableLines(in, 6, records)) EXPECT_EQ(l.size(), 8u);
}

// Every natal body and every cusp chosen (cusps 11 and 12 included) over a year: a line a day,
// no character 0, a cusp written by its number.
TEST_F(TransitTableFileTest, EveryPointChosenOverAYear) {
    for (int p = 1; p <= 38; ++p) in.natalLon[static_cast<std::size_t>(p)] = p * 9.5 * kDeg;
    for (const bool winStar : {false, true}) {
        in.glyphs = TransitGlyphTable(winStar, table);
        const std::vector<std::string> lines = TransitTableLines(in, 1, records);
        ASSERT_EQ(lines.size(), 366u);
        int entries = 0;
        for (const std::string& l : lines) {
            EXPECT_EQ(l.find('\0'), std::string::npos);
            entries += static_cast<int>(std::count(l.begin(), l.end(), '('));
        }
        EXPECT_GT(entries, 366);
    }
    EXPECT_EQ(TransitTableLines(in, 1, records).front().substr(0, 8), "01.01   ");
    EXPECT_EQ(TransitTableLines(in, 1, records).back().substr(0, 8), "31.12   ");
}

TEST_F(TransitTableFileTest, TheMoonEveryTwoHoursThroughAMonth) {
    ChartOptions opt;
    GeneralOptions gen;
    CurrentChart chart(s, opt, gen);
    s.ChartYear = 1990;
    s.ChartMonth = 3;
    s.ChartDay = 5;
    s.ChartHour = 7;
    s.ChartZone = 180;
    for (int p = 1; p <= 38; ++p) in.natalLon[static_cast<std::size_t>(p)] = p * 9.5 * kDeg;
    const std::vector<std::string> june = MoonTransitTable(s, chart, in, 6, 2024);
    ASSERT_EQ(june.size(), 360u);
    EXPECT_EQ(june.front().substr(0, 9), "01  00   ");
    EXPECT_EQ(june.back().substr(0, 9), "30  22   ");
    EXPECT_EQ(MoonTransitTable(s, chart, in, 2, 2024).size(), 29u * 12u);
    // The chart moment is as it was.
    EXPECT_EQ(s.ChartYear, 1990);
    EXPECT_EQ(s.ChartMonth, 3);
    EXPECT_EQ(s.ChartDay, 5);
    EXPECT_EQ(s.ChartHour, 7);
}

} // namespace
} // namespace qor::forecast
