// The atlas's text form: export, import, and the map-code change of one city.
#include "core/AstroDat.h"
#include "core/Files.h"
#include "core/Text.h"
#include "geo/AtlasText.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using test::RecordingReport;
using test::TempDir;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

struct AtlasText : ::testing::TestWithParam<bool> {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    Atlas a;
    AtlasFileSet files;
    void SetUp() override {
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.EnglishMode = GetParam();
        files = AtlasFileNames(s.EnglishMode);
        for (const auto& f : {files.coords, files.names, files.zones})
            fs::copy_file(kData / f, dir / f);
        ASSERT_TRUE(LoadAtlas(s, a));
    }
    std::string Text() { return TempDir::Read(s.DataPath(files.text)); }
    std::string File(const std::string& name) { return TempDir::Read(dir / name); }
};

TEST_P(AtlasText, ExportImportExportGivesTheSameTextAndFiles) {
    ASSERT_TRUE(ExportAtlasTxt(s, a));
    const std::string first = Text();
    const auto lines = SplitTextLines(first);
    ASSERT_EQ(lines.size(), 24361u);
    EXPECT_NE(s.StatusText.find(s.EnglishMode ? " is created. 24361 cities"
                                              : " создан. 24361 городов"_cp),
              std::string::npos);
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    EXPECT_EQ(s.StatusText, "OK 24361 items");
    EXPECT_TRUE(a.ready);
    // The shipped files are what the import makes of their text: coordinates west to east.
    for (const auto& f : {files.coords, files.names, files.zones})
        EXPECT_EQ(File(f), TempDir::Read(kData / f)) << f;
    ASSERT_TRUE(ExportAtlasTxt(s, a));
    EXPECT_EQ(Text(), first);
    EXPECT_TRUE(report.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Editions, AtlasText, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "English" : "Russian"; });

// A small English atlas made from text.
struct SmallText : ::testing::Test {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    Atlas a;
    void SetUp() override {
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.EnglishMode = true;
        a.files = AtlasFileNames(true);
    }
    void WriteText(const std::vector<std::string>& lines) {
        dir.Write("Wrk/Atlas_e.txt", JoinTextLines(lines));
    }
};

TEST_F(SmallText, ImportBuildsLinkedFilesOrderedByLongitude) {
    WriteText({"Zeta;10\xB0"
               "00'N;  5\xB0"
               "00'E;R001; 6; 1;Europe/Moscow",
               "Alpha;20\xB0"
               "30'S; 70\xB0"
               "15'W; 229;  ; 3;America/New_York",
               "Mid;0\xB0"
               "00'N;  0\xB0"
               "00'E;R002;  ;19"});
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    ASSERT_EQ(a.coords.size(), 3u);
    EXPECT_EQ(a.coords[0].lon, -(70 * 60 + 15));
    EXPECT_EQ(a.coords[0].lat, -(20 * 60 + 30));
    EXPECT_EQ(a.coords[0].nameIndex, 2);
    EXPECT_EQ(a.coords[1].nameIndex, 3);
    EXPECT_EQ(a.coords[1].mapCode, 19);
    EXPECT_EQ(a.coords[2].nameIndex, 1);
    std::vector<CityNameRec> names;
    ASSERT_TRUE(LoadAllCityNames(s, a, names));
    EXPECT_EQ(names[0].text, "Zeta" + std::string(27, ' ') + " R001 6");
    EXPECT_EQ(names[0].coordIndex, 3);
    // The code keeps a blank first character (the Russian edition's mark of a foreign city).
    EXPECT_EQ(names[1].Code(), " 229");
    EXPECT_EQ(a.zones, (std::vector<std::string>{"Europe/Moscow", "America/New_York", ""}));
}

