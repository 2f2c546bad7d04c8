#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Files.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace qor::test {
namespace {

int FindHR(const StarCatalogue& c, int hr) {
    for (int i = 1; i <= c.StarCount; ++i)
        if (c.YaleStars[i].BS == hr) return i;
    return 0;
}

// One 54-byte record written from the format.
std::string YaleRecord(int hr, std::string desig, int nameOff, int cmmOff, float ra = 0.1f,
                       float dec = 0.2f, int32_t dist = 0) {
    LeWriter w;
    w.u32(0);
    w.u16(static_cast<uint16_t>(hr));
    w.u16(static_cast<uint16_t>(nameOff));
    w.u16(static_cast<uint16_t>(cmmOff));
    w.u8(static_cast<uint8_t>(desig.size()));
    w.bytes(desig, 7);
    w.bytes("\x02"
            "A0",
            8);
    w.f32(ra);
    w.f32(dec);
    w.f32(0.5f);
    w.f32(-1.0f);
    w.f32(3.0f);
    w.bytes("", 4);
    w.i32(dist);
    return w.bytes();
}

std::string Entry(const std::string& text) {
    return std::string(1, char(text.size())) + text;
}

TEST(StarCatalogue, LoadsTheShippedFiles) {
    SkyState t;
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    EXPECT_EQ(c.StarCount, 9096);
    EXPECT_TRUE(t.report.messages.empty());
    const int sirius = FindHR(c, 2491);
    ASSERT_GT(sirius, 0);
    EXPECT_EQ(StarName(c, sirius), Cp("Сириус"));
    EXPECT_FLOAT_EQ(c.YaleStars[sirius].Mag, -1.46f);
    // Proper motion in radians per century: -1.205"/yr.
    EXPECT_NEAR(c.YaleStars[sirius].PmDec, -1.205 * 100 * kArcsecToRad, 1e-10); // stored as f32
    EXPECT_EQ(StarDesignation(t.s, c, sirius, false), Cp(" 9 альфа Большого Пса: Сириус"));
    EXPECT_EQ(StarMapLabel(c, sirius, false), "a CMa " + Cp("Сириус"));
    EXPECT_EQ(StarCatalogueCode(c.YaleStars[sirius].Designation), "  9 alf  CMa");

    SkyState e;
    e.s.EnglishMode = true;
    StarCatalogue ce;
    ASSERT_TRUE(LoadYaleCatalogue(e.s, ce));
    EXPECT_EQ(StarName(ce, sirius), "Sirius");
    EXPECT_TRUE(ce.StarComments.empty());
    EXPECT_EQ(StarDesignation(e.s, ce, sirius, true), " 9 alpha Canis Major: Sirius");
}

TEST(StarCatalogue, EnglishNamesFileIsARequiredFile) {
    AstroDat s;
    bool listed = false;
    for (int i = 1; i <= 19; ++i) listed = listed || DataFileName(s, i) == "yale.cmm";
    EXPECT_TRUE(listed);
    s.EnglishMode = true;
    listed = false;
    for (int i = 1; i <= 19; ++i) listed = listed || DataFileName(s, i) == "yale.cmm";
    EXPECT_TRUE(listed);
}

TEST(StarCatalogue, DesignationEdgeCases) {
    TempDir dir;
    const std::string names = Entry("Dubhe, Ak") + Entry("") + Entry("Plain");
    // 1: Bayer 1, superscript 1, UMa, named; 2: empty name entry; 3: no name offset;
    // 4: Bayer without superscript; 5: Flamsteed only; 6: no designation.
    std::string mdb = YaleRecord(1, std::string("\0\x01\x01UMa", 6), 1, 0) +
                      YaleRecord(2, std::string("\x0c\x02\0Cyg", 6), 11, 0) +
                      YaleRecord(3, std::string("\0\x03\0Lyr", 6), 0, 0) +
                      YaleRecord(4, std::string("\0\x08\0Per", 6), 12, 0) +
                      YaleRecord(5, std::string("\x3d\0\0Cyg", 6), 0, 0) + YaleRecord(6, "", 0, 0);
    dir.Write("yale.mdb", mdb);
    dir.Write("yale.nme", names);
    dir.Write("yale.cmm", "");
    SkyState t(dir.path());
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    ASSERT_EQ(c.StarCount, 6);

    EXPECT_EQ(StarDesignation(t.s, c, 1, true), Cp(" альфа 1 Б.Медведицы: Dubhe, Ak"));
    EXPECT_EQ(StarMapLabel(c, 1, true), "a1 UMa Dubhe, Ak");
    EXPECT_EQ(StarDesignation(t.s, c, 1, false), Cp(" альфа 1 Б.Медведицы: Dubhe"));
    EXPECT_EQ(StarMapLabel(c, 1, false), "a1 UMa Dubhe");
    EXPECT_EQ(StarName(c, 1), "Dubhe");
    EXPECT_EQ(StarOtherNames(c, 1), "Ak");

    EXPECT_EQ(StarDesignation(t.s, c, 2, true), Cp(" 12 бета Лебедя: "));
    EXPECT_EQ(StarDesignation(t.s, c, 2, false), Cp(" 12 бета Лебедя:"));

    EXPECT_EQ(StarDesignation(t.s, c, 3, true), Cp(" гамма Лиры"));
    EXPECT_TRUE(StarName(c, 3).empty());
    EXPECT_TRUE(StarOtherNames(c, 3).empty());

    EXPECT_EQ(StarMapLabel(c, 4, true), "q Per Plain");
    EXPECT_EQ(StarName(c, 4), "Plain");
    EXPECT_EQ(StarOtherNames(c, 4), "Plain");

    EXPECT_EQ(StarDesignation(t.s, c, 5, true), Cp(" 61 Лебедя"));
    EXPECT_EQ(StarMapLabel(c, 5, true), "61 Cyg");
    EXPECT_EQ(StarCatalogueCode(c.YaleStars[5].Designation), " 61      Cyg");
    EXPECT_EQ(StarCatalogueCode(c.YaleStars[1].Designation), "    alf1 UMa");

    EXPECT_EQ(StarDesignation(t.s, c, 6, true), "");
    EXPECT_EQ(StarMapLabel(c, 6, true), "");
    EXPECT_EQ(StarCatalogueCode(""), "");
}

TEST(StarCatalogue, NamesOutsideTheTextAreEmpty) {
    const std::string text = Entry("Vega");
    EXPECT_EQ(StarTextEntry(text, 1), "Vega");
    EXPECT_EQ(StarTextEntry(text, 0), "");
    EXPECT_EQ(StarTextEntry(text, 99), "");
    EXPECT_EQ(StarTextEntry(std::string("\x09"
                                        "Ve"),
                            1),
              "Ve"); // runs past the end
    EXPECT_EQ(StarTextEntry(std::string(13000, 'x'), 12001), "");
}

TEST(StarCatalogue, MoreThan9110RecordsAreCutAndReported) {
    TempDir dir;
    std::string mdb;
    for (int i = 1; i <= kMaxStars + 2; ++i) mdb += YaleRecord(i % 60000, "", 0, 0);
    dir.Write("yale.mdb", mdb + "xyz");
    dir.Write("yale.nme", "");
    SkyState t(dir.path());
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    EXPECT_EQ(c.StarCount, kMaxStars);
    EXPECT_EQ(t.report.messages.size(), 2u); // the broken tail and the two extra records
    EXPECT_TRUE(t.Said("yale.mdb"));
}

TEST(StarCatalogue, ShortCatalogueKeepsNamedStarsAndTablesTogether) {
    SkyState t;
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    const int full = c.StarCount;
    const int vega = FindHR(c, 7001);
    const double vegaRA = c.StarRA2000[vega];
    c.StarLon[vega] = 123.0;
    c.ShortStarCatalogue = true;
    LoadShortCatalogue(t.s, c);
    EXPECT_LT(c.StarCount, 400);
    EXPECT_GT(c.StarCount, 300);
    for (int i = 1; i <= c.StarCount; ++i) ASSERT_NE(c.YaleStars[i].NameOffset, 0);
    const int v = FindHR(c, 7001);
    ASSERT_GT(v, 0);
    EXPECT_EQ(c.StarRA2000[v], vegaRA);
    EXPECT_EQ(c.StarLon[v], 123.0);
    EXPECT_EQ(StarName(c, v), Cp("Вега"));
    c.ShortStarCatalogue = false;
    LoadShortCatalogue(t.s, c);
    EXPECT_EQ(c.StarCount, full);
    for (int i = 1; i < c.StarCount; ++i) ASSERT_LT(c.YaleStars[i].BS, c.YaleStars[i + 1].BS);
}

TEST(StarCatalogue, ReorderMovesEveryTable) {
    SkyState t;
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    for (int i = 1; i <= c.StarCount; ++i) c.StarAltitude[i] = c.YaleStars[i].BS;
    std::vector<int> order(c.StarCount + 1);
    for (int k = 1; k <= c.StarCount; ++k) order[k] = c.StarCount + 1 - k;
    ReorderStars(c, order);
    for (int i = 1; i <= c.StarCount; ++i) ASSERT_EQ(c.StarAltitude[i], c.YaleStars[i].BS);
    EXPECT_EQ(c.YaleStars[1].BS, 9110);
}

// Every table takes record order[k] at place k, whatever the order's cycles, and an order that
// names a star twice (no sort's) copies rather than moves.
TEST(StarCatalogue, ReorderTakesEachPlacesRecordForEveryKindOfOrder) {
    SkyState t;
    StarCatalogue loaded;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, loaded));
    const int n = loaded.StarCount;
    for (int i = 1; i <= n; ++i) loaded.StarAltitude[i] = i;
    std::vector<int> shuffled(n + 1), rotated(n + 1), repeated(n + 1), identity(n + 1);
    std::iota(shuffled.begin(), shuffled.end(), 0);
    std::shuffle(shuffled.begin() + 1, shuffled.end(), std::mt19937(7));
    for (int k = 1; k <= n; ++k) {
        rotated[k] = k % n + 1; // one cycle through every star
        repeated[k] = k <= 2 ? 1 : k;
        identity[k] = k;
    }
    for (const auto* order : {&shuffled, &rotated, &repeated, &identity}) {
        StarCatalogue c = loaded;
        ReorderStars(c, *order);
        for (int k = 1; k <= n; ++k) {
            const int from = (*order)[k];
            ASSERT_EQ(c.StarAltitude[k], from) << k;
            ASSERT_EQ(c.YaleStars[k].BS, loaded.YaleStars[from].BS) << k;
            ASSERT_EQ(c.YaleStars[k].Designation, loaded.YaleStars[from].Designation) << k;
            ASSERT_EQ(c.StarRA2000[k], loaded.StarRA2000[from]) << k;
        }
    }
}

