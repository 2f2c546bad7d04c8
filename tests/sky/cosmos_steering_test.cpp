// Steering the cosmos view on a synthetic picture: the hit test's rules in their order, the
// click's outcome for every kind of code, the keys and the zoom's limits, the view commands of
// the command link, and the space ship's hidden faces against back-face culling.
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "sky/CosmosSteering.h"
#include "sky/DeepSky.h"
#include "sky/SpaceShip.h"
#include "sky/StarCatalogue.h"
#include "support/QtApp.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qor::test {
namespace {

// A picture of mode 5 (Mars) at 800 x 600 with two moons, the Sun and Jupiter drawn as marks,
// a deep-sky object and stars (one at catalogue index 9050).
struct Scene {
    CosmosView v;
    CosmosBodies b;
    StarCatalogue stars;
    DeepCatalogue deep;
    Scene() {
        b.CosmosMode = 5;
        b.Bank.ScreenCX = 395;
        b.Bank.ScreenCY = 300;
        v.DrawWidth = 800;
        v.DrawHeight = 600;
        v.PixelsPerAu = 800;
        v.CentreRadius = 10;
        v.CentreMagnitude = -2;
        v.SatCount = 2;
        SatFrame& phobos = v.SatFrames[1];
        phobos.ScreenX = 450;
        phobos.ScreenY = 300;
        phobos.OrbitRadiusPx = 55;
        phobos.Magnitude = 11;
        phobos.DiscRadiusPx = 1;
        SatFrame& deimos = v.SatFrames[2];
        deimos.ScreenX = 300;
        deimos.ScreenY = 300;
        deimos.OrbitRadiusPx = 95;
        deimos.Magnitude = 12;
        deimos.DiscRadiusPx = 6;
        v.ModeBodies[1] = {true, 100, 100, -5, 1.5, -26};
        v.ModeBodies[6] = {true, 1500, 120, -3, 4.2, -2}; // beyond x = 1000 on a wide screen
        deep.DeepCount = 1;
        deep.DeepObjs.resize(2);
        deep.DeepObjs[1].ScreenX = 200;
        deep.DeepObjs[1].ScreenY = 500;
        deep.DeepObjs[1].Mag = 8;
        deep.DeepObjs[1].Code = "M31";
        stars.StarCount = 9060;
        stars.YaleStars.resize(9061);
        for (int i = 1; i <= 9060; ++i) {
            stars.YaleStars[i].BS = static_cast<uint16_t>(i);
            stars.YaleStars[i].Mag = 6;
            stars.YaleStars[i].Distance = 10000;
        }
        AddStar(9050, 600, 400, 4, false);
    }
    void AddStar(int index, int x, int y, float mag, bool named) {
        ScreenStarTable& t = v.ScreenStars;
        if (t.X.empty())
            t.X.resize(kMaxStars + 1), t.Y.resize(kMaxStars + 1), t.StarIndex.resize(kMaxStars + 1);
        ++t.Count;
        t.X[t.Count] = x;
        t.Y[t.Count] = y;
        t.StarIndex[t.Count] = index;
        stars.YaleStars[index].Mag = mag;
        stars.YaleStars[index].NameOffset = named ? 1 : 0;
    }
    CosmosPick At(int x, int y) { return CosmosHitTest(v, b, stars, deep, x, y); }
};

TEST(CosmosHitTest, EachRuleWithItsCode) {
    Scene sc;
    struct Case {
        int x, y;
        PickKind kind;
        int code;
    };
    const Case cases[] = {
        {451, 301, PickKind::Satellite, 1},  // within the least radius of 15 px²
        {304, 303, PickKind::Satellite, 2},  // within its disc of 6 px
        {395, 300, PickKind::Centre, 0},     // the centre's disc
        {403, 306, PickKind::Centre, 0},     // 10 px radius
        {101, 102, PickKind::ModeBody, 101}, // the Sun's mark
        {1502, 120, PickKind::ModeBody, 106},    {202, 501, PickKind::Deep, 100001},
        {601, 401, PickKind::Star, 1000 + 9050}, // a star above index 9000 is a star
        {700, 100, PickKind::None, 0},
    };
    for (const Case& c : cases) {
        const CosmosPick p = sc.At(c.x, c.y);
        EXPECT_EQ(p.kind, c.kind) << c.x << "," << c.y;
        EXPECT_EQ(p.code, c.code) << c.x << "," << c.y;
    }
    EXPECT_TRUE(IsStarPick(1000 + 9050));
    EXPECT_TRUE(IsStarPick(1000 + 9110));
    EXPECT_FALSE(IsStarPick(1000));
    // A moon that is not drawn is not found; nor is a mark whose body was not kept.
    sc.v.SatFrames[1].Magnitude = 999;
    EXPECT_EQ(sc.At(451, 301).kind, PickKind::None);
    sc.v.ModeBodies[1].shown = false;
    EXPECT_EQ(sc.At(101, 102).kind, PickKind::None);
}

TEST(CosmosHitTest, RulesInTheirOrder) {
    Scene sc;
    // a moon on the centre's disc wins over the centre
    sc.v.SatFrames[1].ScreenX = 398;
    EXPECT_EQ(sc.At(397, 300).code, 1);
    // a fainter centre than nothing: the disc is found; a deep-sky object on it is not
    sc.v.SatFrames[1].ScreenX = 450;
    sc.deep.DeepObjs[1].ScreenX = 396;
    sc.deep.DeepObjs[1].ScreenY = 300;
    EXPECT_EQ(sc.At(396, 300).code, 0);
    // the Sun's view keeps no other centres: its mark rule is skipped
    sc.b.CosmosMode = 1;
    EXPECT_EQ(sc.At(101, 102).kind, PickKind::None);
}

TEST(CosmosHitTest, TheBrighterOrTheNamedStar) {
    {
        Scene sc; // a bright nameless star, then a fainter named one: the named one
        sc.AddStar(10, 500, 200, 1, false);
        sc.AddStar(11, 501, 200, 3, true);
        EXPECT_EQ(sc.At(500, 201).code, 1011);
    }
    {
        Scene sc; // a named one, then a brighter nameless one: the brighter
        sc.AddStar(11, 501, 200, 3, true);
        sc.AddStar(10, 500, 200, 1, false);
        EXPECT_EQ(sc.At(500, 201).code, 1010);
    }
    {
        Scene sc; // two named ones: the brighter
        sc.AddStar(10, 500, 200, 4, true);
        sc.AddStar(11, 501, 200, 2, true);
        sc.AddStar(12, 502, 200, 3, true);
        EXPECT_EQ(sc.At(500, 201).code, 1011);
    }
}

TEST(CosmosHitTest, TheSunAndTheCentreStarOfTheStarView) {
    Scene sc;
    sc.b.CosmosMode = -1;
    sc.b.CosmosStarBS = 77;
    sc.v.SunShown = true;
    sc.v.SunScreen = {-100, 50, -20}; // on the screen at (495, 350)
    EXPECT_EQ(sc.At(496, 351).code, 1000);
    EXPECT_EQ(sc.At(395, 300).code, 1077);
    EXPECT_EQ(sc.At(395, 300).magnitude, 6);
    // the satellites and marks of the solar system are not searched
    EXPECT_EQ(sc.At(451, 301).kind, PickKind::None);
}

TEST(CosmosClick, OutcomeOfEveryKindOfCode) {
    SkyState t;
    CosmosBodies b;
    LoadPlanetsMdb(t.s, b);
    StarCatalogue stars;
    stars.StarCount = 3;
    stars.YaleStars.resize(4);
    for (int i = 1; i <= 3; ++i) stars.YaleStars[i].BS = static_cast<uint16_t>(100 + i);
    stars.YaleStars[1].Distance = 2640;
    stars.YaleStars[2].Distance = 0; // no distance
    stars.YaleStars[3].Distance = 1;
    struct Case {
        int mode, code;
        bool handled;
        int newMode, star, deep;
        bool noDistance;
        const char* sound;
    };
    const Case cases[] = {
        {1, 0, false, 1000, 0, 0, false, ""},
        {1, 4, true, 5, 0, 0, false, "Short.wav"},   // Mars becomes the centre
        {1, 21, true, 22, 0, 0, false, "Short.wav"}, // the twelfth extra body
        {5, 1, false, 1000, 0, 0, false, ""},        // a moon: nothing
        {5, 26, false, 1000, 0, 0, false, ""},
        {5, 100, true, 0, 0, 0, false, "Short.wav"},
        {5, 101, true, 1, 0, 0, false, "Short.wav"},
        {5, 110, true, 10, 0, 0, false, "Short.wav"},
        {5, 115, true, 1, 0, 0, false, "Short.wav"}, // a free body's mark: back to the Sun
        {5, 1001, true, -1, 1, 0, false, "Long.wav"},
        {5, 1002, false, 1000, 0, 0, true, ""}, // no distance: message 72 only
        {5, 1003, true, -1, 3, 0, false, "Long.wav"},
        {5, 1000, true, 1, 0, 0, false, "Short.wav"}, // the Sun of the star view
        {5, 100001, true, 1000, 0, 1, false, "Long.wav"},
        {5, 27, true, 1, 0, 0, false, "Short.wav"},
        {5, 99, true, 1, 0, 0, false, "Short.wav"},
        {5, -5, true, 1, 0, 0, false, "Short.wav"},
        {5, -1, true, 0, 0, 0, false, "Short.wav"},
    };
    for (const Case& c : cases) {
        b.CosmosMode = c.mode;
        b.CosmosStarBS = 0;
        const ClickOutcome o = CosmosClickOutcome(b, stars, c.code);
        EXPECT_EQ(o.handled, c.handled) << c.code;
        EXPECT_EQ(o.newMode, c.newMode) << c.code;
        EXPECT_EQ(o.centreOnStar, c.star) << c.code;
        EXPECT_EQ(o.deepPicture, c.deep) << c.code;
        EXPECT_EQ(o.noDistance, c.noDistance) << c.code;
        EXPECT_EQ(o.sound, c.sound) << c.code;
    }
    // the star already centred: nothing
    b.CosmosMode = -1;
    b.CosmosStarBS = 101;
    EXPECT_FALSE(CosmosClickOutcome(b, stars, 1001).handled);
    // a free body named as the ship
    b.CosmosMode = 1;
    b.PlanetsMdb[CosmosModeSlot(12)].Name = Cp("Корабль");
    EXPECT_EQ(CosmosClickOutcome(b, stars, 11).sound, "Ship.wav");
    b.PlanetsMdb[CosmosModeSlot(12)].Name = "SkyShip ";
    EXPECT_EQ(CosmosClickOutcome(b, stars, 11).sound, "Ship.wav");
}

TEST(CosmosKeys, AnglesTurnAndReset) {
    CosmosBodies b;
    CosmosView v;
    b.CosmosMode = 5;
    b.ModeAngleX(5) = 13; // beyond 4π: reset to 0.001 first
    CosmosKey(b, v, 'x', 1, false);
    EXPECT_NEAR(b.ModeAngleX(5), 0.001 + 0.1 * kDegToRad, 1e-15);
    b.ModeAngleZ(5) = 0;
    CosmosKey(b, v, 'Z', 10, false); // -1°, brought into 0..2π
    EXPECT_NEAR(b.ModeAngleZ(5), 2 * kPi - kDegToRad, 1e-12);
    CosmosKey(b, v, 'z', 0, false); // a step of 0 counts as 1
    EXPECT_NEAR(b.ModeAngleZ(5), 2 * kPi - 0.9 * kDegToRad, 1e-12);
    // the ship's view and every view
    b.CosmosMode = 12;
    v.DrawWidth = 800;
    v.DrawHeight = 600;
    v.CentreRadius = 50;
    b.CosmosScale(12) = 2e-8;
    CosmosZoom(b, v, 0.1, true);
    EXPECT_NEAR(b.CosmosScale(12), 1.3368983957219251e-08, 1e-20); // 2 km
    b.CosmosScale(12) = 900 * kCosmosAuPerParsec;
    CosmosZoom(b, v, 10, false);
    EXPECT_DOUBLE_EQ(b.CosmosScale(12), 1000 * kCosmosAuPerParsec);
}

TEST(CosmosKeys, TheCentreDiscNeverGrowsWiderThanTheScreen) {
    CosmosBodies b;
    CosmosView v;
    v.DrawWidth = 800;
    v.DrawHeight = 600;
    b.CosmosMode = 6;
    // Zooming in step by step: the disc's radius (inversely the scale) stays under the width.
    const double radiusAu = 71492 / kCosmosKmPerAu;
    b.CosmosScale(6) = 0.1;
    for (int i = 0; i < 60; ++i) {
        v.CentreRadius = static_cast<int>(std::lround(radiusAu * v.DrawWidth / b.CosmosScale(6)));
        CosmosZoom(b, v, 0.5, false);
        const double radius = radiusAu * v.DrawWidth / b.CosmosScale(6);
        EXPECT_LT(radius, v.DrawWidth) << i;
    }
    // A disc already larger than the picture is first brought to half its height.
    b.CosmosScale(6) = radiusAu * v.DrawWidth / 1500; // a 1500 px radius
    v.CentreRadius = 1500;
    CosmosZoom(b, v, 0, false);
    EXPECT_NEAR(radiusAu * v.DrawWidth / b.CosmosScale(6), 300, 1e-6);
}

TEST(CosmosLinkCommands, SetOrbitPosAndRunOrbitPos) {
    CosmosBodies b;
    std::string problem;
    ASSERT_TRUE(RestoreCosmosView(b, "6;0:05;1:5;-0,25", problem));
    EXPECT_EQ(b.CosmosMode, 6);
    EXPECT_DOUBLE_EQ(b.CosmosScale(6), 0.05);
    EXPECT_DOUBLE_EQ(b.ModeAngleX(6), 1.5);
    EXPECT_DOUBLE_EQ(b.ModeAngleZ(6), -0.25);
    for (const char* bad : {"23;1;0;0", "-2;1;0;0", "99"}) {
        EXPECT_FALSE(RestoreCosmosView(b, bad, problem)) << bad;
        EXPECT_EQ(b.CosmosMode, 6);
        EXPECT_DOUBLE_EQ(b.CosmosScale(6), 0.05);
    }
    EXPECT_TRUE(RestoreCosmosView(b, "x;1;0;0", problem)); // no number: mode 0
    EXPECT_EQ(b.CosmosMode, 0);

    OrbitRun run;
    ASSERT_TRUE(ParseOrbitRun("D;-0:01;3", run, problem));
    EXPECT_EQ(run.op, 'D');
    EXPECT_DOUBLE_EQ(run.amount, -0.01);
    EXPECT_EQ(run.count, 3);
    for (const char* bad : {"D;1;10001", "D;1;-1"}) EXPECT_FALSE(ParseOrbitRun(bad, run, problem));
    ASSERT_TRUE(ParseOrbitRun("Q;0.1;0", run, problem));
    EXPECT_EQ(run.count, 0);
    // "D" stops at the mode's floor
    b.CosmosMode = 4;
    b.CosmosScale(4) = 0.0015;
    ParseOrbitRun("D;-0.001;5", run, problem);
    for (int i = 0; i < run.count; ++i) OrbitRunStep(b, run);
    EXPECT_DOUBLE_EQ(b.CosmosScale(4), 0.001);
    b.CosmosMode = 15;
    b.CosmosScale(15) = 1e-7;
    OrbitRunStep(b, run);
    EXPECT_DOUBLE_EQ(b.CosmosScale(15), 1e-8);
    ParseOrbitRun("V;0.5;1", run, problem);
    OrbitRunStep(b, run);
    EXPECT_DOUBLE_EQ(b.ModeAngleZ(15), 0.5);
}

// --- The space ship -------------------------------------------------------------------------

struct ShipView {
    MatrixBank bank;
    BodyRec body{};
    QImage image{400, 400, QImage::Format_RGB32};
    ShipView() {
        QtApp();
        bank.ScreenCX = 200;
        bank.ScreenCY = 200;
    }
    std::array<bool, 6> Draw(int mode) {
        image.fill(Qt::black);
        ui::Canvas cv(image);
        // 100 px for 20 units: the ship spans 350 px
        return DrawShipBox(cv, bank, mode, body, 1.0, 100 / (0.5 / 149600000), 800);
    }
    // The faces that face the eye (at (0, 0, 800) of the view), computed from the model.
    std::array<bool, 6> FacingTheEye(int mode, double& leastCosine) {
        bank.OrbitPeri = body[6];
        bank.OrbitNode = body[3];
        bank.OrbitIncl = body[0];
        SetViewMatrix(bank);
        std::array<bool, 6> front{};
        leastCosine = 1;
        for (int f = 0; f < 6; ++f) {
            double c[3] = {0, 0, 0};
            for (int v : ShipFaces()[f].corners)
                for (int a = 0; a < 3; ++a) c[a] += ShipCorners()[v][a] * 5 / 4;
            // the outward normal of the box's face: the axis of its constant coordinate
            double n[3] = {0, 0, 0};
            for (int a = 0; a < 3; ++a)
                if (std::abs(std::abs(c[a]) / 5 - std::abs(ShipCorners()[0][a])) < 1e-9)
                    n[a] = c[a] > 0 ? 1 : -1;
            ApplyMatrix3(bank.OrbitMatrix, c[0], c[1], c[2]);
            ApplyRotationN(bank, mode, c[0], c[1], c[2]);
            ApplyMatrix3(bank.OrbitMatrix, n[0], n[1], n[2]);
            ApplyRotationN(bank, mode, n[0], n[1], n[2]);
            const double e[3] = {-c[0], -c[1], 800 - c[2]};
            const double len = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
            const double cosine = (e[0] * n[0] + e[1] * n[1] + e[2] * n[2]) / len;
            front[f] = cosine > 0;
            leastCosine = std::min(leastCosine, std::abs(cosine));
        }
        return front;
    }
};

TEST(SpaceShip, DrawnFacesAreThoseFacingTheEye) {
    ShipView sv;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0, 2 * kPi);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        sv.body[6] = u(rng);
        sv.body[3] = u(rng);
        sv.body[0] = u(rng) / 4;
        sv.bank.ModeAngleX(12) = u(rng);
        sv.bank.ModeAngleZ(12) = u(rng);
        SetRotationMatrixN(sv.bank, 12);
        double least;
        const std::array<bool, 6> want = sv.FacingTheEye(12, least);
        if (least < 0.1) continue; // nearly edge-on: the rounded corners may decide either way
        EXPECT_EQ(sv.Draw(12), want) << trial;
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

TEST(SpaceShip, SeenAlongItsHeightOnlyTheNearFaceIsDrawn) {
    ShipView sv;
    // the model's z along the view's z: the orbit in the ecliptic, the view from the pole
    SetRotationMatrixN(sv.bank, 12);
    const std::array<bool, 6> drawn = sv.Draw(12);
    EXPECT_EQ(drawn, (std::array<bool, 6>{false, true, false, false, false, false}));
    // the top face is drawn in its fill and the yellow end is not
    EXPECT_EQ(ui::FromQColor(QColor::fromRgb(sv.image.pixel(200, 200))), 0xC0C0C0u);
    int yellow = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) yellow += sv.image.pixel(x, y) == qRgb(255, 255, 0);
    EXPECT_EQ(yellow, 0);
}

} // namespace
} // namespace qor::test
