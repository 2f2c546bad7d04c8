// Aspect pages and the aspect matrix on fixture pages and fixture charts.
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Text.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qor {
namespace {

constexpr double kDeg = kDegToRad;

AspDefTable TableOf(std::vector<std::string> lines) {
    AspDefTable t;
    ReadAspectTable(t, lines);
    return t;
}

// A conjunction, a square and an opposition (orbs 8° for the Sun, 6/3 for the Moon).
AspDefTable SmallPage() {
    return TableOf({"Conj;48;M;0;8;6/3;5;5;5;5;5;5;5;5;5;1;2",
                    "Square;55;M;90;8;6/3;5;5;5;5;5;5;5;5;5;3;4",
                    "Opp;61;M;180;8;6/3;5;5;5;5;5;5;5;5;5;5;6"});
}

TEST(AspectPage, LimitsAndOrbs) {
    auto t = SmallPage();
    ASSERT_EQ(t.AspCount, 3);
    EXPECT_EQ(t.Asp[1].Limits[1][0], 0);
    EXPECT_EQ(t.Asp[1].Limits[1][1], 0);
    EXPECT_NEAR(t.Asp[1].Limits[1][2], 8 * kDeg, 1e-15);
    // The opposition stands on line 3 here: its window is clamped at π all the same.
    EXPECT_NEAR(t.Asp[3].Limits[1][0], 172 * kDeg, 1e-14);
    EXPECT_NEAR(t.Asp[3].Limits[1][2], kPi, 1e-15);
    // "6/3": a = 6°, b = 3°.
    EXPECT_NEAR(t.Asp[2].Orb[2], 6 * kDeg, 1e-15);
    EXPECT_NEAR(t.Asp[2].Limits[2][0], 84 * kDeg, 1e-14);
    EXPECT_NEAR(t.Asp[2].Limits[2][1], 87 * kDeg, 1e-14);
    EXPECT_NEAR(t.Asp[2].Limits[2][2], 96 * kDeg, 1e-14);
    EXPECT_NEAR(t.Asp[2].Limits[2][3], 93 * kDeg, 1e-14);
    EXPECT_EQ(t.Asp[2].AspOrbText[2], "6/3");
    EXPECT_EQ(t.AspGlyph[2], '7');
    EXPECT_EQ(t.Asp[3].AspColorDark, 5);
    EXPECT_EQ(t.Asp[3].AspColorLight, 6);
}

TEST(AspectPage, BadNumbersAndLongPages) {
    std::vector<std::string> lines(50, "X;abc;;30;1;1;1;1;1;1;1;1;1;1;1;red;7");
    AspDefTable t;
    ReadAspectTable(t, lines);
    EXPECT_EQ(t.AspCount, kMaxAspects);
    EXPECT_EQ(t.AspGlyph[1], '0'); // code 0 keeps the default glyph
    EXPECT_EQ(t.AspGlyph[20], 0);
    EXPECT_EQ(t.Asp[1].AspKind, ' ');
    EXPECT_EQ(t.Asp[1].AspColorDark, 0);
    EXPECT_EQ(t.Asp[1].AspColorLight, 7);
}

TEST(AspectPage, BuiltInPageRoundTripsAndIsShipped) {
    const auto lines = BuiltInAspectLines();
    ASSERT_EQ(lines.size(), 14u);
    auto t = TableOf(lines);
    for (int a = 1; a <= 14; ++a) EXPECT_EQ(WriteAspectTable(t, a), lines[a - 1]) << a;
    EXPECT_EQ(t.Asp[1].AspName, "Соединение"_cp);
    EXPECT_NEAR(t.Asp[14].AspAngle, kPi, 1e-15);
    EXPECT_NEAR(t.Asp[1].Orb[6], 8 * kDeg, 1e-15); // Jupiter takes the third column
    EXPECT_NEAR(t.Asp[1].Orb[3], 5 * kDeg, 1e-15); // Mercury the last
    EXPECT_EQ(t.Asp[6].AspOrbText[1], "6.5/5");
    EXPECT_EQ(t.Asp[2].AspKind, ' ');

    std::vector<std::string> shipped;
    ASSERT_TRUE(
        ReadTextLines(ResolvePath(fs::path(QOR_SOURCE_DIR) / "data", AspectFileName("Натал"_cp)),
                      shipped)
            .ok());
    EXPECT_EQ(shipped, lines);
}

TEST(AspectPage, WrittenNameKeepsTheFields) {
    auto t = SmallPage();
    t.Asp[1].AspName = "a;b\r\nc";
    auto line = WriteAspectTable(t, 1);
    EXPECT_EQ(line, "a,bc; 48;M;0.00;8;6/3;5;5;5;5;5;5;5;5;5;1;2");
    std::vector<std::string> again{line};
    AspDefTable u;
    ReadAspectTable(u, again);
    EXPECT_EQ(u.Asp[1].AspColorLight, 2);
}

// The angle as the grid shows it and as the dialog writes it: hundredths that round to 100
// carry into the degrees; duplicates are found as the angles will be written.
TEST(AspectPage, AngleTextsCarryAndDuplicatesCompareAsWritten) {
    const struct {
        double deg;
        const char* grid;
        const char* line;
    } cases[] = {{0, "   0\xB0", "  0   "},       {36, "  36\xB0", " 36   "},
                 {10.5, "  10.50\xB0", " 10.50"}, {10.999, "  11\xB0", " 11   "},
                 {179.996, " 180\xB0", "180   "}, {180, " 180\xB0", "180   "},
                 {72.25, "  72.25\xB0", " 72.25"}};
    for (const auto& c : cases) {
        EXPECT_EQ(AspectAngleText(c.deg), c.grid) << c.deg;
        EXPECT_EQ(AspectLineAngle(c.deg), c.line) << c.deg;
    }
    const AspDefTable t = TableOf({"Sextile;50;M;60;5;5;5;5;5;5;5;5;5;5;5;1;2",
                                   "Quint;51; ;72.25;1;1;1;1;1;1;1;1;1;1;1;1;2"});
    EXPECT_EQ(AspectAtAngle(t, 60), 1);
    EXPECT_EQ(AspectAtAngle(t, 60.001), 1); // written as 60: a second sextile
    EXPECT_EQ(AspectAtAngle(t, 60.01), 0);
    EXPECT_EQ(AspectAtAngle(t, 72.249), 2);
    EXPECT_EQ(AspectAtAngle(t, 75), 0);
}

// What the new-aspect dialog writes: the name without ";" or line breaks, cut or padded to 16,
// and a line the page reads back field by field.
TEST(AspectPage, DialogLineReadsBackWithItsNameMended) {
    const struct {
        const char* typed;
        const char* stored;
    } names[] = {{"Semi;square", "Semisquare      "},
                 {"Twenty characters!!!", "Twenty character"},
                 {"Two\r\nlines", "Twolines        "},
                 {"", "                "}};
    for (const auto& n : names) EXPECT_EQ(AspectNameField(n.typed), n.stored) << n.typed;

    AspectLineFields f;
    f.name = "Semi;square";
    f.glyph = 57;
    f.kind = 'M';
    f.angle = 10.999;
    f.orbs = "3;2/1;1;1;1;1;1;1;1;1;1;";
    f.dark = 255;
    f.light = 65280;
    const std::string line = BuildAspectLine(f);
    EXPECT_EQ(line, "Semisquare      ; 57;M; 11   ;3;2/1;1;1;1;1;1;1;1;1;1;255;65280;");
    const AspDefTable t = TableOf({line});
    ASSERT_EQ(t.AspCount, 1);
    EXPECT_EQ(t.AspGlyph[1], 57);
    EXPECT_EQ(t.Asp[1].AspKind, 'M');
    EXPECT_NEAR(t.Asp[1].AspAngle / kDeg, 11, 1e-12);
    EXPECT_EQ(t.Asp[1].AspOrbText[2], "2/1");
    EXPECT_EQ(t.Asp[1].AspColorDark, 255);
    EXPECT_EQ(t.Asp[1].AspColorLight, 65280);
}

// An orb typed into the grid: blanks go; anything that is not one or two orbs of 0..180° is
// refused.
TEST(AspectPage, TypedOrbsAreCheckedBeforeTheyAreStored) {
    const struct {
        const char* typed;
        const char* stored; // nullptr: refused
    } cases[] = {{" 5 / 3 ", "5/3"}, {"7", "7"},        {"0", "0"},       {"180", "180"},
                 {"2.5/1.5", "2.5/1.5"}, {"abc", nullptr}, {"-1", nullptr}, {"180.5", nullptr},
                 {"5/", nullptr},      {"/3", nullptr},  {"5/x", nullptr}, {"", nullptr},
                 {"5/3/1", nullptr},   {"+4", nullptr}};
    for (const auto& c : cases) {
        const auto orb = OrbFieldText(c.typed);
        if (c.stored)
            EXPECT_EQ(orb, std::optional<std::string>(c.stored)) << "[" << c.typed << "]";
        else
            EXPECT_EQ(orb, std::nullopt) << "[" << c.typed << "]";
    }
}

// A page in the fixed-column layout is converted in the memo and saved at once.
TEST(AspectPage, OldLayoutIsConvertedAndSaved) {
    test::TempDir home;
    test::RecordingReport report;
    AstroDat s;
    s.ProgramFolder = home.path();
    s.Report = &report;
    home.Write("Aspects/Old.asp",
               test::TempDir::Read(fs::path(QOR_FIXTURES_DIR) / "aspects" / "OldLayout.asp"));
    AspDefTable t;
    std::vector<std::string> lines;
    ASSERT_TRUE(LoadAspectPage(s, "Old", t, lines));
    ASSERT_EQ(t.AspCount, 3);
    EXPECT_EQ(lines[1], "Square;55;M;90;10/8;8/5;5;5;5;7/5;5;5;5;5;5;255;0");
    EXPECT_EQ(t.Asp[3].AspName, "Opposition");
    EXPECT_NEAR(t.Asp[3].AspAngle, kPi, 1e-15);
    EXPECT_EQ(t.Asp[1].AspColorDark, 16776960);
    std::vector<std::string> saved;
    ASSERT_TRUE(ReadTextLines(home / "Aspects/Old.asp", saved).ok());
    EXPECT_EQ(saved, lines);
    EXPECT_TRUE(report.messages.empty());

    // A missing page starts as a copy of the lines shown.
    ASSERT_TRUE(LoadAspectPage(s, "New", t, lines));
    std::vector<std::string> copy;
    ASSERT_TRUE(ReadTextLines(home / "Aspects/New.asp", copy).ok());
    EXPECT_EQ(copy, lines);
}

// A page neither layout reads is refused with a message and never rewritten; the lines shown
// stay in force. A page of fields with a blank line is read as it is, not rewritten.
TEST(AspectPage, PagesInNeitherLayoutAreRefusedAndKept) {
    const std::string old =
        test::TempDir::Read(fs::path(QOR_FIXTURES_DIR) / "aspects" / "OldLayout.asp");
    const std::string good = "Conj;48;M;0;8;6/3;5;5;5;5;5;5;5;5;5;1;2\r\n"
                             "Opp;61;M;180;8;6/3;5;5;5;5;5;5;5;5;5;5;6\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        int badLine; // 0: the page reads
    };
    const std::vector<Case> cases = {
        {"prose without a \";\"", "Dear diary,\r\ntoday the Moon was full.\r\n", 1},
        {"one word", "garbage", 1},
        {"binary bytes", std::string("\x01\x02\xff\xfe\x00\x10", 6), 1},
        {"fields with a stray line", good + "Trine 120 degrees\r\n", 3},
        {"fields with an angle that is no number", "Conj;48;M;zero;8;8;8\r\n" + good, 1},
        {"fields with an angle beyond 180", good + "Big;1;M;200;1;1;1\r\n", 3},
        {"old columns with a line too long", old + std::string(90, 'x') + "\r\n", 4},
        {"old columns with a bad kind", old.substr(0, 19) + "Q" + old.substr(20), 1},
        {"old columns with garbage in an orb", old.substr(0, 30) + "ab" + old.substr(32), 1},
        {"fields with a blank line", good + "   \r\n" + good, 0},
    };
    for (const Case& c : cases) {
        test::TempDir home;
        test::RecordingReport report;
        AstroDat s;
        s.EnglishMode = true;
        s.ProgramFolder = home.path();
        s.Report = &report;
        const fs::path file = home.Write("Aspects/Mine.asp", c.bytes);
        AspDefTable t;
        std::vector<std::string> lines = BuiltInAspectLines();
        const bool loaded = LoadAspectPage(s, "Mine", t, lines);
        EXPECT_EQ(test::TempDir::Read(file), c.bytes) << c.what; // never rewritten
        if (c.badLine == 0) {
            EXPECT_TRUE(loaded) << c.what;
            EXPECT_TRUE(report.messages.empty()) << c.what;
            EXPECT_EQ(t.AspCount, 5) << c.what;
            EXPECT_EQ(t.Asp[3].AspName, "") << c.what;
            continue;
        }
        EXPECT_FALSE(loaded) << c.what;
        ASSERT_EQ(report.messages.size(), 1u) << c.what;
        EXPECT_EQ(report.messages[0].text,
                  "Aspects\\Mine.asp, line " + std::to_string(c.badLine) +
                      ": not a line of an aspect page; the file was not read")
            << c.what;
        EXPECT_EQ(lines, BuiltInAspectLines()) << c.what; // the page shown stays
        EXPECT_EQ(t.AspCount, 14) << c.what;
    }
}

// A page name that is not a plain file name is refused wherever it comes from (the window,
// the command link, the state file): nothing is read or written outside "Aspects".
TEST(AspectPage, NamesOutsideThePageFolderAreRefused) {
    for (const char* bad : {"..\\..\\evil2", "../../evil2", "..", "a\\b", "a/b", "", "  ", "x:y",
                            "a;b", "tab\there"}) {
        test::TempDir home;
        test::RecordingReport report;
        AstroDat s;
        s.EnglishMode = true;
        s.ProgramFolder = home.path() / "prog";
        fs::create_directories(s.ProgramFolder / "Aspects");
        s.Report = &report;
        AspDefTable t;
        std::vector<std::string> lines = BuiltInAspectLines();
        EXPECT_FALSE(LoadAspectPage(s, bad, t, lines)) << bad;
        ASSERT_EQ(report.messages.size(), 1u) << bad;
        EXPECT_EQ(report.messages[0].text.rfind(std::string("Aspect page \"") + bad + "\": ", 0),
                  0u)
            << report.messages[0].text;
        EXPECT_EQ(t.AspCount, 14) << bad;
        // Nothing written anywhere: the folder holds only the empty page folder.
        std::size_t entries = 0;
        for (auto it = fs::recursive_directory_iterator(home.path());
             it != fs::recursive_directory_iterator(); ++it)
            entries += it->is_regular_file();
        EXPECT_EQ(entries, 0u) << bad;
    }
}

TEST(AspectTest, ModesOneAndTwo) {
    auto t = SmallPage();
    EXPECT_EQ(AspectTestHit(t, 1, 10 * kDeg, 10.5 * kDeg), 1);
    EXPECT_EQ(AspectTestHit(t, 1, 10 * kDeg, 189.5 * kDeg), 3);
    EXPECT_EQ(AspectTestHit(t, 1, 10 * kDeg, 12 * kDeg), 0);
    EXPECT_EQ(AspectTestHit(t, 2, 0, 4 * kDeg), 1);
    EXPECT_EQ(AspectTestHit(t, 2, 0, 80 * kDeg), 0); // below the square's window
    EXPECT_EQ(AspectTestHit(t, 2, 0, 93 * kDeg), 2);
    EXPECT_EQ(AspectTestHit(t, 2, 1, 1 + kPi), 3); // exactly opposite
}

// The fixture chart: Sun 100°, Moon 5° (moving 13°/day towards the square), Mercury 0°
// (retrograde, leaving the conjunction with the Moon), the nodes exactly opposite.
struct FixtureChart {
    PointArray lon{}, speed{};
    FixtureChart() {
        for (int i = 0; i < 41; ++i) lon[i] = (200 + 7.3 * i) * kDeg; // spread out
        auto set = [&](int p, double deg, double perDay) {
            lon[p] = NormAngle(deg * kDeg);
            speed[p] = perDay * kDeg;
        };
        set(1, 100, 1);
        set(2, 5, 13);
        set(3, 0, -1);
        set(11, 123.456, -0.05);
        set(12, 303.456, -0.05);
        for (int c = 27; c <= 38; ++c) set(c, 17 + 30 * (c - 27), 360);
    }
    AspectCharts Charts() { return {&lon, &speed}; }
};

TEST(AspectMatrixTest, SingleChart) {
    auto t = TableOf(BuiltInAspectLines());
    FixtureChart c;
    AspectMatrix m;
    CalcAspects(t, AspectOptions{}, c.Charts(), m);
    EXPECT_EQ(m.AspMatrix[1][2], 8); // square Sun-Moon, 95°
    EXPECT_EQ(m.AspApplying[1][2], 1);
    EXPECT_EQ(m.AspMatrix[2][1], 8);
    EXPECT_EQ(m.AspMatrix[2][3], 1); // conjunction Moon-Mercury, 5°
    EXPECT_EQ(m.AspApplying[2][3], 0);
    EXPECT_EQ(m.AspMatrix[11][12], 14); // the nodes: an exact opposition
    // Opposite cusps are not an aspect; cusp 1 and 4 are a square.
    EXPECT_EQ(m.AspMatrix[27][33], 0);
    EXPECT_EQ(m.AspMatrix[27][30], 8);
    // Minor aspects only when asked for: Sun 100°, cusp 3 at 77° is not within 1.5° of 30°.
    AspectOptions minor;
    minor.MinorCheck = true;
    minor.MajorCheck = false;
    CalcAspects(t, minor, c.Charts(), m);
    EXPECT_EQ(m.AspMatrix[11][12], 0);
    AspectOptions none;
    none.MajorCheck = false;
    CalcAspects(t, none, c.Charts(), m);
    for (const auto& row : m.AspMatrix)
        for (auto v : row) EXPECT_EQ(v, 0);
}

TEST(AspectMatrixTest, OrbOfTheWiderClass) {
    auto t = SmallPage();
    FixtureChart c;
    c.lon[1] = 0;
    c.lon[4] = 7 * kDeg; // Venus orb 5°, the Sun's 8° decides
    AspectMatrix m;
    CalcAspects(t, AspectOptions{}, c.Charts(), m);
    EXPECT_EQ(m.AspMatrix[1][4], 1);
    EXPECT_EQ(MatchAspect(t, AspectOptions{}, 4, 5, 0, 7 * kDeg), 0);
}

TEST(AspectMatrixTest, DoubleChartMotion) {
    auto t = SmallPage();
    FixtureChart inner, outer;
    inner.lon[1] = 0;
    inner.speed[1] = 1 * kDeg;
    outer.lon[2] = 86 * kDeg; // inner Sun 86° behind the outer Moon
    outer.speed[2] = 13 * kDeg;
    AspectCharts ch{&inner.lon, &inner.speed, &outer.lon, &outer.speed, true};
    AspectOptions opt;
    AspectMatrix m;
    opt.CoinsideBox = 1; // the inner chart stands still: the outer Moon closes in on 90°
    CalcAspects(t, opt, ch, m);
    EXPECT_EQ(m.AspMatrix[1][2], 2);
    EXPECT_EQ(m.AspApplying[1][2], 1);
    opt.CoinsideBox = 0; // the outer chart stands still: the inner Sun moves away
    CalcAspects(t, opt, ch, m);
    EXPECT_EQ(m.AspApplying[1][2], 0);
    opt.AspectingMode = 'I'; // the inner chart with itself: Sun 0°, Moon 5°
    CalcAspects(t, opt, ch, m);
    EXPECT_EQ(m.AspMatrix[1][2], 1);
    EXPECT_EQ(m.AspMatrix[1][1], 0);
    ch.directions = true; // directions: nothing moves, nothing applies
    opt.AspectingMode = 'X';
    CalcAspects(t, opt, ch, m);
    EXPECT_EQ(m.AspMatrix[1][2], 2);
    EXPECT_EQ(m.AspApplying[1][2], 0);
}

// A point without a position (NaN or an infinity from a damaged computation) has no aspect
// and leaves the others as they were; nothing is read outside the tables.
TEST(AspectMatrixTest, PointsWithoutAPositionHaveNoAspect) {
    auto t = TableOf(BuiltInAspectLines());
    FixtureChart clean;
    AspectMatrix expected;
    CalcAspects(t, AspectOptions{}, clean.Charts(), expected);
    for (const double bad : {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL, 1e308}) {
        FixtureChart c;
        c.lon[3] = bad;
        c.speed[3] = bad;
        c.lon[27] = bad; // the ascendant too
        AspectMatrix m;
        CalcAspects(t, AspectOptions{}, c.Charts(), m);
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 40; ++j) {
                const bool touched = i == 3 || j == 3 || i == 27 || j == 27;
                if (touched && bad != 1e308) {
                    EXPECT_EQ(m.AspMatrix[i][j], 0) << bad << " " << i << " " << j;
                    EXPECT_EQ(m.AspApplying[i][j], 0) << bad << " " << i << " " << j;
                } else if (!touched) {
                    EXPECT_EQ(m.AspMatrix[i][j], expected.AspMatrix[i][j]) << i << " " << j;
                }
            }
        // The double chart's loop over every ordered pair.
        AspectCharts ch{&c.lon, &c.speed, &clean.lon, &clean.speed, true};
        CalcAspects(t, AspectOptions{}, ch, m);
        if (bad != 1e308) {
            for (int j = 0; j <= 40; ++j) EXPECT_EQ(m.AspMatrix[3][j], 0) << bad << " " << j;
        }
    }
}

} // namespace
} // namespace qor

