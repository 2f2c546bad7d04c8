// The texts of the planet window and the satellites table: distances in their units, periods
// against JPL's mean satellite elements, the rise and set of the Sun and the Moon against
// python3-ephem, and the orbit switches kept between runs.
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/ChartEngine.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "sky/BodyTables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor::test {
namespace {

TEST(SatelliteTable, DistancesAndPeriodsInTheirUnits) {
    SkyState t;
    CosmosBodies b;
    PlnMdbRec& r = b.PlanetsMdb[CosmosModeSlot(5) + 1];
    r.Name = " Test";
    r.Axis = 1;
    r.MeanMotion = 2 * kPi / 365.9;
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 2), " 149 600 000"); // 1 AU still in kilometres
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 3), "365,900");
    r.Axis = 1.5;
    r.MeanMotion = 2 * kPi / 366;
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 2), "       1,500");
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 3), "  1,002"); // in years
    r.MeanMotion = 0;
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 3), ""); // no period rather than a division by 0
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 0), "Test");
    b.OrbitFlags[5][1] = 1;
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 1), "\xAE");
    b.OrbitSchemeFlags[5][1] = 1;
    EXPECT_EQ(SatelliteCell(t.s, b, 5, 1, 1), "\xA9");
    // the rows of each centre; none in the star view
    EXPECT_EQ(SatelliteRows(1), 9);
    EXPECT_EQ(SatelliteRows(7), 18);
    EXPECT_EQ(SatelliteRows(-1), 0);
    EXPECT_EQ(SatelliteCell(t.s, b, -1, 1, 0), "");
    EXPECT_EQ(SatelliteHeader(t.s, 1, 12), Cp("  Масса/(Земля=1)"));
    EXPECT_EQ(SatelliteHeader(t.s, 7, 12), Cp("  Масса/(1:Mпланеты)"));
}

TEST(SatelliteTable, PeriodsAgreeWithJplsMeanElements) {
    SkyState t;
    CosmosBodies b;
    ASSERT_GT(LoadPlanetsMdb(t.s, b), 0);
    // sidereal periods in days (JPL Solar System Dynamics, planetary satellite mean elements)
    struct Case {
        int mode, row;
        double days;
    };
    for (const Case& c :
         {Case{5, 1, 0.319}, Case{5, 2, 1.263}, Case{6, 5, 1.769}, Case{6, 6, 3.551},
          Case{6, 7, 7.155}, Case{6, 8, 16.689}, Case{7, 15, 15.945}, Case{8, 14, 8.706},
          Case{9, 7, 5.877}, Case{10, 1, 6.387}}) {
        const std::string cell = SatelliteCell(t.s, b, c.mode, c.row, 3);
        EXPECT_NEAR(StrToFloatHM(cell), c.days, 0.002) << c.mode << " " << c.row << " " << cell;
    }
}

TEST(SatelliteTable, OrbitSwitchesOfEverySatelliteSurviveSavingAndReading) {
    CosmosBodies b;
    LoadSatelliteFlags(b, DefaultSatelliteFlags());
    EXPECT_EQ(b.OrbitFlags[1][9], 0);                     // Pluto's orbit is off by default
    for (int k = 1; k <= 21; ++k) b.OrbitFlags[7][k] = 1; // every orbit of Saturn
    b.OrbitFlags[7][18] = 0;                              // but Phoebe's
    const std::vector<std::string> lines = SaveSatelliteFlags(b);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[6].size(), 22u);
    CosmosBodies again;
    LoadSatelliteFlags(again, lines);
    EXPECT_EQ(again.OrbitFlags[7][18], 0);
    EXPECT_EQ(again.OrbitFlags[7][17], 1);
    // a line of 18 characters (an older run) sets what it holds; the rest keep the defaults
    std::vector<std::string> old = DefaultSatelliteFlags();
    old[0] = "011111111010001111";
    old[6] = "011111111111111111";
    LoadSatelliteFlags(again, old);
    EXPECT_EQ(again.OrbitFlags[7][17], 1);
    EXPECT_EQ(again.OrbitFlags[7][18], 0); // the default of systems 6..10
    EXPECT_EQ(again.OrbitFlags[1][18], 1);
}

// A chart at local noon of a day and place.
void NoonChart(AstroDat& s, int y, int mo, int d, double lat, double lon, int zone) {
    s.ChartYear = y;
    s.ChartMonth = mo;
    s.ChartDay = d;
    s.ChartHour = 12;
    s.ChartMinute = 0;
    s.ChartSecond = 0;
    s.ChartZone = zone;
    s.ChartLat = lat * kDegToRad;
    s.ChartLong = lon * kDegToRad;
}

