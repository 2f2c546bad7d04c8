// The calendar forecast without a window: the bars of the weight and nature tables, the
// significators, the compressed cells of the text file, a 2024 calendar against python3-ephem,
// and the year graph's pixels.

#include "ForecastTestSupport.h"
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "forecast/Calendar.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace qor::forecast {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";
constexpr double kDeg = kDegToRad;

// The classical rulers: Aries Mars .. Pisces Jupiter.
constexpr int kClassical[13] = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};
bool Classical(int sign, int body) {
    return sign >= 1 && sign <= 12 && kClassical[sign] == body;
}

using test_support::DefaultAspects;

std::string Bar(int marks, char mark, int points) {
    std::string b(static_cast<std::size_t>(marks), mark);
    b.append(static_cast<std::size_t>(points), '.');
    b.resize(kCalendarBand, ' ');
    return b;
}

// One house whose significators stand at 0°; the transiting bodies sit where they aspect
// nothing (20°, 50°, 80°, 100°, 165°, 170° away) unless a case moves one.
struct BarCase {
    const char* what;
    std::array<int, 2> rulers;
    std::vector<std::pair<int, double>> moved; // body, longitude in degrees
    std::string bar;
    std::vector<CalendarAspect> aspects;
};

TEST(Calendar, BarsOfTheWeightAndNatureTables) {
    const AspDefTable table = DefaultAspects();
    PointArray natal{};
    natal[6] = 0;  // Jupiter, the significator of the cases
    natal[10] = 0; // Pluto
    const int P = 6;
    const std::vector<BarCase> cases = {
        {"Jupiter conjunct", {P, 0}, {{6, 0.4}}, Bar(12, '!', 0), {{P, 1, 6}}},
        {"Saturn square", {P, 0}, {{7, 90.9}}, Bar(6, '?', 0), {{P, 8, 7}}},
        {"Mars trine", {P, 0}, {{5, 239.5}}, Bar(4, '?', 0), {{P, 10, 5}}},
        {"the Moon never counts", {P, 0}, {{2, 0}}, Bar(0, ' ', 0), {}},
        {"Sun semi-sextile", {P, 0}, {{1, 330}}, Bar(1, '!', 0), {{P, 2, 1}}},
        {"Venus sextile", {P, 0}, {{4, 60}}, Bar(2, '!', 0), {{P, 6, 4}}},
        {"Venus conjunct", {P, 0}, {{4, 359.2}}, Bar(6, '!', 0), {{P, 1, 4}}},
        {"Jupiter opposite", {P, 0}, {{6, 180}}, Bar(12, '?', 0), {{P, 14, 6}}},
        {"Mars conjunct", {P, 0}, {{5, 0}}, Bar(6, '?', 0), {{P, 1, 5}}},
        {"Sun quincunx", {P, 0}, {{1, 150}}, Bar(1, '?', 0), {{P, 13, 1}}},
        {"Mercury semi-square weighs nothing", {P, 0}, {{3, 45}}, Bar(0, ' ', 0), {}},
        {"biquintile weighs nothing", {P, 0}, {{6, 144}}, Bar(0, ' ', 0), {}},
        {"1.1 degrees is no conjunction", {P, 0}, {{6, 1.1}}, Bar(0, ' ', 0), {}},
        // Venus trine (w 4, +8) and Saturn square (w 6, -12): S 10, H -4.
        {"Venus trine and Saturn square",
         {P, 0},
         {{4, 120}, {7, 270}},
         Bar(4, '?', 6),
         {{P, 10, 4}, {P, 8, 7}}},
        {"one ruler of both signs counts twice",
         {P, P},
         {{6, 0}},
         Bar(24, '!', 0),
         {{P, 1, 6}, {P, 1, 6}}},
        {"no cusp ruler: no significators", {0, P}, {{6, 0}}, Bar(0, ' ', 0), {}},
        // S = 2 (12 + 12 + 6) = 60, H = 2 (12 - 24 + 6) = -12: 12 "?" and 48 "." held to the
        // band as 5 and 21.
        {"an overweight day stays in its band",
         {P, P},
         {{6, 0}, {7, 180}, {4, 0}},
         Bar(5, '?', 21),
         {{P, 1, 4}, {P, 1, 6}, {P, 14, 7}, {P, 1, 4}, {P, 1, 6}, {P, 14, 7}}},
    };
    for (const BarCase& c : cases) {
        EphemerisRecord r;
        r.Day = 1;
        r.Month = 3;
        const double quiet[] = {20, 20, 50, 80, 100, 165, 170};
        for (int k = 1; k <= 7; ++k) r.Lon[static_cast<std::size_t>(k - 1)] = quiet[k - 1] * kDeg;
        for (const auto& [body, deg] : c.moved)
            r.Lon[static_cast<std::size_t>(body - 1)] = deg * kDeg;
        HouseSignificators sig;
        sig.Rulers[5] = c.rulers;
        const CalendarDay d = RateCalendarDay(r, natal, sig, table);
        EXPECT_EQ(d.Bars[4], c.bar) << c.what;
        EXPECT_EQ(d.Bars[4].size(), static_cast<std::size_t>(kCalendarBand)) << c.what;
        EXPECT_EQ(d.Aspects[4], c.aspects) << c.what;
        for (int h : {0, 1, 2, 3, 5, 11}) EXPECT_EQ(d.Bars[h], std::string(26, ' ')) << c.what;
    }
}