TEST(StarCatalogue, MissingCatalogueLeavesItEmptyQuietly) {
    TempDir dir;
    SkyState t(dir.path());
    StarCatalogue c;
    EXPECT_FALSE(LoadYaleCatalogue(t.s, c));
    EXPECT_EQ(c.StarCount, 0);
    EXPECT_TRUE(t.report.messages.empty());
    EXPECT_EQ(StarName(c, 1), "");
}

TEST(StarCatalogue, GreekLettersAndConstellations) {
    AstroDat s;
    EXPECT_EQ(GreekLetterName(1), Cp("A alf альфа   alpha  "));
    EXPECT_EQ(GreekLetterName(12).substr(2, 3), "mu ");
    EXPECT_EQ(GreekLetterName(24).substr(2, 3), "omg");
    EXPECT_EQ(GreekLetterLocal(s, 20), Cp("ипсилон"));
    EXPECT_EQ(Constellations().size(), 88u);
    EXPECT_EQ(ConstellationName(s, "TrA"), Cp("Южн.Треугольника"));
    EXPECT_EQ(ConstellationName(s, "Tra"), "");
    s.EnglishMode = true;
    EXPECT_EQ(GreekLetterLocal(s, 20), "upsilon");
    EXPECT_EQ(ConstellationName(s, "CVn"), "Canes Venatici");
}

} // namespace
} // namespace qor::test

