// The shipped lunar and solar return texts through the real return reports: two birth charts
// (the moments of tests/fixtures/interp/natal_charts.txt), their returns found by the core, in
// both languages. Every return cusp's natal house, every point's return house and every
// aspect well inside its orb must find its section, headed by its own title; the houses and
// aspects expected are worked out here from the longitudes, apart from the readers.
#include "NatalReportSupport.h"

#include "core/ChartEngine.h"
#include "core/ChartRecords.h"
#include "core/Directions.h"
#include "core/Stepping.h"
#include "interp/PairReports.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

namespace qor::interp {
namespace {

using namespace test_support;

struct Birth {
    const char *date, *time; // UT
    const char* event;       // the return nearest this day
};

// Moscow, 3 July 1980 14:44:01 and 8 October 2006 19:42:41 UT.
const Birth kBirths[] = {{" 3.07.1980", "14:44:01", "20.02.2025"},
                         {" 8.10.2006", "19:42:41", "11.09.2024"}};

const char* const kPointsRu[] = {"Солнце",       "Луна",          "Меркурий",   "Венера",
                                 "Марс",         "Юпитер",        "Сатурн",     "Уран",
                                 "Нептун",       "Плутон",        "Северный узел",
                                 "Южный узел",   "Чёрная Луна",   "Белая Луна", "Прозерпина",
                                 "Хирон",        "Асцендент",     "Середина неба"};
const char* const kPointsEn[] = {
    "Sun",        "Moon",       "Mercury",    "Venus",      "Mars",       "Jupiter",
    "Saturn",     "Uranus",     "Neptune",    "Pluto",      "North Node", "South Node",
    "Black Moon", "White Moon", "Proserpine", "Chiron",     "Ascendant",  "Midheaven"};
// The aspects of the major page, 1..5.
const char* const kAspectsRu[] = {"соединение", "секстиль", "квадрат", "трин", "оппозиция"};
const char* const kAspectsEn[] = {"conjunction", "sextile", "square", "trine", "opposition"};
const int kAngles[] = {0, 60, 90, 120, 180};
const char* const kRoman[] = {"I",  "II",  "III", "IV", "V",  "VI",
                              "VII", "VIII", "IX",  "X",  "XI", "XII"};
const char* const kOrdinal[] = {"1st", "2nd", "3rd", "4th",  "5th",  "6th",
                                "7th", "8th", "9th", "10th", "11th", "12th"};

double Deg(double rad) {
    return rad / kDegToRad;
}

// The aspect 1..5 of two longitudes (degrees) well inside the page's 6° orb (4°), 0 well
// outside every orb (8°), -1 in between.
int AspectOf(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    if (d > 180) d = 360 - d;
    double nearest = 999;
    for (int i = 0; i < 5; ++i) {
        if (std::fabs(d - kAngles[i]) < 4) return i + 1;
        nearest = std::min(nearest, std::fabs(d - kAngles[i]));
    }
    return nearest > 8 ? 0 : -1;
}

// The house 1..12 of a longitude among twelve cusps (degrees): the cusp it follows last.
int HouseAmong(const double (&cusp)[13], double lon) {
    for (int h = 1; h <= 12; ++h) {
        const double from = cusp[h], to = cusp[h % 12 + 1];
        const double span = std::fmod(to - from + 720, 360), off = std::fmod(lon - from + 720, 360);
        if (off < span) return h;
    }
    return 0;
}

class ReturnTextsTest : public ReportFrame {
protected:
    void SetUp() override {
        ReportFrame::SetUp();
        ASSERT_NO_FATAL_FAILURE(UseShippedTexts());
    }
    // The birth chart in PlanetLon, its return ('L' or 'S') in PlanetLonBck.
    void Compute(const Birth& b, char method) {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        DatRec birth, event;
        for (DatRec* r : {&birth, &event}) {
            (*r)[kRecZone] = "+00:00";
            (*r)[kRecLat] = Cp("55°45'N");
            (*r)[kRecLong] = Cp(" 37°37'E");
        }
        birth[kRecDate] = b.date;
        birth[kRecTime] = b.time;
        event[kRecDate] = b.event;
        event[kRecTime] = "12:00:00";
        s.DatRec1 = birth;
        s.DatRec2 = event;
        ASSERT_TRUE(UnpackDatRecToChart(s, s.DatRec1));
        UpdateCalendarForYear(s);
        ChartOptions opt;
        GeneralOptions gen;
        CurrentChart e(s, opt, gen);
        e.CalcAstroTime();
        e.CalcChart(0);
        s.DynMethod = method;
        ASSERT_TRUE(DirectionsReport(s, e, {}));
        s.ProgramFolder = dir.path();
        // Proserpine and Chiron set by hand on both charts, clear of one another.
        s.NExtra = 2;
        Put(15, 12.5);
        Put(16, 200);
        s.PlanetLonBck[15] = NormAngle(131 * kDegToRad);
        s.PlanetLonBck[16] = NormAngle(303 * kDegToRad);
    }
    PairChart Pair() {
        PairChart c;
        c.radix = Chart();
        for (char mode : {'X', 'O'}) {
            AspectOptions opt;
            opt.AspectingMode = mode;
            AspectCharts charts;
            charts.lon = &s.PlanetLon;
            charts.speed = &s.PlanetSpeed;
            charts.lonBck = &s.PlanetLonBck;
            charts.speedBck = &s.PlanetSpeedBck;
            charts.doubleChart = true;
            charts.directions = true;
            charts.nExtra = s.NExtra;
            AspectMatrix m;
            CalcAspects(page, opt, charts, m);
            (mode == 'X' ? c.cross : c.outer) = m.AspMatrix;
        }
        return c;
    }
    double Lon(bool back, int point) {
        return Deg(back ? s.PlanetLonBck[static_cast<std::size_t>(point)]
                        : s.PlanetLon[static_cast<std::size_t>(point)]);
    }
    void Cusps(bool back, double (&cusp)[13]) {
        for (int h = 1; h <= 12; ++h) cusp[h] = Lon(back, 26 + h);
    }
    // Runs `read` (one or more of the return's readers) for both births, both returns and both
    // languages; `check` then sees the report's lines. No lookup may miss and nothing may be
    // told, and every heading's text is in the report's language.
    void ForEachReturn(const std::function<void(PairReports&, bool solar)>& read,
                       const std::function<void(const std::set<std::string>& lines, bool solar,
                                                bool english)>& check) {
        for (const Birth& b : kBirths)
            for (char method : {'L', 'S'})
                for (bool english : {false, true}) {
                    const bool solar = method == 'S';
                    SCOPED_TRACE(std::string(b.date) + " " + method + (english ? " en" : " ru"));
                    ASSERT_NO_FATAL_FAILURE(Compute(b, method));
                    s.EnglishMode = english;
                    MakeWriter();
                    const PairChart c = Pair();
                    ASSERT_EQ(c.radix.keyOf[16], 16);
                    PairReports r(*w, c);
                    w->Run([&] { read(r, solar); });
                    EXPECT_TRUE(r.Misses.empty()) << r.Misses.front();
                    EXPECT_TRUE(Messages().empty()) << Messages().front();
                    const auto lines = Lines();
                    int headings = 0;
                    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
                        if (lines[i].rfind("* ", 0) != 0) continue;
                        ++headings;
                        const std::string& body = lines[i + 1];
                        const bool cyrillic = std::any_of(body.begin(), body.end(), [](char ch) {
                            return static_cast<unsigned char>(ch) >= 0xC0;
                        });
                        EXPECT_EQ(cyrillic, !english) << Cp1251ToUtf8(lines[i]);
                        EXPECT_GE(body.size(), 250u) << Cp1251ToUtf8(lines[i]);
                    }
                    EXPECT_GT(headings, 0);
                    check(std::set<std::string>(lines.begin(), lines.end()), solar, english);
                }
    }
    // The report tells at least the aspects well inside the orb and at most those not well
    // outside it, each under its heading.
    static void ExpectHeadingsBetween(const std::set<std::string>& lines, int inside,
                                      int possible) {
        const auto headings = std::count_if(lines.begin(), lines.end(), [](const auto& l) {
            return l.rfind("* ", 0) == 0;
        });
        EXPECT_GE(headings, inside);
        EXPECT_LE(headings, possible);
    }
    static std::string Name(bool english, int point) {
        const int i = point <= 16 ? point - 1 : point == 27 ? 16 : 17;
        return english ? kPointsEn[i] : Cp(kPointsRu[i]);
    }
    static std::string Aspect(bool english, int a) {
        return english ? kAspectsEn[a - 1] : Cp(kAspectsRu[a - 1]);
    }
};

// Each cusp of the return in its natal house, "* Куспид V дома Лунара в II доме радикса".
TEST_F(ReturnTextsTest, EveryReturnCuspFindsItsNatalHouse) {
    int told = 0;
    ForEachReturn(
        [](PairReports& r, bool solar) {
            r.ReturnHousesInRadix(solar ? BaseId::SHHR : BaseId::LHHR);
        },
        [&](const std::set<std::string>& lines, bool solar, bool english) {
            double natal[13], back[13];
            Cusps(false, natal);
            Cusps(true, back);
            for (int h = 1; h <= 12; ++h) {
                const int k = HouseAmong(natal, back[h]);
                const std::string want =
                    english ? std::string(solar ? "Solar " : "Lunar ") + kOrdinal[h - 1] +
                                  " cusp in the natal " + kOrdinal[k - 1] + " house"
                            : Cp("Куспид ") + kRoman[h - 1] +
                                  Cp(solar ? " дома Соляра в " : " дома Лунара в ") +
                                  kRoman[k - 1] + Cp(" доме радикса");
                EXPECT_TRUE(lines.count("* " + want)) << Cp1251ToUtf8(want);
                ++told;
            }
        });
    EXPECT_EQ(told, 2 * 2 * 2 * 12);
}

// Each point of the return in its own house, under the heading the reader builds.
TEST_F(ReturnTextsTest, EveryPointFindsItsReturnHouse) {
    ForEachReturn(
        [](PairReports& r, bool solar) {
            r.ReturnPointsInHouses(solar ? BaseId::SPH : BaseId::LPH, solar);
        },
        [&](const std::set<std::string>& lines, bool solar, bool english) {
            double back[13];
            Cusps(true, back);
            NamesAs words(s, false, false);
            const std::string ret = english ? (solar ? " OF SOLAR" : " OF LUNAR")
                                            : Cp(solar ? " СОЛЯРА" : " ЛУНАРА");
            for (int p = 1; p <= 16; ++p) {
                const int h = HouseAmong(back, Lon(true, p));
                const std::string name = UpperCaseCp(Trim(BodyName(s, p)));
                const std::string want =
                    english ? name + ret + " IN " + kRoman[h - 1] + "-TH HOUSE" + ret
                            : name + ret + Cp(" В ") + kRoman[h - 1] + Cp("-М ДОМЕ") + ret;
                EXPECT_TRUE(lines.count("* " + want)) << Cp1251ToUtf8(want);
            }
        });
}

// The return's own aspects, the Ascendant and the MC as second points: every one well inside
// the orb is told under its title, and no more are told than the pairs not well outside.
TEST_F(ReturnTextsTest, EveryOwnAspectOfTheReturnIsTold) {
    int told = 0;
    ForEachReturn(
        [](PairReports& r, bool solar) { r.ReturnAspects(solar ? BaseId::SPA : BaseId::LPA, false); },
        [&](const std::set<std::string>& lines, bool solar, bool english) {
            const std::string of = english ? (solar ? "Solar return: " : "Lunar return: ")
                                           : Cp(solar ? " в Соляре" : " в Лунаре");
            int inside = 0, possible = 0;
            for (int p = 1; p <= 16; ++p)
                for (int q : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 27, 36}) {
                    if (q <= p) continue;
                    const int a = AspectOf(Lon(true, p), Lon(true, q));
                    if (a != 0) ++possible;
                    if (a <= 0) continue;
                    ++inside;
                    const std::string t =
                        Name(english, p) + " " + Aspect(english, a) + " " + Name(english, q);
                    const std::string want = english ? of + t : t + of;
                    EXPECT_TRUE(lines.count("* " + want)) << Cp1251ToUtf8(want);
                }
            ExpectHeadingsBetween(lines, inside, possible);
            told += inside;
        });
    EXPECT_GT(told, 40);
}

