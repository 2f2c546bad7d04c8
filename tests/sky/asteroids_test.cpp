#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/ChironTable.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/Asteroids.h"
#include "sky/CosmosBodies.h"
#include "sky/CosmosScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace qor::test {
namespace {

const std::string kMark(1, kAstEnabledMark);

TEST(Asteroids, NormalizedNames) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"CERES 1", "1 Ceres"},
        {"1 Ceres", "1 Ceres"},
        {"ALPHA-BETA'X 12", "12 Alpha-Beta'X"},
        {"VESTA", " Vesta"},
        {"", " "},
        {"   ", " "},
        {"123 456", "123456 "},
        {"  2060   CHIRON  ", "2060 Chiron"},
        {"2001 QW322 12345", "12345 2001 QW322"}, // digits inside the name stay
        {"12345 2001 QW322", "12345 2001 QW322"},
        {"APOLLO 11 2000", "2000 Apollo 11"},
        {"3834 Zappafrank", "3834 Zappafrank"},
        {"4659 McNaught", "4659 McNaught"}, // mixed case stays as written
        {"9007 JAMES BOND", "9007 James Bond"},
        {"D'ARREST 2", "2 D'Arrest"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizeAstName(c.in), c.out) << c.in;
}

TEST(Asteroids, LoadsTheShippedCatalogue) {
    SkyState t;
    AsteroidCatalogue c;
    ASSERT_TRUE(LoadAsteroidCatalogue(t.s, c));
    EXPECT_TRUE(t.report.messages.empty());
    EXPECT_GT(c.AstCount, 2000);
    const AstRec& ceres = c.AstCatalogue[1];
    EXPECT_EQ(ceres.Name, "1 Ceres");
    EXPECT_NEAR(ceres.Axis, 2.7666190447, 1e-10);
    EXPECT_NEAR(ceres.Incl, 10.58679512 * kDegToRad, 1e-10);
    EXPECT_DOUBLE_EQ(ceres.Epoch, 59800 + 2400000.5);
    EXPECT_NEAR(ceres.N, kGaussK / std::pow(2.7666190447, 1.5), 1e-15);
    EXPECT_EQ(GetCatalogueName(c, 1), "1 Ceres");
    bool chiron = false;
    for (int i = 1; i <= c.AstCount; ++i)
        chiron = chiron || c.AstCatalogue[i].Name == "2060 Chiron";
    EXPECT_TRUE(chiron);
}

TEST(Asteroids, EmptyLinesAndOrbitlessRecordsAreRefused) {
    TempDir dir;
    dir.Write("asteroid.csv",
              "Name,H,G,M,w,O,i,e,a,Epoch\r\nCERES 1,3.3,0.12,10,20,30,5,0.08,2.77,"
              "59800\r\n\r\nBAD 2,1,1,1,1,1,1,0.1,0,59800\r\nJUNO 3,5,0.3,1:5,2,3,4,"
              "0,2.67,59800\r\n");
    SkyState t(dir.path());
    AsteroidCatalogue c;
    ASSERT_TRUE(LoadAsteroidCatalogue(t.s, c));
    ASSERT_EQ(c.AstCount, 2);
    EXPECT_EQ(c.AstCatalogue[2].Name, "3 Juno");
    EXPECT_NEAR(c.AstCatalogue[2].M, 1.5 * kDegToRad, 1e-15); // ":" as the decimal point
    ASSERT_EQ(t.report.messages.size(), 1u);
    EXPECT_NE(t.report.messages[0].text.find("asteroid.csv"), std::string::npos);
    EXPECT_NE(t.report.messages[0].text.find("2"), std::string::npos);
}

TEST(Asteroids, MoreThan10000RecordsAreCutAndReported) {
    TempDir dir;
    std::string text = "header\r\n";
    for (int i = 1; i <= kMaxAsteroids + 5; ++i)
        text += "A " + std::to_string(i) + ",1,0.15,1,2,3,4,0.1,2.5,59800\r\n";
    dir.Write("asteroid.csv", text);
    SkyState t(dir.path());
    AsteroidCatalogue c;
    ASSERT_TRUE(LoadAsteroidCatalogue(t.s, c));
    EXPECT_EQ(c.AstCount, kMaxAsteroids);
    EXPECT_EQ(t.report.messages.size(), 1u);
}

TEST(Asteroids, MissingCatalogueIsReported) {
    TempDir dir;
    SkyState t(dir.path());
    AsteroidCatalogue c;
    EXPECT_FALSE(LoadAsteroidCatalogue(t.s, c));
    EXPECT_EQ(c.AstCount, 0);
    EXPECT_TRUE(t.Said("asteroid.csv"));
}

