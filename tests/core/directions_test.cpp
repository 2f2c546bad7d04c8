// Chart records, their exchange, and the second chart: progressions, directions and returns
// on a model of the chart computation with libnova's Sun and Moon.
#include "core/ChartRecords.h"
#include "core/Directions.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include "NovaEngine.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor {
namespace {

constexpr double kDeg = kDegToRad;
constexpr double kArcsec = kArcsecToRad;

double Gap(double a, double b) {
    return std::fabs(NormAngleSigned(a - b));
}

DatRec Record(const char* date, const char* time, const char* zone, const char* lat,
              const char* lon) {
    DatRec r;
    r[kRecName] = "Test";
    r[kRecDate] = date;
    r[kRecTime] = time;
    r[kRecZone] = zone;
    r[kRecLat] = Cp(lat);
    r[kRecLong] = Cp(lon);
    return r;
}

TEST(ChartRecords, UnpacksFieldsAndRefusesBadOnes) {
    AstroDat s;
    const MomentParse p =
        ParseChartMoment(s, Record(" 5.03.0044B", " 9:05:07", "+03:00", "55°45'N", " 37°37'E"));
    ASSERT_TRUE(p) << p.Problem;
    const ChartMoment& r = *p.Moment;
    EXPECT_EQ(r.Year, -43);
    EXPECT_EQ(r.Month, 3);
    EXPECT_EQ(r.Day, 5);
    EXPECT_EQ(r.Hour, 9);
    EXPECT_EQ(r.Minute, 5);
    EXPECT_EQ(r.Second, 7);
    EXPECT_EQ(r.ZoneMinutes, 180);
    EXPECT_NEAR(r.Lat / kDeg, 55.75, 1e-12);
    EXPECT_NEAR(r.Long / kDeg, 37 + 37 / 60.0, 1e-12);

    const DatRec bad[] = {
        Record(" 0.00.2000 ", "12:00:00", "+03:00", "55°45'N", " 37°37'E"),
        Record("", "12:00:00", "+03:00", "55°45'N", " 37°37'E"),
        Record("31.13.2000 ", "12:00:00", "+03:00", "55°45'N", " 37°37'E"),
        Record(" 1.01.2000 ", "25:00:00", "+03:00", "55°45'N", " 37°37'E"),
        Record(" 1.01.2000 ", "12:00:00", "zone", "55°45'N", " 37°37'E"),
        Record(" 1.01.2000 ", "12:00:00", "+03:00", "95°45'N", " 37°37'E"),
        Record(" 1.01.2000 ", "12:00:00", "+03:00", "55°45'N", ""),
    };
    for (const auto& rec : bad) {
        test::RecordingReport report;
        s.Report = &report;
        s.ChartYear = 1999;
        EXPECT_FALSE(ParseChartMoment(s, rec)) << rec[kRecDate] << rec[kRecTime];
        EXPECT_FALSE(UnpackDatRecToChart(s, rec));
        EXPECT_EQ(s.ChartYear, 1999); // the chart moment stays
        ASSERT_EQ(report.messages.size(), 1u);
    }
}

TEST(ChartRecords, SwapTwiceRestoresEverything) {
    AstroDat s;
    s.DatRec1 = Record("29.02.2000 ", "10:00:00", "+01:00", "48°51'N", "  2°21'E");
    s.DatRec2 = Record(" 1.03.2001 ", "20:30:15", "-05:00", "40°43'N", " 74°00'W");
    s.DynMethod = 'S';
    s.DynMethod2 = ' ';
    s.DateShort1 = "29.02.2000";
    s.DateShort2 = "01.03.2001";
    s.DirAge = 11.5;
    s.DirAge2 = -3;
    const AstroDat before = s;

    ASSERT_TRUE(SwapCharts(s));
    EXPECT_EQ(s.DatRec1, before.DatRec2);
    EXPECT_EQ(s.ChartYear, 2001);
    EXPECT_EQ(s.ChartHour, 20);
    EXPECT_EQ(s.ChartZone, -300);
    EXPECT_EQ(s.MonthDays[2], 28);
    EXPECT_EQ(s.DynMethod, ' ');

    ASSERT_TRUE(SwapCharts(s));
    EXPECT_EQ(s.DatRec1, before.DatRec1);
    EXPECT_EQ(s.DatRec2, before.DatRec2);
    EXPECT_EQ(s.DynMethod, before.DynMethod);
    EXPECT_EQ(s.DynMethod2, before.DynMethod2);
    EXPECT_EQ(s.DateShort1, before.DateShort1);
    EXPECT_EQ(s.DateShort2, before.DateShort2);
    EXPECT_EQ(s.DirAge, before.DirAge);
    EXPECT_EQ(s.DirAge2, before.DirAge2);
    EXPECT_EQ(s.ChartYear, 2000);
    EXPECT_EQ(s.ChartMonth, 2);
    EXPECT_EQ(s.ChartDay, 29);
    EXPECT_EQ(s.MonthDays[2], 29);

    // A second record that does not unpack is not taken.
    test::RecordingReport report;
    s.Report = &report;
    s.DatRec2[kRecDate] = "garbage";
    EXPECT_FALSE(SwapCharts(s));
    EXPECT_EQ(s.DatRec1, before.DatRec1);
    EXPECT_EQ(report.messages.size(), 1u);
}

TEST(ChartRecords, SignedShiftsMoveBothWays) {
    struct Case {
        double hours;
        int y, mo, d, h, mi, sec;
    } cases[] = {
        {0.0, 2024, 3, 1, 12, 0, 0},         {50.5, 2024, 3, 3, 14, 30, 0},
        {-50.5, 2024, 2, 28, 9, 30, 0}, // back across 29 February
        {-0.5 / 3600, 2024, 3, 1, 12, 0, 0}, {-1.0 / 3600, 2024, 3, 1, 11, 59, 59},
        {-24 * 366.0, 2023, 3, 1, 12, 0, 0},
    };
    for (const auto& c : cases) {
        AstroDat s;
        s.ChartYear = 2024;
        s.ChartMonth = 3;
        s.ChartDay = 1;
        s.ChartHour = 12;
        s.ChartMinute = 0;
        s.ChartSecond = 0;
        s.MonthDays[2] = 29;
        EXPECT_TRUE(ShiftChartHours(s, c.hours));
        EXPECT_EQ(std::vector<int>({s.ChartYear, s.ChartMonth, s.ChartDay, s.ChartHour,
                                    s.ChartMinute, s.ChartSecond}),
                  std::vector<int>({c.y, c.mo, c.d, c.h, c.mi, c.sec}))
            << c.hours;
    }
    // A point at rest: the shift is refused instead of stepping for ever.
    AstroDat s;
    const int year = s.ChartYear;
    EXPECT_FALSE(ShiftChartHours(s, 1.0 / 1e-29));
    EXPECT_FALSE(ShiftChartHours(s, std::nan("")));
    EXPECT_EQ(s.ChartYear, year);
}

// A birth in Moscow and an event; the birth chart computed as the program has it.
class SecondChartTest : public ::testing::Test {
protected:
    SecondChartTest() : e(s) {
        s.Report = &report;
        s.DatRec1 = Record("15.05.1990 ", "08:30:00", "+04:00", "55°45'N", " 37°37'E");
        s.DatRec2 = Record(" 1.03.2024 ", "12:00:00", "+03:00", "59°56'N", " 30°19'E");
        UnpackDatRecToChart(s, s.DatRec1);
        UpdateCalendarForYear(s);
        e.CalcAstroTime();
        e.CalcChart(0);
        birth = e.PlanetLon();
        birthLat = e.PlanetLat();
        birthJD = e.ChartJD();
    }
    // The chart `days` after the birth, computed directly (and the Sun's right ascension).
    PointArray ChartAfter(double days, double* sunRA = nullptr) {
        AstroDat t;
        t.ChartYear = 1990;
        t.ChartMonth = 5;
        t.ChartDay = 15;
        t.ChartHour = 8;
        t.ChartMinute = 30;
        t.ChartSecond = 0;
        t.ChartZone = 240;
        t.ChartLat = s.ChartLat;
        t.ChartLong = s.ChartLong;
        test::NovaEngine f(t);
        f.CalcAstroTime();
        f.SetChartT(f.ChartT() + days / 36525.0);
        f.CalcChart(0);
        if (sunRA) *sunRA = f.Body(1)[kBodyRA];
        return f.PlanetLonSaved();
    }
    void ExpectBirthChartKept() {
        EXPECT_EQ(s.ChartYear, 1990);
        EXPECT_EQ(s.ChartMonth, 5);
        EXPECT_EQ(s.ChartDay, 15);
        EXPECT_EQ(s.ChartHour, 8);
        EXPECT_EQ(s.ChartMinute, 30);
        EXPECT_EQ(e.ChartJD(), birthJD);
        for (int i : {1, 2, 27, 36}) EXPECT_NEAR(e.PlanetLon()[i], birth[i], 1e-9) << i;
    }

