// Astro-carto-graphy lines as data, checked against independent oracles: every point of a
// rising/setting curve has the body on the horizon (libnova's horizon with its own apparent
// sidereal time), the meridians lie at α − a·30° − GAST (ERFA), the Moon's own place from
// libnova, the parallax taken back out; then the label spacing and the lines on the map.
#include "geo/AcgLines.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "support/QtApp.h"

#include <erfa.h>
#include <libnova/lunar.h>
#include <libnova/precession.h>
#include <libnova/transform.h>

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <filesystem>

namespace qor {
namespace {

struct Moment {
    int y, mo, d, h, mi;
    double latDeg, lonDeg;
};

// The chart of a moment in UT (zone 0) at a place, with or without the observer's parallax.
AstroDat ChartAt(const Moment& m, bool parallax) {
    AstroDat s;
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i <= 9; ++i) EXPECT_TRUE(LoadPlanetTerms(s, i).ok);
    s.ChartYear = m.y;
    s.ChartMonth = m.mo;
    s.ChartDay = m.d;
    s.ChartHour = m.h;
    s.ChartMinute = m.mi;
    s.ChartZone = 0;
    s.ChartLat = m.latDeg * kDegToRad;
    s.ChartLong = m.lonDeg * kDegToRad;
    ChartOptions opt;
    GeneralOptions gen;
    gen.HorParallax = parallax;
    CalcAstroTime(s, TimeOptionsFor(opt, gen));
    CalcChart(s, opt, gen, 0);
    return s;
}

double JulianDayUT(const Moment& m) {
    double djm0 = 0, djm = 0;
    eraCal2jd(m.y, m.mo, m.d, &djm0, &djm);
    return djm0 + djm + (m.h + m.mi / 60.0) / 24;
}

double GastErfa(double jdUT) {
    const double tt = jdUT + 69.0 / 86400; // ΔT near 2010-2026; GAST hardly depends on it
    return eraGst06a(jdUT, 0, tt, 0);
}

const Moment kMoments[] = {
    {2010, 12, 14, 12, 0, 55.75, 37.62},  // Moscow, the Moon at latitude +5.3°
    {1985, 6, 12, 7, 30, -33.87, 151.21}, // Sydney
    {2026, 3, 20, 18, 0, 64.0, -21.9},    // Reykjavik, the equinox
};

TEST(AcgLines, CurvesHaveTheBodyOnTheHorizonAndMeridiansOnItsHourAngle) {
    for (const Moment& m : kMoments) {
        const AstroDat s = ChartAt(m, true);
        AcgInput in = AcgInputOf(s, true);
        in.planetMask = "||||||||||";
        in.ascDsc = in.mcIc = in.majorAspects = true;
        const AcgLines lines = ComputeAcgLines(in);
        ASSERT_EQ(lines.curves.size(), 40u); // ten planets, conjunction and three aspects
        ASSERT_EQ(lines.meridians.size(), 80u);
        const double jd = JulianDayUT(m);
        const double gast = GastErfa(jd);
        for (const AcgCurve& c : lines.curves) {
            ASSERT_EQ(c.points.size(), 360u);
            // the aspect point: α shifted by the aspect, δ the planet's
            const double ra = in.ra[static_cast<std::size_t>(c.planet)];
            EXPECT_NEAR(std::remainder(c.ra - (ra - c.aspect * kPi / 6), 2 * kPi), 0, 1e-12);
            EXPECT_EQ(c.dec, in.dec[static_cast<std::size_t>(c.planet)]);
            // R: where the planet culminates
            EXPECT_NEAR(std::remainder(c.reference - (ra - gast), 2 * kPi), 0, 2e-6);
            double maxLat = -9, minLat = 9;
            for (const auto& [lon, lat] : c.points) {
                ln_equ_posn equ{c.ra / kDegToRad, c.dec / kDegToRad};
                ln_lnlat_posn obs{lon / kDegToRad, lat / kDegToRad};
                ln_hrz_posn hrz;
                ln_get_hrz_from_equ(&equ, &obs, jd, &hrz);
                // tolerance 0.01°: libnova's sidereal time against the chart's, 0.1"
                ASSERT_NEAR(hrz.alt, 0, 0.01)
                    << m.y << " planet " << c.planet << " aspect " << c.aspect << " at " << lon;
                maxLat = std::max(maxLat, lat);
                minLat = std::min(minLat, lat);
            }
            // the extreme latitudes ±(90° − |δ|), reached near the MC and IC meridians
            const double edge = kPi / 2 - std::fabs(c.dec);
            EXPECT_NEAR(std::max(maxLat, -minLat), edge, 0.05 * kDegToRad) << c.planet;
        }
        for (const AcgMeridian& mer : lines.meridians) {
            const double ra = in.ra[static_cast<std::size_t>(mer.planet)];
            // hour angle a·30° on the meridian: 0 at MC, 180° at IC (ERFA's GAST, 0.01°)
            const double h = std::remainder(gast + mer.longitude - ra, 2 * kPi);
            EXPECT_NEAR(std::remainder(h + mer.aspect * kPi / 6, 2 * kPi), 0, 0.01 * kDegToRad)
                << mer.planet << " " << mer.aspect;
            EXPECT_EQ(mer.label.back(), '\x0F');
            EXPECT_EQ(mer.label[mer.label.size() - 2], AcgAspectChar(mer.aspect));
        }
    }
}

TEST(AcgLines, ThePlanetsOwnPlaceWithoutTheObserversParallax) {
    const Moment m = kMoments[0];
    const AstroDat topo = ChartAt(m, true);
    const AstroDat geo = ChartAt(m, false);
    const AcgInput in = AcgInputOf(topo, true);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_NEAR(std::remainder(in.ra[i] - geo.Bodies[i][kBodyRA], 2 * kPi), 0, 1e-9) << i;
        EXPECT_NEAR(in.dec[i] - geo.Bodies[i][kBodyDec], 0, 1e-9) << i;
    }
    // the topocentric Moon is a degree off: the lines would miss by that much
    EXPECT_GT(std::fabs(topo.Bodies[2][kBodyDec] - geo.Bodies[2][kBodyDec]), 0.3 * kDegToRad);