TEST(Asteroids, FieldAccessOnBothLineForms) {
    std::vector<std::string> lines = {"a;b;c;", "a;b;c", "only"};
    EXPECT_EQ(GetAstField(lines, 1, 1), "b");
    EXPECT_EQ(GetAstField(lines, 2, 2), "c");
    ASSERT_TRUE(SetAstField(lines, 2, 1, "X"));
    EXPECT_EQ(lines[0], "a;b;X;");
    ASSERT_TRUE(SetAstField(lines, 2, 2, "X")); // last field without a trailing ";"
    EXPECT_EQ(lines[1], "a;b;X");
    ASSERT_TRUE(SetAstField(lines, 0, 2, " "));
    EXPECT_EQ(lines[1], " ;b;X");
    ASSERT_TRUE(SetAstField(lines, 3, 3, "Z")); // fewer fields: empty ones are added
    EXPECT_EQ(lines[2], "only;;;Z");
    EXPECT_FALSE(SetAstField(lines, 1, 4, "Z"));
    EXPECT_EQ(GetAstField(lines, 1, 9), "");
}

TEST(Asteroids, AddingACatalogueAsteroidThenEditingItsEpoch) {
    SkyState t;
    AsteroidCatalogue c;
    ASSERT_TRUE(LoadAsteroidCatalogue(t.s, c));
    std::vector<std::string> lines = DefaultUserBodies();
    const std::size_t before = lines.size();
    EXPECT_TRUE(AddAsteroidFromCatalogue(lines, c, 1));
    EXPECT_FALSE(AddAsteroidFromCatalogue(lines, c, 1));
    ASSERT_EQ(lines.size(), before + 1);
    const int row = static_cast<int>(lines.size());
    EXPECT_EQ(GetAstField(lines, 4, row), "1 Ceres");
    EXPECT_EQ(GetAstField(lines, 1, row), std::string(1, kAstOrbitMark));
    EXPECT_EQ(GetAstField(lines, 13, row), "2459800.5");
    EXPECT_NEAR(StrToFloatHM(GetAstField(lines, 12, row)), 2.7666190, 1e-7);
    // The appended line has no trailing ";": its epoch, the last field, can still be set.
    ASSERT_TRUE(SetAstField(lines, 13, row, "2451545.0"));
    EXPECT_EQ(GetAstField(lines, 13, row), "2451545.0");
    EXPECT_EQ(GetAstField(lines, 4, row), "1 Ceres");
}

TEST(Asteroids, LoadingUserBodiesIntoTheExtraSlots) {
    SkyState t;
    CosmosBodies b;
    std::vector<std::string> lines = DefaultUserBodies();
    SetAstField(lines, 1, 2, std::string(1, kAstSchemeMark));
    UserBodySlots u = LoadAsteroidSlots(t.s, lines, 0, b);
    ASSERT_EQ(u.NExtra, 2); // rows 1 and 2 are always on
    EXPECT_EQ(GetAstField(lines, 0, 1), kMark);
    EXPECT_EQ(b.PlanetsMdb[72].Name, Cp("Прозерпина"));
    EXPECT_EQ(b.PlanetsMdb[73].Name, Cp("Хирон"));
    EXPECT_EQ(u.Slots[2].Glyph, 47);
    EXPECT_EQ(u.Slots[2].Fields[6], "2448800,5");
    EXPECT_DOUBLE_EQ(StrToFloatHM(u.Slots[2].Fields[6]), 2448800.5);
    EXPECT_EQ(b.OrbitFlags[1][10], 0);
    EXPECT_EQ(b.OrbitFlags[1][11], 1);
    EXPECT_EQ(b.OrbitSchemeFlags[1][11], 1);

    t.s.EnglishMode = true;
    u = LoadAsteroidSlots(t.s, lines, 0, b);
    EXPECT_EQ(b.PlanetsMdb[73].Name, "Chiron");
}