    AstroDat s;
    test::RecordingReport report;
    test::NovaEngine e;
    PointArray birth{}, birthLat{};
    double birthJD = 0;
};

TEST_F(SecondChartTest, ProgressionOfNYearsIsTheChartNDaysAfterBirth) {
    struct Case {
        char method;
        int years;
        double daysPerYear;
        const char* heading;
    } cases[] = {
        {'P', 1, 1.0, "Прогрессия:"},
        {'P', 10, 1.0, "Прогрессия:"},
        {'P', 34, 1.0, "Прогрессия:"},
        {'P', -3, 1.0, "Прогрессия:"}, // an event before the birth moves the chart back
        {'f', 2, 12.368267, "Фазовая прогрессия:"},
        {'l', 2, 13.368228, "Прогрессия лунара:"},
    };
    for (const auto& c : cases) {
        // The event exactly n tropical years after the birth.
        const double jd = birthJD + c.years * 365.2422;
        const DateTimeRec d = CalendarFromJD(jd + 3 / 24.0);
        s.DatRec2 = Record("", "", "+03:00", "59°56'N", " 30°19'E");
        s.DatRec2[kRecDate] = FormatDateText(static_cast<int>(d.Day), d.Month, d.Year).text;
        s.DatRec2[kRecTime] = FormatTimeText(d.Hour, d.Minute, static_cast<int>(d.Second)).text;
        const double eventJD = JulianDayUT(*ParseChartMoment(s, s.DatRec2).Moment);
        s.DynMethod = c.method;
        std::vector<std::string> memo;
        ASSERT_TRUE(DirectionsReport(s, e, {}, &memo));
        EXPECT_NEAR(s.DirAge, eventJD - birthJD, 1e-9);
        const double years = (eventJD - birthJD) / 365.2422;
        EXPECT_NEAR(years, c.years, 1.0 / 86400 / 365.2422 * 1.01); // whole seconds of text
        // The chart moment moves in whole seconds: within half a second of the Moon's motion.
        const PointArray want = ChartAfter(years * c.daysPerYear);
        EXPECT_LT(Gap(s.PlanetLonSavedBck[2], want[2]) / kArcsec, 0.3) << c.method << c.years;
        EXPECT_LT(Gap(s.PlanetLonSavedBck[1], want[1]) / kArcsec, 0.05) << c.method << c.years;
        EXPECT_EQ(memo.front(), Cp(c.heading));
        ExpectBirthChartKept();
    }
}

TEST_F(SecondChartTest, WholeDayProgressionKeepsTheBirthTimeOfDay) {
    s.DynMethod = 'p';
    DatRec form = s.DatRec2;
    form[kRecDate] = "20.06.2000 "; // ten years and about 36 days: 10 whole days
    ASSERT_TRUE(DirectionsReport(s, e, {false, "", false, &form}));
    EXPECT_EQ(s.DatRec2[kRecDate], "20.06.2000 ");
    const PointArray want = ChartAfter(10.0);
    EXPECT_LT(Gap(s.PlanetLonSavedBck[2], want[2]) / kArcsec, 0.01);
}

TEST_F(SecondChartTest, CoefficientFromTheSettings) {
    s.DynMethod = 'Z';
    ASSERT_TRUE(DirectionsReport(s, e, {true, " 0,5 ", false, nullptr}));
    EXPECT_EQ(s.DirCoef, 0.5);
    const double years = s.DirAge / 365.2422;
    EXPECT_NEAR(Gap(s.PlanetLonBck[5], birth[5] + 0.5 * years * kDeg), 0, 1e-12);

    ASSERT_TRUE(DirectionsReport(s, e, {true, "abc", false, nullptr}));
    EXPECT_EQ(s.DirCoef, 1.0);
    EXPECT_EQ(s.StatusText, Cp("Ошибочный коэффициент: abc"));
}

TEST_F(SecondChartTest, ZodiacalAndEquatorialDirections) {
    const PointArray lon = e.PlanetLon();
    s.DynMethod = 'Z';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    const double arc = s.DirAge / 365.2422 * kDeg;
    for (int i : {1, 2, 27, 36}) EXPECT_NEAR(Gap(s.PlanetLonBck[i], lon[i] + arc), 0, 1e-12) << i;
    EXPECT_EQ(s.PlanetSpeedBck[27], kDeg);

    s.DynMethod = 'z';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    EXPECT_NEAR(Gap(s.PlanetLonBck[2], lon[2] + arc), 0, 1e-12);
    EXPECT_EQ(s.PlanetLonBck[27], lon[27]); // the houses stay
    EXPECT_EQ(s.PlanetSpeedBck[36], 0.0);

    // Equatorial: each point's right ascension grows by the arc, its declination stays.
    s.DynMethod = 'D';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    for (int i : {1, 2, 27, 36}) {
        const EquatorialCoord was = i < 27
                                        ? EquatorialCoord{e.Body(i)[kBodyRA], e.Body(i)[kBodyDec]}
                                        : EclToEquCur(e, 0, lon[i]);
        const EquatorialCoord now = EclToEquCur(e, s.PlanetLatBck[i], s.PlanetLonBck[i]);
        EXPECT_NEAR(Gap(now.ra, was.ra + arc), 0, 1e-9) << i;
        EXPECT_NEAR(now.dec, was.dec, 1e-9) << i;
    }
    ExpectBirthChartKept();
}

TEST_F(SecondChartTest, SolarArcDirections) {
    s.DynMethod = 'A';
    std::vector<std::string> memo;
    ASSERT_TRUE(DirectionsReport(s, e, {}, &memo));
    const double years = s.DirAge / 365.2422;
    const PointArray progressed = ChartAfter(years);
    const double arc = NormAngle(progressed[1] - birth[1]);
    EXPECT_NEAR(arc / kDeg, years * 0.9856, 1.0); // about the Sun's mean motion a year
    EXPECT_LT(Gap(s.PlanetLonBck[1], progressed[1]) / kArcsec, 0.1);
    EXPECT_LT(Gap(s.PlanetLonBck[2], birth[2] + arc) / kArcsec, 0.1);
    EXPECT_LT(Gap(s.PlanetLonBck[36], e.PlanetLon()[36] + arc) / kArcsec, 0.1);
    EXPECT_EQ(memo.front(), Cp("Дирекция солнечной дуги зодиакальная:"));

    // Equatorial: the arc is the progressed Sun's gain in right ascension.
    s.DynMethod = 'E';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    double progressedRA = 0;
    ChartAfter(years, &progressedRA);
    const double raArc = progressedRA - e.Body(1)[kBodyRA];
    for (int i : {1, 2, 27, 36}) {
        const EquatorialCoord was = i < 27
                                        ? EquatorialCoord{e.Body(i)[kBodyRA], e.Body(i)[kBodyDec]}
                                        : EclToEquCur(e, 0, e.PlanetLon()[i]);
        const EquatorialCoord now = EclToEquCur(e, s.PlanetLatBck[i], s.PlanetLonBck[i]);
        EXPECT_LT(Gap(now.ra, was.ra + raArc) / kArcsec, 0.1) << i;
    }
    ExpectBirthChartKept();
}

// A solar, a lunar and a phase return: the body (or the elongation) of the return chart
// matches the birth within 1″ by libnova's positions, and the return is the one nearest the
// event (the phase return the next one after it).
TEST_F(SecondChartTest, ReturnsMeetTheBirthWithinOneArcsecond) {
    struct Case {
        char method;
        bool fine;
        double maxDaysFromEvent;
    } cases[] = {
        {'S', false, 183}, {'S', true, 183}, {'L', false, 14}, {'L', true, 14}, {'F', false, 30}};
    const double eventJD = JulianDayUT(*ParseChartMoment(s, s.DatRec2).Moment);
    for (const auto& c : cases) {
        s.DynMethod = c.method;
        e.fullChartJDs.clear();
        ASSERT_TRUE(DirectionsReport(s, e, {false, "", c.fine, nullptr})) << c.method;
        ASSERT_GE(e.fullChartJDs.size(), 2u);
        const double returnJD = e.fullChartJDs[e.fullChartJDs.size() - 2];
        if (c.method == 'F') {
            const double want = NormAngle(birth[2] - birth[1]);
            const double got =
                test::NovaEngine::Longitude(2, returnJD) - test::NovaEngine::Longitude(1, returnJD);
            EXPECT_LT(Gap(got, want) / kArcsec, 1.0);
            EXPECT_GT(returnJD, eventJD - 1.0 / 86400);
        } else {
            const int body = c.method == 'S' ? 1 : 2;
            EXPECT_LT(Gap(test::NovaEngine::Longitude(body, returnJD), birth[body]) / kArcsec, 1.0)
                << c.method << c.fine;
            EXPECT_LT(Gap(s.PlanetLonSavedBck[body], birth[body]) / kArcsec, 1.0);
        }
        EXPECT_LT(std::fabs(returnJD - eventJD), c.maxDaysFromEvent) << c.method;
        ExpectBirthChartKept();
    }
    EXPECT_TRUE(report.messages.empty());
}

// A model whose Moon reports its motion backwards: the return search runs away.
class BackwardMoon : public test::NovaEngine {
public:
    using NovaEngine::NovaEngine;
    void CalcChart(int n) override {
        NovaEngine::CalcChart(n);
        reversed_ = NovaEngine::PlanetSpeed();
        reversed_[2] = -reversed_[2];
    }
    PointArray& PlanetSpeed() override {
        return reversed_[2] == 0 ? NovaEngine::PlanetSpeed() : reversed_;
    }

private:
    PointArray reversed_{};
};

TEST_F(SecondChartTest, ReturnThatDoesNotConvergeIsReportedAndKeepsTheSecondChart) {
    BackwardMoon bad(s);
    bad.CalcAstroTime();
    bad.CalcChart(0);
    s.DynMethod = ' ';
    ASSERT_TRUE(DirectionsReport(s, bad, {})); // a transit chart to keep
    const PointArray kept = s.PlanetLonBck;
    const double keptSidereal = s.SiderealTimeSecBck;
    s.DynMethod = 'L';
    EXPECT_FALSE(DirectionsReport(s, bad, {}));
    EXPECT_EQ(s.PlanetLonBck, kept);
    EXPECT_EQ(s.SiderealTimeSecBck, keptSidereal);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find(Cp("Лунар")), std::string::npos);
}

TEST_F(SecondChartTest, EventThatDoesNotUnpackIsRefused) {
    s.DynMethod = ' ';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    const PointArray kept = s.PlanetLonBck;
    s.DatRec2[kRecDate] = " 0.00.2024 ";
    EXPECT_FALSE(DirectionsReport(s, e, {}));
    EXPECT_EQ(s.PlanetLonBck, kept);
    EXPECT_EQ(report.messages.size(), 1u);
    ExpectBirthChartKept();
}

TEST_F(SecondChartTest, TransitIsTheSecondRecordsOwnMoment) {
    s.DynMethod = ' ';
    ASSERT_TRUE(DirectionsReport(s, e, {}));
    const double jd = JulianDayUT(*ParseChartMoment(s, s.DatRec2).Moment);
    EXPECT_LT(Gap(s.PlanetLonBck[2], test::NovaEngine::Longitude(2, jd)) / kArcsec, 1e-3);
    ExpectBirthChartKept();
}

} // namespace
} // namespace qor