namespace qor {
namespace {

// The matrix's quick answers by separation agree with the full check of every pair, also at
// the window edges, for every setting of the two switches.
TEST(AspectMatrixTest, QuickAnswersAgreeWithTheFullCheck) {
    auto t = TableOf(BuiltInAspectLines());
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> any(0, kTwoPi);
    const double edges[] = {0,  5,  8,  10,  12,  28.5, 53.5, 55,  65,  66.5,
                            80, 85, 95, 100, 168, 170,  172,  175, 180, 179.999999};
    for (int mode = 0; mode < 4; ++mode) {
        AspectOptions opt;
        opt.MajorCheck = mode & 1;
        opt.MinorCheck = mode & 2;
        for (int round = 0; round < 200; ++round) {
            PointArray lon{}, speed{};
            for (auto& l : lon) l = any(rng);
            // A few points exactly at window edges from the Sun.
            for (int k = 0; k < 6; ++k)
                lon[2 + k] = NormAngle(lon[1] + edges[(round + k) % 20] * kDeg);
            AspectMatrix m;
            CalcAspects(t, opt, {&lon, &speed}, m);
            for (int i = 1; i <= 38; ++i)
                for (int j = i + 1; j <= 38; ++j) {
                    if ((i > 14 && i < 27) || (j > 14 && j < 27)) continue;
                    if (i > 26 && j - i == 6) continue;
                    ASSERT_EQ(m.AspMatrix[i][j], MatchAspect(t, opt, AspPointClass(i),
                                                             AspPointClass(j), lon[i], lon[j]))
                        << mode << " " << i << " " << j;
                }
        }
    }
}

} // namespace
} // namespace qor