namespace qor::test {
namespace {

// The catalogues answer which bright object stands near a longitude (the wheel's table asks
// them for every point): the brightest named star within the limit, across 0°, and a
// deep-sky object only when it is brighter still.
TEST(StarCatalogue, BrightestNearALongitude) {
    StarCatalogue c;
    struct Star {
        double lonDeg;
        float mag;
        bool named;
    };
    const Star stars[] = {{100.5, 2.0f, true},  {99.6, 1.0f, true}, {100.2, -1.0f, false},
                          {101.2, -2.0f, true}, {359.6, 3.0f, true}, {0, -5.0f, true}};
    c.StarCount = 6;
    c.YaleStars.resize(7);
    c.StarLon.assign(7, 0);
    for (int n = 1; n <= 6; ++n) {
        c.StarLon[n] = stars[n - 1].lonDeg * kDegToRad;
        c.YaleStars[n].Mag = stars[n - 1].mag;
        c.YaleStars[n].NameOffset = stars[n - 1].named ? 1 : 0;
    }
    const double deg = kDegToRad;
    EXPECT_EQ(c.BrightestNear(100 * deg, deg), 2);     // 1.0 beats 2.0; the unnamed -1.0 not
    EXPECT_EQ(c.BrightestNear(100 * deg, deg, 1.0), 0); // none brighter than 1.0
    EXPECT_EQ(c.BrightestNear(100.7 * deg, deg), 4);   // -2.0 at 0.5°
    EXPECT_EQ(c.BrightestNear(0.3 * deg, deg), 5);     // across 0°; a place of 0 is no place
    EXPECT_EQ(c.BrightestNear(200 * deg, deg), 0);

    DeepCatalogue d;
    d.DeepCount = 2;
    d.DeepObjs.resize(3);
    d.DeepObjs[1].Lon = 99.9 * deg;
    d.DeepObjs[1].Mag = 0.5;
    d.DeepObjs[2].Lon = 100.1 * deg;
    d.DeepObjs[2].Mag = 4.0;
    EXPECT_EQ(d.BrightestNear(100 * deg, deg), 1);
    EXPECT_EQ(d.BrightestNear(100 * deg, deg, 0.5), 0); // the star of 0.5 stays
    EXPECT_EQ(d.BrightestNear(100.8 * deg, 0.5 * deg), 0);
}

} // namespace
} // namespace qor::test
