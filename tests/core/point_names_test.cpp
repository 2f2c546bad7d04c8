// Point names in words and the guard that keeps the whole chart across a search.
#include "core/PointNames.h"

#include "core/ContextStack.h"
#include "core/Text.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(PointNames, WordsForBodiesPartsExtraBodiesAndCusps) {
    AstroDat s;
    s.NExtra = 2;
    s.ParsCount = 1;
    s.ParsActive = {"\"Test\"", "S;Spirit;H1+[Sun-Lun]"};
    s.ParsGlyphs[1] = 'S';
    const auto table = [](int record) { return record == 15 + 57 ? std::string("  Ceres  ") : ""; };
    s.GlyphNames = true;
    s.ShortNames = true;
    s.EnglishMode = true;
    EXPECT_EQ(PointName(s, 1, false, table), "Sun");
    EXPECT_EQ(PointName(s, 1, true, table), "Earth");
    EXPECT_EQ(PointName(s, 2, false, table), "Moon");
    EXPECT_EQ(PointName(s, 15, false, table), "Ceres");
    EXPECT_EQ(PointName(s, 16, false, table), Trim(([&] {
                  s.GlyphNames = false;
                  const std::string n = BodyName(s, 16);
                  s.GlyphNames = true;
                  return n;
              })()));
    EXPECT_EQ(PointName(s, 17, false, table), "Spirit");
    EXPECT_EQ(PointName(s, 27, false, table), "Ascendent");
    EXPECT_EQ(PointName(s, 30, false, table), "Imum Coeli");
    EXPECT_EQ(PointName(s, 29, false, table), "Cusp of 3 house");
    EXPECT_TRUE(s.GlyphNames); // the caller's flags stay
    EXPECT_TRUE(s.ShortNames);
    s.EnglishMode = false;
    EXPECT_EQ(PointName(s, 1, false), "Солнце"_cp);
    EXPECT_EQ(PointName(s, 36, false), "Медиум Цели"_cp);
}

TEST(ChartStateGuardTest, PutsBackPointsTimeStepCalendarAndNamesOnEveryWayOut) {
    AstroDat s;
    s.ChartYear = 1990;
    s.PlanetLon[3] = 1.25;
    s.PlanetSpeed[3] = -0.01;
    s.Bodies[4][13] = 2.5;
    s.ChartJD = 2447000.5;
    s.SiderealTimeSec = 1234.5;
    s.StepCalendar = {true, false};
    s.MonthDays[2] = 28;
    s.GlyphNames = true;
    s.ParsTrace = "kept";
    const AstroDat before = s;
    try {
        ChartStateGuard keep(s);
        s.ChartYear = 2024;
        s.PlanetLon[3] = 0;
        s.PlanetSpeed[3] = 0.02;
        s.Bodies[4][13] = 0;
        s.ChartJD = 0;
        s.SiderealTimeSec = 0;
        s.StepCalendar = {false, true};
        s.MonthDays[2] = 29;
        s.GlyphNames = false;
        s.ParsTrace.clear();
        throw 1;
    } catch (int) {}
    EXPECT_EQ(s.ChartYear, 1990);
    EXPECT_EQ(s.PlanetLon, before.PlanetLon);
    EXPECT_EQ(s.PlanetSpeed, before.PlanetSpeed);
    EXPECT_EQ(s.Bodies, before.Bodies);
    EXPECT_EQ(s.ChartJD, before.ChartJD);
    EXPECT_EQ(s.SiderealTimeSec, before.SiderealTimeSec);
    EXPECT_TRUE(s.StepCalendar.LeapYear);
    EXPECT_FALSE(s.StepCalendar.Gregorian);
    EXPECT_EQ(s.MonthDays, before.MonthDays);
    EXPECT_TRUE(s.GlyphNames);
    EXPECT_EQ(s.ParsTrace, "kept");
    EXPECT_EQ(s.ContextDepth, 0);
}

} // namespace
} // namespace qor
