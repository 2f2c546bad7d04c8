// The natal wheel drawn offscreen on a bitmap of a fixed size, with the shipped symbol font and
// the graph font: hot spots against the angle rule, pixels of the belt and the chords, label
// placement, the planet table's star column and the orbit marks.
#include "KartTestSupport.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "sky/BodyPoles.h"
#include "sky/StarCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace qor::chart {
namespace {

using test::KartFixture;

QPoint Expected(const KartFixture& f, double r, double lon) {
    // a = π + λ − S counter-clockwise; the point (cx + r cos a, cy − r sin a)
    const double a = kPi + lon - f.wheel.KartStartAngle;
    return QPoint(f.wheel.KartCentreX + static_cast<int>(RoundEven(r * std::cos(a))),
                  f.wheel.KartCentreY - static_cast<int>(RoundEven(r * std::sin(a))));
}

std::set<std::string> Keys(const KartFixture& f) {
    std::set<std::string> keys;
    for (const auto& [k, v] : f.SpotsByCode()) keys.insert(k);
    return keys;
}

bool IsAspectCode(const std::string& k) {
    return k.size() == 6 && k.find_first_not_of("0123456789") == std::string::npos;
}

TEST(KartSpots, EveryObjectSitsWhereTheAngleRulePutsIt) {
    KartFixture f;
    f.Draw();
    ASSERT_EQ(f.wheel.KartReady, 1);
    EXPECT_DOUBLE_EQ(f.wheel.KartStartAngle, f.s.PlanetLon[kAscendantPoint]);
    const auto spots = f.SpotsByCode();
    const TKart& k = f.wheel.KartWheel;

    // bodies: every label at the start radius on its own ray (none are crowded)
    for (int i = 1; i <= 14; ++i) {
        const std::string code = "p" + IntToStrZ(i, 2) + "0";
        ASSERT_EQ(spots.count(code), 1u) << code;
        const QPoint e = Expected(f, k.Inner.StartRadius, f.s.PlanetLon[i]);
        EXPECT_EQ(spots.find(code)->second, std::make_pair(e.x(), e.y())) << code;
    }
    // signs: the middle of each 30° arc, half-way across the belt
    for (int sign = 1; sign <= 12; ++sign) {
        const std::string code = IntToStrZ(sign, 2);
        ASSERT_EQ(spots.count(code), 1u) << code;
        const QPoint e = Expected(f, (k.R2 + k.R3) / 2.0, (30.0 * sign - 15) * kDegToRad);
        const auto got = spots.find(code)->second;
        EXPECT_LE(std::abs(got.first - e.x()), 1) << code;
        EXPECT_LE(std::abs(got.second - e.y()), 1) << code;
    }
    // cusps: the axes 6 px beyond R4 + 15, the other cusps at R4 + 15
    for (int h = 1; h <= 12; ++h) {
        const std::string code = IntToStrZ(h, 2) + "0";
        ASSERT_EQ(spots.count(code), 1u) << code;
        const bool axis = h == 1 || h == 4 || h == 7 || h == 10;
        const QPoint e = Expected(f, k.R4 + 15 + (axis ? 6 : 0), f.s.PlanetLon[26 + h]);
        const auto got = spots.find(code)->second;
        EXPECT_LE(std::abs(got.first - e.x()), 1) << code;
        EXPECT_LE(std::abs(got.second - e.y()), 1) << code;
    }
    // aspects: one spot per major aspect of the matrix, at the chord's middle
    int aspects = 0;
    const int r = k.Inner.TickRadius - 1;
    for (int i = 1; i <= 14; ++i)
        for (int j = i + 1; j <= 14; ++j) {
            const int a = f.matrix.AspMatrix[i][j];
            if (a < 1 || a > 20 || f.table.Asp[a].AspKind != 'M' || (i == 11 && j == 12)) continue;
            ++aspects;
            const std::string code = IntToStrZ(i, 2) + IntToStrZ(a, 2) + IntToStrZ(j, 2);
            ASSERT_EQ(spots.count(code), 1u) << code;
            const QPoint p1 = Expected(f, r, f.s.PlanetLon[i]);
            const QPoint p2 = Expected(f, r, f.s.PlanetLon[j]);
            const auto got = spots.find(code)->second;
            EXPECT_LE(std::abs(2 * got.first - p1.x() - p2.x()), 3) << code;
            EXPECT_LE(std::abs(2 * got.second - p1.y() - p2.y()), 3) << code;
        }
    EXPECT_GT(aspects, 5);
    EXPECT_EQ(f.wheel.KartSpots.size(), 14u + 12u + 12u + aspects);
    // the exact Sun–Moon trine is in the matrix
    EXPECT_EQ(f.matrix.AspMatrix[1][2], 10);
}

TEST(KartSpots, SettingsBoxesAddAndRemoveExactlyTheirSpots) {
    struct Case {
        const char* name;
        void (*change)(KartOptions&);
        // which keys appear (+) and disappear (−)
        bool (*added)(const std::string&);
        bool (*removed)(const std::string&);
    };
    auto none = [](const std::string&) { return false; };
    const Case cases[] = {
        {"InHsCheck off", [](KartOptions& o) { o.InHsCheck = false; }, none,
         [](const std::string& k) { return k.size() == 3 && k[2] == '0' && k[0] != 'p'; }},
        {"AspSimCheck off", [](KartOptions& o) { o.AspSimCheck = false; }, none, IsAspectCode},
        {"Mars hidden", [](KartOptions& o) { o.Existing[4] = kFlagOff; }, none,
         [](const std::string& k) {
             return k == "p050" ||
                    (IsAspectCode(k) && (k.substr(0, 2) == "05" || k.substr(4) == "05"));
         }},
        {"Mars not aspecting", [](KartOptions& o) { o.Aspecting[4] = kFlagOff; }, none,
         [](const std::string& k) {
             return IsAspectCode(k) && (k.substr(0, 2) == "05" || k.substr(4) == "05");
         }},
        {"MinorCheck on", [](KartOptions& o) { o.MinorCheck = true; }, IsAspectCode, none},
        {"aspects to and from cusps",
         [](KartOptions& o) {
             o.FromHsCheck = true;
             o.ToHsCheck = true;
         },
         [](const std::string& k) { return IsAspectCode(k) && k.substr(4) >= "27"; }, none},
        {"FromPlnCheck off", [](KartOptions& o) { o.FromPlnCheck = false; }, none, IsAspectCode},
        // with no house set drawn, cusps take part in no aspect whatever the boxes say
        {"cusp aspects without houses",
         [](KartOptions& o) {
             o.InHsCheck = false;
             o.FromHsCheck = true;
             o.ToHsCheck = true;
         },
         none, [](const std::string& k) { return k.size() == 3 && k[2] == '0' && k[0] != 'p'; }},
        {"WheelBox off", [](KartOptions& o) { o.WheelBox = false; }, none,
         [](const std::string&) { return true; }},
    };
    KartFixture base;
    base.Draw();
    const std::set<std::string> before = Keys(base);
    for (const Case& c : cases) {
        KartFixture f;
        c.change(f.o);
        f.Draw();
        const std::set<std::string> after = Keys(f);
        int added = 0;
        for (const std::string& k : after)
            if (!before.count(k)) {
                EXPECT_TRUE(c.added(k)) << c.name << ": " << k;
                ++added;
            }
        int removed = 0;
        for (const std::string& k : before) {
            EXPECT_EQ(!after.count(k), c.removed(k)) << c.name << ": " << k;
            removed += !after.count(k);
        }
        EXPECT_GT(added + removed, 0) << c.name;
    }
}

TEST(KartSpots, DignityMarksAddThreeHintsPerRow) {
    KartFixture f;
    f.o.AfetBox = true;
    f.Draw();
    const auto spots = f.SpotsByCode();
    // the Sun at 15° Aries: exaltation, cardinal cross, fire
    EXPECT_EQ(spots.count("#17"), 1u);
    EXPECT_EQ(spots.count("#19") + spots.count("#20") + spots.count("#21"), 14u);
    EXPECT_EQ(spots.count("#22") + spots.count("#23") + spots.count("#24") + spots.count("#25"),
              14u);
}

TEST(KartPixels, ColouredBeltHasTheElementColoursFromNineOClockDownward) {
    KartFixture f;
    f.o.Background = WheelBackground::Colour;
    f.o.Start = WheelStart::Degree; // 0° Aries at the start point
    f.Draw();
    const TKart& k = f.wheel.KartWheel;
    const ChartColors& c = f.o.Colors;
    const Colour element[4] = {c.Fire, c.Earth, c.Air, c.Water};
    const double r = (k.R2 + k.R3) / 2.0;
    for (int sign = 1; sign <= 12; ++sign) {
        // beside the glyph, still well inside the sign
        const QPoint p = Expected(f, r, (30.0 * (sign - 1) + 5) * kDegToRad);
        EXPECT_EQ(f.PixelAt(p.x(), p.y()), element[(sign - 1) % 4]) << sign;
    }
    // Aries starts at 9 o'clock and runs downward; Pisces lies just above
    const int cx = f.wheel.KartCentreX, cy = f.wheel.KartCentreY;
    const int x = cx - static_cast<int>(r);
    EXPECT_EQ(f.PixelAt(x, cy + 8), c.Fire);
    EXPECT_EQ(f.PixelAt(x, cy - 8), c.Water);
    // the house rings and the aspect disc
    EXPECT_EQ(f.PixelAt(cx - (k.R3 + k.R4) / 2, cy - 40), c.HouseBelt);
    EXPECT_EQ(f.PixelAt(cx + 5, cy + 5), c.KartBck);
}

TEST(KartPixels, ClockwiseWheelStartsAtThreeOClock) {
    KartFixture f;
    f.o.Background = WheelBackground::Colour;
    f.o.Start = WheelStart::Degree;
    f.o.Clockwise = true;
    f.Draw();
    const TKart& k = f.wheel.KartWheel;
    const int x = f.wheel.KartCentreX + (k.R2 + k.R3) / 2;
    // a = S − λ: Aries runs from 3 o'clock downward (clockwise)
    EXPECT_EQ(f.PixelAt(x, f.wheel.KartCentreY + 8), f.o.Colors.Fire);
    EXPECT_EQ(f.PixelAt(x, f.wheel.KartCentreY - 8), f.o.Colors.Water);
}

TEST(KartPixels, AspectChordMiddleHasTheAspectColour) {
    KartFixture f;
    f.o.AspSimCheck = false; // no glyph over the middle
    f.Draw();
    const int r = f.wheel.KartWheel.Inner.TickRadius - 1;
    const QPoint p1 = Expected(f, r, f.s.PlanetLon[1]);
    const QPoint p2 = Expected(f, r, f.s.PlanetLon[2]);
    const int mx = (p1.x() + p2.x()) / 2, my = (p1.y() + p2.y()) / 2;
    const Colour trine = static_cast<Colour>(f.table.Asp[10].AspColorLight);
    bool found = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) found |= f.PixelAt(mx + dx, my + dy) == trine;
    EXPECT_TRUE(found) << "trine colour at " << mx << "," << my;
    // on a black background the first colour of the definition
    KartFixture d;
    d.o.AspSimCheck = false;
    d.o.Background = WheelBackground::Black;
    d.Draw();
    const Colour dark = static_cast<Colour>(d.table.Asp[10].AspColorDark);
    found = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) found |= d.PixelAt(mx + dx, my + dy) == dark;
    EXPECT_TRUE(found);
}

