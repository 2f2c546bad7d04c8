// The second chart, rise and set and the Arabic parts on the program's own chart computation,
// checked against libnova and PyEphem.
#include "core/AstrClcs.h"
#include "core/RiseSet.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/ChartEngine.h"
#include "core/ChartRecords.h"
#include "core/Directions.h"
#include "core/Files.h"
#include "core/Parses.h"
#include "core/Planets.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>
#include <libnova/libnova.h>

#include <cmath>
#include <vector>

namespace qor {
namespace {

constexpr double kDeg = kDegToRad;
constexpr double kArcsec = kArcsecToRad;

double Gap(double a, double b) {
    return std::fabs(NormAngleSigned(a - b));
}

// The chart computation, noting the Julian day of every whole chart.
class NotingChart : public CurrentChart {
public:
    NotingChart(AstroDat& s, const ChartOptions& o, const GeneralOptions& g)
        : CurrentChart(s, o, g), s_(s) {}
    void CalcChart(int n) override {
        CurrentChart::CalcChart(n);
        if (n == 0) jdUT.push_back(s_.ChartJD);
    }
    std::vector<double> jdUT;

private:
    AstroDat& s_;
};

DatRec Record(const char* date, const char* time, const char* zone, const char* lat,
              const char* lon) {
    DatRec r;
    r[kRecDate] = date;
    r[kRecTime] = time;
    r[kRecZone] = zone;
    r[kRecLat] = Cp(lat);
    r[kRecLong] = Cp(lon);
    return r;
}

class RealChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        s.DatRec1 = Record("15.05.1990 ", "08:30:00", "+04:00", "55°45'N", " 37°37'E");
        s.DatRec2 = Record(" 1.03.2024 ", "12:00:00", "+03:00", "59°56'N", " 30°19'E");
        ASSERT_TRUE(UnpackDatRecToChart(s, s.DatRec1));
        UpdateCalendarForYear(s);
    }
    test::RecordingReport report;
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
};

// Solar and lunar returns on the program's positions meet the birth within 1″ (the same
// search on libnova's positions is checked in directions_test.cpp).
TEST_F(RealChartTest, ReturnsMeetTheBirthLongitude) {
    NotingChart e(s, opt, gen);
    e.CalcAstroTime();
    e.CalcChart(0);
    const PointArray birth = s.PlanetLonSaved;
    const double birthLonSun = s.PlanetLon[1];
    for (char method : {'S', 'L'}) {
        for (bool fine : {false, true}) {
            s.DynMethod = method;
            e.jdUT.clear();
            ASSERT_TRUE(DirectionsReport(s, e, {false, "", fine, nullptr})) << method;
            const int body = method == 'S' ? 1 : 2;
            EXPECT_LT(Gap(s.PlanetLonSavedBck[body], birth[body]) / kArcsec, 1.0) << method;
            const double returnJD = e.jdUT[e.jdUT.size() - 2];
            // The solar return of 2024 (14 May), the lunar one nearest the event (1 March).
            EXPECT_LT(std::fabs(returnJD - (body == 1 ? 2460444.8 : 2460370.9)),
                      body == 1 ? 1.0 : 14.0)
                << method;
        }
    }
    EXPECT_EQ(s.PlanetLon[1], birthLonSun); // the birth chart is back
}

TEST_F(RealChartTest, ProgressionIsTheChartDaysAfterBirth) {
    gen.HorParallax = false;
    CurrentChart e(s, opt, gen);
    e.CalcAstroTime();
    e.CalcChart(0);
    const double birthJD = s.ChartJD;
    s.DynMethod = 'P';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    const double days = s.DirAge / 365.2422;
    AstroDat direct;
    direct.ProgramFolder = s.ProgramFolder;
    for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(direct, i).ok);
    direct.ChartJD = birthJD + days;
    direct.ChartLat = s.ChartLat;
    direct.ChartLong = s.ChartLong;
    direct.GeocLat = s.ChartLat;
    CalcTimeScales(direct);
    CalcChart(direct, opt, gen, 0);
    // The chart moment moves in whole seconds: half a second of the Moon's motion.
    EXPECT_LT(Gap(s.PlanetLonSavedBck[2], direct.PlanetLonSaved[2]) / kArcsec, 0.3);
    EXPECT_LT(Gap(s.PlanetLonSavedBck[1], direct.PlanetLonSaved[1]) / kArcsec, 0.05);
}

