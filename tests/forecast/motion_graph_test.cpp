// The planet-motion graph's geometry and its builders on a canvas: the columns of the
// harmonics, the wrap across the edge, the spreading of glyph labels, a transit year against
// python3-ephem, the month graphs' rows, the decade transits across two century files,
// progressions (also before the birth) against python3-ephem, directions against Meeus.

#include "ForecastTestSupport.h"
#include "core/AstroMath.h"
#include "core/ChartEngine.h"
#include "core/Planets.h"
#include "core/Stepping.h"
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

// A century file of made-up records: the Sun's longitude counts half degrees by the month
// (year × 12 + month − 1), so each sample shows which record it drew.
double MonthMark(int year, int month) {
    const long long n = static_cast<long long>(year) * 12 + month - 1;
    return static_cast<double>(((n % 720) + 720) % 720) * 0.5 * kDeg;
}
std::vector<EphemerisRecord> MadeUpCentury(int century) {
    std::vector<EphemerisRecord> records;
    for (int y = CenturyFirstYear(century); y <= CenturyLastYear(century); ++y)
        for (int m = 1; m <= 12; ++m) {
            EphemerisRecord r;
            r.Day = 1;
            r.Month = static_cast<int16_t>(m);
            r.Third = static_cast<int16_t>(y);
            r.Lon[0] = MonthMark(y, m);
            records.push_back(r);
        }
    return records;
}

TEST(MotionGraph, DecadeTransitsReadTheCenturyFilesInTurn) {
    struct Case {
        const char* what;
        int year, period;
        std::vector<int> present; // the century files there
        std::vector<int> asked;   // the files opened, in order
        int samples;              // 0: nothing drawn
        int requestYear;          // the build asked for when a file is missing
    } cases[] = {
        {"ten years in one file", 2024, 2, {21}, {21}, 121, 0},
        {"into the next century", 2095, 2, {21, 22}, {21, 22}, 121, 0},
        {"thirty-six years across", 2095, 3, {21, 22}, {21, 22}, 433, 0},
        {"the next century missing", 2095, 2, {21}, {21, 22}, 0, 2101},
        {"the first missing", 2095, 2, {}, {21}, 0, 2095},
        {"before the era", -150, 2, {-1}, {-1}, 121, 0},
        {"across the era", -5, 2, {0, 1}, {0, 1}, 121, 0},
    };
    test::QtApp();
    for (const Case& k : cases) {
        AstroDat s;
        s.ProgramFolder = kData;
        QImage image(1920, 1080, QImage::Format_RGB32);
        image.fill(Qt::white);
        ui::Canvas canvas(image);
        ui::Font16State font;
        MotionChoices c;
        c.year = k.year;
        c.period = k.period;
        std::vector<int> asked;
        const CenturyLoader load = [&](int century, std::vector<EphemerisRecord>& records) {
            asked.push_back(century);
            if (std::find(k.present.begin(), k.present.end(), century) == k.present.end())
                return FileLoad::Missing;
            records = MadeUpCentury(century);
            return FileLoad::Loaded;
        };
        const MotionResult r = DrawDecadeTransitGraph(s, canvas, font, c, load, {}, 1080);
        EXPECT_EQ(asked, k.asked) << k.what;
        EXPECT_EQ(r.drawn, k.samples > 0) << k.what;
        if (k.samples == 0) {
            EXPECT_TRUE(r.missing) << k.what;
            EXPECT_EQ(r.missingKind, EphemerisKind::Century) << k.what;
            EXPECT_EQ(r.requestYear, k.requestYear) << k.what;
            continue;
        }
        EXPECT_EQ(r.samples, k.samples) << k.what;
        EXPECT_EQ(r.rows, k.period == 2 ? 10 : 36) << k.what;
        // Sample i is the 1st of month i from January of the first year: the shared year of
        // two files is read once.
        const MotionGeometry g = MakeMotionGeometry(1920, 1080, 0, k.year % 4 == 0 ? 366 : 365);
        const double rowHeight = (k.period == 2 ? 36.52422 : 10.14562) * g.dayHeight;
        const std::vector<QPoint>& sun = r.points[0];
        ASSERT_EQ(sun.size(), static_cast<std::size_t>(k.samples)) << k.what;
        for (int i = 0; i < k.samples; ++i) {
            const auto n = static_cast<std::size_t>(i);
            EXPECT_EQ(sun[n].x(), g.Column(MonthMark(k.year + i / 12, i % 12 + 1)))
                << k.what << " sample " << i;
            EXPECT_EQ(sun[n].y(), static_cast<int>(std::nearbyint(i * rowHeight / 12 + 58)));
        }
        EXPECT_EQ(r.yEnd, sun.back().y()) << k.what;
    }
}

