// The readers of the natal report on hand-set charts: aspect keys in either order, the stars
// and deep-sky objects joined with a point, the rulers of a house, the points 15 and 16, a
// broken aspect key, the degree texts under the points, and the texts of single objects.
#include "NatalReportSupport.h"

#include "core/Formats.h"
#include "core/Strings.h"

#include <algorithm>

namespace qor::interp {
namespace {

using namespace test_support;

int Count(const std::vector<std::string>& lines, const std::string& what) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), what));
}

// Equal houses from 0° Aries: the house of a longitude is its sign.
class ReadersTest : public ReportFrame {
protected:
    void SetUp() override {
        ReportFrame::SetUp();
        EqualHouses(0);
        for (int p = 1; p <= 16; ++p) Put(p, 3 + 20 * p); // no two in aspect, every one shown
        w->Settings[BaseId::Stars].on = false;
    }
    std::vector<std::string> Natal(const ReportChart& c) {
        w->Run([&] { ChartReports(*w, c).Natal(); });
        return Lines();
    }
};

TEST_F(ReadersTest, AspectKeyInTheOtherOrder) {
    // The Moon 5° from the Sun, in the same house; the only key names the Moon first.
    Put(1, 100);
    Put(2, 105);
    Base("Txt\\Tormac\\aspect.txt", "[2.1.1]\nMoon joins the Sun.\n[MO SQR SU]\nNo square.\n");
    const ReportChart c = Chart();
    ASSERT_EQ(c.aspects[1][2], 1);
    const std::string heading = Cp("* Conjunction Луна - Солнце   (  5,0°)");
    // The natal report: only under the Moon, the first-named point.
    auto lines = Natal(c);
    ASSERT_EQ(Count(lines, "Moon joins the Sun."), 1);
    const auto at = std::find(lines.begin(), lines.end(), "Moon joins the Sun.");
    EXPECT_EQ(*(at - 1), heading);
    const auto moon = std::find(lines.begin(), lines.end(), Cp("ЛУНА"));
    EXPECT_TRUE(moon < at);
    EXPECT_TRUE(std::find(moon, at, Cp("СОЛНЦЕ")) == at); // not under the Sun, which comes first
    // The one-planet reports: under either point.
    for (int n : {1, 2}) {
        w->Run([&] { EXPECT_TRUE(ChartReports(*w, c).PlanetReport(n)); }, false);
        EXPECT_EQ(Count(Lines(), "Moon joins the Sun."), 1) << n;
        EXPECT_EQ(Count(Lines(), "No square."), 0) << n;
    }
    // The aspect's own text, asked with the points in either order.
    for (auto [p, q] : {std::pair{1, 2}, std::pair{2, 1}}) {
        const auto text = ChartReports(*w, c).AspectText(p, q);
        EXPECT_EQ(text, (std::vector<std::string>{"", heading, "Moon joins the Sun."})) << p;
    }
    // A pair without the aspect the key names, and a pair without a section: nothing.
    EXPECT_TRUE(ChartReports(*w, c).AspectText(1, 3).empty());
}

TEST_F(ReadersTest, EveryMatchingAspectSectionInFileOrder) {
    Put(1, 100);
    Put(2, 105);
    Put(5, 190); // a square to the Sun
    Base("Txt\\Tormac\\aspect.txt",
         "[1.1.2] first\nA.\n[1.3.5]\nB.\n[1.0.2]\nbroken\n[1.1.2] again\nC.\n");
    const ReportChart c = Chart();
    w->Run([&] { ChartReports(*w, c).PlanetReport(1); }, false);
    auto lines = Lines();
    // The sections before the broken key, in file order; the key stops the base, told once.
    const auto a = std::find(lines.begin(), lines.end(), "A.");
    const auto b = std::find(lines.begin(), lines.end(), "B.");
    ASSERT_TRUE(a != lines.end() && b != lines.end());
    EXPECT_LT(a, b);
    EXPECT_EQ(Count(lines, "C."), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], Cp("Ошибка: [1.0.2] (1,0,0)"));
    // The whole report: the box once, though three points read the base; the other readers go on.
    report.messages.clear();
    Base("Txt\\Verlin\\sign.txt", "[2.4] Moon in Cancer\nThe Moon's sign.\n");
    lines = Natal(c);
    const auto errors = Messages();
    EXPECT_EQ(std::count_if(errors.begin(), errors.end(),
                            [](const std::string& m) { return m.rfind(Cp("Ошибка: "), 0) == 0; }),
              1);
    EXPECT_EQ(Count(lines, "The Moon's sign."), 1);
    EXPECT_EQ(Count(lines, "A."), 1);
}

