#include "SkyTestSupport.h"

#include "core/Files.h"
#include "core/Text.h"
#include "sky/Surface.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

std::string Region(uint8_t shape, int16_t lon, int16_t lat, uint8_t radius, uint8_t nameNo) {
    LeWriter w;
    w.u8(shape);
    w.i16(lon);
    w.i16(lat);
    w.u8(radius);
    w.u8(nameNo);
    w.u32(0x112233);
    w.u32(0x445566);
    return w.bytes();
}

TEST(Surface, LoadsTheShippedMarsFile) {
    SkyState t;
    SurfaceRegions r;
    ASSERT_TRUE(LoadSurfaceRegions(t.s, 5, 6, r));
    EXPECT_EQ(r.LastIndex, 15);
    EXPECT_EQ(r.NameCount, 15);
    EXPECT_EQ(r.Names[1], Cp("Гора Олимп"));
    EXPECT_EQ(r.Records[1].Lon, -134);
    EXPECT_EQ(r.Records[1].Lat, 18);
    EXPECT_EQ(r.Records[1].NameNo, 1);
    EXPECT_EQ(r.BodySlot, 6);
    EXPECT_TRUE(t.report.messages.empty());
}

TEST(Surface, TheSunHasNoSurfaceFiles) {
    SkyState t;
    SurfaceRegions r;
    r.LastIndex = 3;
    EXPECT_FALSE(LoadSurfaceRegions(t.s, 1, 1, r));
    EXPECT_EQ(r.BodySlot, 0);
    EXPECT_EQ(r.LastIndex, 3); // nothing read
}

TEST(Surface, MissingFilesMeanNoRegions) {
    TempDir dir;
    SkyState t(dir.path());
    SurfaceRegions r;
    r.Records[0].Fill = 77;
    r.LastIndex = 4;
    EXPECT_FALSE(LoadSurfaceRegions(t.s, 6, 9, r));
    EXPECT_EQ(r.LastIndex, 0);
    EXPECT_EQ(r.Records[0].Fill, 77u);
    EXPECT_TRUE(t.report.messages.empty());
}

