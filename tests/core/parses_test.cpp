// Arabic parts: formulas by day and night, activation, chart points and page files.
#include "core/PageNames.h"
#include "core/Parses.h"

#include "core/AstroMath.h"
#include "core/Text.h"

#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor {
namespace {

constexpr double kDeg = kDegToRad;

// A chart with round numbers: each cusp n at 15° + 30°(n − 1), so cusp n lies in sign n.
PointArray FixtureChart() {
    PointArray lon{};
    const double bodies[] = {0,   10,  145, 20,  50, 200, 300, 250, 80,
                             340, 230, 111, 291, 7,  8,   61,  62,  63};
    for (int i = 0; i < 18; ++i) lon[i] = bodies[i] * kDeg;
    for (int n = 1; n <= 12; ++n) lon[26 + n] = (15 + 30 * (n - 1)) * kDeg;
    return lon;
}

class ParsTest : public ::testing::Test {
protected:
    ParsTest() {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
    }
    AstroDat s;
    test::RecordingReport report;
    PointArray lon = FixtureChart();
    ParsInputs day{0.2, 0, ParsInputs{}.SignRuler};
    ParsInputs night{-0.2, 0, ParsInputs{}.SignRuler};
};

// Values computed by hand from the fixture (Sun 10°, Moon 145°, cusp 1 15°, cusp 9 255° in
// Sagittarius ruled by Jupiter at 300°).
TEST_F(ParsTest, FormulasByDayAndNight) {
    struct Case {
        const char* formula;
        double dayDeg, nightDeg;
    } cases[] = {
        {"Sun", 10, 10},
        {"Sun+180", 190, 190},
        {"H1+Lun-Sun", 150, 150},
        {"H1+[Lun-Sun]", 150, 240}, // the Part of Fortune: 15+145−10 by day, 15−145+10 by night
        {"H1+[Sun-Lun]", 240, 150}, // the Part of Spirit
        {"H1-[Lun-Sun]", 220, 170}, // by day A−B−C as written, by night A+B+C
        {"H1+[Sun+Sun-Lun-Lun]", 105, 285},
        {" H1 + Lun - Sun ", 150, 150},
        {"D9", 300, 300},
        {"H1+H9-D9", 330, 330},
        {"H1+[19-Sun]", 24, 6},
        {"12.5", 12.5, 12.5},
        {"-Sun", 350, 350},
        {"Nod", 111, 111}, // "Nod" is always the north node
        {"Pro+Chi-Shp", 60, 60},
        // No sign before the group: by day "H1Lun" is an unknown term (0), by night an error.
        {"H1[Lun-Sun]", 350, -1},
    };
    for (const auto& c : cases) {
        for (bool isDay : {true, false}) {
            const double want = isDay ? c.dayDeg : c.nightDeg;
            bool valid = false;
            const std::string text =
                ParsEvalFormula(s, c.formula, lon, isDay ? day : night, &valid);
            if (want < 0) {
                EXPECT_FALSE(valid) << c.formula;
                EXPECT_TRUE(text.empty());
                continue;
            }
            EXPECT_TRUE(valid) << c.formula;
            EXPECT_NEAR(s.ParsResult / kDeg, want, 1e-9)
                << c.formula << (isDay ? " day" : " night");
            EXPECT_FALSE(text.empty());
        }
    }
}

// The classical rulers (Mars, Venus, Mercury, Moon, Sun, Mercury, Venus, Mars, Jupiter,
// Saturn, Saturn, Jupiter) of the sign on each cusp; only houses 1..12 have one.
TEST(HouseRuler, RulerOfTheSignOnEachCusp) {
    const ParsInputs in;
    const int classical[13] = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};
    PointArray lon{};
    for (int h = 1; h <= 12; ++h) {
        // cusp h in sign 13 − h, 17° into it
        lon[static_cast<std::size_t>(26 + h)] = ((12 - h) * 30 + 17) * kDeg;
        EXPECT_EQ(HouseRuler(lon, in, h), classical[13 - h]) << h;
    }
    struct Case {
        double cuspDeg;
        int ruler;
    } cases[] = {{359.9999, 6}, {360 - 1e-12, 6}, {0, 5}, {29.99999, 5}, {30.00001, 4}, {-0.5, 6}};
    for (const Case& c : cases) {
        lon[27] = c.cuspDeg * kDeg;
        EXPECT_EQ(HouseRuler(lon, in, 1), c.ruler) << c.cuspDeg;
    }
    for (const int h : {0, 13, 14, -1}) EXPECT_EQ(HouseRuler(lon, in, h), 0) << h;
}