TEST(Calendar, BarIsHeldToItsBand) {
    struct Case {
        int sum, harmony;
        std::string bar;
    } cases[] = {
        {0, 0, Bar(0, ' ', 0)},    {6, -12, Bar(6, '?', 0)},    {6, 2, Bar(2, '!', 4)},
        {26, 26, Bar(26, '!', 0)}, {52, -26, Bar(13, '?', 13)}, {144, 144, Bar(26, '!', 0)},
        {144, 0, Bar(0, ' ', 26)}, {30, 1, Bar(1, '!', 25)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CalendarBar(c.sum, c.harmony), c.bar) << c.sum << " " << c.harmony;
        EXPECT_EQ(CalendarBar(c.sum, c.harmony).size(), 26u);
    }
}

TEST(Calendar, SignificatorsFromTheDignities) {
    PointArray lon{};
    // Cusp h in sign h + 3 (house 1 in Cancer), 20° into it; cusp 12 at 359.9999°.
    for (int h = 1; h <= 12; ++h)
        lon[static_cast<std::size_t>(26 + h)] = ((h + 2) * 30 + 20) % 360 * kDeg;
    lon[38] = 359.9999 * kDeg;
    const HouseSignificators sig = HouseRulerTable(lon, Classical);
    EXPECT_EQ(sig.Rulers[1], (std::array<int, 2>{2, 5}));  // Cancer's Moon, Aries' Mars
    EXPECT_EQ(sig.Rulers[5], (std::array<int, 2>{5, 1}));  // Scorpio's Mars, Leo's Sun
    EXPECT_EQ(sig.Rulers[12], (std::array<int, 2>{6, 6})); // Pisces both: Jupiter twice
    // A sign with two rulers: the last body of 1..16 counts (Scorpio: Mars, then Pluto).
    auto modern = [](int sign, int body) {
        return Classical(sign, body) || (sign == 8 && body == 10);
    };
    EXPECT_EQ(HouseRulerTable(lon, modern).Rulers[5], (std::array<int, 2>{10, 1}));
    EXPECT_EQ(HouseRulerTable(lon, modern).Rulers[8], (std::array<int, 2>{7, 10}));
    // A sign no body rules.
    auto none = [](int sign, int body) { return sign != 4 && Classical(sign, body); };
    EXPECT_EQ(HouseRulerTable(lon, none).Rulers[1], (std::array<int, 2>{0, 5}));
    EXPECT_EQ(SignOfLongitude(359.9999 * kDeg), 12);
    EXPECT_EQ(SignOfLongitude((360 - 1e-13) * kDeg), 12);
    EXPECT_EQ(SignOfLongitude(0), 1);
}