// Each refusal names the file and the record that failed.
TEST(Surface, BrokenFilesAreRefusedAndLeaveTheRegions) {
    const std::string size = "Img\\P5.img: the file was not read: 1 to 256 records of 15 bytes "
                             "are needed";
    struct Case {
        const char* what;
        std::string img;
        std::string nme;
        std::string told;
    } cases[] = {
        {"no record", "", "", size},
        {"broken record", Region(0, 0, 0, 0, 0) + "xx", "", size},
        {"257 records",
         [] {
             std::string s;
             for (int k = 0; k < 257; ++k) s += Region(0, 0, 0, 10, 0);
             return s;
         }(),
         "", size},
        {"latitude 91", Region(0, 0, 0, 0, 0) + Region(0, 10, 91, 10, 0), "",
         "Img\\P5.img: the file was not read: the latitude of record 1 is out of range"},
        {"shape 2", Region(0, 0, 0, 0, 0) + Region(2, 10, 10, 10, 0), "",
         "Img\\P5.img: the file was not read: the shape of record 1 is out of range"},
        {"longitude 400",
         Region(0, 0, 0, 0, 0) + Region(0, 1, 1, 10, 0) + Region(0, 400, 10, 10, 0), "",
         "Img\\P5.img: the file was not read: the longitude of record 2 is out of range"},
        {"name 2 of 1", Region(0, 0, 0, 0, 0) + Region(0, 1, 1, 10, 2), "One\r\n",
         "Img\\P5.nme: the files were not read: it holds 1 names, and record 1 of Img\\P5.img "
         "names line 2"},
        {"names file missing", Region(0, 0, 0, 0, 0) + Region(0, 1, 1, 10, 1), "",
         "Img\\P5.nme: the files were not read: it holds 0 names, and record 1 of Img\\P5.img "
         "names line 1"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.Write("Img/P5.img", c.img);
        if (!c.nme.empty()) dir.Write("Img/P5.nme", c.nme);
        SkyState t(dir.path());
        t.s.EnglishMode = true;
        SurfaceRegions r;
        r.LastIndex = 2;
        r.Records[1].Lon = 33;
        EXPECT_FALSE(LoadSurfaceRegions(t.s, 5, 6, r)) << c.what;
        EXPECT_EQ(r.LastIndex, 2) << c.what;
        EXPECT_EQ(r.Records[1].Lon, 33) << c.what;
        ASSERT_EQ(t.report.messages.size(), 1u) << c.what;
        EXPECT_EQ(t.report.messages[0].text, c.told) << c.what;
    }
}

TEST(Surface, SaveAndLoadAgain) {
    TempDir dir;
    SkyState t(dir.path());
    SurfaceRegions r;
    r.Mode = 7;
    r.LastIndex = 2;
    r.Records[0].Fill = 0x00ABCDEF;
    r.Records[1] = {1, -170, 45, 200, 1, 1, 2};
    r.Records[2] = {0, 10, -80, 5, 0, 3, 4};
    r.NameCount = 2;
    r.Names[1] = Cp("Кольцо");
    r.Names[2] = ""; // a deleted name keeps its line
    ASSERT_TRUE(SaveSurfaceRegions(t.s, r));
    EXPECT_EQ(TempDir::Read(dir / "Img/P7.img").size(), 45u);
    EXPECT_EQ(TempDir::Read(dir / "Img/P7.nme"), Cp("Кольцо") + "\r\n\r\n");
    SurfaceRegions back;
    ASSERT_TRUE(LoadSurfaceRegions(t.s, 7, 26, back));
    EXPECT_EQ(back.LastIndex, 2);
    EXPECT_EQ(back.Records[0].Fill, 0x00ABCDEFu);
    EXPECT_EQ(back.Records[1].Lon, -170);
    EXPECT_EQ(back.Records[1].Radius, 200);
    EXPECT_EQ(back.Records[2].Lat, -80);
    EXPECT_EQ(back.Names[1], Cp("Кольцо"));
}

TEST(Surface, FailedSaveLeavesTheOldFilesAndSaysSo) {
    TempDir dir;
    dir.Write("Img/P7.img", Region(0, 0, 0, 0, 0));
    dir.Write("Img/P7.nme", "old\r\n");
    std::filesystem::create_directories(dir / "Img/P7.img.tmp"); // the temporary cannot be made
    SkyState t(dir.path());
    SurfaceRegions r;
    r.Mode = 7;
    r.LastIndex = 1;
    r.NameCount = 1;
    r.Names[1] = "new";
    EXPECT_FALSE(SaveSurfaceRegions(t.s, r));
    EXPECT_EQ(TempDir::Read(dir / "Img/P7.img"), Region(0, 0, 0, 0, 0));
    EXPECT_EQ(TempDir::Read(dir / "Img/P7.nme"), "old\r\n");
    EXPECT_TRUE(t.Said("P7.img"));
}

TEST(Surface, TypedPlacesOutOfRangeAreRefused) {
    EXPECT_TRUE(ParseRegionPlace("-170", "45", "2,00"));
    EXPECT_EQ(ParseRegionPlace("-170", "45", "2,00")->Radius, 200);
    EXPECT_EQ(ParseRegionPlace("10", "0", "0")->Radius, 0);
    EXPECT_FALSE(ParseRegionPlace("40000", "0", "1"));
    EXPECT_FALSE(ParseRegionPlace("0", "91", "1"));
    EXPECT_FALSE(ParseRegionPlace("0", "0", "2.56"));
    EXPECT_FALSE(ParseRegionPlace("0", "0", "-0.1"));
    EXPECT_FALSE(ParseRegionPlace("x", "0", "1"));
    EXPECT_FALSE(ParseRegionPlace("0", "0", "abc"));
    EXPECT_FALSE(ParseRegionPlace("0", "0", ""));
}

SurfaceRegions ThreeRegions() {
    SurfaceRegions r;
    CreateSurfaceRegion(r, 0, {10, 20, 50}, 1, 2, "A");
    CreateSurfaceRegion(r, 1, {30, 40, 60}, 3, 4, "B");
    CreateSurfaceRegion(r, 0, {50, 60, 70}, 5, 6, "C");
    return r;
}

TEST(SurfaceEditing, CreateUpTo256Records) {
    SurfaceRegions r = ThreeRegions();
    EXPECT_EQ(r.LastIndex, 3);
    EXPECT_EQ(r.NameCount, 3);
    EXPECT_EQ(r.Records[2].NameNo, 2);
    EXPECT_EQ(CreateSurfaceRegion(r, 0, {}, 0, 0, ""), 4);
    EXPECT_EQ(r.Records[4].NameNo, 0);
    while (r.LastIndex < 255) CreateSurfaceRegion(r, 0, {}, 0, 0, "");
    EXPECT_EQ(CreateSurfaceRegion(r, 0, {}, 0, 0, "x"), 0);
    EXPECT_EQ(r.LastIndex, 255);
}

TEST(SurfaceEditing, ChangeAndDeleteKeepNamesInPlace) {
    SurfaceRegions r = ThreeRegions();
    ASSERT_TRUE(ChangeSurfaceRegion(r, 2, 0, {1, 2, 3}, "")); // a name from the middle
    EXPECT_EQ(r.Records[2].NameNo, 0);
    EXPECT_EQ(r.NameCount, 3);
    EXPECT_EQ(r.Names[2], "");
    ASSERT_TRUE(ChangeSurfaceRegion(r, 2, 1, {1, 2, 3}, "New"));
    EXPECT_EQ(r.Records[2].NameNo, 4);
    EXPECT_EQ(r.Records[2].Fill, 3u);
    ASSERT_TRUE(ChangeSurfaceRegion(r, 2, 1, {1, 2, 3}, "")); // the last number: count shrinks
    EXPECT_EQ(r.NameCount, 3);
    EXPECT_FALSE(ChangeSurfaceRegion(r, 0, 1, {}, "body"));
    // Deleting the last region makes the one before current.
    EXPECT_EQ(DeleteSurfaceRegion(r, 3), 2);
    EXPECT_EQ(r.LastIndex, 2);
    EXPECT_EQ(r.NameCount, 2);
    EXPECT_EQ(DeleteSurfaceRegion(r, 1), 1);
    EXPECT_EQ(r.Records[1].Lon, 1); // region 2 moved down
    EXPECT_EQ(r.Names[1], "");      // its name line stays, emptied
}

TEST(SurfaceEditing, MultiplyStopsAt256Records) {
    SurfaceRegions r = ThreeRegions();
    while (r.LastIndex < 249) CreateSurfaceRegion(r, 0, {}, 0, 0, "");
    int calls = 0;
    auto random = [&](int n) { return (calls++ * 7) % n; };
    EXPECT_EQ(MultiplySurfaceRegion(r, 2, random), 255); // 250 records: 6 copies
    EXPECT_EQ(r.LastIndex, 255);
    for (int k = 250; k <= 255; ++k) {
        EXPECT_EQ(r.Records[k].Shape, 1);
        EXPECT_EQ(r.Records[k].Fill, 3u);
        EXPECT_EQ(r.Records[k].NameNo, 0);
        EXPECT_LE(r.Records[k].Radius, 60 * 99 / 100 + 1);
        EXPECT_GE(r.Records[k].Radius, 6);
    }
    EXPECT_EQ(MultiplySurfaceRegion(r, 2, random), 2);
}

} // namespace
} // namespace qor::test
