// The catalogue loaders on damaged copies of the shipped files: a value no star or body can
// have (NaN, infinity, out of its range) refuses the file with the record named, garbage lines
// of the deep-sky catalogue are no objects, an empty catalogue is told, and a file far beyond
// its catalogue is refused by its size before it is read.
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Text.h"
#include "sky/CosmosBodies.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace qor::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Shipped(const std::string& name) {
    return TempDir::Read(ShippedData() / name);
}

template <typename T> void Put(std::string& bytes, std::size_t at, T value) {
    std::memcpy(&bytes[at], &value, sizeof value);
}

TEST(DamagedCatalogues, StarRecordsOutOfRangeRefuseTheCatalogue) {
    struct Case {
        const char* what;
        std::size_t field; // byte offset in the record
        float value;
    };
    const Case cases[] = {
        {"right ascension NaN", 26, static_cast<float>(kNaN)},
        {"right ascension infinite", 26, static_cast<float>(kInf)},
        {"right ascension beyond a turn", 26, 7.0f},
        {"right ascension negative", 26, -0.5f},
        {"declination beyond the pole", 30, 1.7f},
        {"declination NaN", 30, static_cast<float>(kNaN)},
        {"proper motion huge", 34, 1e30f},
        {"proper motion NaN", 38, static_cast<float>(kNaN)},
        {"magnitude infinite", 42, static_cast<float>(-kInf)},
        {"magnitude absurd", 42, 1e6f},
    };
    const std::string mdb = Shipped("yale.mdb");
    for (const Case& c : cases) {
        std::string bytes = mdb;
        Put(bytes, 54 * 99 + c.field, c.value); // record 100
        TempDir dir;
        dir.Write("yale.mdb", bytes);
        dir.Write("yale.nme", Shipped("yale.nme"));
        dir.Write("yale.cmm", Shipped("yale.cmm"));
        SkyState t(dir.path());
        t.s.EnglishMode = true;
        StarCatalogue cat;
        EXPECT_FALSE(LoadYaleCatalogue(t.s, cat)) << c.what;
        EXPECT_EQ(cat.StarCount, 0) << c.what;
        ASSERT_EQ(t.report.messages.size(), 1u) << c.what;
        EXPECT_EQ(t.report.messages[0].text,
                  "yale.mdb: a value out of range in record 100; the catalogue was not loaded")
            << c.what;
    }
}

TEST(DamagedCatalogues, BodyRecordsOutOfRangeFillNothing) {
    struct Case {
        const char* what;
        int field; // double number k after the name: axis 0, motion 1, eccentricity 2 ...
        double value;
    };
    const Case cases[] = {
        {"axis NaN", 0, kNaN},           {"axis negative", 0, -1},
        {"motion infinite", 1, kInf},    {"eccentricity 1", 2, 1.0},
        {"eccentricity NaN", 2, kNaN},   {"inclination beyond", 3, 100},
        {"diameter infinite", 4, kInf},  {"diameter negative", 4, -5},
        {"node NaN", 5, kNaN},           {"mean longitude huge", 7, 1e300},
        {"rotation infinite", 9, -kInf}, {"mass NaN", 10, kNaN},
    };
    const std::string mdb = Shipped("planets.mdb");
    for (const Case& c : cases) {
        std::string bytes = mdb;
        Put(bytes, 112 * 4 + 24 + 8 * c.field, c.value); // record 5, the Moon
        TempDir dir;
        dir.Write("planets.mdb", bytes);
        SkyState t(dir.path());
        t.s.EnglishMode = true;
        CosmosBodies b;
        b.PlanetsMdb[5].Name = "kept";
        EXPECT_EQ(LoadPlanetsMdb(t.s, b), 0) << c.what;
        EXPECT_EQ(b.PlanetsMdb[5].Name, "kept") << c.what;
        EXPECT_TRUE(b.PlanetsMdb[1].Name.empty()) << c.what;
        ASSERT_EQ(t.report.messages.size(), 1u) << c.what;
        EXPECT_EQ(t.report.messages[0].text,
                  "planets.mdb: a value out of range in record 5; the bodies were not read")
            << c.what;
    }
}

// Files far beyond their catalogue (sparse: quick to make) are refused by their size.
TEST(DamagedCatalogues, FilesFarTooLargeAreNotRead) {
    struct Case {
        const char* file;
        std::size_t size;
        std::function<bool(SkyState&)> load;
    };
    const std::vector<Case> cases = {
        {"yale.mdb", kYaleMaxBytes + 54,
         [](SkyState& t) {
             StarCatalogue c;
             return LoadYaleCatalogue(t.s, c);
         }},
        {"planets.mdb", kPlanetsMdbMaxBytes + 112,
         [](SkyState& t) {
             CosmosBodies b;
             return LoadPlanetsMdb(t.s, b) > 0;
         }},
        {"Deepobj.txt", kDeepObjMaxBytes + 1,
         [](SkyState& t) {
             DeepCatalogue d;
             return LoadDeepObj(t.s, d);
         }},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path file = dir.Write(c.file, "x");
        fs::resize_file(file, c.size);
        SkyState t(dir.path());
        t.s.EnglishMode = true;
        EXPECT_FALSE(c.load(t)) << c.file;
        ASSERT_EQ(t.report.messages.size(), 1u) << c.file;
        EXPECT_EQ(
            t.report.messages[0].text.rfind(std::string(c.file) + ": the file is too large", 0), 0u)
            << t.report.messages[0].text;
    }
}

TEST(DamagedCatalogues, DeepSkyLinesWithoutAPositionAreNoObjects) {
    const std::string good = "M 1;M 1;M 1;5\xB0"
                             "34'32.0\";22\xB0"
                             "00'52\";6.5;8;8.4;Tau;x\r\n";
    struct Case {
        const char* what;
        std::string text;
        int objects;
        std::vector<std::string> told;
    };
    const std::vector<Case> cases = {
        {"empty file", "", 0, {"Deepobj.txt: the catalogue holds no object"}},
        {"blank lines", "\r\n  \r\n", 0, {"Deepobj.txt: the catalogue holds no object"}},
        {"garbage only",
         "hello world\r\n@@@;###\r\n",
         0,
         {"Deepobj.txt: lines without a right ascension and declination left out: 2 (the first: "
          "line 1)",
          "Deepobj.txt: the catalogue holds no object"}},
        {"garbage among objects",
         good + "no;position;here\r\n" + good + "a;b;c;25\xB0" + "00'00\";0\xB0" + "00'00\"\r\n" +
             "a;b;c;1\xB0" + "70'00\";0\xB0" + "00'00\"\r\n" + "a;b;c;1\xB0" + "00'00\";91\r\n" +
             "a;b;c;1h;2h\r\n",
         2,
         {"Deepobj.txt: lines without a right ascension and declination left out: 5 (the first: "
          "line 2)"}},
        {"sound lines", good + good + good, 3, {}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("Deepobj.txt", c.text);
        SkyState t(dir.path());
        t.s.EnglishMode = true;
        DeepCatalogue d;
        EXPECT_EQ(LoadDeepObj(t.s, d), c.objects > 0) << c.what;
        EXPECT_EQ(d.DeepCount, c.objects) << c.what;
        std::vector<std::string> told;
        for (const auto& m : t.report.messages) told.push_back(m.text);
        EXPECT_EQ(told, c.told) << c.what;
        for (int k = 1; k <= d.DeepCount; ++k) EXPECT_EQ(d.DeepObjs[k].NameEng, "M 1");
    }
}

} // namespace
} // namespace qor::test
