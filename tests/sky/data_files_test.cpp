// The generated data files read back by readers written here from their formats alone (not the
// program's loaders): sizes, counts and known records.
#include "SkyTestSupport.h"

#include "core/Text.h"
#include "sky/StarCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace qor::test {
namespace {

constexpr double kPi = 3.141592653589793;

std::string Slurp(const std::string& name) {
    return TempDir::Read(ShippedData() / name);
}

template <typename T> T At(const std::string& b, std::size_t off) {
    T v;
    std::memcpy(&v, b.data() + off, sizeof v);
    return v;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> Split(const std::string& s, char d) {
    std::vector<std::string> out(1);
    for (char ch : s) {
        if (ch == d)
            out.emplace_back();
        else
            out.back() += ch;
    }
    return out;
}

TEST(DataFiles, YaleCatalogueHasEveryPositionedStarInHrOrder) {
    const std::string b = Slurp("yale.mdb");
    ASSERT_EQ(b.size() % 54, 0u);
    const std::size_t n = b.size() / 54;
    EXPECT_EQ(n, 9096u); // 9110 HR numbers less the 14 entries without a position
    int last = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int hr = At<uint16_t>(b, i * 54 + 4);
        ASSERT_GT(hr, last);
        last = hr;
    }
}

TEST(DataFiles, YaleSiriusAndItsNames) {
    const std::string b = Slurp("yale.mdb");
    const std::string nme = Slurp("yale.nme");
    const std::string cmm = Slurp("yale.cmm");
    bool found = false;
    for (std::size_t off = 0; off + 54 <= b.size(); off += 54) {
        if (At<uint16_t>(b, off + 4) != 2491) continue;
        found = true;
        EXPECT_EQ(At<uint32_t>(b, off), 48915u); // HD
        EXPECT_FLOAT_EQ(At<float>(b, off + 42), -1.46f);
        // RA 6h45m08.9s, Dec -16°42'58" (catalogue precision 0.1 s, 1"; float adds ~0.1")
        EXPECT_NEAR(At<float>(b, off + 26), (6 + 45 / 60.0 + 8.9 / 3600) * 15 * kPi / 180, 1e-6);
        EXPECT_NEAR(At<float>(b, off + 30), -(16 + 42 / 60.0 + 58 / 3600.0) * kPi / 180, 1e-6);
        // Proper motion in Dec -1.205"/yr; in RA the catalogue's -0.553"/yr over cos(dec).
        EXPECT_NEAR(At<float>(b, off + 38), -1.205, 1e-6);
        const double dec = At<float>(b, off + 30);
        EXPECT_NEAR(At<float>(b, off + 34), -0.553 / std::cos(dec), 1e-4);
        EXPECT_EQ(At<int32_t>(b, off + 50), 2667); // parallax 0.375": 2.667 pc
        // Designation: 9 alpha CMa
        EXPECT_EQ(b[off + 10], 6);
        EXPECT_EQ(b[off + 11], 9);
        EXPECT_EQ(b[off + 12], 1);
        EXPECT_EQ(b.substr(off + 14, 3), "CMa");
        const int nameOff = At<uint16_t>(b, off + 6);
        const int cmmOff = At<uint16_t>(b, off + 8);
        ASSERT_GT(nameOff, 0);
        ASSERT_GT(cmmOff, 0);
        EXPECT_EQ(nme.substr(nameOff, (unsigned char)nme[nameOff - 1]), Cp("Сириус"));
        EXPECT_EQ(cmm.substr(cmmOff, (unsigned char)cmm[cmmOff - 1]), "Sirius");
    }
    EXPECT_TRUE(found);
    EXPECT_LE(nme.size(), 12000u);
    EXPECT_LE(cmm.size(), 12000u);
}

TEST(DataFiles, EveryNamedStarIsNamedInBothLanguages) {
    // English mode reads yale.cmm at the name offsets: a star named in Russian has its English
    // name there, not a piece of another star's entry.
    const struct {
        int hr;
        const char* ru;
        const char* en;
    } cases[] = {{2491, "Сириус", "Sirius"},
                 {7001, "Вега", "Vega"},
                 {8728, "Фомальгаут", "Fomalhaut"},
                 {15, "Альферац", "Alpheratz"}};
    for (bool english : {false, true}) {
        SkyState t;
        t.s.EnglishMode = english;
        StarCatalogue cat;
        ASSERT_TRUE(LoadYaleCatalogue(t.s, cat));
        int named = 0;
        for (int i = 1; i <= cat.StarCount; ++i) {
            if (!cat.YaleStars[i].NameOffset) continue;
            ++named;
            const std::string name = StarName(cat, i);
            EXPECT_FALSE(name.empty()) << cat.YaleStars[i].BS;
            // The language's own name: Cyrillic letters in Russian mode ("Хиадум I" keeps a
            // Roman numeral), nothing beyond ASCII in English.
            const bool cyrillic = std::any_of(name.begin(), name.end(),
                                              [](char ch) { return (unsigned char)ch >= 0xC0; });
            const bool ascii = std::all_of(name.begin(), name.end(),
                                           [](char ch) { return (unsigned char)ch < 0x80; });
            EXPECT_TRUE(english ? ascii : cyrillic) << cat.YaleStars[i].BS;
            for (const auto& c : cases)
                if (cat.YaleStars[i].BS == c.hr) EXPECT_EQ(name, english ? c.en : Cp(c.ru));
        }
        EXPECT_EQ(named, 324);
    }
}

TEST(DataFiles, DeepObjectsMessierFirstThenBrightest) {
    const auto lines = Lines(Slurp("Deepobj.txt"));
    ASSERT_EQ(lines.size(), 1000u);
    for (const auto& l : lines) ASSERT_EQ(Split(l, ';').size(), 10u) << l;
    // M31: RA 0h42m44.3s, Dec +41°16'09" (OpenNGC), 2540 kly.
    const auto m31 = Split(lines[30], ';');
    EXPECT_EQ(m31[2], "M 31");
    EXPECT_EQ(m31[3], "0\xB0"
                      "42'44.4\"");
    EXPECT_EQ(m31[4], "41\xB0"
                      "16'9\"");
    EXPECT_EQ(m31[5], "2540");
    EXPECT_EQ(m31[8], "And");
    for (int m = 1; m <= 110; ++m) EXPECT_EQ(Split(lines[m - 1], ';')[2], "M " + std::to_string(m));
    for (const auto& l : lines)
        for (int f : {0, 1, 2}) EXPECT_LE(Split(l, ';')[f].size(), 15u) << l;
}

TEST(DataFiles, BodyFileHas71RecordsInTheFixedOrder) {
    const std::string b = Slurp("planets.mdb");
    ASSERT_EQ(b.size(), 71u * 112);
    auto name = [&](int slot) {
        const std::size_t off = (slot - 1) * 112;
        return b.substr(off + 1, (unsigned char)b[off]);
    };
    EXPECT_EQ(name(1), Cp("Солнце"));
    EXPECT_EQ(name(4), Cp("Земля"));
    EXPECT_EQ(name(46), Cp(" Корделия"));
    EXPECT_EQ(name(71), Cp(" Харон"));
    // The Earth: a = 1 AU, one turn a sidereal year; Io: 421800 km, 1.769 days.
    EXPECT_NEAR(At<double>(b, 3 * 112 + 24), 1.0, 1e-5);
    EXPECT_NEAR(2 * kPi / At<double>(b, 3 * 112 + 32), 365.256, 1e-3);
    EXPECT_NEAR(At<double>(b, 13 * 112 + 24) * 149597870.7, 421800, 1);
    EXPECT_NEAR(2 * kPi / At<double>(b, 13 * 112 + 32), 1.769138, 1e-6);
    for (int k = 0; k < 71; ++k) {
        const double e = At<double>(b, k * 112 + 40);
        EXPECT_TRUE(e >= 0 && e < 1) << k + 1;
    }
}

TEST(DataFiles, AsteroidCatalogueLines) {
    const auto lines = Lines(Slurp("asteroid.csv"));
    ASSERT_GT(lines.size(), 2000u);
    EXPECT_EQ(Split(lines[0], ',')[0], "Name");
    const auto ceres = Split(lines[1], ',');
    ASSERT_EQ(ceres.size(), 10u);
    EXPECT_EQ(ceres[0], "1 Ceres");
    EXPECT_NEAR(std::stod(ceres[8]), 2.7666, 1e-4);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto f = Split(lines[i], ',');
        ASSERT_EQ(f.size(), 10u) << lines[i];
        EXPECT_GT(std::stod(f[8]), 0) << lines[i];
    }
}