    // libnova's Moon (J2000, precessed to the date; no nutation: 0.02°)
    const double jd = JulianDayUT(m);
    ln_equ_posn j2000, ofDate;
    ln_get_lunar_equ_coords(jd, &j2000);
    ln_get_equ_prec(&j2000, jd, &ofDate);
    EXPECT_NEAR(std::remainder(in.ra[2] / kDegToRad - ofDate.ra, 360.0), 0, 0.02);
    EXPECT_NEAR(in.dec[2] / kDegToRad - ofDate.dec, 0, 0.02);

    // Its MC line at its own α − GAST, some 2.1° west of the one of its ecliptic longitude
    // taken on the ecliptic.
    AcgInput only = in;
    only.planetMask = "-|--------";
    only.mcIc = true;
    const AcgLines lines = ComputeAcgLines(only);
    ASSERT_EQ(lines.meridians.size(), 2u);
    const double gast = GastErfa(jd);
    EXPECT_NEAR(std::remainder(lines.meridians[0].longitude - (in.ra[2] - gast), 2 * kPi), 0,
                0.01 * kDegToRad);
    const double lon = geo.Bodies[2][kBodyLon];
    const double zodiacalRa = ArcTan2Pos(std::sin(lon) * geo.CosEps, std::cos(lon));
    const double west = std::remainder(zodiacalRa - in.ra[2], 2 * kPi) / kDegToRad;
    EXPECT_GT(west, 1.8);
    EXPECT_LT(west, 2.4);
    EXPECT_NEAR(geo.Bodies[2][kBodyLat] / kDegToRad, 5.3, 0.2);
}

TEST(AcgLines, KindsAndLabels) {
    AcgInput in;
    in.planetMask = "|-|-------";
    in.glyph[1] = "A";
    in.glyph[3] = "C";
    in.ra[1] = 1.0;
    in.ra[3] = 2.0;
    in.dec[1] = 0.3;
    in.dec[3] = -0.2;
    // only the conjunction: one closed curve, one MC and one IC per planet
    in.ascDsc = in.mcIc = true;
    AcgLines l = ComputeAcgLines(in);
    ASSERT_EQ(l.curves.size(), 2u);
    ASSERT_EQ(l.meridians.size(), 4u);
    EXPECT_EQ(l.curves[0].label, "A0\x0E");
    EXPECT_EQ(l.meridians[0].label, "A0\x0F");
    EXPECT_EQ(l.meridians[1].label, "A=\x0F");
    EXPECT_NEAR(std::remainder(l.meridians[1].longitude - l.meridians[0].longitude - kPi, 2 * kPi),
                0, 1e-12);
    // the major aspects: curves of 60°, 90°, 120°; meridians at ±60°, ±90°, ±120°
    in.majorAspects = true;
    l = ComputeAcgLines(in);
    EXPECT_EQ(l.curves.size(), 8u);
    EXPECT_EQ(l.meridians.size(), 16u);
    std::string chars;
    for (const AcgMeridian& m : l.meridians)
        if (m.planet == 1) chars += m.label[1];
    EXPECT_EQ(chars, "9750579=");
    // the house curves
    in.ascDsc = in.mcIc = false;
    in.houses = true;
    l = ComputeAcgLines(in);
    ASSERT_EQ(l.curves.size(), 6u);
    EXPECT_EQ(l.curves[5].label, "6");
}