TEST(Calendar, CompressedCells) {
    struct Case {
        std::string part;
        char c;
        std::string out;
    } cases[] = {{"!!!!!!!...", '!', "!!"},
                 {"!!!!!!!...", '.', "."},
                 {"!!!!!!!...", '?', ""},
                 {"!!!!", '!', "!"},
                 {"!!!!!", '!', "!!"},
                 {"??????????", '?', "???"},
                 {"", '.', ""},
                 {std::string(26, ' '), '.', ""}};
    for (const Case& c : cases) EXPECT_EQ(CompressMarks(c.part, c.c), c.out) << c.part;

    // The file's cells: "?" first, then "!", then "."; at least six characters.
    AstroDat s;
    s.ProgramFolder = kData;
    CalendarForecast f;
    f.Year = 2024;
    CalendarDay d;
    d.Day = 1;
    d.Month = 3;
    for (auto& b : d.Bars) b = std::string(26, ' ');
    d.Bars[0] = Bar(7, '!', 3);
    d.Bars[1] = Bar(12, '?', 14);
    f.Days.push_back(d);
    const std::vector<std::string> lines = CalendarFileLines(s, f, {});
    ASSERT_EQ(lines.size(), 6u + 17u + 3u + 1u);
    EXPECT_EQ(lines.back(), " 1.03  !!.   ???..." + std::string(60, ' '));
    EXPECT_EQ(lines[23], "");
    EXPECT_EQ(lines[24], GetMsgText(s, 105));
    EXPECT_EQ(lines[25], GetMsgText(s, 106));
}

// The calendar of 2024 for a chart whose houses have the significators Moon/Mars (1),
// Sun/Venus (2) ... (cusp h in sign h + 3): the days with transiting Jupiter or Saturn within
// 1° of a conjunction or an opposition to a house's significators, found by python3-ephem,
// carry that aspect in that house, the others not.
TEST(Calendar, AYearAgainstPythonEphem) {
    if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    test::TempDir dir;
    AstroDat s;
    s.ProgramFolder = kData;
    for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
    s.ProgramFolder = dir.path();
    ASSERT_TRUE(BuildAnnualEphemeris(s, 2024).ok());
    std::vector<EphemerisRecord> records;
    ASSERT_TRUE(ReadEphemerisFile(s.DataPath("Wrk\\Tab2024.wrk"), records).ok());
    ASSERT_EQ(records.size(), 366u);
    s.ProgramFolder = kData; // the message texts

    // Natal bodies placed in the way of Jupiter (Taurus to Gemini in 2024) and Saturn (Pisces).
    PointArray natal{};
    const double bodies[8] = {0, 60, 160, 250, 5, 342, 120, 200}; // Sun .. Saturn, degrees
    for (int k = 1; k <= 7; ++k) natal[static_cast<std::size_t>(k)] = bodies[k] * kDeg;
    for (int h = 1; h <= 12; ++h)
        natal[static_cast<std::size_t>(26 + h)] = ((h + 2) * 30 + 20) % 360 * kDeg;
    const HouseSignificators sig = HouseRulerTable(natal, Classical);
    const CalendarForecast f = BuildCalendar(2024, records, natal, sig, DefaultAspects());
    ASSERT_EQ(f.Days.size(), 366u);

    std::string command =
        "/usr/bin/python3 '" +
        (fs::path(QOR_SOURCE_DIR) / "tests/forecast/calendar_oracle.py").string() + "' 2024";
    for (int k = 1; k <= 7; ++k) command += " " + std::to_string(bodies[k]);
    std::vector<std::array<int, 8>> oracle; // by day: the verdict for body 1..7
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream in(line);
        std::array<int, 8> v{};
        for (int k = 1; k <= 7; ++k) in >> v[static_cast<std::size_t>(k)];
        if (in) oracle.push_back(v);
    }
    pclose(pipe);
    ASSERT_EQ(oracle.size(), 366u);

    int hits = 0, checked = 0;
    for (std::size_t n = 0; n < 366; ++n) {
        for (int h = 1; h <= 12; ++h) {
            bool expect = false, unsure = false;
            for (const int p : sig.Rulers[h]) {
                expect = expect || oracle[n][static_cast<std::size_t>(p)] == 1;
                unsure = unsure || oracle[n][static_cast<std::size_t>(p)] == -1;
            }
            if (unsure && !expect) continue;
            bool found = false;
            for (const CalendarAspect& a : f.Days[n].Aspects[static_cast<std::size_t>(h - 1)])
                found =
                    found || ((a.body == 6 || a.body == 7) && (a.aspect == 1 || a.aspect == 14));
            EXPECT_EQ(found, expect) << "day " << n + 1 << " house " << h;
            if (expect) {
                ++hits;
                EXPECT_NE(f.Days[n].Bars[static_cast<std::size_t>(h - 1)], std::string(26, ' '));
            }
            ++checked;
        }
    }
    EXPECT_GT(hits, 40); // the fixture does have such days
    EXPECT_GT(checked, 366 * 12 - 40);

    // The file: 366 day lines, each month opened by its headings.
    const std::vector<std::string> lines = CalendarFileLines(s, f, {});
    int dayLines = 0, headings = 0;
    for (const std::string& l : lines) {
        if (l.size() > 6 && l[2] == '.' && l.substr(5, 2) == "  ") ++dayLines;
        if (l == GetMsgText(s, 105)) ++headings;
        EXPECT_EQ(l.find('\0'), std::string::npos);
    }
    EXPECT_EQ(dayLines, 366);
    EXPECT_EQ(headings, 12);
}