namespace qor {
namespace {

// The matrix read off the rules one pair at a time: the points in force, which pairs are
// tested, MatchAspect for each, and the applying flag from a small step along the speeds.
// The separation is written out here as the plain rule (the angle between two longitudes).
double PlainSeparation(double a, double b) {
    double d = std::fabs(b - a);
    if (d >= kTwoPi) d = std::fmod(d, kTwoPi);
    return std::min(d, kTwoPi - d);
}

AspectMatrix PairByPair(const AspDefTable& t, const AspectOptions& opt, const AspectCharts& ch) {
    AspectMatrix m;
    const bool dbl = ch.doubleChart && ch.lonBck && ch.speedBck;
    const bool across = dbl && opt.AspectingMode == 'X';
    bool move1 = true, move2 = true;
    if (dbl && opt.AspectingMode != 'I' && ch.directions) {
        move1 = move2 = false;
    } else if (across) {
        move1 = opt.CoinsideBox == 0;
        move2 = opt.CoinsideBox != 0;
    }
    const PointArray& lon1 = dbl && opt.AspectingMode == 'O' ? *ch.lonBck : *ch.lon;
    const PointArray& spd1 = dbl && opt.AspectingMode == 'O' ? *ch.speedBck : *ch.speed;
    const PointArray& lon2 = dbl && opt.AspectingMode != 'I' ? *ch.lonBck : *ch.lon;
    const PointArray& spd2 = dbl && opt.AspectingMode != 'I' ? *ch.speedBck : *ch.speed;
    const int lastBody = std::min(26, 14 + ch.nExtra + ch.parsCount);
    const auto shown = [&](int p) {
        return (p >= (ch.exterrBody != 0 ? 0 : 1) && p <= lastBody) || (p >= 27 && p <= 38);
    };
    for (int i = 0; i <= 38; ++i)
        for (int j = 0; j <= 38; ++j) {
            if (!shown(i) || !shown(j)) continue;
            if (!dbl && j <= i) continue;
            if (!across && (i == j || (i > 26 && j > 26 && std::abs(i - j) == 6))) continue;
            const int a =
                MatchAspect(t, opt, AspPointClass(i), AspPointClass(j), lon1[i], lon2[j]);
            if (a == 0) continue;
            const double angle = t.Asp[a].AspAngle;
            const double now = PlainSeparation(lon1[i], lon2[j]);
            const double later = PlainSeparation(lon1[i] + spd1[i] * (move1 ? 1e-5 : 0),
                                                 lon2[j] + spd2[j] * (move2 ? 1e-5 : 0));
            const uint8_t applying =
                (move1 || move2) && std::fabs(angle - now) >= std::fabs(angle - later);
            m.AspMatrix[i][j] = static_cast<uint8_t>(a);
            m.AspApplying[i][j] = applying;
            if (!dbl) {
                m.AspMatrix[j][i] = static_cast<uint8_t>(a);
                m.AspApplying[j][i] = applying;
            }
        }
    return m;
}

// A page of random aspects: overlapping windows, a/b orbs, zero and wide orbs, angles past
// 180°, negative orbs, unused aspects, up to the full 46 lines.
std::vector<std::string> RandomPage(std::mt19937& rng) {
    std::uniform_int_distribution<int> count(1, kMaxAspects), pick(0, 9);
    std::uniform_real_distribution<double> angle(0, 180), orb(0, 12);
    const int n = count(rng);
    std::vector<std::string> lines;
    for (int a = 0; a < n; ++a) {
        const int k = pick(rng);
        const double at = k == 0 ? 0 : k == 1 ? 180 : k == 2 ? 200 : std::round(angle(rng) * 4) / 4;
        std::string line = "A" + std::to_string(a) + ";" + std::to_string(40 + a) + ";" +
                           (k < 5 ? "M" : k < 9 ? " " : "-") + ";" + std::to_string(at) + ";";
        for (int c = 1; c <= kPointClasses; ++c) {
            const int o = pick(rng);
            const double first = o == 0 ? 0 : o == 1 ? -2 : o == 2 ? 190 : orb(rng);
            line += std::to_string(first);
            if (o >= 7) line += "/" + std::to_string(orb(rng));
            line += ";";
        }
        lines.push_back(line + "1;2");
    }
    return lines;
}

// Longitudes spread at random, with points set exactly on window ends (from a point at 0°)
// and a few without a position.
void RandomChart(std::mt19937& rng, const AspDefTable& t, PointArray& lon, PointArray& speed) {
    std::uniform_real_distribution<double> any(0, kTwoPi), motion(-0.3, 0.3);
    std::uniform_int_distribution<int> point(0, 40), aspect(1, std::max(1, t.AspCount)),
        cls(1, kPointClasses), end(0, 3), odd(0, 30);
    for (int p = 0; p < 41; ++p) {
        lon[p] = any(rng);
        speed[p] = motion(rng);
    }
    lon[1] = 0;
    for (int k = 0; k < 10; ++k) {
        const double edge = t.Asp[aspect(rng)].Limits[cls(rng)][end(rng)];
        lon[point(rng)] = k % 2 ? edge : kTwoPi - edge;
    }
    if (odd(rng) == 0) lon[point(rng)] = std::nan("");
    if (odd(rng) == 0) lon[point(rng)] = HUGE_VAL;
    if (odd(rng) == 0) lon[point(rng)] = 1e300;
    if (odd(rng) == 0) speed[point(rng)] = std::nan("");
}

void ExpectSameMatrix(const AspectMatrix& got, const AspectMatrix& want, const std::string& what) {
    for (int i = 0; i < 41; ++i)
        for (int j = 0; j < 41; ++j) {
            ASSERT_EQ(got.AspMatrix[i][j], want.AspMatrix[i][j]) << what << " " << i << " " << j;
            ASSERT_EQ(got.AspApplying[i][j], want.AspApplying[i][j])
                << what << " applying " << i << " " << j;
        }
}

// Every cell of the matrix, its applying flags included, is the one the pair-by-pair rule
// gives: on the built-in page and on random pages, for single and double charts in every
// mode, with extra bodies, parts and an observer elsewhere.
TEST(AspectMatrixTest, EveryCellAsThePairByPairRule) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> extra(0, 12), flip(0, 1), coin(0, 1);
    int withWindows = 0; // pages whose windows give the quick answers
    for (int page = 0; page < 60; ++page) {
        std::vector<std::string> lines =
            page == 0 ? BuiltInAspectLines()
                      : page == 1 ? std::vector<std::string>{"Conj;48;M;0;8;6/3;5;5;5;5;5;5;5;5;5;1;2",
                                                             "Opp;61;M;180;8;6/3;5;5;5;5;5;5;5;5;5;5;6"}
                                  : RandomPage(rng);
        AspDefTable t;
        ReadAspectTable(t, lines);
        withWindows += t.Windows[3] != nullptr;
        for (int round = 0; round < 40; ++round) {
            PointArray lon1{}, spd1{}, lon2{}, spd2{};
            RandomChart(rng, t, lon1, spd1);
            RandomChart(rng, t, lon2, spd2);
            AspectOptions opt;
            opt.MajorCheck = flip(rng);
            opt.MinorCheck = flip(rng) || round % 4 == 0;
            opt.AspectingMode = "IOX"[round % 3];
            opt.CoinsideBox = coin(rng);
            AspectCharts ch{&lon1, &spd1, &lon2, &spd2, round % 2 == 1, flip(rng) == 1,
                            round % 7 == 0 ? 3 : 0, extra(rng), extra(rng)};
            AspectMatrix m;
            CalcAspects(t, opt, ch, m);
            ExpectSameMatrix(m, PairByPair(t, opt, ch),
                             "page " + std::to_string(page) + " round " + std::to_string(round));
        }
    }
    EXPECT_EQ(withWindows, 60);
}

// A table whose windows were set by hand without the quick answers, and one whose wider orb
// does not hold the narrower window, are checked pair by pair all the same.
TEST(AspectMatrixTest, HandMadeWindowsAreCheckedInFull) {
    std::mt19937 rng(5);
    const AspDefTable page = TableOf(BuiltInAspectLines());
    AspDefTable odd = page;
    // The square's Moon window moved off its Sun window although the Sun's orb is wider.
    odd.Asp[8].Limits[2] = {95 * kDeg, 0, 103 * kDeg, 0};
    PrepareAspectWindows(odd);
    AspDefTable bare; // the definitions alone
    bare.AspCount = page.AspCount;
    bare.Asp = page.Asp;
    bare.Asp[10].Limits[11] = {100 * kDeg, 0, 140 * kDeg, 0}; // a wide trine
    for (AspDefTable* t : {&bare, &odd})
        for (int round = 0; round < 100; ++round) {
            PointArray lon{}, speed{};
            RandomChart(rng, *t, lon, speed);
            AspectOptions opt;
            opt.MinorCheck = round % 2 == 0;
            AspectMatrix m;
            CalcAspects(*t, opt, {&lon, &speed}, m);
            ExpectSameMatrix(m, PairByPair(*t, opt, {&lon, &speed}),
                             (t == &bare ? "bare " : "odd ") + std::to_string(round));
        }
}

} // namespace
} // namespace qor