TEST(AcgLines, LabelSpacingKeepsTenPixelsAndNeverOverruns) {
    AcgLabelSlots s;
    // meridians 4 px apart get labels 10 px apart
    const int a = s.SpaceX(s.meridianX, 100);
    const int b = s.SpaceX(s.meridianX, 104);
    const int c = s.SpaceX(s.meridianX, 108);
    EXPECT_EQ(a, 100);
    EXPECT_EQ(b, 110);
    EXPECT_EQ(std::abs(c - b) >= 10 && std::abs(c - a) >= 10, true) << c;
    // past 80 labels nothing is recorded any more and nothing overruns
    for (int i = 0; i < 200; ++i) s.SpaceX(s.meridianX, 1000 + 20 * i);
    EXPECT_EQ(s.meridianX[79], 1000 + 20 * 76);
    for (int i = 0; i < 200; ++i) s.SpaceXY(500, 40 * i, 300);
    EXPECT_EQ(s.points[79].second, 40 * 79);
    // the same x within 40 px moves 10 px towards the middle
    AcgLabelSlots t;
    t.SpaceXY(100, 200, 400);
    EXPECT_EQ(t.SpaceXY(100, 230, 400), 110);
    EXPECT_EQ(t.SpaceXY(700, 200, 400), 700);
    EXPECT_EQ(t.SpaceXY(700, 220, 400), 690);
    s.Reset();
    EXPECT_EQ(s.meridianX[0], -1);
}

// The lines drawn on a map view pass within a pixel of their computed points.
TEST(AcgLines, DrawnLinesPassThroughTheirPointsAtTheWorldViewAndLevelThree) {
    test::QtApp();
    const AstroDat s = ChartAt(kMoments[0], false);
    AcgInput in = AcgInputOf(s, false);
    in.planetMask = "|||-------";
    in.glyph = {"", "a", "b", "c"};
    in.ascDsc = in.mcIc = true;
    const AcgLines lines = ComputeAcgLines(in);
    for (int level : {1, 3}) {
        GeoMapView v;
        v.Init();
        v.SetBitmap(1600, 800);
        // zoomed in on a point of the Sun's curve
        constexpr double kUnits = 180.0 * 600.0 / kPi;
        const auto [plon, plat] = lines.curves[0].points[100];
        for (int k = 1; k < level; ++k) {
            const auto [zx, zy] = v.Project(static_cast<int32_t>(std::lround(plon * kUnits)),
                                            static_cast<int32_t>(std::lround(plat * kUnits)));
            v.ZoomAt(zx, zy, 800);
        }
        ASSERT_EQ(v.level, level);
        QImage img(1600, 800, QImage::Format_RGB32);
        img.fill(Qt::white);
        ui::Font16State font;
        std::vector<AcgLabelSpot> spots;
        {
            ui::Canvas cv(img);
            spots = DrawAcgLines(lines, v, 0x0000FF, 0x000000, cv, font);
        }
        if (level == 1) {
            // each rising/setting curve crosses the middle row twice: rising west of the
            // planet's meridian ("0"), setting east of it ("=")
            for (int planet = 1; planet <= 3; ++planet) {
                const std::string g = in.glyph[static_cast<std::size_t>(planet)];
                const double r = lines.curves[static_cast<std::size_t>(planet - 1)].reference;
                const int xr =
                    v.Project(static_cast<int32_t>(std::lround(r * 180 * 600 / kPi)), 0).first;
                auto east = [&](int x) { return std::remainder(x - xr, 1600.0) > 0; };
                int rising = 0, setting = 0;
                for (const AcgLabelSpot& sp : spots) {
                    rising += !sp.meridian && sp.text == g + "0\x0E" && !east(sp.x);
                    setting += !sp.meridian && sp.text == g + "=\x0E" && east(sp.x);
                }
                EXPECT_EQ(rising, 1) << planet;
                EXPECT_EQ(setting, 1) << planet;
            }
        }
        constexpr double toUnits = 180.0 * 600.0 / kPi;
        int probes = 0, hits = 0;
        for (const AcgCurve& c : lines.curves)
            for (std::size_t k = 0; k < c.points.size(); k += level == 1 ? 7 : 1) {
                const auto [lon, lat] = c.points[k];
                const auto [x, y] = v.Project(static_cast<int32_t>(std::lround(lon * toUnits)),
                                              static_cast<int32_t>(std::lround(lat * toUnits)));
                if (x < 2 || y < 2 || x > 1597 || y > 797) continue;
                ++probes;
                bool hit = false;
                for (int dx = -1; dx <= 1 && !hit; ++dx)
                    for (int dy = -1; dy <= 1 && !hit; ++dy)
                        hit = img.pixel(x + dx, y + dy) == qRgb(255, 0, 0);
                hits += hit;
            }
        EXPECT_GT(probes, level == 1 ? 100 : 5);
        EXPECT_EQ(hits, probes) << "level " << level;
        for (const AcgMeridian& m : lines.meridians) {
            const auto [x, y] =
                v.Project(static_cast<int32_t>(std::lround(m.longitude * toUnits)), 0);
            if (x < 1 || x > 1598) continue;
            EXPECT_EQ(img.pixel(x, 400), qRgb(255, 0, 0)) << m.planet << " " << m.aspect;
        }
    }
}

} // namespace
} // namespace qor