// The directed place of a body against Meeus' example 13.a (α 116.328942°, δ 28.026183°, true
// obliquity 23.4392911° give λ 113.215630°): the arc is added to the right ascension.
TEST(MotionGraph, DirectedLongitudeAgainstMeeus) {
    const double eps = 23.4392911 * kDeg;
    for (const double arc : {0.0, 10.0, -30.0, 359.0}) {
        const double lon = DirectedLongitude(std::sin(eps), std::cos(eps),
                                             (116.328942 - arc) * kDeg, 28.026183 * kDeg,
                                             arc * kDeg);
        EXPECT_NEAR(lon / kDeg, 113.215630, 1e-5) << arc;
    }
}

// A birth on 15 May 1990 at 12:00, zone +03:00, at Moscow, without the Moon's parallax (the
// oracle is geocentric).
class ChartMotionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        s.ProgramFolder = kData;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        gen.HorParallax = false;
        chart = std::make_unique<CurrentChart>(s, opt, gen);
        s.ChartYear = 1990;
        s.ChartMonth = 5;
        s.ChartDay = 15;
        s.ChartHour = 12;
        s.ChartZone = 180;
        s.ChartLat = 55.75 * kDeg;
        s.ChartLong = 37.62 * kDeg;
        UpdateCalendarForYear(s);
        chart->CalcAstroTime();
        chart->CalcChart(0);
        s.PlanetLonBck.fill(1.25);
        s.PlanetLatBck.fill(-0.5);
    }
    MotionResult Draw(const MotionChoices& c) {
        QImage image(1920, 1080, QImage::Format_RGB32);
        image.fill(Qt::white);
        ui::Canvas canvas(image);
        return DrawChartMotionGraph(s, *chart, canvas, font, c, 1080);
    }
    // The chart as it must stay.
    void ExpectChartKept(const AstroDat& before, const char* what) {
        EXPECT_EQ(s.PlanetLon, before.PlanetLon) << what;
        EXPECT_EQ(s.ChartJD, before.ChartJD) << what;
        EXPECT_EQ(s.SinEps, before.SinEps) << what;
        EXPECT_EQ(std::tie(s.ChartYear, s.ChartMonth, s.ChartDay, s.ChartHour, s.ChartMinute),
                  std::tie(before.ChartYear, before.ChartMonth, before.ChartDay, before.ChartHour,
                           before.ChartMinute))
            << what;
        EXPECT_EQ(s.MonthDays, before.MonthDays) << what;
        // The second chart's arrays are another window's: never written.
        EXPECT_EQ(s.PlanetLonBck, before.PlanetLonBck) << what;
        EXPECT_EQ(s.PlanetLatBck, before.PlanetLatBck) << what;
    }
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
    std::unique_ptr<CurrentChart> chart;
    ui::Font16State font;
    // The birth and 1 January 1990 at 09:00 UT.
    const double birthJd = 2448026.875;
    const double jan1Jd = 2447892.875;
};