TEST_F(ReadersTest, StarsWithinADegreeOfThePoint) {
    // Three named stars and a nameless one; the Sun at 150°.
    StarCatalogue stars;
    const struct {
        int bs;
        double lonDeg;
        const char* name;
        std::string designation;
        float mag;
    } rows[] = {
        {1, 150 + 59.0 / 60, "Near", std::string("\x20\x01\x00Leo", 6), 1.35f},
        {2, 150 - 61.0 / 60, "Far", std::string("\x05\x02\x00Leo", 6), 2.0f},
        {3, 149.5, "", std::string("\x00\x03\x00Leo", 6), 3.0f},
        {4, 150.25, "Other", std::string("\x00\x04\x00Tau", 6), -0.5f},
    };
    stars.StarCount = 4;
    stars.YaleStars.resize(5);
    stars.StarLon.assign(5, 0);
    for (int i = 1; i <= 4; ++i) {
        const auto& r = rows[i - 1];
        YaleRec& y = stars.YaleStars[static_cast<std::size_t>(i)];
        y.BS = static_cast<uint16_t>(r.bs);
        y.Designation = r.designation;
        y.Mag = r.mag;
        if (*r.name) {
            y.NameOffset = static_cast<uint16_t>(stars.StarNames.size() + 1);
            stars.StarNames += static_cast<char>(std::strlen(r.name));
            stars.StarNames += r.name;
        }
        stars.StarLon[static_cast<std::size_t>(i)] = r.lonDeg * kDegToRad;
    }
    // One deep-sky object 30' on the other side, one without a name.
    DeepCatalogue deep;
    deep.DeepCount = 2;
    deep.DeepObjs.resize(3);
    deep.DeepObjs[1] = {"Туманность", "Nebula", "NGC 1", 149.5 * kDegToRad};
    deep.DeepObjs[1].Mag = 8.4;
    deep.DeepObjs[2] = {"", "", "NGC 2", 150 * kDegToRad};
    Put(1, 150);
    s.DMSFormat = 1;
    // The section listing 3 and 4 comes before the one of 1, so each star scans from the top.
    Base("Txt\\stars.txt", "[ 9, 4,3 ] The Other and a nameless one\nOther's text.\n"
                           "[1] Near\nNear's text.\n[2]\nFar's text.\n[NGC 1]\nNebula's text.\n"
                           "[NGC 2]\nNameless nebula.\n");
    w->Settings[BaseId::Stars].on = true;
    s.EnglishMode = true;
    ReportChart c = Chart();
    c.stars = &stars;
    c.deep = &deep;
    w->Run([&] { ChartReports(*w, c).IntStarConj(1); });
    // the signed distance of the object from the point as the program writes angles
    const auto orb = [&](double arcmin) { return RemoveBlanks(FormatDMS(s, arcmin * 60)); };
    const std::vector<std::string> want = {
        "",
        "* Conjunction: Near (32 alpha Leo  m 1,35) - Sun (orb " + orb(59) + "), ",
        "Near's text.",
        "",
        "* Conjunction: Other (delta Taurus  m -0,50) - Sun (orb " + orb(15) + "), ",
        "Other's text.",
        "",
        "* Conjunction: Nebula (NGC 1  m 8,40) - Sun (orb " + orb(-30) + "), ",
        "Nebula's text.",
    };
    EXPECT_EQ(orb(-30), "-0" + Cp("°") + "30'0\"");
    EXPECT_EQ(Lines(), want);
    // The switch off: nothing.
    w->Settings[BaseId::Stars].on = false;
    w->Run([&] { ChartReports(*w, c).IntStarConj(1); });
    EXPECT_TRUE(Lines().empty());

    // The star's own text: its switch not asked; any number of its section finds it.
    EXPECT_EQ(StarText(*w, stars, 4),
              (std::vector<std::string>{"Other (delta Taurus  m -0,50)", "Other's text."}));
    EXPECT_EQ(StarText(*w, stars, 2),
              (std::vector<std::string>{"Far (5 beta Leo  m 2,00)", "Far's text."}));
    EXPECT_EQ(DeepSkyText(*w, deep, 1),
              (std::vector<std::string>{"Nebula (NGC 1  m 8,40)", "Nebula's text."}));
    EXPECT_TRUE(StarText(*w, stars, 5).empty());
    EXPECT_TRUE(StarText(*w, stars, 0).empty());
}

