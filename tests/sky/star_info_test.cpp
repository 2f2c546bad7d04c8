// The star mark's pixels by magnitude and style, the texts of the star windows, and the star
// model of the star view (spectral class, temperature, radius, colour).
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "sky/StarInfo.h"
#include "sky/StarMarks.h"
#include "support/QtApp.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace qor::test {
namespace {

// A mark drawn at the middle of a 9 by 9 picture, as rows of letters: "." nothing, "1", "2",
// "3" the scheme's colours.
std::vector<std::string> MarkRows(double m, const StarMarkScheme& k) {
    QtApp();
    QImage img(9, 9, QImage::Format_RGB32);
    img.fill(QColor(1, 2, 3));
    {
        ui::Canvas cv(img);
        DrawStarMark(cv, 4, 4, m, k);
    }
    std::vector<std::string> rows;
    for (int y = 0; y < 9; ++y) {
        std::string r;
        for (int x = 0; x < 9; ++x) {
            const ui::Colour c = ui::FromQColor(QColor::fromRgb(img.pixel(x, y)));
            r += c == k.c1 ? '1' : c == k.c2 ? '2' : c == k.c3 ? '3' : '.';
        }
        rows.push_back(r);
    }
    return rows;
}

TEST(StarMarks, PixelsOfEachMagnitudeClass) {
    // three distinct colours, so that each pixel names its colour
    const StarMarkScheme k{0x0000FF, 0x00FF00, 0xFF0000, 0};
    struct Case {
        double m;
        std::vector<std::string> rows;
    };
    const std::vector<std::string> empty(9, ".........");
    auto with = [&](std::vector<std::pair<std::pair<int, int>, char>> px) {
        std::vector<std::string> r = empty;
        for (auto [p, c] : px) r[4 + p.second][4 + p.first] = c;
        return r;
    };
    const auto bright = [&](char outer) {
        return with({{{0, -2}, '1'},
                     {{0, -1}, '1'},
                     {{0, 0}, '1'},
                     {{0, 1}, '1'},
                     {{0, 2}, '1'},
                     {{-1, 0}, '1'},
                     {{1, 0}, '1'},
                     {{-2, 0}, outer},
                     {{2, 0}, outer},
                     {{-1, -1}, outer},
                     {{1, -1}, outer},
                     {{-1, 1}, outer},
                     {{1, 1}, outer}});
    };
    std::vector<std::string> brightest = bright('2');
    for (auto [dx, dy] : {std::pair{0, -3}, {0, 3}, {-3, 0}, {3, 0}})
        brightest[4 + dy][4 + dx] = '1';
    const std::vector<Case> cases = {
        {-7.5, brightest},
        {-2, bright('2')},
        {-1, bright('3')}, // exactly -1: the shape of m < 1
        {0.9, bright('3')},
        {1, with({{{0, 0}, '1'}, {{0, -1}, '1'}, {{0, 1}, '1'}, {{-1, 0}, '1'}, {{1, 0}, '1'}})},
        {3, with({{{0, 0}, '1'}, {{0, -1}, '2'}, {{0, 1}, '2'}, {{-1, 0}, '3'}, {{1, 0}, '3'}})},
        {4.5, with({{{0, 0}, '1'}, {{0, -1}, '3'}, {{0, 1}, '3'}})},
        {5.5, with({{{0, 0}, '1'}})},
        {6, with({{{0, 0}, '3'}})}, // exactly 6: one pixel in c3
        {9, with({{{0, 0}, '3'}})},
    };
    for (const Case& c : cases) EXPECT_EQ(MarkRows(c.m, k), c.rows) << c.m;
}

TEST(StarMarks, TheTwoFixedPatternsAndTheSchemes) {
    StarMarkScheme k{0x0000FF, 0x00FF00, 0xFF0000, 3};
    EXPECT_EQ(MarkRows(9, k), (std::vector<std::string>{"...11....", ".311113..", "31111113.",
                                                        "11111111.", "11111111.", "31111113.",
                                                        ".311113..", "...11....", "........."}));
    k.style = 2;
    EXPECT_EQ(MarkRows(-9, k), (std::vector<std::string>{".........", "...11....", ".311113..",
                                                         ".111111..", ".111111..", ".311113..",
                                                         "...11....", ".........", "........."}));
    const StarMarkScheme light = StarColorsLight(), dark = StarColorsDark();
    EXPECT_EQ(light.c1, 0xFFFFFFu);
    EXPECT_EQ(light.c2, 0xC0C0C0u);
    EXPECT_EQ(light.c3, 0x808080u);
    EXPECT_EQ(dark.c1, 0u);
    EXPECT_EQ(dark.c3, 0x808080u);
    // yellow keeps the style it is given
    const StarMarkScheme yellow = StarColorsYellow(k);
    EXPECT_EQ(yellow.c1, 0x00FFFFu);
    EXPECT_EQ(yellow.c3, 0xC0C0C0u);
    EXPECT_EQ(yellow.style, 2);
    EXPECT_EQ(StarColorsYellow().style, 0);
}

TEST(StarInfo, DistanceTexts) {
    struct Case {
        double pc;
        const char* text;
    };
    for (const Case& c :
         {Case{0, "0"}, Case{-3, "0"}, Case{2.637, "2,64"}, Case{9.994, "9,99"}, Case{10, "10,0"},
          Case{99.94, "99,9"}, Case{100, " 100"}, Case{1234.4, "1234"}})
        EXPECT_EQ(StarDistanceText(c.pc), c.text) << c.pc;
}

TEST(StarInfo, SpectralClassesSkipTheLuminosityPrefixes) {
    struct Case {
        const char* text;
        char letter;
        int index;
    };
    for (const Case& c :
         {Case{"A1V", 'A', 21}, Case{"gK0", 'K', 50}, Case{"dF6", 'F', 36}, Case{"sgG6", 'G', 46},
          Case{"cK2", 'K', 52}, Case{"sdM3", 'M', 63}, Case{"O9.5V", 'O', 9}, Case{"B", 'B', 10},
          Case{"C5", 'C', 5}, Case{"Kp", 'K', 50}, Case{"g:G9", 'G', 49}, Case{"", ' ', 0}}) {
        const SpectralClass k = ReadSpectralClass(c.text);
        EXPECT_EQ(k.letter, c.letter) << c.text;
        EXPECT_EQ(k.index, c.index) << c.text;
    }
    // No catalogue star reads as an O star because of a prefix.
    SkyState t;
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    int prefixed = 0;
    for (int i = 1; i <= c.StarCount; ++i) {
        const std::string& sp = c.YaleStars[i].Spectrum;
        if (sp.empty() || std::string("gdsc").find(sp[0]) == std::string::npos) continue;
        ++prefixed;
        EXPECT_NE(std::string("OBAFGKM").find(ReadSpectralClass(sp).letter), std::string::npos)
            << sp;
    }
    EXPECT_GT(prefixed, 200);
}

TEST(StarInfo, TemperatureNeverFallsBelowTwoThousandKelvin) {
    EXPECT_EQ(StarTemperature(0), 40000);
    EXPECT_NEAR(StarTemperature(40), -0.386 * 64000 + 50.8 * 1600 - 2260 * 40 + 40000, 1e-9);
    for (int x = 60; x <= 69; ++x) EXPECT_GE(StarTemperature(x), 2000) << x;
    EXPECT_EQ(StarTemperature(68), 2000); // the cubic gives -152 K
    // the Sun (G2, M = 4.73) comes out near one solar radius
    const StarModel sun = StarModelOf(4.73 - 5, 1000, "G2V");
    EXPECT_NEAR(sun.luminosity, 1, 1e-12);
    EXPECT_NEAR(sun.radius, std::pow(6000 / StarTemperature(42), 2), 1e-12);
}

TEST(StarInfo, DiscColoursFollowTheClass) {
    struct Case {
        const char* spectrum;
        ui::Colour colour;
    };
    // $00BBGGRR; c = 14.111111 x digit
    for (const Case& c :
         {Case{"A0", 0xFFFFFF}, Case{"B0", 0xFFFF80}, Case{"F9", 0x80FFFF}, Case{"G2", 0x63FFFF},
          Case{"K5", 0x00B8FF}, Case{"M0", 0x007FFF}, Case{"O5", 0xFFFF47}, Case{"gK0", 0x00FFFF}})
        EXPECT_EQ(StarDiscColour(c.spectrum), c.colour) << c.spectrum;
}

struct StarWindowFixture : ::testing::Test {
    SkyState t;
    StarCatalogue c;
    void SetUp() override {
        ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
        t.s.ChartYear = 2024;
        t.s.ChartMonth = 1;
        t.s.ChartDay = 1;
        t.s.ChartLat = 55.75 * kDegToRad;
        t.s.ChartLong = 37.62 * kDegToRad;
        ChartOptions opt;
        GeneralOptions gen;
        CalcAstroTime(t.s, TimeOptionsFor(opt, gen));
        ComputeStarPositions(t.s, c, nullptr);
    }
};

TEST_F(StarWindowFixture, StarFormTexts) {
    const int sirius = StarIndexOfBS(c, 2491);
    const StarFormTexts f = FillStarForm(t.s, c, sirius);
    EXPECT_EQ(f.Designation, Cp("9 альфа Большого Пса"));
    EXPECT_EQ(f.Name, Cp("Сириус"));
    EXPECT_EQ(f.BS, "2491");
    EXPECT_EQ(f.Magnitude, "-1,46");
    EXPECT_EQ(f.Distance, Cp("2,67 пк"));
    EXPECT_EQ(f.Spectrum, c.YaleStars[sirius].Spectrum);
    // the right ascension of date in hours, minutes and seconds
    EXPECT_NE(f.RA.find("h"), std::string::npos);
    // stars without a distance, and those from 100 pc on in whole parsecs
    int none = 0, far = 0;
    for (int i = 1; i <= c.StarCount && (none == 0 || far == 0); ++i) {
        if (c.YaleStars[i].Distance < 1 && none == 0) none = i;
        if (c.YaleStars[i].Distance >= 100000 && far == 0) far = i;
    }
    ASSERT_GT(none, 0);
    EXPECT_EQ(FillStarForm(t.s, c, none).Distance, "?");
    ASSERT_GT(far, 0);
    const std::string d = FillStarForm(t.s, c, far).Distance;
    EXPECT_EQ(d.find(','), std::string::npos) << d;
    EXPECT_TRUE(d.ends_with(Cp(" пк"))) << d;
    t.s.EnglishMode = true;
    EXPECT_TRUE(FillStarForm(t.s, c, far).Distance.ends_with(" ps"));
}

TEST_F(StarWindowFixture, DeepStarTextsOfTheCentreAndOfAnotherStar) {
    const int sirius = StarIndexOfBS(c, 2491), procyon = StarIndexOfBS(c, 2943);
    ASSERT_GT(procyon, 0);
    MatrixBank bank;
    SetRotationMatrixN(bank, -1);
    DeepStarView v;
    v.CosmosStar = sirius;
    v.Observer = StarXYZ(c, sirius);
    v.ScaleAu = 3;
    v.View = &bank.Mode(-1);
    const DeepStarTexts centre = FillDeepStarInfo(t.s, c, sirius, v);
    ASSERT_TRUE(centre.Physical);
    EXPECT_EQ(centre.CentreCaption, Cp("Излучение"));
    EXPECT_EQ(centre.ScreenX, "0");
    EXPECT_EQ(centre.ObserverDistance, Cp("3,00 ае")); // 3 AU is below 0.01 pc
    const DeepStarTexts other = FillDeepStarInfo(t.s, c, procyon, v);
    EXPECT_EQ(other.CentreCaption, Cp("от центр.звезды"));
    // Procyon from Sirius: the distance between their places
    const double apart = Length(StarXYZ(c, procyon) - StarXYZ(c, sirius));
    EXPECT_EQ(other.CentreValue, StarDistanceText(apart) + Cp(" пк"));
    EXPECT_NEAR(other.ObserverParsecs, apart, 1e-4); // the observer stands 3 AU from Sirius
    // a star without a distance leaves the physical part alone
    int none = 0;
    for (int i = 1; i <= c.StarCount && none == 0; ++i)
        if (c.YaleStars[i].Distance < 1) none = i;
    EXPECT_FALSE(FillDeepStarInfo(t.s, c, none, v).Physical);
}

TEST(StarInfo, StarsAreHeldByTheirBSNumber) {
    SkyState t;
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    const int before = StarIndexOfBS(c, 2491);
    std::vector<int> order(c.StarCount + 1);
    for (int i = 1; i <= c.StarCount; ++i) order[i] = c.StarCount + 1 - i;
    ReorderStars(c, order);
    const int after = StarIndexOfBS(c, 2491);
    EXPECT_NE(after, before);
    EXPECT_EQ(StarName(c, after), Cp("Сириус"));
    EXPECT_EQ(StarIndexOfBS(c, 0), 0);
    EXPECT_EQ(StarIndexOfBS(c, 99999), 0);
}

} // namespace
} // namespace qor::test