double HoursOf(const std::string& hhmm) {
    const std::size_t colon = hhmm.find(':');
    return std::stoi(hhmm.substr(0, colon)) + std::stoi(hhmm.substr(colon + 1)) / 60.0;
}

TEST(PlanetWindow, RiseAndSetOfTheSunAndTheMoonAgreeWithPythonEphem) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(fs::path(QOR_FIXTURES_DIR) / "moon_rise_set.txt", lines).ok());
    CosmosBodies b;
    int cases = 0;
    double worstSun = 0, worstMoon = 0;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<double> f;
        for (int k = 0; k < 18; ++k) f.push_back(std::stod(CutField(line, ';', k)));
        SkyState t;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(t.s, i);
        NoonChart(t.s, int(f[3]), int(f[4]), int(f[5]), f[0], f[1], int(f[2]));
        ChartOptions opt;
        GeneralOptions gen;
        CurrentChart e(t.s, opt, gen);
        e.CalcAstroTime();
        e.CalcChart(0);
        for (int body : {2, 1}) {
            PlanetInfoTexts p;
            ASSERT_TRUE(FillPlanetInfo(t.s, b, e, gen, body, false, true, p));
            const int at = body == 2 ? 6 : 12; // the Moon's columns, then the Sun's
            if (p.Label[31].find(':') == std::string::npos) continue;
            const double rise = HoursOf(p.Label[31]), set = HoursOf(p.Label[32]);
            auto gap = [](double h, double a, double b) {
                auto one = [h](double x) { return std::abs(std::remainder(h - x, 24.0)); };
                return std::min(one(a), one(b)) * 60;
            };
            const double g = std::max(gap(rise, f[at], f[at + 1]), gap(set, f[at + 2], f[at + 3]));
            (body == 1 ? worstSun : worstMoon) = std::max(body == 1 ? worstSun : worstMoon, g);
            // the minute shown is rounded; the Moon's place carries some arc-seconds more
            EXPECT_LE(g, 1.0) << line << " body " << body;
        }
        ++cases;
    }
    EXPECT_EQ(cases, 20);
    std::printf("rise and set shown, largest gap to python3-ephem: Sun %.2f min, Moon %.2f min\n",
                worstSun, worstMoon);
}

TEST(PlanetWindow, DistancesCoordinatesAndTheHeliocentricSun) {
    SkyState t;
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(t.s, i);
    NoonChart(t.s, 2024, 3, 20, 55.75, 37.62, 180);
    ChartOptions opt;
    GeneralOptions gen;
    CurrentChart e(t.s, opt, gen);
    e.CalcAstroTime();
    e.CalcChart(0);
    CosmosBodies b;
    PlanetInfoTexts p;
    EXPECT_FALSE(FillPlanetInfo(t.s, b, e, gen, -1, false, true, p));
    ASSERT_TRUE(FillPlanetInfo(t.s, b, e, gen, 2, false, true, p));
    EXPECT_TRUE(p.Label[28].ends_with(Cp(" км"))) << p.Label[28]; // the Moon in kilometres
    EXPECT_TRUE(p.Label[26].empty());
    EXPECT_EQ(p.Caption, Cp("Луна"));
    ASSERT_TRUE(FillPlanetInfo(t.s, b, e, gen, 5, false, true, p));
    EXPECT_TRUE(p.Label[28].ends_with(Cp(" ае"))) << p.Label[28]; // Mars in AU
    EXPECT_TRUE(p.Label[26].ends_with(Cp(" ае")));
    EXPECT_TRUE(p.Label[31].empty());
    EXPECT_NE(p.Label[4].find('h'), std::string::npos);
    // the nodes have no orbit
    ASSERT_TRUE(FillPlanetInfo(t.s, b, e, gen, 11, false, true, p));
    EXPECT_TRUE(p.Label[20].empty());
    EXPECT_TRUE(p.Label[28].empty());
    // the heliocentric chart shows the Earth for the Sun
    ASSERT_TRUE(FillPlanetInfo(t.s, b, e, gen, 1, true, true, p));
    EXPECT_EQ(p.Caption, Cp("Земля"));
    EXPECT_TRUE(p.Label[2].empty());
    EXPECT_EQ(PlanetDistanceText(t.s, 0.0025), Cp("374000 км"));
    EXPECT_EQ(PlanetDistanceText(t.s, 1.52371), Cp("1,52371 ае"));
}

} // namespace
} // namespace qor::test