// The box names the key's numbers as far as they were read before the key failed.
TEST_F(ReadersTest, AspectKeyErrorNamesTheNumbersRead) {
    const struct {
        const char* header;
        const char* numbers;
    } cases[] = {
        {"[1.0.2]", "(1,0,0)"},       {"[3.1234.4] long", "(3,0,0)"}, {"[1.2.99]", "(1,2,99)"},
        {"[2.3.0]", "(2,3,0)"},       {"[SU XXX MO]", "(1,0,0)"},     {"[1.2]", "(0,0,0)"},
        {"[1.x.2]", "(1,0,0)"},
    };
    for (bool english : {false, true}) {
        s.EnglishMode = english;
        for (const auto& c : cases)
            EXPECT_EQ(AspKeyErrorText(s, c.header, page),
                      (english ? std::string("Error: ") : Cp("Ошибка: ")) + c.header + " " +
                          c.numbers)
                << c.header;
    }
}

TEST(StarKeys, ListsOfNumbers) {
    struct Case {
        const char* header;
        int bs;
        bool listed;
    } cases[] = {
        {"[1]", 1, true},          {"[ 12 , 7,3]", 7, true}, {"[12,7,3]", 3, true},
        {"[12,7,3]", 1, false},    {"[17]", 1, false},       {"[1", 1, false},
        {"[a,1]", 1, true},        {"[1.5]", 1, false},      {"[]", 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StarKeyLists(StarBaseKey(c.header), c.bs), c.listed) << c.header << " " << c.bs;
}

TEST_F(ReadersTest, TwoRulersOfASignInPointOrder) {
    // The cusp of house 1 in Aquarius (300°..330° is house 11 here: start the houses there).
    EqualHouses(305);
    Put(7, 10);  // Saturn in house 3
    Put(8, 220); // Uranus in house 10
    Base("Txt\\Adminh.txt", "[H 1 H 3] of the first in the third\nSaturn's way.\n"
                            "[H 1 H10] of the first in the tenth\nUranus' way.\n"
                            "[H 1 H 3] again\nSecond text.\n");
    ReportChart c = Chart();
    c.rules = [](int sign, int body) { return sign == 11 && (body == 8 || body == 7); };
    w->Run([&] { ChartReports(*w, c).IntHouseRuler(1); });
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "", Cp("* САТУРН - of the first in the third"), "Saturn's way.", "",
                           Cp("* САТУРН - again"), "Second text.", "",
                           Cp("* УРАН - of the first in the tenth"), "Uranus' way."}));
    // Without the settings' table: the state's one ruler of each sign.
    c.rules = nullptr;
    w->Run([&] { ChartReports(*w, c).IntHouseRuler(1); });
    EXPECT_EQ(Count(Lines(), "Uranus' way."), 0);
    EXPECT_EQ(Count(Lines(), "Saturn's way."), 1);
}