// The lunar return's points to the natal ones ("Lunar Mars square natal Sun"), its Moon on the
// natal Moon among them; the solar report has no such block.
TEST_F(ReturnTextsTest, EveryLunarAspectToTheRadixIsTold) {
    int told = 0;
    ForEachReturn(
        [](PairReports& r, bool solar) {
            if (solar)
                r.Return(true);
            else
                r.ReturnAspects(BaseId::LPAR, true);
        },
        [&](const std::set<std::string>& lines, bool solar, bool english) {
            if (solar) {
                for (const auto& l : lines)
                    if (l.rfind("* ", 0) == 0)
                        EXPECT_EQ(l.find(english ? "Lunar " : Cp(" Лунара ")), std::string::npos)
                            << Cp1251ToUtf8(l);
                return;
            }
            EXPECT_TRUE(lines.count(english ? "* Lunar Moon conjunction natal Moon"
                                            : Cp("* Луна Лунара соединение Луна радикса")));
            int inside = 0, possible = 0;
            for (int k = 1; k <= 16; ++k)
                for (int q = 1; q <= 16; ++q) {
                    const int a = AspectOf(Lon(false, k), Lon(true, q));
                    if (a != 0) ++possible;
                    if (a <= 0) continue;
                    ++inside;
                    const std::string want =
                        english ? "Lunar " + Name(true, q) + " " + Aspect(true, a) + " natal " +
                                      Name(true, k)
                                : Name(false, q) + Cp(" Лунара ") + Aspect(false, a) + " " +
                                      Name(false, k) + Cp(" радикса");
                    EXPECT_TRUE(lines.count("* " + want)) << Cp1251ToUtf8(want);
                }
            ExpectHeadingsBetween(lines, inside, possible);
            told += inside;
        });
    EXPECT_GT(told, 40);
}

} // namespace
} // namespace qor::interp