// Rise, culmination and set of the Moon and the Sun against PyEphem (libnova's own solar
// rise works on right ascensions of the J2000 frame, 73 s of time off in 2024).
TEST_F(RealChartTest, RiseAndSetOfTheSunAndTheMoon) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(fs::path(QOR_FIXTURES_DIR) / "moon_rise_set.txt", lines).ok());
    auto gap = [](double a, double b1, double b2) {
        const double d1 = std::fabs(a - b1), d2 = std::fabs(a - b2);
        return std::min(std::min(d1, 24 - d1), std::min(d2, 24 - d2)) * 60;
    };
    double worst[2] = {0, 0};
    int cases = 0;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<double> f;
        for (int k = 0; k < 18; ++k) f.push_back(std::stod(CutField(line, ';', k)));
        s.ChartYear = static_cast<int>(f[3]);
        s.ChartMonth = static_cast<int>(f[4]);
        s.ChartDay = static_cast<int>(f[5]);
        s.ChartHour = 12;
        s.ChartMinute = 0;
        s.ChartSecond = 0;
        s.ChartZone = static_cast<int>(f[2]);
        s.ChartLat = f[0] * kDeg;
        s.ChartLong = f[1] * kDeg;
        CurrentChart e(s, opt, gen);
        e.CalcAstroTime();
        e.CalcChart(0);
        for (int k = 0; k < 2; ++k) {
            const RiseSetTimes t = k == 0 ? MoonRiseSet(s, e, gen) : SunRiseSet(s, e, gen);
            ASSERT_EQ(t.status, kRiseSetNormal) << line;
            const double* ref = &f[6 + 6 * k];
            // One minute: the search is exact for the positions; the two ephemerides and
            // PyEphem's treatment of the limb differ by seconds.
            for (double g : {gap(t.rise, ref[0], ref[1]), gap(t.set, ref[2], ref[3]),
                             gap(t.transit, ref[4], ref[5])}) {
                EXPECT_LT(g, 1.0) << (k == 0 ? "Moon " : "Sun ") << line;
                worst[k] = std::max(worst[k], g);
            }
        }
        ++cases;
    }
    EXPECT_EQ(cases, 20);
    std::printf("largest gap to PyEphem: Moon %.2f min, Sun %.2f min\n", worst[0], worst[1]);
}

// The parts as chart points of the whole chart, with speeds from the one-second difference.
TEST_F(RealChartTest, ActivePartsAreChartPoints) {
    opt.ComputeParts = &ParsComputeChart;
    std::vector<std::string> page;
    ASSERT_TRUE(ReadParsPage(s, "Parses", page).ok());
    ParsSetActive(s, "Parses", page, s.NExtra);
    ASSERT_EQ(s.ParsCount, 9);
    CurrentChart e(s, opt, gen);
    e.CalcAstroTime();
    e.CalcChart(0);
    const bool day = s.Bodies[1][kBodyAltitude] >= 0;
    const double fortune = day ? s.PlanetLon[27] + s.PlanetLon[2] - s.PlanetLon[1]
                               : s.PlanetLon[27] - s.PlanetLon[2] + s.PlanetLon[1];
    EXPECT_NEAR(Gap(s.PlanetLon[15], fortune), 0, 1e-12);
    EXPECT_EQ(s.ParsGlyphs[1], 'F');
    // The Part of Fortune moves with the ascendant, about a turn a day.
    EXPECT_NEAR(s.PlanetSpeed[15] / kTwoPi, s.PlanetSpeed[27] / kTwoPi, 0.1);
    for (int i = 1; i <= 9; ++i) EXPECT_TRUE(s.ParsValid[i]) << i;
    EXPECT_EQ(ParsFindByGlyph(s, 'S'), Cp("Часть Духа"));
}

} // namespace
} // namespace qor