TEST(DataFiles, SurfaceFilesOfModes2To10) {
    for (int mode = 2; mode <= 10; ++mode) {
        const std::string img = Slurp("Img/P" + std::to_string(mode) + ".img");
        const auto names = Lines(Slurp("Img/P" + std::to_string(mode) + ".nme"));
        ASSERT_EQ(img.size() % 15, 0u) << mode;
        const std::size_t n = img.size() / 15;
        EXPECT_GE(n, 3u) << mode;
        EXPECT_LE(n, 256u) << mode;
        EXPECT_EQ(names.size(), n - 1) << mode;
        for (std::size_t k = 1; k < n; ++k) {
            EXPECT_LE(img[k * 15], 1) << mode;
            const int lat = At<int16_t>(img, k * 15 + 3);
            EXPECT_LE(std::abs(lat), 90);
            EXPECT_EQ((unsigned char)img[k * 15 + 6], k);
        }
    }
    // Mars: Olympus Mons at 18°N 134°W, 624 km on a 3389.5 km globe.
    const std::string mars = Slurp("Img/P5.img");
    EXPECT_EQ(At<int16_t>(mars, 15 + 1), -134);
    EXPECT_EQ(At<int16_t>(mars, 15 + 3), 18);
    EXPECT_EQ((unsigned char)mars[15 + 5], std::lround(std::tan(624 / (2 * 3389.5)) * 100));
}

TEST(DataFiles, ChironCorrectionsAreSmallAndSmooth) {
    const std::string b = Slurp("chiron.dat");
    ASSERT_EQ(b.size(), 852u * 8);
    double largest = 0;
    for (int k = 0; k < 852; ++k) {
        const double v = At<double>(b, k * 8);
        ASSERT_TRUE(std::isfinite(v));
        largest = std::max(largest, std::abs(v));
        // From one month to the next the correction moves by less than a degree.
        if (k > 0) EXPECT_LT(std::abs(v - At<double>(b, (k - 1) * 8)), kPi / 180) << k;
    }
    EXPECT_LT(largest, 15 * kPi / 180); // the 1992 elements are at most ~12° off (1945)
    EXPECT_GT(largest, 5 * kPi / 180);
}

} // namespace
} // namespace qor::test