TEST_F(SmallText, LongNamesAreCutToTheirThirtyOneCharacters) {
    const std::string longName(40, 'N');
    WriteText({longName + ";10\xB0"
                          "00'N;  5\xB0"
                          "00'E;R001;  ; 1"});
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    std::vector<CityNameRec> names;
    ASSERT_TRUE(LoadAllCityNames(s, a, names));
    EXPECT_EQ(names[0].Name(), std::string(31, 'N'));
    EXPECT_EQ(names[0].text[31], ' ');
    EXPECT_EQ(names[0].Code(), "R001");
}

TEST_F(SmallText, BadLinesAreReportedWithTheirNumberAndChangeNothing) {
    WriteText({"Good;10\xB0"
               "00'N;  5\xB0"
               "00'E;R001;  ; 1"});
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    const std::string coords = TempDir::Read(dir / "geoc.atl"),
                      names = TempDir::Read(dir / "geon.atl");
    const std::string good = "Good;10\xB0"
                             "00'N;  5\xB0"
                             "00'E;R001;  ; 1";
    struct Case {
        std::string line, what;
    };
    const Case cases[] = {{"Bad;1000'N;  5\xB0"
                           "00'E;R001;  ; 1",
                           "latitude"},
                          {"Bad;10\xB0"
                           "00'X;  5\xB0"
                           "00'E;R001;  ; 1",
                           "latitude"},
                          {"Bad;91\xB0"
                           "00'N;  5\xB0"
                           "00'E;R001;  ; 1",
                           "latitude"},
                          {"Bad;10\xB0"
                           "00'N;  5 00 E;R001;  ; 1",
                           "longitude"},
                          {"Bad;10\xB0"
                           "00'N;190\xB0"
                           "00'E;R001;  ; 1",
                           "longitude"},
                          {"B;a;d;10\xB0"
                           "00'N;  5\xB0"
                           "00'E;R001;  ; 1",
                           "fields"},
                          {"Bad;10\xB0"
                           "00'N;  5\xB0"
                           "00'E;R001",
                           "fields"},
                          {"Bad;10\xB0"
                           "00'N;  5\xB0"
                           "00'E;R001;  ;x1",
                           "map code"},
                          {"Bad;10\xB0"
                           "00'N;  5\xB0"
                           "00'E;R001;  ;70000",
                           "map code"}};
    for (const auto& c : cases) {
        report.messages.clear();
        WriteText({good, good, c.line});
        EXPECT_FALSE(ImportAtlasTxt(s, a)) << c.line;
        ASSERT_EQ(report.messages.size(), 1u) << c.line;
        EXPECT_NE(report.messages[0].text.find("line 3"), std::string::npos)
            << report.messages[0].text;
        EXPECT_NE(report.messages[0].text.find(c.what), std::string::npos)
            << report.messages[0].text;
        EXPECT_EQ(TempDir::Read(dir / "geoc.atl"), coords);
        EXPECT_EQ(TempDir::Read(dir / "geon.atl"), names);
    }
}

// A text without a single city (empty, blank lines only) would wipe the atlas: it is refused
// and the three files stay as they were.
TEST_F(SmallText, TextWithoutACityIsRefusedAndTheAtlasStays) {
    WriteText({"Good;10\xB0"
               "00'N;  5\xB0"
               "00'E;R001;  ; 1;Europe/Berlin"});
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    const std::string coords = TempDir::Read(dir / "geoc.atl"),
                      names = TempDir::Read(dir / "geon.atl"),
                      zones = TempDir::Read(dir / "geoz.atl");
    for (const std::string& text :
         {std::string(), std::string("\r\n"), std::string("  \r\n\t\r\n")}) {
        report.messages.clear();
        s.StatusText.clear();
        dir.Write("Wrk/Atlas_e.txt", text);
        EXPECT_FALSE(ImportAtlasTxt(s, a));
        ASSERT_EQ(report.messages.size(), 1u);
        EXPECT_EQ(report.messages[0].text,
                  "Wrk\\Atlas_e.txt: no city in the file; the atlas is unchanged");
        EXPECT_EQ(s.StatusText.find("OK"), std::string::npos) << s.StatusText;
        EXPECT_EQ(TempDir::Read(dir / "geoc.atl"), coords);
        EXPECT_EQ(TempDir::Read(dir / "geon.atl"), names);
        EXPECT_EQ(TempDir::Read(dir / "geoz.atl"), zones);
        EXPECT_EQ(a.coords.size(), 1u);
    }
}

