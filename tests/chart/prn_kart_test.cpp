// The printed chart page drawn on an image at 150 dpi: the label rules of the wheel with the
// printer's box, the cusps on their angles, the aspect glyphs of the two faces' tables, the
// edge cases of the chart kinds, the refusal before the start-up has finished, and the
// screen's state left as it was.
#include "KartTestSupport.h"

#include "chart/PrnKart.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "support/RecordingReport.h"
#include "ui/GlyphFonts.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

namespace qor::chart {
namespace {

using test::KartFixture;

// An A4 landscape page at 150 dpi.
QImage Page150() {
    QImage img(1754, 1240, QImage::Format_RGB32);
    img.setDotsPerMeterX(static_cast<int>(std::lround(150 / 0.0254)));
    img.setDotsPerMeterY(static_cast<int>(std::lround(150 / 0.0254)));
    img.fill(Qt::gray);
    return img;
}

struct PageFixture : KartFixture {
    QImage page = Page150();
    PrintedPage rec;
    const GlyphFaceTable* face = &kQorGlyphFace;
    PageFixture() { EXPECT_TRUE(ui::RegisterGlyphFonts(s)); }
    bool Print() { return PrintKart(s, o, chart, services, *face, page, &rec); }
    Colour PagePixel(QPoint p) const {
        return ui::FromQColor(QColor::fromRgb(page.pixel(p.x(), p.y())));
    }
    // Angle of a longitude on the page, by the rule: pi + lon - start counter-clockwise.
    double AngleOf(double lon) const { return kPi + lon - s.PlanetLon[kAscendantPoint]; }
    QPoint At(double r, double a) const {
        return QPoint(rec.Wheel.CentreX + static_cast<int>(RoundEven(r * std::cos(a))),
                      rec.Wheel.CentreY - static_cast<int>(RoundEven(r * std::sin(a))));
    }
    std::set<int> LabelPoints(bool outer) const {
        std::set<int> p;
        for (const PrintedLabel& l : rec.Labels)
            if (l.Outer == outer) p.insert(l.Point);
        return p;
    }
    std::set<int> RowPoints() const {
        std::set<int> p;
        for (const PrintedRow& r : rec.Rows) p.insert(r.Point);
        return p;
    }
};

double Reduce(double a) {
    return std::remainder(a, 2 * kPi);
}

TEST(PrnKartPage, GeometryFollowsThePageAndTheSunGlyph) {
    PageFixture f;
    ASSERT_TRUE(f.Print());
    ASSERT_TRUE(f.rec.Drawn);
    EXPECT_EQ(f.rec.FaceName, "QOR511");
    EXPECT_EQ(f.rec.Width, 1754);
    EXPECT_EQ(f.rec.Height, 1240);
    // the Sun's glyph at 12 points on 150 dpi is some 25 px high
    EXPECT_GT(f.rec.LineHeight, 15);
    EXPECT_LT(f.rec.LineHeight, 45);
    EXPECT_EQ(f.rec.Centre, 1240 / 2 + f.rec.LineHeight);
    EXPECT_EQ(f.rec.Radius, f.rec.Centre - 2 * f.rec.LineHeight);
    const TKart& k = f.rec.Wheel;
    const int r = f.rec.Radius;
    EXPECT_EQ(k.CentreX, r);
    EXPECT_EQ(k.CentreY, f.rec.Centre);
    EXPECT_EQ(k.R1, static_cast<int>(RoundEven(0.5 * r)));
    EXPECT_EQ(k.R4, static_cast<int>(RoundEven(0.8 * r)));
    EXPECT_EQ(k.Inner.StartRadius, static_cast<int>(RoundEven(0.55 * r)));
    EXPECT_EQ(k.Outer.StartRadius, static_cast<int>(RoundEven(0.75 * r)));
    EXPECT_EQ(k.Inner.TickRadius, static_cast<int>(RoundEven(0.49 * r)));
    // the box follows the glyph at 20 points: wider than the screen's fixed 12 px
    EXPECT_GT(k.Inner.BoxHalf, 12);
    // white paper with a black frame along the edges; the outer circle black at R4
    EXPECT_EQ(f.PagePixel({800, 5}), 0xFFFFFFu);
    EXPECT_EQ(f.PagePixel({1753, 600}), 0u);
    EXPECT_EQ(f.PagePixel({0, 600}), 0u);
    bool circle = false;
    for (int d = -2; d <= 2; ++d) circle |= f.PagePixel(f.At(k.R4 + d, kPi / 4)) == 0u;
    EXPECT_TRUE(circle);
}

TEST(PrnKartPage, CrowdedLabelsKeepTheRulesWithThePrintersBox) {
    PageFixture f;
    // Moon..Saturn within three degrees of the Sun, Pluto on it, a body without a glyph among
    // them (point 17: a body of the body file, named)
    for (int i = 2; i <= 7; ++i) f.SetBody(i, 15 + 0.5 * (i - 1), 0.01);
    f.SetBody(10, 15, -0.01);
    f.s.NExtra = 3;
    f.SetBody(15, 200, 0.01);
    f.SetBody(16, 250, 0.01);
    f.SetBody(17, 15.2, 0.01);
    f.services.BodyFileName = [](int n) { return n == 17 + 57 ? std::string("Vesta ") : ""; };
    ASSERT_TRUE(f.Print());
    const TRing& ring = f.rec.Wheel.Inner;
    const int box = ring.BoxHalf;
    std::vector<const PrintedLabel*> labels;
    for (const PrintedLabel& l : f.rec.Labels)
        if (!l.Outer) labels.push_back(&l);
    ASSERT_EQ(labels.size(), 17u); // 1..16 and the named body 17
    ASSERT_EQ(labels.front()->Point, 1);
    EXPECT_EQ(labels.front()->Radius, ring.StartRadius); // the lowest point never moves
    for (std::size_t n = 0; n < labels.size(); ++n) {
        const PrintedLabel& l = *labels[n];
        // on its own ray
        const double a = f.AngleOf(f.s.PlanetLon[l.Point]);
        EXPECT_NEAR(Reduce(l.Angle - a), 0, 1e-12) << l.Point;
        EXPECT_EQ(QPoint(l.X, l.Y), f.At(l.Radius, a)) << l.Point;
        auto blocked = [&](int x, int y) {
            for (std::size_t m = 0; m < n; ++m) {
                const PrintedLabel& o = *labels[m];
                if (o.Glyph && std::abs(x - o.X) < box && std::abs(y - o.Y) < box) return true;
            }
            return false;
        };
        // clear of every earlier glyph, and at the first radius that is (so nothing later
        // moved it)
        EXPECT_FALSE(blocked(l.X, l.Y)) << l.Point;
        for (int r = ring.StartRadius; r < l.Radius; ++r) {
            const QPoint p = f.At(r, a);
            ASSERT_TRUE(blocked(p.x(), p.y())) << l.Point << " could stay at " << r;
        }
    }
    // the named body is its name and no obstacle: Mercury's label placed after it is not
    // pushed by it
    const auto named = std::find_if(labels.begin(), labels.end(),
                                    [](const PrintedLabel* l) { return l->Point == 17; });
    ASSERT_NE(named, labels.end());
    EXPECT_FALSE((*named)->Glyph);
    EXPECT_EQ((*named)->Text, "Vesta");
    // crowded labels moved outwards
    int moved = 0;
    for (const PrintedLabel* l : labels) moved += l->Radius > ring.StartRadius;
    EXPECT_GE(moved, 6);
}

TEST(PrnKartPage, CuspLinesLieOnTheirAnglesInBothCharts) {
    PageFixture f;
    f.chart.DoubleChart = true;
    f.o.OutHsCheck = true;
    for (int i = 1; i <= 38; ++i) f.s.PlanetLonBck[i] = NormAngle(f.s.PlanetLon[i] + 0.3);
    ASSERT_TRUE(f.Print());
    const TKart& k = f.rec.Wheel;
    ASSERT_EQ(f.rec.Cusps.size(), 24u);
    for (const PrintedCusp& c : f.rec.Cusps) {
        const PointArray& lon = c.Outer ? f.s.PlanetLonBck : f.s.PlanetLon;
        const double a = f.AngleOf(lon[26 + c.House]);
        EXPECT_NEAR(Reduce(c.Angle - a), 0, 1e-9) << c.House << c.Outer;
        const int rIn = c.Outer ? k.R3 : k.R1;
        EXPECT_EQ(c.From, f.At(rIn, a)) << c.House << c.Outer;
        const bool axis = c.House == 1 || c.House == 4 || c.House == 7 || c.House == 10;
        const int rTo = axis ? static_cast<int>(RoundEven(f.rec.Radius * (c.Outer ? 0.9 : 0.85)))
                             : (c.Outer ? k.R4 : k.R2);
        EXPECT_EQ(c.To, f.At(rTo, a)) << c.House << c.Outer;
    }
    // the inner cusps show in the outer band too, in the cusp colour; the outer ones in blue
    for (int h : {2, 3, 5, 6}) {
        const double a = f.AngleOf(f.s.PlanetLon[26 + h]);
        EXPECT_EQ(f.PagePixel(f.At(k.R3 + 6, a)), kKartCuspColor) << h;
        const double b = f.AngleOf(f.s.PlanetLonBck[26 + h]);
        EXPECT_EQ(f.PagePixel(f.At(k.R3 + 6, b)), 0xFF0000u) << h;
    }
}

TEST(PrnKartPage, AspectGlyphsComeFromTheFacesTables) {
    // Only aspects 4 and 6..13 carry a glyph; the outside maker's face has none for 3, 4, 9, 12.
    for (int n = 1; n <= 14; ++n) {
        const bool carries = n == 4 || (n >= 6 && n <= 13);
        EXPECT_EQ(PrnAspectGlyph(kQorGlyphFace, n) != 0, carries) << n;
        const bool winstar = carries && n != 4 && n != 9 && n != 12;
        EXPECT_EQ(PrnAspectGlyph(kWinstarGlyphFace, n) != 0, winstar) << n;
    }
    AstroDat s;
    s.NExtra = 2;
    EXPECT_EQ(PrnObjGlyph(s, kQorGlyphFace, 15), "\x9B");
    EXPECT_EQ(PrnObjGlyph(s, kWinstarGlyphFace, 15), "]\xEE[");
    EXPECT_EQ(PrnObjGlyph(s, kWinstarGlyphFace, 1), "\xA2");
    EXPECT_EQ(PrnObjGlyph(s, kQorGlyphFace, 17), "5");
    s.ParsCount = 2;
    s.ParsGlyphs[2] = 'F';
    EXPECT_EQ(PrnObjGlyph(s, kQorGlyphFace, 18), "\x7F"
                                                 "F");

    // On the page: every chord drawn gets the glyph of its face's table, or none.
    for (const GlyphFaceTable* face : {&kQorGlyphFace, &kWinstarGlyphFace}) {
        PageFixture f;
        f.face = face;
        f.o.MinorCheck = true;
        // a square (8), a novile (4), a biquintile (12) and a sesquiquintile (9) to the Sun
        f.SetBody(13, 15 + 90, 0.01);
        f.SetBody(12, 15 + 40, 0.01);
        f.SetBody(8, 15 + 144, 0.01);
        f.SetBody(9, 15 + 108, 0.01);
        ASSERT_TRUE(f.Print());
        std::set<int> kinds;
        for (const PrintedAspect& a : f.rec.Aspects) {
            kinds.insert(a.Aspect);
            EXPECT_EQ(a.Glyph, PrnAspectGlyph(*face, a.Aspect)) << face->faceName << a.Aspect;
        }
        for (int n : {1, 4, 8, 9, 10, 12}) EXPECT_EQ(kinds.count(n), 1u) << n;
    }
}

TEST(PrnKartPage, ChartKindsPrintTheirPointsCuspsAndRows) {
    struct Case {
        const char* name;
        void (*set)(PageFixture&);
        std::set<int> inner; // labelled points of the first chart
        bool outerRing;      // the second chart's labels
        std::size_t cusps;   // cusp lines
        bool houseRows;      // rows of the houses in the table
    };
    const std::set<int> all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    const Case cases[] = {
        {"single", [](PageFixture&) {}, all, false, 12, true},
        {"single with only the outer cusps",
         [](PageFixture& f) {
             f.o.InHsCheck = false;
             f.o.OutHsCheck = true;
         },
         all, false, 0, true},
        {"double with both cusps",
         [](PageFixture& f) {
             f.chart.DoubleChart = true;
             f.o.OutHsCheck = true;
         },
         all, true, 24, true},
        {"heliocentric",
         [](PageFixture& f) {
             f.chart.HelioMode = true;
             f.o.HelioBox = true;
             f.o.InHsCheck = false;
         },
         {1, 3, 4, 5, 6, 7, 8, 9, 10},
         false,
         0,
         false},
        {"heliocentric double",
         [](PageFixture& f) {
             f.chart.HelioMode = true;
             f.chart.DoubleChart = true;
             f.o.HelioBox = true;
             f.o.InHsCheck = false;
         },
         {1, 3, 4, 5, 6, 7, 8, 9, 10},
         false,
         0,
         false},
        {"horary with the septenary",
         [](PageFixture& f) {
             f.chart.HoraryChart = true;
             f.o.SeptenerBox = true;
         },
         {1, 2, 3, 4, 5, 6, 7, 11, 12},
         false,
         12,
         true},
        {"horary without it",
         [](PageFixture& f) {
             f.chart.HoraryChart = true;
             f.o.SeptenerBox = false;
         },
         all, false, 12, true},
    };
    for (const Case& c : cases) {
        PageFixture f;
        bool computed = false;
        f.services.ComputeSecondChart = [&] {
            computed = true;
            return true;
        };
        c.set(f);
        ASSERT_TRUE(f.Print()) << c.name;
        EXPECT_EQ(f.LabelPoints(false), c.inner) << c.name;
        EXPECT_EQ(!f.LabelPoints(true).empty(), c.outerRing) << c.name;
        EXPECT_EQ(computed, c.outerRing) << c.name;
        EXPECT_EQ(f.rec.Cusps.size(), c.cusps) << c.name;
        std::set<int> rows = f.RowPoints();
        std::set<int> points, houses;
        for (int p : rows) (p > 26 ? houses : points).insert(p);
        EXPECT_EQ(points, c.inner) << c.name;
        EXPECT_EQ(houses.size(), c.houseRows ? 12u : 0u) << c.name;
        // rows one line apart from the second line on
        for (std::size_t n = 0; n < f.rec.Rows.size(); ++n)
            EXPECT_EQ(f.rec.Rows[n].Y, static_cast<int>(n + 2) * f.rec.LineHeight) << c.name;
    }
}

TEST(PrnKartPage, NothingBeforeTheStartUpHasFinished) {
    PageFixture f;
    f.chart.Ready = false;
    const QImage before = f.page.copy();
    EXPECT_FALSE(f.Print());
    EXPECT_FALSE(f.rec.Drawn);
    EXPECT_EQ(f.page, before);
}

TEST(PrnKartPage, TheScreensStateStaysAsItWas) {
    PageFixture f;
    f.Draw(); // the screen
    f.s.DMSFormat = 3;
    const auto spots = f.wheel.KartSpots;
    const auto rows = f.wheel.PointRow;
    const int rowCount = f.wheel.RowCount;
    const AspectMatrix matrix = f.matrix;
    const int fromMask = f.wheel.AspFromMask, toMask = f.wheel.AspToMask;
    const Colour outer = f.wheel.KartOuterColor, paper = f.wheel.KartPaperColor;
    // the page lists other points than the screen did and works on its own matrix
    f.chart.HoraryChart = true;
    f.o.AccurBox = false;
    f.o.MinorCheck = true;
    ASSERT_TRUE(f.Print());
    EXPECT_EQ(f.rec.PointRow[8], 0);
    EXPECT_EQ(f.s.DMSFormat, 3);
    EXPECT_EQ(f.wheel.KartSpots, spots);
    EXPECT_EQ(f.wheel.PointRow, rows);
    EXPECT_EQ(f.wheel.RowCount, rowCount);
    EXPECT_EQ(f.wheel.AspFromMask, fromMask);
    EXPECT_EQ(f.wheel.AspToMask, toMask);
    EXPECT_EQ(f.wheel.KartOuterColor, outer);
    EXPECT_EQ(f.wheel.KartPaperColor, paper);
    EXPECT_EQ(std::memcmp(&f.matrix, &matrix, sizeof matrix), 0);
}

TEST(PrnKartPage, AMissingChosenFaceIsToldAndTheProgramsOwnPrints) {
    qor::test::QtApp();
    AstroDat s;
    qor::test::RecordingReport report;
    s.Report = &report;
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    ASSERT_TRUE(ui::RegisterGlyphFonts(s));
    EXPECT_EQ(&PrintGlyphFace(s, false), &kQorGlyphFace);
    EXPECT_TRUE(report.messages.empty());
    ASSERT_FALSE(ui::GlyphFaceAvailable("WinstarTT")); // not shipped, not installed here
    EXPECT_EQ(&PrintGlyphFace(s, true), &kQorGlyphFace);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("WinstarTT"), std::string::npos);
    EXPECT_NE(report.messages[0].text.find("QOR511"), std::string::npos);
}

TEST(PrnKartPage, DignityLettersByLanguage) {
    const char* eng[5] = {" ", "R", "D", "E", "F"};
    const std::string rus[5] = {" ", Cp("О"), Cp("И"), Cp("э"), Cp("п")};
    for (int st = 0; st <= 4; ++st) {
        EXPECT_EQ(PrnDignityLetter(st, true), eng[st]);
        EXPECT_EQ(PrnDignityLetter(st, false), rus[st]);
    }
}

} // namespace
} // namespace qor::chart