// --- Label placement -------------------------------------------------------------------------

void ExpectClearAndOnRay(const TRing& ring, const std::vector<int>& order,
                         const std::array<double, 37>& angles) {
    for (std::size_t n = 0; n < order.size(); ++n) {
        const RingEntry& e = ring.Entries[order[n]];
        EXPECT_EQ(e.X, ring.CentreX +
                           static_cast<int>(RoundEven(e.Radius * std::cos(angles[order[n]]))));
        EXPECT_EQ(e.Y, ring.CentreY -
                           static_cast<int>(RoundEven(e.Radius * std::sin(angles[order[n]]))));
        EXPECT_GE(e.Radius, ring.StartRadius);
        for (std::size_t m = 0; m < n; ++m) {
            const RingEntry& o = ring.Entries[order[m]];
            EXPECT_TRUE(std::abs(e.X - o.X) >= 12 || std::abs(e.Y - o.Y) >= 12)
                << order[n] << " overlaps " << order[m];
        }
    }
}

TEST(KartLabels, TwoAtOneLongitudeAndFiveWithinThreeDegreesDoNotOverlap) {
    TRing ring;
    InitRing(ring, 200, 180, 12, 400, 400, 0);
    std::array<double, 37> angles{};
    angles[1] = angles[2] = 0.7;
    PlaceLabels(ring, angles, {1, 2}, [](int) { return true; });
    EXPECT_EQ(ring.Entries[1].Radius, 200);
    ExpectClearAndOnRay(ring, {1, 2}, angles);
    // the first radius where the second centre is 12 px away in x or y
    const int r2 = ring.Entries[2].Radius;
    const auto off = [&](int r) {
        return std::max(std::abs(RoundEven(r * std::cos(0.7)) - RoundEven(200 * std::cos(0.7))),
                        std::abs(RoundEven(r * std::sin(0.7)) - RoundEven(200 * std::sin(0.7))));
    };
    EXPECT_GE(off(r2), 12);
    EXPECT_LT(off(r2 - 1), 12);

    TRing five;
    InitRing(five, 150, 130, 12, 300, 300, 0);
    std::array<double, 37> a5{};
    const std::vector<int> order = {1, 3, 4, 7, 9};
    for (std::size_t n = 0; n < order.size(); ++n) a5[order[n]] = 2.0 + n * 0.75 * kDegToRad;
    PlaceLabels(five, a5, order, [](int) { return true; });
    EXPECT_EQ(five.Entries[1].Radius, 150);
    ExpectClearAndOnRay(five, order, a5);
    for (std::size_t n = 1; n < order.size(); ++n)
        EXPECT_GT(five.Entries[order[n]].Radius, five.Entries[order[n - 1]].Radius);
}