TEST_F(SmallText, MoreCitiesThanTheLinksAddressAreRefused) {
    std::string text;
    const std::string line = "C;10\xB0"
                             "00'N;  5\xB0"
                             "00'E;R001;  ; 1\r\n";
    for (int i = 0; i < 65536; ++i) text += line;
    dir.Write("Wrk/Atlas_e.txt", text);
    EXPECT_FALSE(ImportAtlasTxt(s, a));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("65535"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "geoc.atl"));
}

TEST_F(SmallText, FailedSaveLeavesEveryFileAsItWas) {
    WriteText({"One;10\xB0"
               "00'N;  5\xB0"
               "00'E;R001;  ; 1"});
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    const std::string coords = TempDir::Read(dir / "geoc.atl"),
                      names = TempDir::Read(dir / "geon.atl");
    WriteText({"Two;20\xB0"
               "00'N;  5\xB0"
               "00'E;R001;  ; 1"});
    fs::create_directory(dir / "geon.atl.tmp"); // the names file cannot be written
    report.messages.clear();
    EXPECT_FALSE(ImportAtlasTxt(s, a));
    EXPECT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(TempDir::Read(dir / "geoc.atl"), coords);
    EXPECT_EQ(TempDir::Read(dir / "geon.atl"), names);
}

TEST_F(SmallText, SemicolonInANameIsRefusedOnExport) {
    const std::vector<CityCoordRec> coords{{0, 0, 1, 1}};
    const std::vector<CityNameRec> names{{"Semi;colon" + std::string(21, ' ') + " R001  ", 1}};
    dir.Write("geoc.atl", EncodeCityCoords(coords));
    dir.Write("geon.atl", EncodeCityNames(names));
    dir.Write("geoz.atl", "\r\n");
    ASSERT_TRUE(LoadAtlas(s, a));
    EXPECT_FALSE(ExportAtlasTxt(s, a));
    EXPECT_EQ(report.messages.size(), 1u);
    EXPECT_FALSE(fs::exists(dir / "Wrk" / "Atlas_e.txt"));
}

TEST_F(SmallText, MapCodeIsSavedAtomically) {
    WriteText({"One;10\xB0"
               "00'N;  5\xB0"
               "00'E;R001;  ; 1",
               "Two;20\xB0"
               "00'N;  6\xB0"
               "00'E;R001;  ; 0"});
    ASSERT_TRUE(ImportAtlasTxt(s, a));
    ASSERT_TRUE(SetCityMapCode(s, a, 2, 23));
    Atlas again;
    ASSERT_TRUE(LoadAtlas(s, again));
    EXPECT_EQ(again.coords[1].mapCode, 23);
    // Pressing OK without a change writes the same code back.
    const std::string before = TempDir::Read(dir / "geoc.atl");
    ASSERT_TRUE(SetCityMapCode(s, a, 2, 23));
    EXPECT_EQ(TempDir::Read(dir / "geoc.atl"), before);
    // A failed save keeps the old code in memory and on disk.
    fs::create_directory(dir / "geoc.atl.tmp");
    EXPECT_FALSE(SetCityMapCode(s, a, 1, 35));
    EXPECT_EQ(a.coords[0].mapCode, 1);
    EXPECT_EQ(TempDir::Read(dir / "geoc.atl"), before);
    EXPECT_FALSE(SetCityMapCode(s, a, 3, 1));
}

} // namespace
} // namespace qor
