// The planet-motion graph's geometry and its transit builders on a canvas: the columns of the
// harmonics, the wrap across the edge, the spreading of glyph labels, a transit year against
// python3-ephem, the month graphs' rows.

#include "ForecastTestSupport.h"
#include "core/AstroMath.h"
#include "core/Planets.h"
#include "forecast/MotionGraph.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

namespace qor::forecast {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";
constexpr double kDeg = kDegToRad;

TEST(MotionGraph, ColumnsOfTheHarmonicsAt800Pixels) {
    struct Case {
        int harmonic;
        double lonDeg;
        int x;
    } cases[] = {
        {0, 0, 40},    {0, 45, 130},  {0, 359.99, 760},
        {0, 180, 400}, {1, 100, 120}, // 4 x 100° = 400°, reduced to 40°: 40/360 of 720 px
        {1, 10, 120},  {1, 90, 40},   {2, 65, 100},
        {3, 50, 120},  {4, 33, 110}, // 12 x 33° = 396° = 36°: 36/360 of 700 px
    };
    for (const Case& c : cases) {
        const MotionGeometry g = MakeMotionGeometry(800, 600, c.harmonic, 366);
        EXPECT_EQ(g.Column(c.lonDeg * kDeg), c.x) << c.harmonic << " " << c.lonDeg;
    }
    EXPECT_EQ(MakeMotionGeometry(800, 600, 0, 366).XRight(), 760);
    EXPECT_EQ(MakeMotionGeometry(800, 600, 4, 366).XRight(), 740);
    EXPECT_EQ(MakeMotionGeometry(1920, 1080, 0, 366).XRight(), 1768);
    EXPECT_DOUBLE_EQ(MakeMotionGeometry(800, 600, 0, 366).dayHeight, (600 - 88) / 366.0);
    EXPECT_DOUBLE_EQ(MakeMotionGeometry(1920, 1080, 1, 365).divisionWidth, 80 * 2.4);
}

TEST(MotionGraph, CurvesWrapAcrossTheEdgeAtInterpolatedHeights) {
    const MotionGeometry g = MakeMotionGeometry(800, 600, 0, 366);
    using S = std::vector<Segment>;
    struct Case {
        const char* what;
        int body;
        QPoint from, to;
        S segments;
    } cases[] = {
        {"a step", 5, {300, 100}, {310, 110}, S{{{300, 100}, {310, 110}}}},
        {"forward through 360",
         5,
         {750, 100},
         {50, 110},
         S{{{750, 100}, {760, 105}}, {{40, 105}, {50, 110}}}},
        {"backward through 0",
         5,
         {50, 100},
         {750, 110},
         S{{{50, 100}, {40, 105}}, {{760, 105}, {750, 110}}}},
        {"a retrograde planet's small step back",
         5,
         {300, 100},
         {290, 110},
         S{{{300, 100}, {290, 110}}}},
        // The Moon never goes back: a step to the left is a wrap (460 of 710 px, 6.5 px down).
        {"the Moon to the left",
         2,
         {300, 100},
         {290, 110},
         S{{{300, 100}, {760, 106}}, {{40, 106}, {290, 110}}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CurveSegments(g, c.body, c.from, c.to), c.segments) << c.what;
}

TEST(MotionGraph, GlyphLabelsStandElevenPixelsApart) {
    const std::vector<GlyphLabel> spread =
        SpreadGlyphLabels({{3, 205, 0}, {1, 200, 0}, {7, 400, 0}, {5, 200, 0}, {6, 212, 0}});
    ASSERT_EQ(spread.size(), 5u);
    for (std::size_t i = 1; i < spread.size(); ++i)
        EXPECT_GE(spread[i].placedX - spread[i - 1].placedX, kGlyphLabelGap) << i;
    // Sorted by position; the first stays, the later ones are pushed right, one pixel at a
    // time; each keeps its true position.
    const int placed[] = {200, 211, 222, 233, 400};
    const std::map<int, int> trueX = {{1, 200}, {3, 205}, {5, 200}, {6, 212}, {7, 400}};
    for (std::size_t i = 0; i < spread.size(); ++i) {
        EXPECT_EQ(spread[i].placedX, placed[i]) << i;
        EXPECT_EQ(spread[i].trueX, trueX.at(spread[i].body)) << i;
    }
    EXPECT_EQ(spread[0].body, 1);
    EXPECT_EQ(spread[4].body, 7);
}

class MotionGraphFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        s.ProgramFolder = kData;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        s.ProgramFolder = dir.path();
        ASSERT_TRUE(BuildAnnualEphemeris(s, 2024).ok());
        ASSERT_TRUE(ReadEphemerisFile(s.DataPath("Wrk\\Tab2024.wrk"), records).ok());
        s.ProgramFolder = kData; // the titles' message texts
    }
    MotionResult Draw(const MotionChoices& c, QImage& image) {
        ui::Canvas canvas(image);
        return DrawTransitGraph(s, canvas, font, c, records, natal, image.height());
    }
    test::TempDir dir;
    AstroDat s;
    ui::Font16State font;
    PointArray natal{};
    std::vector<EphemerisRecord> records;
};

// Every day's point of the Sun .. Pluto lies within a pixel of the column of python3-ephem's
// longitude (0h UT, apparent, of date), on the row of its day.
TEST_F(MotionGraphFileTest, AYearOfTransitsAgainstPythonEphem) {
    if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    MotionChoices c;
    c.year = 2024;
    const MotionResult r = Draw(c, image);
    ASSERT_TRUE(r.drawn);
    EXPECT_EQ(r.samples, 366);
    const MotionGeometry g = MakeMotionGeometry(800, 600, 0, 366);

    int day = 0;
    for (const std::string& line : test_support::OracleLines("motion_oracle.py", "2024")) {
        std::istringstream in(line);
        for (int body = 1; body <= 10; ++body) {
            double lon = 0;
            in >> lon;
            const QPoint p =
                r.points[static_cast<std::size_t>(body - 1)][static_cast<std::size_t>(day)];
            int expected = g.Column(lon * kDeg);
            // At the edge the same place may fall on either side.
            if (std::abs(p.x() - expected) > 700) expected = p.x() < 400 ? 40 : 760;
            EXPECT_LE(std::abs(p.x() - expected), 1) << "day " << day << " body " << body;
            EXPECT_EQ(p.y(), static_cast<int>(std::nearbyint(day * g.dayHeight + kGraphTopY)));
        }
        ++day;
    }
    EXPECT_EQ(day, 366);
    // The Sun's curve is red, the others black.
    const QPoint sun = r.points[0][100];
    EXPECT_EQ(image.pixel(sun), qRgb(255, 0, 0));
}

TEST_F(MotionGraphFileTest, MonthGraphsHaveADayARow) {
    struct Case {
        int month, rows, samples;
    } cases[] = {{2, 29, 30}, {1, 31, 32}, {12, 31, 31}, {4, 30, 31}};
    for (const Case& k : cases) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        MotionChoices c;
        c.year = 2024;
        c.period = 0;
        c.month = k.month;
        const MotionResult r = Draw(c, image);
        EXPECT_EQ(r.rows, k.rows) << k.month;
        EXPECT_EQ(r.samples, k.samples) << k.month; // the next month's first closes the last row
        const MotionGeometry g = MakeMotionGeometry(800, 600, 0, 366);
        EXPECT_EQ(r.yEnd, static_cast<int>(std::nearbyint(k.rows * 11.5 * g.dayHeight + 58)));
        // The first row is the month's first day.
        const auto index = static_cast<std::size_t>(AnnualRecordIndex(2024, k.month, 1));
        EXPECT_EQ(r.points[0][0].x(), g.Column(records[index].Lon[0]));
    }
}