TEST(KartLabels, NamesWithoutGlyphsAreNoObstacles) {
    TRing ring;
    InitRing(ring, 200, 180, 12, 400, 400, 0);
    std::array<double, 37> angles{};
    angles[15] = angles[16] = 1.0;
    PlaceLabels(ring, angles, {15, 16}, [](int i) { return i != 15; });
    EXPECT_EQ(ring.Entries[15].Radius, 200);
    EXPECT_EQ(ring.Entries[16].Radius, 200);
}

TEST(KartLabels, CrowdedBodiesOnTheWheelStayClearAndUserOffsetsSurvive) {
    KartFixture f;
    for (int i = 2; i <= 6; ++i) f.SetBody(i, 15 + 0.6 * (i - 1), 0.01); // Moon..Mars near the Sun
    f.SetBody(10, 15, 0.01);                                             // Pluto on the Sun
    f.wheel.KartWheel.Inner.Offsets[3] = {5, -4};
    f.Draw();
    const TRing& ring = f.wheel.KartWheel.Inner;
    std::array<double, 37> angles{};
    std::vector<int> order;
    for (int i = 1; i <= 14; ++i) {
        angles[i] = f.wheel.ScreenAngle(f.s.PlanetLon[i]);
        order.push_back(i);
    }
    EXPECT_EQ(ring.Entries[1].Radius, ring.StartRadius);
    ExpectClearAndOnRay(ring, order, angles);
    // the hot spot stays at the unshifted centre; the offset is kept for the next drawing
    const auto spots = f.SpotsByCode();
    EXPECT_EQ(spots.find("p030")->second, std::make_pair(ring.Entries[3].X, ring.Entries[3].Y));
    f.Draw();
    EXPECT_EQ(f.wheel.KartWheel.Inner.Offsets[3].DX, 5);
    f.wheel.ClearLabelOffsets();
    EXPECT_EQ(f.wheel.KartWheel.Inner.Offsets[3].DX, 0);
}

