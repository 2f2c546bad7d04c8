#include "SkyTestSupport.h"

#include "core/Files.h"
#include "core/Text.h"
#include "sky/CosmosBodies.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

std::string BodyRecord(const std::string& name, double axis) {
    LeWriter w;
    w.u8(static_cast<uint8_t>(name.size()));
    w.bytes(name, 23);
    w.f64(axis);
    for (int k = 0; k < 10; ++k) w.f64(k == 1 ? 0.5 : k); // an eccentricity below 1
    return w.bytes();
}

TEST(CosmosBodies, LoadsTheShippedBodyFile) {
    SkyState t;
    CosmosBodies b;
    EXPECT_EQ(LoadPlanetsMdb(t.s, b), 71);
    EXPECT_TRUE(t.report.messages.empty());
    EXPECT_EQ(b.PlanetsMdb[5].Name, Cp(" Луна"));
    EXPECT_EQ(b.PlanetsMdb[46].Name, Cp(" Корделия"));
    EXPECT_NEAR(b.PlanetsMdb[4].Axis, 1.0, 1e-5);
    for (int k = 72; k <= 83; ++k) {
        EXPECT_EQ(b.PlanetsMdb[k].Name, Cp("Астероид"));
        EXPECT_EQ(b.PlanetsMdb[k].Diameter, 100.0);
        EXPECT_EQ(b.PlanetsMdb[k].Axis, 3.0);
    }
    SkyState e;
    e.s.EnglishMode = true;
    CosmosBodies be;
    LoadPlanetsMdb(e.s, be);
    EXPECT_EQ(be.PlanetsMdb[5].Name, " Moon");
    EXPECT_EQ(be.PlanetsMdb[46].Name, " Cordelia");
    EXPECT_EQ(be.PlanetsMdb[1].Name, "Sun");
    for (int k = 72; k <= 83; ++k) EXPECT_EQ(be.PlanetsMdb[k].Name, "Asteroid");
}

TEST(CosmosBodies, RecordsPastSlot83AreLeftOutAndReported) {
    TempDir dir;
    std::string bytes;
    for (int k = 1; k <= 85; ++k) bytes += BodyRecord("B" + std::to_string(k), k);
    dir.Write("planets.mdb", bytes + "tail");
    SkyState t(dir.path());
    CosmosBodies b;
    EXPECT_EQ(LoadPlanetsMdb(t.s, b), 83);
    EXPECT_EQ(b.PlanetsMdb[71].Name, "B71");
    EXPECT_EQ(b.PlanetsMdb[83].Name, Cp("Астероид")); // free slots are set after reading
    EXPECT_EQ(b.PlanetsMdb[83].Mass, 9);              // the file's other fields stay
    EXPECT_EQ(t.report.messages.size(), 2u);
}

TEST(CosmosBodies, MissingFileIsReportedAndFillsNothing) {
    TempDir dir;
    SkyState t(dir.path());
    CosmosBodies b;
    EXPECT_EQ(LoadPlanetsMdb(t.s, b), 0);
    EXPECT_TRUE(t.Said("planets.mdb"));
    EXPECT_TRUE(b.PlanetsMdb[72].Name.empty());
}

TEST(CosmosBodies, ModeTables) {
    EXPECT_EQ(CosmosModeSlot(8), 45);
    EXPECT_EQ(CosmosModeSlot(11), 72);
    EXPECT_EQ(CosmosModeSlot(22), 83);
    EXPECT_EQ(CosmosModePoint(4), 0);
    EXPECT_EQ(CosmosModePoint(22), 26);
    EXPECT_EQ(SatelliteCount(6), 16);
    EXPECT_EQ(SatelliteCount(7), 18);
    EXPECT_EQ(SatelliteCount(-1), 0);
    EXPECT_EQ(CosmosNamesEng()[71], " Charon");
}

TEST(CosmosBodies, SettingsClampAndDefaults) {
    CosmosBodies b;
    EXPECT_EQ(b.CosmosScale(-1), 1000);
    EXPECT_EQ(b.CosmosScale(1), 100);
    EXPECT_EQ(b.CosmosScale(7), 1);
    std::vector<std::string> memo(23, "0;0;0");
    memo[3] = "0.5";
    LoadCosmosSettings(b, memo);
    EXPECT_EQ(b.CosmosScale(0), 0);
    EXPECT_EQ(b.CosmosScale(1), 1.0);
    EXPECT_EQ(b.CosmosScale(5), 0.001);
    EXPECT_EQ(b.CosmosScale(12), 1e-8);
    EXPECT_EQ(b.CosmosScale(3), 0.5);
    EXPECT_EQ(b.ModeAngleX(3), 0);
    EXPECT_EQ(b.ModeAngleZ(3), 0);
    EXPECT_EQ(b.CosmosScale(-1), 1000); // mode -1 keeps its own
    EXPECT_EQ(b.OrbitFlags[22][21], 1);
    EXPECT_EQ(b.OrbitFlags[0][1], 0);
}

TEST(CosmosBodies, SavingTheDefaultsWritesThreeFieldsALine) {
    CosmosBodies b;
    LoadCosmosSettings(b, DefaultOrbitMemo()); // eleven lines; the rest read as empty
    const auto lines = SaveCosmosSettings(b);
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines[0], "0.00100000;-1.222;-0.349");
    EXPECT_EQ(lines[1], "5.72600000;4.939;1.517");
    EXPECT_EQ(lines[22], "0.00000001;0.000;0.000");
    b.CosmosScale(1) = 100;
    b.ModeAngleX(1) = 0;
    b.ModeAngleZ(1) = 0;
    EXPECT_EQ(SaveCosmosSettings(b)[1], "100.00000000;0.000;0.000");
    CosmosBodies again;
    LoadCosmosSettings(again, lines);
    EXPECT_EQ(again.ModeAngleX(1), 4.939);
}

} // namespace
} // namespace qor::test