TEST(Calendar, YearGraphPixels) {
    test::QtApp(); // the house numbers are text
    CalendarForecast f;
    f.Year = 2024;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= (m == 2 ? 29 : m == 4 || m == 6 || m == 9 || m == 11 ? 30 : 31); ++d) {
            CalendarDay day;
            day.Day = d;
            day.Month = m;
            for (int h = 0; h < 12; ++h)
                day.Bars[static_cast<std::size_t>(h)] = CalendarBar(26, (d + h) % 53 - 26);
            f.Days.push_back(day);
        }
    ASSERT_EQ(f.Days.size(), 366u);
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int n = 1; n <= 366; ++n) DrawCalendarGraph(image, f, n);
    const QRgb silver = qRgb(192, 192, 192), white = qRgb(255, 255, 255);
    // Rows 11..376 hold the days, nothing below.
    for (int x = 0; x < 400; ++x) EXPECT_EQ(image.pixel(x, 377), white) << x;
    int lines = 0;
    for (int n = 1; n <= 366; ++n) {
        const int y = n + 10;
        const CalendarDay& d = f.Days[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(image.pixel(5, y), silver);
        EXPECT_EQ(image.pixel(330, y), silver);
        // A full line at each month's first day and at the last day.
        const bool line = image.pixel(6, y) == silver && image.pixel(10, y) == silver &&
                          image.pixel(329, y) == silver;
        EXPECT_EQ(line, d.Day == 1 || n == 366) << n;
        lines += line;
        if (line) continue;
        // Every house's pixels inside its band: x = 14 + 26 (h - 1) .. 13 + 26 h.
        for (int h = 1; h <= 12; ++h) {
            const std::string& bar = d.Bars[static_cast<std::size_t>(h - 1)];
            for (int j = 0; j < 26; ++j) {
                const QRgb px = image.pixel(14 + 26 * (h - 1) + j, y);
                const char c = bar[static_cast<std::size_t>(j)];
                const QRgb want = c == '!'   ? qRgb(0, 128, 0)
                                  : c == '?' ? qRgb(255, 0, 0)
                                  : c == '.' ? silver
                                             : white;
                ASSERT_EQ(px, want) << "day " << n << " house " << h << " column " << j;
            }
        }
    }
    EXPECT_EQ(lines, 13);
}

} // namespace
} // namespace qor::forecast