TEST(Asteroids, TheDefaultListIsNamedInTheLanguageAndKeepsItsShip) {
    const std::vector<std::string> russian = DefaultUserBodies(false),
                                   english = DefaultUserBodies(true);
    ASSERT_EQ(russian.size(), 14u);
    ASSERT_EQ(english.size(), russian.size());
    auto cyrillic = [](const std::string& t) {
        for (unsigned char c : t)
            if (c >= 0xC0 || c == 0xA8 || c == 0xB8) return true;
        return false;
    };
    for (int row = 1; row <= 14; ++row) {
        const std::string ru = GetAstField(russian, 4, row), en = GetAstField(english, 4, row);
        EXPECT_FALSE(cyrillic(en)) << row << " " << en;
        // only the names differ, and each body but Chiron has a Russian name of its own
        std::vector<std::string> a = russian, b = english;
        SetAstField(a, 4, row, "");
        SetAstField(b, 4, row, "");
        EXPECT_EQ(a[row - 1], b[row - 1]) << row;
        if (row <= 11 && row != 2) EXPECT_TRUE(cyrillic(ru)) << row << " " << ru;
    }
    // the third body is the space ship in either language
    EXPECT_TRUE(IsShipName(GetAstField(russian, 4, 3)));
    EXPECT_TRUE(IsShipName(GetAstField(english, 4, 3)));
}

TEST(Asteroids, NoMoreBodiesThanRoomBesideTheArabicParts) {
    SkyState t;
    CosmosBodies b;
    std::vector<std::string> lines = DefaultUserBodies();
    for (int r = 1; r <= 11; ++r) SetAstField(lines, 0, r, kMark);
    UserBodySlots u = LoadAsteroidSlots(t.s, lines, 3, b);
    EXPECT_EQ(u.NExtra, 9);
    EXPECT_EQ(t.s.StatusText, GetMsgText(t.s, 131));
    EXPECT_FALSE(t.s.StatusText.empty());
}

TEST(Asteroids, PositionsGoIntoTheEnabledRows) {
    SkyState t;
    std::vector<std::string> lines = DefaultUserBodies();
    SetAstField(lines, 0, 1, kMark);
    SetAstField(lines, 0, 3, kMark);
    SetAstField(lines, 0, 4, kMark);
    SetAstField(lines, 5, 2, "old");
    const std::vector<double> lon = {0, 10 * kDegToRad, 45.5 * kDegToRad};
    const std::vector<double> lat = {0, 1 * kDegToRad, -2 * kDegToRad};
    UpdateAsteroidPositions(t.s, lines, lon, lat, 2);
    EXPECT_NE(GetAstField(lines, 5, 1).find("Ari"), std::string::npos);
    EXPECT_EQ(GetAstField(lines, 5, 2), ""); // not enabled
    EXPECT_NE(GetAstField(lines, 5, 3).find("Tau"), std::string::npos);
    EXPECT_NE(GetAstField(lines, 6, 3).find("-"), std::string::npos);
    EXPECT_EQ(GetAstField(lines, 5, 4), ""); // enabled beyond the loaded bodies
    EXPECT_FALSE(t.s.ShortNames);
    EXPECT_EQ(lines[12], ""); // blank rows stay blank
    EXPECT_EQ(GetAstField(lines, 13, 3), " 2451544.5");
}

TEST(ChironTableFile, ShortOrDamagedFilesAreRefused) {
    TempDir dir;
    SkyState t(dir.path());
    ChironTable table;
    EXPECT_FALSE(ReadChironTable(t.s, table)); // missing
    EXPECT_TRUE(t.Said("chiron.dat"));

    LeWriter w;
    for (int k = 0; k < kChironEntries; ++k) w.f64(k * 1e-5);
    dir.Write("chiron.dat", w.bytes().substr(0, 851 * 8));
    t.report.messages.clear();
    EXPECT_FALSE(ReadChironTable(t.s, table));
    EXPECT_FALSE(table.Loaded);
    EXPECT_EQ(t.report.messages.size(), 1u);
    EXPECT_EQ(ChironCorrection(table, 1950, 1), 0);

    std::string bad = w.bytes();
    const double nan = std::nan("");
    std::memcpy(bad.data() + 100 * 8, &nan, 8);
    dir.Write("chiron.dat", bad);
    EXPECT_FALSE(ReadChironTable(t.s, table));

    dir.Write("chiron.dat", w.bytes());
    t.report.messages.clear();
    ASSERT_TRUE(ReadChironTable(t.s, table));
    EXPECT_TRUE(t.report.messages.empty());
    EXPECT_DOUBLE_EQ(ChironCorrection(table, 1930, 1), 0);
    EXPECT_DOUBLE_EQ(ChironCorrection(table, 1931, 2), 13 * 1e-5);
    EXPECT_DOUBLE_EQ(ChironCorrection(table, 2000, 12), 851 * 1e-5);
    EXPECT_EQ(ChironCorrection(table, 1929, 12), 0);
    EXPECT_EQ(ChironCorrection(table, 2001, 1), 0);
}

} // namespace
} // namespace qor::test