// --- Aspect deviation across the far side ----------------------------------------------------

TEST(KartAspects, DeviationOfAnArcBeyond180DegreesIsTheTrueOrb) {
    // Sun 15°, Jupiter 258°: on the screen the two rays are 243° apart; the trine's orb is 3°
    KartFixture f;
    f.o.OrbBox = true;
    f.Draw();
    const std::string code = "011006"; // Sun, trine, Jupiter
    std::string text;
    for (const std::string& line : f.wheel.KartSpots)
        if (line.size() > code.size() && line.substr(line.size() - code.size()) == code)
            text = line;
    ASSERT_FALSE(text.empty());
    SCOPED_TRACE(Cp1251ToUtf8(text));
    EXPECT_NE(text.find(">3" + std::string(1, kDegreeSign) + " 0' 0\"<"), std::string::npos);
    EXPECT_EQ(text.find('-', text.find("-") + 1), std::string::npos); // no negative value

    // "exact only" drops it at 3° and keeps it at 0.5°
    KartFixture g;
    g.o.AspectAccur = true;
    g.Draw();
    EXPECT_EQ(g.SpotsByCode().count(code), 0u);
    KartFixture h;
    h.o.AspectAccur = true;
    h.SetBody(6, 255.5, 0.01);
    h.Draw();
    EXPECT_EQ(h.SpotsByCode().count(code), 1u);
}