// There are twelve cusps: a thirteenth house is an error of the formula, as an unknown term.
TEST_F(ParsTest, HousesBeyondTwelveAreErrors) {
    for (const char* formula : {"D13", "H14+Sun", "D0"}) {
        s.StatusText.clear();
        ParsEvalFormula(s, formula, lon, day);
        EXPECT_EQ(s.StatusText, GetMsgText(s, 52, formula)) << formula; // the formula's error
        EXPECT_FALSE(s.StatusText.empty());
    }
    s.StatusText.clear();
    ParsEvalFormula(s, "D12+H12", lon, day);
    EXPECT_TRUE(s.StatusText.empty());
}

TEST_F(ParsTest, ResultTextAndTrace) {
    s.DMSFormat = 1;
    const std::string text = ParsEvalFormula(s, "H1+[Lun-Sun]", lon, day);
    EXPECT_EQ(text, Cp(" 0° 0' 0\"Vir"));
    EXPECT_EQ(s.ParsTrace, Cp("+15°0'0\" +145°0'0\" -10°0'0\" = 150°0'0\""));
    EXPECT_FALSE(s.ShortNames); // set for the text only
}

TEST_F(ParsTest, CodesNameTheBodiesOfTheBodyTable) {
    AstroDat names;
    names.EnglishMode = true;
    names.GlyphNames = false;
    EXPECT_EQ(Trim(BodyName(names, ParsPointOfCode("Chi"))), "Chiron");
    EXPECT_EQ(Trim(BodyName(names, ParsPointOfCode("Pro"))), "Proserpine");
    EXPECT_EQ(ParsPointOfCode("Shp"), 17);
    EXPECT_EQ(ParsPointOfCode("Nod"), 11);
    EXPECT_EQ(ParsPointOfCode("sun"), 0);
}

TEST_F(ParsTest, UnknownCodeCountsNoughtAndIsReported) {
    ParsEvalFormula(s, "sun+Lun", lon, day);
    EXPECT_NEAR(s.ParsResult / kDeg, 145, 1e-9);
    EXPECT_NE(s.StatusText.find("sun+Lun"), std::string::npos) << s.StatusText;
    EXPECT_FALSE(s.ParsError);
}

TEST_F(ParsTest, BracketErrorMakesThePartInvalidAndNamesTheFormula) {
    for (const ParsInputs& in : {day, night}) {
        s.StatusText.clear();
        ParsEvalFormula(s, "Sun+180", lon, in);
        bool valid = true;
        EXPECT_EQ(ParsEvalFormula(s, "H1+[Lun-Sun", lon, in, &valid), "");
        EXPECT_FALSE(valid);
        EXPECT_EQ(s.ParsResult, 0.0); // not the 190° of the formula before
        EXPECT_EQ(s.StatusText, Cp("Ошибка: H1+[Lun-Sun"));
        valid = true;
        ParsEvalFormula(s, "H1+Lun]-Sun", lon, in, &valid);
        EXPECT_FALSE(valid);
    }
}

TEST_F(ParsTest, EmptyFormulaChangesNothing) {
    ParsEvalFormula(s, "Sun", lon, day);
    EXPECT_EQ(ParsEvalFormula(s, "   ", lon, day), "");
    EXPECT_NEAR(s.ParsResult / kDeg, 10, 1e-9);
}

