// The shipped planet-in-house and Sun-with-Ascendant texts through the real natal report: for
// three computed charts, in both languages, every point's house text and the Sun-with-Ascendant
// text are found, and the latter's heading carries the title of the Sun's group. The expected
// signs come from Meeus' low-precision Sun and sidereal time worked apart from the program.
#include "NatalReportSupport.h"

#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"

#include <regex>

namespace qor::interp {
namespace {

using namespace test_support;

struct Birth {
    const char* where;
    int year, month, day;
    double hourUtc, latDeg, lonDeg;
    double proserpine, chiron; // degrees: the two extra bodies, set by hand
    const char* sunAscRu;
    const char* sunAscEn;
};

// Sun and Ascendant (Meeus ch. 12 and 25): Moscow 295.1° and 100.1°, New York 101.6° and
// 342.8°, Sydney 241.2° and 290.2°; none near a sign's edge.
const Birth kBirths[] = {
    {"Moscow 1990", 1990, 1, 15, 12.0, 55.75, 37.62, 12.5, 200.0,
     "* Асцендент в Раке (Солнце в Козероге)", "* Ascendant in Cancer (Sun in Capricorn)"},
    {"New York 1975", 1975, 7, 4, 3.5, 40.71, -74.01, 95.0, 310.0,
     "* Асцендент в Рыбах (Солнце в Раке)", "* Ascendant in Pisces (Sun in Cancer)"},
    {"Sydney 2003", 2003, 11, 23, 22 + 10 / 60.0, -33.87, 151.21, 250.0, 48.0,
     "* Асцендент в Козероге (Солнце в Стрельце)", "* Ascendant in Capricorn (Sun in Sagittarius)"},
};

class HouseSunAscTextsTest : public ReportFrame {
protected:
    void SetUp() override {
        ReportFrame::SetUp();
        ASSERT_NO_FATAL_FAILURE(UseShippedTexts());
    }
    void Compute(const Birth& b) {
        s.ChartLat = b.latDeg * kDegToRad;
        s.ChartLong = b.lonDeg * kDegToRad;
        s.GeocLat = s.ChartLat;
        s.GeocRadius = 1;
        // The day's fraction carries the hour (the record's hour fields do not count here).
        DateTimeRec date;
        date.Year = b.year;
        date.Month = b.month;
        date.Day = b.day + b.hourUtc / 24;
        s.ChartJD = JulianDayOf(date);
        CalcTimeScales(s);
        ChartOptions opt;
        GeneralOptions gen{.HorParallax = false};
        CalcChart(s, opt, gen, 0);
        s.NExtra = 2; // Proserpine and Chiron as the first two extra bodies
        Put(15, b.proserpine);
        Put(16, b.chiron);
    }
    // The body under a heading: its lines up to the next empty line, joined.
    static std::string BodyAfter(const std::vector<std::string>& lines, std::size_t heading) {
        std::string body;
        for (std::size_t i = heading + 1; i < lines.size() && !lines[i].empty(); ++i)
            body += lines[i];
        return body;
    }
};

TEST_F(HouseSunAscTextsTest, EveryPointsHouseAndTheSunWithTheAscendantInBothLanguages) {
    for (const Birth& b : kBirths)
        for (bool english : {false, true}) {
            SCOPED_TRACE(std::string(b.where) + (english ? " en" : " ru"));
            s.EnglishMode = english;
            MakeWriter();
            Compute(b);
            const ReportChart chart = Chart();
            ASSERT_EQ(chart.keyOf[15], 15);
            ASSERT_EQ(chart.keyOf[16], 16);
            ChartReports r(*w, chart);
            w->Run([&] { r.Natal(); });
            for (const std::string& miss : r.Misses) {
                EXPECT_NE(miss.rfind("PlanetHouse ", 0), 0u) << miss;
                EXPECT_NE(miss.rfind("SunAsc ", 0), 0u) << miss;
            }
            const auto lines = Lines();
            // "* Марс в X-м доме" / "* Mars in X-th House", one for each of the sixteen points.
            const std::regex houseHeading(english ? "^\\* .+ in [IVX]+-th House$"
                                                  : Cp("^\\* .+ в [IVX]+-м доме$"));
            int houses = 0;
            std::size_t sunAsc = lines.size();
            const std::string wanted = english ? b.sunAscEn : Cp(b.sunAscRu);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (lines[i] == wanted) sunAsc = i;
                if (!std::regex_match(lines[i], houseHeading)) continue;
                ++houses;
                // Code page 1251: one byte a character.
                EXPECT_GE(BodyAfter(lines, i).size(), 700u) << lines[i];
            }
            EXPECT_EQ(houses, 16);
            ASSERT_LT(sunAsc, lines.size()) << "no heading " << b.sunAscEn;
            EXPECT_GE(BodyAfter(lines, sunAsc).size(), 450u);
            EXPECT_EQ(BodyAfter(lines, sunAsc).find('{'), std::string::npos);
        }
}

} // namespace
} // namespace qor::interp
