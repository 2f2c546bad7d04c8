#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "sky/DeepSky.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

double Hms(double h, double m, double s) {
    return (h + m / 60 + s / 3600) * 15 * kDegToRad;
}
double Dms(double d, double m, double s) {
    return (d + m / 60 + s / 3600) * kDegToRad;
}

TEST(DeepSky, LoadsTheShippedCatalogue) {
    SkyState t;
    DeepCatalogue d;
    ASSERT_TRUE(LoadDeepObj(t.s, d));
    EXPECT_EQ(d.DeepCount, 1000);
    EXPECT_TRUE(t.report.messages.empty());
    const DeepRec& m31 = d.DeepObjs[31];
    EXPECT_EQ(m31.Code, "M 31");
    EXPECT_EQ(m31.NameRus, Cp("Андромеда"));
    EXPECT_EQ(m31.NameEng, "Andromeda");
    // 0h42m44.4s +41°16'09" as written, to the file's 0.1 s and 1".
    EXPECT_NEAR(m31.RA2000, Hms(0, 42, 44.4), 1e-9);
    EXPECT_NEAR(m31.Dec2000, Dms(41, 16, 9), 1e-9);
    EXPECT_DOUBLE_EQ(m31.Mag, 3.4);
    EXPECT_EQ(m31.Distance, "2540");
    EXPECT_EQ(m31.Constellation, "And");
    // M2 lies just south of the equator: -0°49'24".
    EXPECT_NEAR(d.DeepObjs[2].Dec2000, -Dms(0, 49, 24), 1e-9);
}

TEST(DeepSky, AngleTextsKeepTheSignOfZeroDegrees) {
    struct Case {
        const char* text;
        double arcsec;
    } cases[] = {
        {"-0\xB0"
         "30'",
         -1800},
        {"-0\xB0"
         "30'15\"",
         -1815},
        {"0\xB0"
         "30'",
         1800},
        {"+41\xB0"
         "16'9\"",
         148569},
        {"-16\xB0"
         "42'58\"",
         -60178},
        {"12,5", 45000},
        {"12.5", 45000},
        {"5\xB0"
         "34'31,9\"",
         20071.9},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(ParseDeepAngle(c.text) / kArcsecToRad, c.arcsec, 1e-6) << c.text;
}

TEST(DeepSky, EmptyLinesUseNoRecordsAndLongFieldsAreCut) {
    TempDir dir;
    dir.Write("Deepobj.txt", "\r\n  A;B;C;1\xB0"
                             "0'0\";2\xB0"
                             "0'0\";123456789;7;8:5;Andromeda;c\r\n\r\n"
                             "Second;Object;;0\xB0"
                             "0'0\";0\xB0"
                             "0'0\"\r\n");
    SkyState t(dir.path());
    DeepCatalogue d;
    ASSERT_TRUE(LoadDeepObj(t.s, d));
    ASSERT_EQ(d.DeepCount, 2);
    EXPECT_EQ(d.DeepObjs[1].NameRus, "A");
    EXPECT_NEAR(d.DeepObjs[1].RA2000, 15 * kDegToRad, 1e-12);
    EXPECT_EQ(d.DeepObjs[1].Distance, "1234567");
    EXPECT_EQ(d.DeepObjs[1].Constellation, "And");
    EXPECT_DOUBLE_EQ(d.DeepObjs[1].Mag, 8.5);
    EXPECT_EQ(d.DeepObjs[2].NameEng, "Object");
    EXPECT_EQ(d.DeepObjs[2].Code, "");
    EXPECT_DOUBLE_EQ(d.DeepObjs[2].Mag, 0);
}

TEST(DeepSky, MoreThan1000ObjectsAreCutAndReported) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 1003; ++i) text += "N" + std::to_string(i) + ";E;C;1.5;-2\r\n";
    dir.Write("Deepobj.txt", text);
    SkyState t(dir.path());
    DeepCatalogue d;
    ASSERT_TRUE(LoadDeepObj(t.s, d));
    EXPECT_EQ(d.DeepCount, 1000);
    EXPECT_EQ(d.DeepObjs[1000].NameRus, "N999");
    ASSERT_EQ(t.report.messages.size(), 1u);
    EXPECT_NE(t.report.messages[0].text.find("Deepobj.txt"), std::string::npos);
    EXPECT_NE(t.report.messages[0].text.find("3"), std::string::npos);
}

TEST(DeepSky, MissingFileIsReported) {
    TempDir dir;
    SkyState t(dir.path());
    DeepCatalogue d;
    EXPECT_FALSE(LoadDeepObj(t.s, d));
    EXPECT_EQ(d.DeepCount, 0);
    EXPECT_TRUE(t.Said("Deepobj.txt"));
}

TEST(DeepSky, ColumnTexts) {
    SkyState t;
    DeepCatalogue d;
    d.DeepCount = 1;
    d.DeepObjs.resize(2);
    DeepRec& r = d.DeepObjs[1];
    r.NameRus = Cp("Рус");
    r.NameEng = "Eng";
    r.Mag = 8.5;
    r.Dec = kTwoPi - Dms(5, 30, 0); // stored above π: shown negative
    r.Dec2000 = Dms(41, 16, 9);
    r.Lon = Dms(45, 0, 0);
    r.Distance = "2.5";
    r.Constellation = "And";
    t.s.DMSFormat = 1;
    EXPECT_EQ(DeepObjText(t.s, d, 1, 0), Cp("Рус"));
    EXPECT_EQ(DeepObjText(t.s, d, 1, 12), "  8.5");
    EXPECT_EQ(DeepObjText(t.s, d, 1, 10), "    2.5");
    EXPECT_EQ(DeepObjText(t.s, d, 1, 13), "  And");
    EXPECT_EQ(Trim(DeepObjText(t.s, d, 1, 5))[0], '-');
    EXPECT_EQ(t.s.DMSFormat, 1);
    EXPECT_FALSE(t.s.ShortNames);
    EXPECT_NE(DeepObjText(t.s, d, 1, 2).find("Tau"), std::string::npos);
    EXPECT_FALSE(t.s.ShortNames);
    EXPECT_EQ(DeepObjText(t.s, d, 1, 15), "");
    EXPECT_EQ(DeepObjText(t.s, d, 2, 0), "");
    t.s.EnglishMode = true;
    EXPECT_EQ(DeepObjText(t.s, d, 1, 0), "Eng");
    EXPECT_EQ(DeepColumnTitle(t.s, 4), "Right|Ascention");
    t.s.EnglishMode = false;
    EXPECT_EQ(DeepColumnTitle(t.s, 10), Cp("Расстояние|(тыс.св.лет)"));
    EXPECT_EQ(DeepColumnTitle(t.s, 15), "");
}

} // namespace
} // namespace qor::test