TEST_F(MotionGraphFileTest, NatalMarksAndLabels) {
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    MotionChoices c;
    c.year = 2024;
    c.natal = "*" + std::string(15, '*');
    c.natal[4] = '.'; // natal Mars
    c.houses = std::string(12, '*');
    c.houses[9] = '.'; // MC
    natal[5] = 100 * kDeg;
    natal[36] = 200 * kDeg;
    const MotionResult r = Draw(c, image);
    const MotionGeometry g = MakeMotionGeometry(800, 600, 0, 366);
    // Green lines down the graph at the natal body and the cusp (a curve may cross them).
    const QRgb green = qRgb(0, 128, 0);
    for (const double deg : {100.0, 200.0}) {
        int greens = 0;
        for (int y = 58; y < r.yEnd; ++y) greens += image.pixel(g.Column(deg * kDeg), y) == green;
        EXPECT_GT(greens, (r.yEnd - 58) * 9 / 10) << deg;
        EXPECT_NE(image.pixel(g.Column(deg * kDeg) + 3, 200), green);
    }
    // The working bodies' labels along the bottom, 11 pixels apart at least.
    ASSERT_EQ(r.bottomLabels.size(), 16u - 1u);
    for (std::size_t i = 1; i < r.bottomLabels.size(); ++i)
        EXPECT_GE(r.bottomLabels[i].placedX - r.bottomLabels[i - 1].placedX, kGlyphLabelGap);
}

} // namespace
} // namespace qor::forecast
