// The object search of the cosmos view: which object a text names there, the angle of a pair
// of bodies, the stop rules of the aiming passes, and the aiming itself over the shipped data
// (checked against where the picture itself drew the object).
#include "CosmosTestSupport.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "sky/CosmosSearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>

namespace qor::test {
namespace {

// --- Names ------------------------------------------------------------------------------------

// A catalogue of two named stars, "Alpha" and the given second name.
StarCatalogue TwoStars(const std::string& second) {
    StarCatalogue c;
    c.StarCount = 2;
    c.YaleStars.resize(3);
    c.StarLon.assign(3, 0.0);
    c.StarLat.assign(3, 0.0);
    c.StarNames = std::string(1, char(5)) + "Alpha" + std::string(1, char(second.size())) + second;
    c.YaleStars[1].BS = 10;
    c.YaleStars[1].NameOffset = 1;
    c.YaleStars[2].BS = 20;
    c.YaleStars[2].NameOffset = 7;
    return c;
}

TEST(CosmosSearch, WhatATextNames) {
    CosmosFixture f;
    int vega = 0;
    for (int i = 1; i <= f.stars.StarCount; ++i)
        if (f.stars.YaleStars[i].BS == 7001) vega = i;
    ASSERT_GT(vega, 0);
    struct Case {
        const char* name; // UTF-8
        int mode;
        CosmosTargetKind kind;
        int index; // -1: not checked
    };
    const Case cases[] = {
        {"Юпитер", 1, CosmosTargetKind::Body, 6},
        {"юпитер", 1, CosmosTargetKind::None, 0},
        {"Юп", 4, CosmosTargetKind::Body, 6},      // the name's beginning
        {"Земля", 6, CosmosTargetKind::Body, 0},
        {"Луна", 1, CosmosTargetKind::None, 0},     // never by the body rule
        {"Ио", 6, CosmosTargetKind::Satellite, 5},  // Jupiter's fifth moon in the table
        {"Ио", 1, CosmosTargetKind::None, 0},       // moons only round their planet
        {"Титан", 7, CosmosTargetKind::Satellite, 15},
        {"*7001", 1, CosmosTargetKind::Star, vega},
        {"M 31", 1, CosmosTargetKind::Deep, 31},
        {"", 1, CosmosTargetKind::None, 0},
        {"Нет такого", 6, CosmosTargetKind::None, 0},
    };
    for (const Case& c : cases) {
        f.bodies.CosmosMode = c.mode;
        const CosmosTarget t = FindCosmosObject(f.s, f.bodies, f.stars, f.deep, Cp(c.name));
        EXPECT_EQ(t.kind, c.kind) << c.name << " in mode " << c.mode;
        if (c.kind != CosmosTargetKind::None) EXPECT_EQ(t.index, c.index) << c.name;
    }
    // Stars come before the bodies: "Ma" is Mars unless a star's name begins so.
    f.s.EnglishMode = true;
    f.bodies.CosmosMode = 1;
    const StarCatalogue without = TwoStars("Rigel"), with = TwoStars("Markab");
    CosmosTarget t = FindCosmosObject(f.s, f.bodies, without, f.deep, "Ma");
    EXPECT_EQ(t.kind, CosmosTargetKind::Body);
    EXPECT_EQ(t.index, 5);
    t = FindCosmosObject(f.s, f.bodies, with, f.deep, "Ma");
    EXPECT_EQ(t.kind, CosmosTargetKind::Star);
    EXPECT_EQ(t.index, 2);
    t = FindCosmosObject(f.s, f.bodies, with, f.deep, "Moon");
    EXPECT_EQ(t.kind, CosmosTargetKind::None);
    t = FindCosmosObject(f.s, f.bodies, with, f.deep, "*20");
    EXPECT_EQ(t.kind, CosmosTargetKind::Star);
    EXPECT_EQ(t.index, 2);
}

// --- The pair's angle -------------------------------------------------------------------------

// The angle at b between a and the Sun built from the two points in the ecliptic plane.
double AngleAtB(double lonA, double rA, double lonB, double rB) {
    const double ax = rA * std::cos(lonA), ay = rA * std::sin(lonA);
    const double bx = rB * std::cos(lonB), by = rB * std::sin(lonB);
    const double toSun = std::atan2(-by, -bx), toA = std::atan2(ay - by, ax - bx);
    return NormAngle(toSun - toA);
}

TEST(CosmosSearch, PairMidDirectionIsTheAngleAtTheSecondBody) {
    struct Case {
        double lonA, rA, lonB, rB; // degrees, AU
    };
    const Case cases[] = {{10, 5.2, 0, 1},      {200, 1.5, 30, 1},   {359, 9.5, 1, 0.72},
                          {90, 0.39, 270, 1.0}, {45, 1, 100, 1},     {300, 30, 120, 5.2},
                          {5, 0.72, 355, 19.2}, {181, 1.52, 0, 1.0}, {0.5, 2, 0, 1}};
    AstroDat s;
    for (const Case& c : cases) {
        s.Bodies[5][kBodyHelioLon] = c.lonA * kDegToRad;
        s.Bodies[5][kBodyHelioRadius] = c.rA;
        s.Bodies[0][kBodyHelioLon] = c.lonB * kDegToRad;
        s.Bodies[0][kBodyHelioRadius] = c.rB;
        const double want = AngleAtB(c.lonA * kDegToRad, c.rA, c.lonB * kDegToRad, c.rB);
        const double got = PairMidDirection(s, 5, 0);
        EXPECT_NEAR(NormAngleSigned(got - want), 0, 1e-9) << c.lonA << " " << c.lonB;
    }
}

// --- The passes -------------------------------------------------------------------------------

AimPoint At(double x, double y, bool front = true) {
    AimPoint a;
    a.valid = true;
    a.front = front;
    a.x = x;
    a.y = y;
    return a;
}

// Runs the passes over a list of points (the last one repeats).
AimOutcome Passes(std::deque<AimPoint> points, int& turns) {
    turns = 0;
    return AimInPasses(
        1000, 600,
        [&] {
            const AimPoint a = points.front();
            if (points.size() > 1) points.pop_front();
            return a;
        },
        [&](const AimPoint&) { ++turns; });
}

TEST(CosmosSearch, StopRulesOfThePasses) {
    int turns = 0;
    // in front within 20 pixels of the middle (500, 300) at once
    AimOutcome o = Passes({At(520, 280)}, turns);
    EXPECT_TRUE(o.found);
    EXPECT_EQ(o.passes, 1);
    EXPECT_EQ(turns, 0);
    // 21 pixels off is not aimed; nor is a point behind the eye
    o = Passes({At(521, 300), At(700, 300, false), At(500, 300)}, turns);
    EXPECT_TRUE(o.found);
    EXPECT_EQ(o.passes, 3);
    EXPECT_EQ(turns, 2);
    // swinging to and fro: the x of two passes before comes back; from the 7th pass on that
    // gives up (before it, the passes go on)
    o = Passes({At(100, 0), At(900, 0), At(100, 0), At(900, 0), At(100, 0), At(900, 0),
                At(100, 0)},
               turns);
    EXPECT_FALSE(o.found);
    EXPECT_EQ(o.passes, 7);
    EXPECT_EQ(turns, 6);
    // never aimed and never swinging: the 31st pass ends it as found, wherever the point lies
    std::deque<AimPoint> drift;
    for (int k = 1; k <= 40; ++k) drift.push_back(At(10.0 * k, 0));
    o = Passes(drift, turns);
    EXPECT_TRUE(o.found);
    EXPECT_EQ(o.passes, 31);
    EXPECT_EQ(turns, 30);
    EXPECT_DOUBLE_EQ(o.x, 310);
    // a target without a place gives up at once
    o = Passes({AimPoint{}}, turns);
    EXPECT_FALSE(o.found);
    EXPECT_EQ(turns, 0);
}

// --- Aiming over the shipped data -------------------------------------------------------------

// Where the picture drew the target (its own record), or false when it did not draw it.
bool DrawnAt(const CosmosFixture& f, CosmosTarget t, double& x, double& y) {
    const CosmosView& v = f.view;
    switch (t.kind) {
    case CosmosTargetKind::Star:
        for (int i = 1; i <= v.ScreenStars.Count; ++i)
            if (v.ScreenStars.StarIndex[i] == t.index) {
                x = v.ScreenStars.X[i];
                y = v.ScreenStars.Y[i];
                return true;
            }
        return false;
    case CosmosTargetKind::Deep:
        x = f.deep.DeepObjs[t.index].ScreenX;
        y = f.deep.DeepObjs[t.index].ScreenY;
        return x != 0 || y != 0;
    case CosmosTargetKind::Satellite:
        if (v.SatFrames[t.index].Magnitude == 999) return false;
        x = v.SatFrames[t.index].ScreenX;
        y = v.SatFrames[t.index].ScreenY;
        return true;
    case CosmosTargetKind::Body:
        for (int k = 1; k <= v.SatCount; ++k)
            if (v.SatFrames[k].Point == t.index && v.SatFrames[k].Magnitude != 999) {
                x = v.SatFrames[k].ScreenX;
                y = v.SatFrames[k].ScreenY;
                return true;
            }
        for (int k = 1; k <= kMaxCosmosMode; ++k)
            if (CosmosModePoint(k) == t.index && v.ModeBodies[k].shown) {
                x = v.ModeBodies[k].x;
                y = v.ModeBodies[k].y;
                return true;
            }
        return false;
    default:
        return false;
    }
}

TEST(CosmosSearch, AimsEveryKindIntoTheMiddle) {
    CosmosFixture f(1280, 720);
    struct Case {
        const char* name; // UTF-8
        int mode;
    };
    const Case cases[] = {
        {"Меркурий", 1}, {"Венера", 1}, {"Земля", 1},   {"Марс", 1},    {"Юпитер", 1},
        {"Сатурн", 1},   {"Уран", 1},   {"Нептун", 1},  {"Плутон", 1},  {"Солнце", 6},
        {"Марс", 4},     {"Ио", 6},     {"Европа", 6},  {"Титан", 7},   {"Тритон", 9},
        {"*7001", 1},    {"Антарес", 4}, {"Сириус", 6}, {"M 31", 1},    {"M 42", 7},
    };
    for (const Case& c : cases) {
        f.bodies.CosmosMode = c.mode;
        LoadCosmosSettings(f.bodies, DefaultOrbitMemo()); // each search from the usual view
        const CosmosTarget t = FindCosmosObject(f.s, f.bodies, f.stars, f.deep, Cp(c.name));
        ASSERT_NE(t.kind, CosmosTargetKind::None) << c.name;
        int redraws = 0;
        const AimOutcome aim = AimCosmosAt(f.s, f.view, f.bodies, f.stars, f.deep, t, [&] {
            ++redraws;
            f.Draw(c.mode);
        });
        ASSERT_TRUE(aim.found) << c.name;
        EXPECT_LE(aim.passes, 3) << c.name; // the turn is solved, not groped for
        EXPECT_NEAR(aim.x, 640, 20) << c.name;
        EXPECT_NEAR(aim.y, 360, 20) << c.name;
        double x = 0, y = 0;
        ASSERT_TRUE(DrawnAt(f, t, x, y)) << c.name << ": not drawn after the aiming";
        EXPECT_NEAR(x, 640, 20) << c.name;
        EXPECT_NEAR(y, 360, 20) << c.name;
        EXPECT_EQ(redraws, aim.passes + 1) << c.name;
    }
}

} // namespace
} // namespace qor::test