TEST_F(ReadersTest, PointsFifteenAndSixteenOnlyAsTheirBodies) {
    struct Case {
        int nExtra;
        const char* name15; // the name of the extra body at point 15
        int key15, key16;
    } cases[] = {
        {0, "", 0, 0},                  // both Arabic parts
        {2, "Прозерпина", 15, 0},       // the second extra body has no name
        {1, "Chiron", 16, 0},           // Chiron first, by its English name
        {2, "хирон", 16, 0},            // case does not matter
        {2, "Ceres", 0, 0},             // another asteroid
        {1, "Proserpine", 15, 0},       // the part at 16 is none
    };
    for (const Case& k : cases) {
        s.NExtra = k.nExtra;
        extraNames = [&](int p) { return p == 15 ? Cp(k.name15) : std::string(); };
        const auto keys = TextKeys(s, extraNames);
        EXPECT_EQ(keys[15], k.key15) << k.name15;
        EXPECT_EQ(keys[16], k.key16) << k.name15;
        EXPECT_EQ(keys[14], 14);
        EXPECT_EQ(keys[27], 27);
        EXPECT_EQ(keys[20], 0);
    }
    // Chiron standing at point 15 gets Chiron's texts; a part at 16 gets nobody's.
    s.NExtra = 1;
    extraNames = [](int p) { return p == 15 ? std::string("Chiron") : std::string(); };
    Base("Txt\\Verlin\\sign.txt", "[15.1] Proserpine\nProserpine's.\n[16.1] Chiron\nChiron's.\n"
                                  "[16.2] Chiron\nChiron in Taurus.\n");
    Put(15, 10);
    Put(16, 40);
    const auto lines = Natal(Chart());
    EXPECT_EQ(Count(lines, "Chiron's."), 1);
    EXPECT_EQ(Count(lines, Cp("ХИРОН")), 1);
    EXPECT_EQ(Count(lines, "Proserpine's."), 0);
    EXPECT_EQ(Count(lines, "Chiron in Taurus."), 0);
    // The one-planet report of the part: nothing.
    EXPECT_FALSE(ChartReports(*w, Chart()).PlanetReport(16));
}

TEST_F(ReadersTest, DegreeTextsOfCuspsAndPoints) {
    w->Settings[BaseId::Rgradus].on = true;
    Base("Txt\\Gradus\\GOstrel.txt", "[ 1] Aries\n   1 The first degree of Aries.\n"
                                     "  11 The eleventh.\n[ 2] Taurus\n");
    Put(1, 10.5); // the Sun in the eleventh degree of Aries, house 1
    const ReportChart c = Chart(std::string(1, '|') + std::string(15, '\x97'));
    const auto lines = Natal(c);
    // the cusp of house 1 at 0°, then the Sun
    EXPECT_EQ(Count(lines, "The first degree of Aries."), 1);
    EXPECT_EQ(Count(lines, "The eleventh."), 1);
    const auto cusp = std::find(lines.begin(), lines.end(), "The first degree of Aries.");
    const auto sun = std::find(lines.begin(), lines.end(), Cp("СОЛНЦЕ"));
    const auto eleventh = std::find(lines.begin(), lines.end(), "The eleventh.");
    EXPECT_TRUE(cusp < sun && sun < eleventh);
}

TEST_F(ReadersTest, SunWithAscendantUnderItsGroup) {
    Put(1, 100); // Cancer
    EqualHouses(215); // Scorpio rising
    Base("Txt\\Kvel\\SunAsc.txt", "{ Water }\n[4.7] Cancer, Libra\nNot this.\n[4.8] Cancer, Scorpio\n"
                                  "Deep feeling.\n{Next}\nNot a body line.\n");
    w->Run([&] { ChartReports(*w, Chart()).IntSunAsc(); });
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "* Cancer, Scorpio Water", "Deep feeling."}));
}

TEST_F(ReadersTest, OneSectionTextsOfTheFixedFiles) {
    Base("Txt\\Planet.txt", "[ 3] Mercury\nQuick.\n[4]\n[5]\nRed.\n");
    Base("Txt\\Planet-e.txt", "[3]\nQuick, in English.\n");
    EXPECT_EQ(NumberedText(*w, PlanetTextFile(false), 3), std::vector<std::string>{"Quick."});
    EXPECT_EQ(NumberedText(*w, PlanetTextFile(true), 3),
              std::vector<std::string>{"Quick, in English."});
    EXPECT_TRUE(NumberedText(*w, PlanetTextFile(false), 4).empty()); // a header without lines
    EXPECT_TRUE(NumberedText(*w, PlanetTextFile(false), 6).empty());
    // A file that is not there: noted for the next full report, nothing shown.
    EXPECT_TRUE(NumberedText(*w, SignTextFile(false), 1).empty());
    ASSERT_EQ(w->Missing().size(), 1u);
    EXPECT_NE(w->Missing()[0].find("Sign.txt"), std::string::npos);
}

} // namespace
} // namespace qor::interp