TEST_F(ParsTest, ActivationKeepsThePartsBeforeTheCusps) {
    const std::vector<std::string> page = {"F;Fortune;H1+[Lun-Sun]",
                                           ";comment;Sun",
                                           "S;Spirit;H1+[Sun-Lun]",
                                           "X;Broken;H1+[Lun",
                                           "A;a;Sun",
                                           "B;b;Sun",
                                           "C;c;Sun",
                                           "D;d;Sun",
                                           "E;e;Sun",
                                           "G;g;Sun",
                                           "K;k;Sun"};
    ParsSetActive(s, "Test", page, 3);
    ASSERT_EQ(s.ParsCount, 6); // at most 9 − NExtra, comments left out
    EXPECT_EQ(s.ParsActive[0], "\"Test\"");
    EXPECT_EQ(s.ParsActive[2], "S;Spirit;H1+[Sun-Lun]");

    ParsInputs in = day;
    in.NExtra = 3;
    PointArray chart = lon;
    ParsComputeActive(s, chart, in);
    EXPECT_NEAR(chart[18] / kDeg, 150, 1e-9); // part 1 at 14 + 3 + 1
    EXPECT_NEAR(chart[19] / kDeg, 240, 1e-9);
    EXPECT_EQ(chart[20], 0.0); // the broken formula has no value
    EXPECT_FALSE(s.ParsValid[3]);
    EXPECT_TRUE(s.ParsValid[2]);
    EXPECT_NEAR(chart[23] / kDeg, 10, 1e-9);
    EXPECT_EQ(s.ParsGlyphs[1], 'F');
    EXPECT_EQ(chart[24], lon[24]);

    // Extra bodies switched on after the activation: the parts shrink, the cusps stay.
    in.NExtra = 10;
    chart = lon;
    ParsComputeActive(s, chart, in);
    EXPECT_EQ(ParsPointCount(s, 10), 2);
    EXPECT_NEAR(chart[25] / kDeg, 150, 1e-9);
    EXPECT_NEAR(chart[26] / kDeg, 240, 1e-9);
    for (int p = 27; p <= 40; ++p) EXPECT_EQ(chart[p], lon[p]) << p;

    EXPECT_EQ(ParsFindByGlyph(s, 'S'), "Spirit");
    EXPECT_EQ(ParsFindByGlyph(s, 'Q'), "");

    // The active list as restored from the window state.
    s.ParsCount = 0;
    ParsCountActive(s);
    EXPECT_EQ(s.ParsCount, 6);
}

TEST_F(ParsTest, ShippedPagesEvaluateByDayAndNight) {
    for (const auto& page : ParsDefaultPages()) {
        std::vector<std::string> lines;
        ASSERT_TRUE(ReadParsPage(s, page, lines).ok()) << page;
        int parts = 0;
        for (const auto& line : lines) {
            const ParsLine p = ParsSplitLine(line);
            if (p.comment) continue;
            ++parts;
            EXPECT_EQ(p.glyph.size(), 1u) << line;
            EXPECT_FALSE(p.name.empty()) << line;
            for (const ParsInputs& in : {day, night}) {
                bool valid = false;
                s.StatusText.clear();
                ParsEvalFormula(s, p.formula, lon, in, &valid);
                EXPECT_TRUE(valid) << line;
                EXPECT_EQ(s.StatusText, "") << line;
            }
        }
        EXPECT_GT(parts, 0) << page;
    }
}

// The chart's parts, which the chart computation evaluates without their traces, take the
// very values the formulas give one by one, on the shipped pages and on formulas with errors.
TEST_F(ParsTest, ChartPartsAsEachFormulaOnItsOwn) {
    std::vector<std::vector<std::string>> pages;
    for (const auto& page : ParsDefaultPages()) {
        ASSERT_TRUE(ReadParsPage(s, page, pages.emplace_back()).ok()) << page;
    }
    pages.push_back({"A;a;H1+[Lun-Sun", "B;b;Sun+Xyz", "C;c;H13-Sun", "D;d;12.5+D3-Mar",
                     "E;e;   ", "G;g;H1+[Sun+Sun-Lun-Lun]"});
    for (const auto& page : pages)
        for (const ParsInputs& in : {day, night}) {
            ParsSetActive(s, "Test", page, 0);
            PointArray chart = lon;
            ParsComputeActive(s, chart, in);
            for (int i = 1; i <= s.ParsCount; ++i) {
                const ParsLine p = ParsSplitLine(s.ParsActive[i]);
                bool valid = true;
                ParsEvalFormula(s, p.formula, lon, in, &valid);
                const bool part = valid && !p.formula.empty();
                EXPECT_EQ(s.ParsValid[i], part) << s.ParsActive[i];
                if (part) EXPECT_EQ(chart[ParsPoint(0, i)], s.ParsResult) << s.ParsActive[i];
            }
        }
}

