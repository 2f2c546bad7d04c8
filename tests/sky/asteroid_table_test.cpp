// The asteroid catalogue as its window shows it: the cells, the search by the name's
// beginning, the sorts, the sort item's caption and the file of the places of date, over a
// catalogue of five asteroids.
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "sky/AsteroidTable.h"
#include "sky/StarStrip.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

std::filesystem::path Fixture(const std::string& name) {
    return std::filesystem::path(QOR_FIXTURES_DIR) / "asteroids_five" / name;
}

// The five asteroids at the moment of their elements (2022-08-09 0h UT), in a fresh folder.
struct FiveAsteroids {
    TempDir dir;
    SkyState t;
    AstroDat& s = t.s;
    AsteroidCatalogue c;
    ChartOptions opt;
    GeneralOptions gen;

    FiveAsteroids() {
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
        for (const char* f : {"rtext.txt", "etext.txt"})
            std::filesystem::copy_file(ShippedData() / f, dir / f);
        std::filesystem::copy_file(Fixture("asteroid.csv"), dir / "asteroid.csv");
        s.ProgramFolder = dir.path();
        EXPECT_TRUE(LoadAsteroidCatalogue(s, c));
        s.ChartYear = 2022;
        s.ChartMonth = 8;
        s.ChartDay = 9;
        s.ChartHour = s.ChartMinute = s.ChartSecond = 0;
        s.ChartZone = 0;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
        CalcCatalogueAsteroids(s, gen, c);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> v;
        for (int i = 1; i <= c.AstCount; ++i) v.push_back(c.AstCatalogue[i].Name);
        return v;
    }
};

TEST(AsteroidTable, FileOfThePlacesMatchesItsGoldenCopy) {
    FiveAsteroids f;
    ASSERT_EQ(f.c.AstCount, 5);
    ASSERT_TRUE(WriteAsteroidFile(f.s, f.c));
    const std::string written = TempDir::Read(f.dir / "Wrk" / "Asteroid.txt");
    EXPECT_EQ(written, TempDir::Read(Fixture("Asteroid.txt"))) << Cp1251ToUtf8(written);
    // each record line: the name in 23 characters, then the longitude and the latitude
    const std::vector<std::string> lines = SplitTextLines(written);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2].substr(0, 23), "2060 Chiron            ");
    EXPECT_EQ(lines[2].substr(23), AsteridCell(f.s, f.c.AstCatalogue[1], 1) +
                                       AsteridCell(f.s, f.c.AstCatalogue[1], 2));
}

TEST(AsteroidTable, AFailedWriteKeepsTheOldFileAndSaysSo) {
    FiveAsteroids f;
    const auto path = f.dir.Write("Wrk/Asteroid.txt", "old\r\n");
    // the temporary file's place is taken by a folder that is not empty: no one can write it
    f.dir.Write("Wrk/Asteroid.txt.tmp/keep", "x");
    EXPECT_FALSE(WriteAsteroidFile(f.s, f.c));
    EXPECT_EQ(TempDir::Read(path), "old\r\n");
    EXPECT_TRUE(f.t.Said("Asteroid.txt"));
}

TEST(AsteroidTable, CellsOfARecord) {
    FiveAsteroids f;
    const AstRec& ceres = f.c.AstCatalogue[3];
    ASSERT_EQ(ceres.Name, "1 Ceres");
    EXPECT_EQ(AsteridCell(f.s, ceres, 0), "1 Ceres");
    EXPECT_EQ(AsteridCell(f.s, ceres, 3), " 3.33");
    EXPECT_EQ(AsteridCell(f.s, ceres, 4), " 0.12");
    EXPECT_EQ(AsteridCell(f.s, ceres, 9), " 0.0786358");
    EXPECT_EQ(AsteridCell(f.s, ceres, 10), " 2.7666190");
    EXPECT_EQ(AsteridCell(f.s, ceres, 11), "2459800.5");
    // the angles in degrees, minutes and seconds whatever the chosen format
    f.s.DMSFormat = 0;
    const std::string incl = AsteridCell(f.s, ceres, 8);
    EXPECT_NE(incl.find("10"), std::string::npos);
    EXPECT_NE(incl.find("35"), std::string::npos);
    EXPECT_NE(incl.find("12"), std::string::npos) << incl; // 10°35'12"
    EXPECT_EQ(f.s.DMSFormat, 0);
    // the longitude within its sign (Ceres stood in Leo)
    const bool shortNames = f.s.ShortNames;
    const int degreesInSign = static_cast<int>(NormAngle(ceres.Lon) / kDegToRad) % 30;
    EXPECT_EQ(std::stoi(AsteridCell(f.s, ceres, 1).substr(0, 2)), degreesInSign);
    EXPECT_EQ(f.s.ShortNames, shortNames);
    EXPECT_EQ(AsteridHeader(f.s, 2), Cp(" Широта"));
    f.s.EnglishMode = true;
    EXPECT_EQ(AsteridHeader(f.s, 2), "Latitude");
    EXPECT_EQ(AsteridHeader(f.s, 12), "");
}

