#include "core/ContextStack.h"
#include "core/Strings.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(Fields, CutFieldAndFriends) {
    EXPECT_EQ(CutField(" a ; b ;c", ';', 0), "a");
    EXPECT_EQ(CutField(" a ; b ;c", ';', 1), "b");
    EXPECT_EQ(CutField(" a ; b ;c", ';', 2), "c");
    EXPECT_EQ(CutField(" a ; b ;c", ';', 3), "");
    EXPECT_EQ(CutFieldRaw(" a ; b ;c", ';', 1), " b ");
    EXPECT_EQ(CutFieldRaw(" a ; b ;c", ';', 5), "");
    EXPECT_EQ(CutField("a;;c", ';', 1), "");

    std::string t = " whole text ";
    EXPECT_EQ(NextField(t, ';'), "whole text");
    EXPECT_EQ(t, "");
    t = " x ; y ; z ";
    EXPECT_EQ(NextField(t, ';'), "x");
    EXPECT_EQ(t, "y ; z");
    t = " x ; y";
    EXPECT_EQ(SplitAtChar(t, ';'), " x ");
    EXPECT_EQ(t, " y");

    EXPECT_EQ(RemoveBlanks(" a b  c "), "abc");
    std::string n = "1,5;2,5";
    CommaToPoint(n);
    EXPECT_EQ(n, "1.5;2.5");
}

// Every field at once, as NextField takes them one by one (the oracle), and in one pass: a
// line of a million fields is split as fast as it is read.
TEST(Fields, NextFieldsAsNextFieldTakesThem) {
    for (const char* text :
         {"", " ", "a", " a ; b ;c", "a;;c;", "a; ;", ";", " ; ; ", "\t1,5 ;\r\n2 "}) {
        std::vector<std::string> taken;
        for (std::string rest = text; !rest.empty();) taken.push_back(NextField(rest, ';'));
        EXPECT_EQ(NextFields(text, ';'), taken) << text;
    }
    std::vector<std::string> many(1'000'000);
    many.push_back("x");
    EXPECT_EQ(NextFields(std::string(1'000'000, ';') + " x", ';'), many);
}

TEST(Fields, ColumnFitting) {
    EXPECT_EQ(FitTextLeft("ab", 4), "ab  ");
    EXPECT_EQ(FitTextLeft("a\r\nb", 3), "ab ");
    EXPECT_EQ(FitTextLeft("abcdef", 4), "abcd");
    EXPECT_EQ(FitTextRight("ab", 4), "  ab");
    EXPECT_EQ(FitTextRight("abcdef", 4), "abcd");
    EXPECT_EQ(FitTextRight("x", 0), "");
}

ChartContext Moment(int year) {
    ChartContext c;
    c.ChartYear = year;
    c.ChartMonth = 3;
    c.ChartDay = 4;
    c.ChartHour = 5;
    c.ChartMinute = 6;
    c.ChartSecond = 7;
    c.ChartZone = 180;
    c.ChartLong = 0.5;
    c.ChartLat = 0.9;
    return c;
}

void SetMoment(AstroDat& s, int year) {
    static_cast<ChartContext&>(s) = Moment(year);
    s.MonthDays[2] = year % 2 ? 28 : 29;
}

TEST(ContextStack, SevenPushesAndPops) {
    test::RecordingReport report;
    AstroDat s;
    s.Report = &report;
    for (int i = 0; i < 7; ++i) {
        SetMoment(s, 1000 + i);
        EXPECT_EQ(PushChartContext(s), i < 6);
    }
    EXPECT_EQ(s.ContextDepth, 6);
    EXPECT_EQ(s.StatusText, "Internal Error");
    s.StatusText.clear();
    for (int i = 5; i >= 0; --i) {
        ASSERT_TRUE(PopChartContext(s));
        EXPECT_EQ(s.ChartYear, 1000 + i);
        EXPECT_EQ(s.MonthDays[2], (1000 + i) % 2 ? 28 : 29);
        EXPECT_EQ(s.ChartZone, 180);
    }
    EXPECT_TRUE(s.StatusText.empty());
    EXPECT_FALSE(PopChartContext(s));
    EXPECT_EQ(s.StatusText, "Internal Error");
    EXPECT_EQ(s.ChartYear, 1000); // unchanged by the failed pop
    EXPECT_EQ(s.ContextDepth, 0);
}

// Seven nested computations each restore exactly their own moment, the seventh included.
void Nested(AstroDat& s, int level) {
    SetMoment(s, 2000 + level);
    if (level == 7) return;
    {
        ChartContextGuard guard(s);
        Nested(s, level + 1);
    }
    EXPECT_EQ(s.ChartYear, 2000 + level) << "level " << level;
    EXPECT_EQ(s.MonthDays[2], (2000 + level) % 2 ? 28 : 29);
}

TEST(ContextStack, GuardsStayBalancedPastTheLimit) {
    test::RecordingReport report;
    AstroDat s;
    s.Report = &report;
    Nested(s, 0);
    EXPECT_EQ(s.ContextDepth, 0);
    EXPECT_EQ(s.StatusText, "Internal Error"); // the seventh level was still reported
}

TEST(ContextStack, GuardRestoresOnEarlyExit) {
    AstroDat s;
    SetMoment(s, 1999);
    try {
        ChartContextGuard guard(s);
        SetMoment(s, 1500);
        throw 1;
    } catch (int) {}
    EXPECT_EQ(s.ChartYear, 1999);
    EXPECT_EQ(s.ContextDepth, 0);
}

} // namespace
} // namespace qor