// --- Planet table: the star column -----------------------------------------------------------

TEST(KartTable, RowWithoutABrightObjectHasNoHintOfThePreviousRow) {
    KartFixture f;
    StarCatalogue stars;
    stars.StarCount = 1;
    stars.YaleStars.resize(2);
    stars.YaleStars[1].NameOffset = 1;
    stars.YaleStars[1].Mag = 1.3f;
    stars.StarNames = "Regulus";
    stars.StarLon = {0, f.s.PlanetLon[1] + 0.5 * kDegToRad}; // half a degree from the Sun
    f.services.Stars = &stars;
    f.o.StarsCheck = true;
    f.Draw();
    int starSpots = 0;
    for (const std::string& line : f.wheel.KartSpots)
        if (line.find(";*1") != std::string::npos) ++starSpots;
    EXPECT_EQ(starSpots, 1); // the Sun's row; the Moon's row below it has none
}

// --- Orbit marks -----------------------------------------------------------------------------

TEST(KartOrbitMarks, HiddenPointsTakeNoMarksFromLaterOnes) {
    // Heliocentric: the Moon and the lunar points have no rows, so Pluto is row 9
    KartFixture f;
    f.chart.HelioMode = true;
    f.o.HelioBox = true;
    f.o.Elements = std::string(16, kFlagOff);
    f.o.Elements[9] = kFlagOn; // Pluto
    f.o.Elements[1] = kFlagOn; // the Moon, not shown
    f.s.Bodies[10][kBodyPerihelion] = 0.3;
    f.s.Bodies[10][kBodyNode] = 1.9;
    f.Draw();
    EXPECT_EQ(f.wheel.RowCount, 10);
    EXPECT_EQ(f.wheel.PointRow[10], 9);
    const std::string perihelion = GetMsgText(f.s, 75), node = GetMsgText(f.s, 76);
    const auto spots = f.SpotsByCode();
    ASSERT_EQ(spots.count(perihelion), 1u);
    ASSERT_EQ(spots.count(node), 1u);
    EXPECT_EQ(spots.count(GetMsgText(f.s, 77)), 0u); // no equator pole beyond Neptune
    const QPoint p = Expected(f, f.wheel.KartWheel.R4 + 21, 0.3);
    EXPECT_EQ(spots.find(perihelion)->second, std::make_pair(p.x() - 4, p.y()));
    // and the Sun is reported as the Earth
    EXPECT_EQ(spots.count("p010"), 1u);
    bool earth = false;
    for (const std::string& line : f.wheel.KartSpots)
        earth |= line.find(Cp("Земля") + " ") != std::string::npos && line.ends_with(";p010");
    EXPECT_TRUE(earth);
}

TEST(KartOrbitMarks, PlanetsUpToNeptuneGetTheirEquatorPole) {
    KartFixture f;
    f.o.Elements[5] = kFlagOn; // Jupiter
    f.services.EquatorPoleLon = [&](int k) { return BodyEquatorPole(f.s, k).lon; };
    f.Draw();
    EXPECT_EQ(f.SpotsByCode().count(GetMsgText(f.s, 77)), 1u);
    // Jupiter's pole lies near the ecliptic pole's direction of 270° longitude... within 3°
    const PoleDirection jp = BodyEquatorPole(f.s, 6);
    EXPECT_NEAR(jp.lat, (90 - 2.2) * kDegToRad, 0.5 * kDegToRad);
    const PoleDirection earth = BodyEquatorPole(f.s, 0);
    EXPECT_DOUBLE_EQ(earth.lon, kPi / 2);
}

// --- The drawing's frame ---------------------------------------------------------------------