// Each sample is the chart that many days from the birth as the year is from the birth year
// (back for earlier years), less the birth's distance from 1 January in progressed hours,
// plus the progressed hours of the sample; its bodies lie within a pixel of python3-ephem's.
TEST_F(ChartMotionTest, ProgressionsAgainstPythonEphem) {
    struct Case {
        int year, period, samples;
        double hoursStep;
    } cases[] = {
        {1980, 1, 25, 1},  // before the birth: ten days back
        {2000, 0, 25, 1},  // the month period draws the year
        {1985, 2, 121, 2}, // ten years, 12 samples a year
        {2000, 3, 37, 24}, // thirty-six years, one a year
    };
    const double before = (birthJd - jan1Jd) * 24 / 365.2422 / 24; // in days
    for (const Case& k : cases) {
        const AstroDat kept = s;
        MotionChoices c;
        c.kind = 1;
        c.year = k.year;
        c.period = k.period;
        const MotionResult r = Draw(c);
        ASSERT_TRUE(r.drawn) << k.year;
        EXPECT_EQ(r.samples, k.samples) << k.year;
        ASSERT_EQ(r.sampleJd.size(), static_cast<std::size_t>(k.samples));
        std::string jds;
        for (int i = 0; i < k.samples; ++i) {
            const double expected = birthJd + (k.year - 1990) - before + i * k.hoursStep / 24;
            // The moment is set to the minute.
            EXPECT_NEAR(r.sampleJd[static_cast<std::size_t>(i)], expected, 0.5 / 1440)
                << k.year << " sample " << i;
            char text[32];
            std::snprintf(text, sizeof text, " %.8f", r.sampleJd[static_cast<std::size_t>(i)]);
            jds += text;
        }
        ExpectChartKept(kept, "progression");
        if (!fs::exists("/usr/bin/python3")) continue;
        const MotionGeometry g = MakeMotionGeometry(1920, 1080, 0, k.year % 4 == 0 ? 366 : 365);
        int i = 0;
        for (const std::string& line : test_support::OracleLines("motion_oracle.py", "--jd" + jds)) {
            std::istringstream in(line);
            for (int body = 1; body <= 10; ++body) {
                double lon = 0;
                in >> lon;
                const QPoint p =
                    r.points[static_cast<std::size_t>(body - 1)][static_cast<std::size_t>(i)];
                int expected = g.Column(lon * kDeg);
                if (std::abs(p.x() - expected) > 1700) expected = p.x() < 900 ? 40 : 1768;
                EXPECT_LE(std::abs(p.x() - expected), 1)
                    << k.year << " sample " << i << " body " << body;
            }
            ++i;
        }
        EXPECT_EQ(i, k.samples) << k.year;
    }
}

// Every body moves along the equator by a degree a year from the birth: at 1 January of the
// year the arc is the years since the birth less the birth's part of its own year.
TEST_F(ChartMotionTest, DirectionsMoveTheBirthsBodiesByTheArc) {
    struct Case {
        int year, period, samples;
        double arcStep; // degrees a sample
    } cases[] = {
        {2020, 1, 25, 1.0 / 24},
        {1970, 1, 25, 1.0 / 24}, // before the birth: a negative arc
        {2000, 2, 11, 1},
        {1990, 3, 37, 1},
    };
    const double part = (birthJd - jan1Jd) / 365.2422;
    for (const Case& k : cases) {
        const AstroDat kept = s;
        MotionChoices c;
        c.kind = 2;
        c.year = k.year;
        c.period = k.period;
        const MotionResult r = Draw(c);
        ASSERT_TRUE(r.drawn) << k.year;
        EXPECT_EQ(r.samples, k.samples) << k.year;
        const MotionGeometry g = MakeMotionGeometry(1920, 1080, 0, k.year % 4 == 0 ? 366 : 365);
        for (int i = 0; i < k.samples; ++i) {
            const double arc = (k.year - 1990 - part + i * k.arcStep) * kDeg;
            for (int body = 1; body <= 10; ++body) {
                const BodyRec& b = s.Bodies[static_cast<std::size_t>(body)];
                const double lon =
                    DirectedLongitude(s.SinEps, s.CosEps, b[kBodyRA], b[kBodyDec], arc);
                EXPECT_EQ(r.points[static_cast<std::size_t>(body - 1)][static_cast<std::size_t>(i)]
                              .x(),
                          g.Column(lon))
                    << k.year << " sample " << i << " body " << body;
            }
        }
        // The Sun, near the ecliptic and the equinox's side of the year, moves by about as
        // much in longitude as in right ascension.
        const double sunShift =
            NormAngleSigned(DirectedLongitude(s.SinEps, s.CosEps, s.Bodies[1][kBodyRA],
                                              s.Bodies[1][kBodyDec],
                                              (k.year - 1990 - part) * kDeg) -
                            s.PlanetLon[1]) /
            kDeg;
        EXPECT_NEAR(sunShift, k.year - 1990 - part, std::abs(k.year - 1990 - part) * 0.15);
        ExpectChartKept(kept, "direction");
    }
}

} // namespace
} // namespace qor::forecast
