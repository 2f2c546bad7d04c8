// The canvas on a small image: lines, arcs, pie sectors, polygons, inverting pens, texts.
#include "ui/Canvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace qor::ui {
namespace {

QImage WhiteImage(int w = 40, int h = 40) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

bool Dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

std::set<std::pair<int, int>> DarkPixels(const QImage& img) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Dark(img, x, y)) out.insert({x, y});
    return out;
}

TEST(Canvas, ColoursAreBlueGreenRed) {
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x030201u);
}

TEST(Canvas, LineStartsAtItsFirstPointAndLeavesTheLastUndrawn) {
    struct Case {
        int x1, y1, x2, y2;
    };
    const Case cases[] = {
        {5, 5, 15, 5},   {15, 5, 5, 5},   {5, 5, 5, 15},  {5, 15, 5, 5},
        {5, 5, 15, 15},  {5, 15, 15, 5},  {20, 20, 10, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
        QImage img = WhiteImage();
        {
            Canvas canvas(img);
            canvas.SetPenColor(kBlack);
            canvas.MoveTo(c.x1, c.y1);
            canvas.LineTo(c.x2, c.y2);
            EXPECT_EQ(canvas.PenPos(), QPoint(c.x2, c.y2));
        }
        EXPECT_TRUE(Dark(img, c.x1, c.y1));
        EXPECT_FALSE(Dark(img, c.x2, c.y2));
        EXPECT_EQ(DarkPixels(img).size(), 10u); // one pixel per step of the longer axis
    }
}

TEST(Canvas, JoinedLinesInNotXorInvertEachJointOnce) {
    QImage img = WhiteImage();
    {
        Canvas canvas(img);
        canvas.SetPenMode(PenMode::NotXor);
        canvas.SetPenColor(kBlack);
        canvas.MoveTo(5, 5);
        canvas.LineTo(20, 5);
        canvas.LineTo(20, 20);
    }
    EXPECT_TRUE(Dark(img, 20, 5)); // drawn by the second line only
    EXPECT_TRUE(Dark(img, 19, 5));
    EXPECT_TRUE(Dark(img, 20, 6));
}

TEST(Canvas, NotXorDrawnTwiceRestoresTheImage) {
    QImage img = WhiteImage(60, 60);
    {
        Canvas canvas(img);
        canvas.SetBrushColor(0x00FF00);
        canvas.Rectangle(10, 10, 30, 40);
        canvas.SetPenColor(0x0000FF);
        canvas.MoveTo(0, 20);
        canvas.LineTo(50, 25);
    }
    const QImage before = img.copy();
    for (PenMode mode : {PenMode::NotXor, PenMode::Xor}) {
        for (int pass = 0; pass < 2; ++pass) {
            Canvas canvas(img);
            canvas.SetPenMode(mode);
            canvas.SetPenColor(0x123456);
            canvas.MoveTo(2, 2);
            canvas.LineTo(55, 50);
            canvas.MoveTo(0, 30);
            canvas.LineTo(59, 30);
            if (pass == 0) {
                EXPECT_NE(img, before);
            }
        }
        EXPECT_EQ(img, before) << static_cast<int>(mode);
    }
    // NotXor with a black pen inverts: white becomes black.
    {
        Canvas canvas(img);
        canvas.SetPenMode(PenMode::NotXor);
        canvas.SetPenColor(kBlack);
        canvas.MoveTo(45, 55);
        canvas.LineTo(55, 55);
    }
    EXPECT_EQ(img.pixel(47, 55) & 0xFFFFFF, 0x000000u);
}

// Arc from the ray at 0° (right) counter-clockwise on the screen to the ray at 90° (up):
// the upper right quarter only.
TEST(Canvas, ArcRunsCounterClockwiseOnTheScreen) {
    QImage img = WhiteImage(41, 41);
    {
        Canvas canvas(img);
        canvas.Arc(0, 0, 41, 41, 40, 20, 20, 0);
    }
    const auto dark = DarkPixels(img);
    ASSERT_FALSE(dark.empty());
    for (const auto& [x, y] : dark) {
        EXPECT_GE(x, 19) << x << "," << y;
        EXPECT_LE(y, 21) << x << "," << y;
    }
    EXPECT_TRUE(Dark(img, 34, 6) || Dark(img, 33, 6) || Dark(img, 34, 5));
    // Swapping the points draws the other three quarters.
    QImage other = WhiteImage(41, 41);
    {
        Canvas canvas(other);
        canvas.Arc(0, 0, 41, 41, 20, 0, 40, 20);
    }
    EXPECT_TRUE(Dark(other, 0, 20) || Dark(other, 1, 20));
    EXPECT_TRUE(Dark(other, 20, 40) || Dark(other, 20, 39));
    EXPECT_FALSE(Dark(other, 34, 6));
}

// A pie sector from the ray at 30° to the ray at 60° (counter-clockwise on the screen) fills
// its own 30° and nothing of the neighbouring sectors.
TEST(Canvas, PieSectorCoversItsOwnThirtyDegrees) {
    QImage img = WhiteImage(201, 201);
    {
        Canvas canvas(img);
        canvas.SetBrushColor(kBlack);
        canvas.SetPenColor(kBlack);
        const double a = 30 * M_PI / 180, b = 60 * M_PI / 180;
        canvas.Pie(0, 0, 201, 201, 100 + int(100 * std::cos(a)), 100 - int(100 * std::sin(a)),
                   100 + int(100 * std::cos(b)), 100 - int(100 * std::sin(b)));
    }
    auto at = [&](double deg, double r) {
        const double t = deg * M_PI / 180;
        return Dark(img, 100 + int(std::lround(r * std::cos(t))),
                    100 - int(std::lround(r * std::sin(t))));
    };
    for (double deg : {35.0, 45.0, 55.0})
        for (double r : {20.0, 60.0, 90.0}) EXPECT_TRUE(at(deg, r)) << deg << " " << r;
    for (double deg : {20.0, 70.0, 135.0, 225.0, 315.0, 350.0})
        for (double r : {30.0, 60.0, 90.0}) EXPECT_FALSE(at(deg, r)) << deg << " " << r;
}

TEST(Canvas, PolyPolygonFillsOddEvenLeavingTheHole) {
    QImage img = WhiteImage(50, 50);
    {
        Canvas canvas(img);
        canvas.SetBrushColor(kBlack);
        canvas.SetPenStyle(PenStyle::Clear);
        canvas.PolyPolygon(
            {{{5, 5}, {45, 5}, {45, 45}, {5, 45}}, {{15, 15}, {35, 15}, {35, 35}, {15, 35}}});
    }
    EXPECT_TRUE(Dark(img, 10, 10));
    EXPECT_TRUE(Dark(img, 40, 25));
    EXPECT_FALSE(Dark(img, 25, 25)); // the hole
    EXPECT_FALSE(Dark(img, 2, 2));
    // A self-crossing star: its centre is crossed twice and stays empty.
    QImage star = WhiteImage(100, 100);
    {
        Canvas canvas(star);
        canvas.SetBrushColor(kBlack);
        canvas.SetPenStyle(PenStyle::Clear);
        canvas.Polygon({{50, 5}, {78, 95}, {5, 38}, {95, 38}, {22, 95}});
    }
    EXPECT_FALSE(Dark(star, 50, 55));
    EXPECT_TRUE(Dark(star, 50, 15));
}

TEST(Canvas, RectangleExcludesRightAndBottomEdges) {
    QImage img = WhiteImage(20, 20);
    {
        Canvas canvas(img);
        canvas.SetBrushColor(kBlack);
        canvas.Rectangle(2, 3, 8, 10);
    }
    const auto dark = DarkPixels(img);
    EXPECT_EQ(dark.size(), 6u * 7u);
    EXPECT_TRUE(dark.count({2, 3}));
    EXPECT_TRUE(dark.count({7, 9}));
    EXPECT_FALSE(dark.count({8, 9}));
}

TEST(Canvas, TextIsPlacedByItsTopLeftCornerAndMovesThePen) {
    QImage img = WhiteImage(200, 60);
    {
        Canvas canvas(img);
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.SetFont(FontSpec{1, kBlack, "Arial", 12, 0});
        canvas.TextOut(20, 10, "HHH");
        EXPECT_EQ(canvas.PenPos(), QPoint(20 + canvas.TextWidth("HHH"), 10));
        EXPECT_GT(canvas.TextHeight("H"), 10);
    }
    const auto dark = DarkPixels(img);
    ASSERT_FALSE(dark.empty());
    int minX = 1000, minY = 1000;
    for (const auto& [x, y] : dark) minX = std::min(minX, x), minY = std::min(minY, y);
    EXPECT_GE(minX, 20);
    EXPECT_LE(minX, 23);
    EXPECT_GE(minY, 10);
    EXPECT_LE(minY, 16); // the cap height lies just below the top of the line
}

TEST(Canvas, OpaqueTextPaintsItsBoxInTheBrushColour) {
    QImage img = WhiteImage(100, 40);
    {
        Canvas canvas(img);
        canvas.SetBrushColor(0x0000FF);
        canvas.SetFont(FontSpec{1, kBlack, "Arial", 10, 0});
        canvas.TextOut(5, 5, "i");
    }
    EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, 0xFF0000u); // red ($0000FF) at the corner
    QImage clear = WhiteImage(100, 40);
    {
        Canvas canvas(clear);
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.SetFont(FontSpec{1, kBlack, "Arial", 10, 0});
        canvas.TextOut(5, 5, "i");
    }
    EXPECT_EQ(clear.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(FontMapping, FaceNamesAndCharacters) {
    EXPECT_TRUE(FontFamilyFor("MS Sans Serif") == "Liberation Sans" ||
                FontFamilyFor("MS Sans Serif") == "DejaVu Sans");
    EXPECT_EQ(FontFamilyFor("Arial Cyr"), FontFamilyFor("Arial"));
    EXPECT_EQ(FontFamilyFor("Courier New"), "Liberation Mono");
    EXPECT_EQ(FontFamilyFor("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(FontTextFor("Symbol", "abgW"), QString::fromUtf8("αβγΩ"));
    EXPECT_EQ(FontTextFor("Symbol", "\xD6"), QString::fromUtf8("√"));
    EXPECT_EQ(FontTextFor("Terminal", "\xDC\xDF"), QString::fromUtf8("▄▀"));
    EXPECT_EQ(FontTextFor("Wingdings", "\xAA\xAC\xAD"), QString::fromUtf8("✦✶✴"));
    EXPECT_EQ(FontTextFor("QOR511", "\x8D"), QString(QChar(0xF08D)));
    EXPECT_EQ(FontTextFor("Arial", "\xC0\xFF"), QString::fromUtf8("Ая"));
}

} // namespace
} // namespace qor::ui