TEST(KartDrawing, NothingHappensBeforeStartUpEnds) {
    KartFixture f;
    f.Draw();
    const auto spots = f.wheel.KartSpots;
    const QImage before = f.bitmap.image().copy();
    f.chart.Ready = false;
    f.o.Background = WheelBackground::Black;
    f.Draw();
    EXPECT_EQ(f.wheel.KartSpots, spots);
    EXPECT_EQ(f.bitmap.image(), before);
}

TEST(KartDrawing, DoubleChartDrawsTheOuterRingAndItsCusps) {
    KartFixture f;
    f.chart.DoubleChart = true;
    f.o.OutHsCheck = true;
    f.s.PlanetLonBck = f.s.PlanetLon;
    for (int i = 1; i <= 38; ++i) f.s.PlanetLonBck[i] = NormAngle(f.s.PlanetLon[i] + 0.2);
    bool computed = false;
    f.services.ComputeSecondChart = [&] {
        computed = true;
        return true;
    };
    f.Draw();
    EXPECT_TRUE(computed);
    const auto spots = f.SpotsByCode();
    const TKart& k = f.wheel.KartWheel;
    for (int i = 1; i <= 14; ++i) {
        const std::string code = "p" + IntToStrZ(i, 2) + "1";
        ASSERT_EQ(spots.count(code), 1u) << code;
        const QPoint e = Expected(f, k.Outer.StartRadius, f.s.PlanetLonBck[i]);
        EXPECT_EQ(spots.find(code)->second, std::make_pair(e.x(), e.y()));
    }
    const QPoint asc = Expected(f, k.R4 + 25 + 6, f.s.PlanetLonBck[kAscendantPoint]);
    const auto got = spots.find("011")->second;
    EXPECT_LE(std::abs(got.first - asc.x()), 1);
    EXPECT_LE(std::abs(got.second - asc.y()), 1);

    // a single chart draws no outer labels and no outer cusps, whatever OutHsCheck says
    KartFixture single;
    single.o.OutHsCheck = true;
    single.Draw();
    for (const auto& [key, pos] : single.SpotsByCode()) {
        const bool outerCode = (key.size() == 4 && key[0] == 'p') || key.size() == 3;
        EXPECT_FALSE(outerCode && key.back() == '1') << key;
    }
}

TEST(KartDrawing, StartAngleFromTheDegreeBoxAndTheHeldAngleWhileDragging) {
    KartFixture f;
    f.o.Start = WheelStart::Degree;
    f.o.StartDegree = 0;
    f.Draw();
    EXPECT_EQ(f.wheel.KartStartAngle, 0);
    f.o.StartDegree = 90;
    f.Draw();
    EXPECT_NEAR(f.wheel.KartStartAngle, kPi / 2, 1e-12);
    // while a body is dragged the wheel stands still and the dragged chart has no cusps
    f.wheel.KartHeldStart = 1.0;
    f.chart.DraggedBody = 1;
    f.Draw();
    EXPECT_EQ(f.wheel.KartStartAngle, 1.0);
    EXPECT_EQ(f.SpotsByCode().count("010"), 0u);
}

TEST(KartDrawing, PendingNoteShowsUntilDropped) {
    KartFixture f;
    f.wheel.KartPendingText = "Note";
    f.wheel.KartPendingX = 600;
    f.wheel.KartPendingY = 20;
    f.Draw();
    EXPECT_EQ(f.PixelAt(601, 21), kKartNoteColor);
    EXPECT_TRUE(f.wheel.DropPendingNote());
    EXPECT_FALSE(f.wheel.DropPendingNote());
    f.Draw();
    EXPECT_EQ(f.PixelAt(601, 21), 0xFFFFFFu);
}

TEST(KartTexts, SecondChartTitleCarriesACoefficientOtherThanOne) {
    AstroDat s;
    s.DatRec2[0] = "Anna";
    s.DynMethod = ' ';
    EXPECT_EQ(SecondChartTitle(s, "Transit: to the chart"), "Anna");
    s.DynMethod = 'P';
    s.DirCoef = 1.25;
    EXPECT_EQ(SecondChartTitle(s, "Progression: a day a year"), "Progression(1,25)");
    s.DirCoef = 2.0;
    EXPECT_EQ(SecondChartTitle(s, "Progression"), "Progression(2)");
    s.DirCoef = 1.00005;
    EXPECT_EQ(SecondChartTitle(s, "Progression"), "Progression");
    s.DynMethod = 'S';
    s.DirCoef = 1.5;
    EXPECT_EQ(SecondChartTitle(s, "Solar return"), "Solar return");
}

} // namespace
} // namespace qor::chart