TEST(AsteroidTable, SearchByTheNamesBeginning) {
    FiveAsteroids f;
    const std::pair<const char*, int> cases[] = {
        {"", 1}, {"2060", 1}, {"2060 chi", 1}, {"433 EROS", 2}, {"1 c", 3},
        {"1", 3}, // "10 Hygiea" comes later
        {"10", 4}, {"2 P", 5}, {"2 Pallas!", 0}, {"Ceres", 0}, {"zzz", 0},
    };
    for (const auto& [text, row] : cases) EXPECT_EQ(FindAsteroidRow(f.c, text), row) << text;
}

TEST(AsteroidTable, SortsByEachKindOfColumn) {
    FiveAsteroids f;
    using Names = std::vector<std::string>;
    SortAsteroids(f.c, 0, false);
    EXPECT_EQ(f.Names(), (Names{"1 Ceres", "2 Pallas", "10 Hygiea", "433 Eros", "2060 Chiron"}));
    SortAsteroids(f.c, 0, true);
    EXPECT_EQ(f.Names(), (Names{"1 Ceres", "2060 Chiron", "433 Eros", "10 Hygiea", "2 Pallas"}));
    SortAsteroids(f.c, 3, true); // by H
    EXPECT_EQ(f.Names(), (Names{"1 Ceres", "2 Pallas", "10 Hygiea", "2060 Chiron", "433 Eros"}));
    SortAsteroids(f.c, 10, true); // by the semi-major axis
    EXPECT_EQ(f.Names(), (Names{"433 Eros", "1 Ceres", "2 Pallas", "10 Hygiea", "2060 Chiron"}));
    // the positions move with their records
    SortAsteroids(f.c, 1, true);
    for (int i = 2; i <= 5; ++i)
        EXPECT_LE(f.c.AstCatalogue[i - 1].Lon, f.c.AstCatalogue[i].Lon);
    // a large catalogue of equal keys sorts without deep recursion
    AsteroidCatalogue same;
    same.AstCount = 20000;
    same.AstCatalogue.assign(20001, f.c.AstCatalogue[1]);
    SortAsteroids(same, 3, true);
    EXPECT_EQ(same.AstCatalogue[20000].Name, f.c.AstCatalogue[1].Name);
}

TEST(AsteroidTable, SortItemNamesTheNextOrder) {
    FiveAsteroids f;
    EXPECT_EQ(SortCaption(f.s, 0, true), Cp("Сортировать по \"Номер\""));
    EXPECT_EQ(SortCaption(f.s, 0, false), Cp("Сортировать по \"Название\""));
    EXPECT_EQ(SortCaption(f.s, 9, true), Cp("Сортировать по \"Эксцентриситет\""));
    f.s.EnglishMode = true;
    EXPECT_EQ(SortCaption(f.s, 0, true), "Sort by \"Number\"");
    EXPECT_EQ(SortCaption(f.s, 1, false), "Sort by \"Longitude\"");
    EXPECT_EQ(NameWithoutDigits("2060 Chiron"), " Chiron");
    EXPECT_EQ(NumberOfName("2001 QW322 12345"), 200132212345LL);
    EXPECT_EQ(NumberOfName(" Vesta"), 0);
}

} // namespace
} // namespace qor::test