// In English mode the shipped pages are read from their English copies: the same glyphs and
// formulas in the same order, names and notes without Cyrillic; a page of the user's own is
// one file in both languages.
TEST_F(ParsTest, ShippedPagesHaveEnglishCopiesWithTheSameParts) {
    const auto cyrillic = [](const std::string& t) {
        return std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xC0; });
    };
    for (const auto& page : ParsDefaultPages()) {
        std::vector<std::string> ru, en;
        s.EnglishMode = false;
        ASSERT_TRUE(ReadParsPage(s, page, ru).ok()) << page;
        s.EnglishMode = true;
        ASSERT_TRUE(ReadParsPage(s, page, en).ok()) << page;
        EXPECT_EQ(ParsPageFile(s, page), "Parses\\" + page + "-e.prs");
        ASSERT_EQ(ru.size(), en.size()) << page;
        for (std::size_t i = 0; i < ru.size(); ++i) {
            const ParsLine r = ParsSplitLine(ru[i]), e = ParsSplitLine(en[i]);
            EXPECT_EQ(e.comment, r.comment) << en[i];
            EXPECT_EQ(e.formula, r.formula) << en[i];
            if (!r.comment) EXPECT_EQ(e.glyph, r.glyph) << en[i];
            EXPECT_FALSE(cyrillic(en[i])) << en[i];
            EXPECT_TRUE(r.comment || cyrillic(r.name)) << ru[i];
        }
    }
    s.EnglishMode = true;
    EXPECT_EQ(ParsPageFile(s, Cp("Мои части")), Cp("Parses\\Мои части.prs"));
    s.EnglishMode = false;
    EXPECT_EQ(ParsPageFile(s, "Parses"), "Parses\\Parses.prs");
}

TEST_F(ParsTest, PageNamesThatCannotBeFileNamesAreRefused) {
    const std::vector<std::string> pages = {"Parses", "Firnel"};
    for (const char* bad : {"", "   ", "a/b", "a\\b", "..", ".", "a:b", "a*b", "a?b", "a|b", "a\"b",
                            "a<b", " lead", "trail ", "dot.", "parses", "PARSES"})
        EXPECT_TRUE(PageNameProblem(s, bad, pages).has_value()) << "[" << bad << "]";
    for (const char* good : {"Мои части", "Hermetic-2", "a.b"})
        EXPECT_FALSE(PageNameProblem(s, Cp(good), pages).has_value()) << good;
}

TEST_F(ParsTest, RenamingNeverWritesOverAnotherPage) {
    test::TempDir home;
    s.ProgramFolder = home.path();
    home.Write("Parses/A.prs", "F;Fortune;H1+[Lun-Sun]\r\n");
    home.Write("Parses/B.prs", "S;Spirit;H1+[Sun-Lun]\r\n"); // a page whose tab was deleted
    std::vector<std::string> pages = {"A"};

    EXPECT_FALSE(RenameParsPage(s, pages, 0, "B"));
    EXPECT_EQ(pages[0], "A");
    EXPECT_EQ(test::TempDir::Read(home / "Parses/B.prs"), "S;Spirit;H1+[Sun-Lun]\r\n");
    EXPECT_EQ(test::TempDir::Read(home / "Parses/A.prs"), "F;Fortune;H1+[Lun-Sun]\r\n");
    ASSERT_EQ(report.messages.size(), 1u);

    EXPECT_FALSE(RenameParsPage(s, pages, 0, "../x"));
    EXPECT_EQ(report.messages.size(), 2u);

    EXPECT_TRUE(RenameParsPage(s, pages, 0, "C"));
    EXPECT_EQ(pages[0], "C");
    EXPECT_FALSE(fs::exists(home / "Parses/A.prs"));
    EXPECT_EQ(test::TempDir::Read(home / "Parses/C.prs"), "F;Fortune;H1+[Lun-Sun]\r\n");

    // A written page reads back line for line.
    ASSERT_TRUE(WriteParsPage(s, "C", {"F;Fortune;H1+[Lun-Sun]", ";note;"}).ok());
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadParsPage(s, "C", lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"F;Fortune;H1+[Lun-Sun]", ";note;"}));
}

} // namespace
} // namespace qor