namespace qor::chart {
namespace {

TEST(KartDrawing, HorizontalChartHasNumbersInTheBeltAndNoSignOrCuspHints) {
    KartFixture f;
    f.o.HorizontalBox = true;
    f.Draw();
    const auto spots = f.SpotsByCode();
    for (int sign = 1; sign <= 12; ++sign) EXPECT_EQ(spots.count(IntToStrZ(sign, 2)), 0u);
    for (int h = 1; h <= 12; ++h) EXPECT_EQ(spots.count(IntToStrZ(h, 2) + "0"), 0u);
    // the bodies keep their hints, with the angle instead of a zodiac position
    ASSERT_EQ(spots.count("p010"), 1u);
    for (const std::string& line : f.wheel.KartSpots)
        if (line.ends_with(";p010"))
            EXPECT_NE(line.find(FormatDMSAs(1, 15 * 3600.0)), std::string::npos) << line;
}

TEST(KartDrawing, HoraryChartWithTheSeptenaryKeepsSevenBodiesAndTheNodes) {
    KartFixture f;
    f.chart.HoraryChart = true;
    f.Draw();
    std::set<int> shown;
    for (int i = 1; i <= 26; ++i)
        if (f.wheel.PointRow[i] != 0) shown.insert(i);
    EXPECT_EQ(shown, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 11, 12}));
    EXPECT_EQ(f.wheel.RowCount, 10);
    EXPECT_EQ(f.SpotsByCode().count("p080"), 0u);
}

} // namespace
} // namespace qor::chart

namespace qor::chart {
namespace {

TEST(KartDrawing, RadiiOutOfOrderDrawAnInvertedBelt) {
    KartFixture f;
    f.o.TrackBarR2 = 100; // R2 beyond R3
    f.o.Background = WheelBackground::Colour;
    f.Draw();
    EXPECT_GT(f.wheel.KartWheel.R2, f.wheel.KartWheel.R3);
    int signs = 0;
    for (const auto& [key, pos] : f.SpotsByCode()) signs += key.size() == 2;
    EXPECT_EQ(signs, 12);
    EXPECT_EQ(f.wheel.KartReady, 1);
}

} // namespace
} // namespace qor::chart

namespace qor::chart::test {
namespace {

// A body whose position could not be computed (NaN) does not stop the wheel: the others are
// drawn, with their aspects and dignity marks.
TEST(KartDrawing, BodyWithoutAPositionLeavesTheOthersDrawn) {
    KartFixture f;
    f.o.AfetBox = true;
    f.SetBody(3, std::nan(""), std::nan(""));
    CalcAspects(f.table, AspectOptions{}, {&f.s.PlanetLon, &f.s.PlanetSpeed}, f.matrix);
    f.Draw();
    const auto spots = f.SpotsByCode();
    EXPECT_EQ(spots.count("#17"), 1u);       // the Sun's exaltation mark
    EXPECT_EQ(f.matrix.AspMatrix[1][2], 10); // the Sun–Moon trine stands
    for (int j = 0; j <= 40; ++j) EXPECT_EQ(f.matrix.AspMatrix[3][j], 0);
}

} // namespace
} // namespace qor::chart::test

namespace qor::chart {
namespace {

// A chart whose Pluto has no place (outside 1600..2400) leaves Pluto off the wheel, its table
// row and its aspects; the other bodies stay.
TEST(KartDrawing, PlutoWithoutAPlaceIsLeftOff) {
    KartFixture f;
    f.Draw();
    ASSERT_NE(f.wheel.PointRow[10], 0);
    const std::size_t spotsWithPluto = f.SpotsByCode().size();
    f.s.PlutoMissing = true;
    f.Draw();
    EXPECT_EQ(f.wheel.PointRow[10], 0);
    for (int i = 1; i <= 9; ++i) EXPECT_NE(f.wheel.PointRow[i], 0) << i;
    EXPECT_LT(f.SpotsByCode().size(), spotsWithPluto);
}

} // namespace
} // namespace qor::chart
