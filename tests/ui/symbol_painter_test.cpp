// Glyph texts of the 16 x 16 symbol font drawn pixel by pixel.
#include "ui/GlyphFonts.h"
#include "ui/OffscreenBitmap.h"
#include "ui/SymbolPainter.h"

#include "core/AstroDat.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace qor::ui {
namespace {

constexpr Colour kRed = 0x0000FF; // $00BBGGRR
constexpr Colour kGreen = 0x00FF00;
constexpr QRgb kWhitePixel = 0xFFFFFFFF;

Font16State ShippedFont() {
    Font16State f;
    const std::string bytes =
        test::TempDir::Read(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "font16.fnt");
    EXPECT_TRUE(SymbolFontFromBytes(bytes, f.Glyphs));
    return f;
}

// A glyph with every pixel different from its neighbours: a checkerboard with a mark.
Font16State Checkerboard() {
    Font16State f;
    for (int r = 1; r <= 16; ++r) SetGlyphRow(f.Glyphs, 200, r, r % 2 ? 0xAAAA : 0x5555);
    return f;
}

QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

Colour At(const QImage& img, int x, int y) {
    return FromQColor(QColor::fromRgb(img.pixel(x, y)));
}

TEST(SymbolPainter, EveryShippedGlyphPaintsExactlyItsBits) {
    const Font16State font = ShippedFont();
    QImage img = White(16 * 16, 16 * 16);
    {
        Canvas canvas(img);
        for (int c = 0; c < 256; ++c)
            DrawFont16Text(font, (c % 16) * 16, (c / 16) * 16, std::string(1, char(c)), kRed,
                           canvas);
    }
    for (int c = 0; c < 256; ++c) {
        for (int r = 1; r <= 16; ++r) {
            const uint16_t word = GlyphRow(font.Glyphs, c, r);
            for (int col = 0; col < 16; ++col) {
                const bool set = word & (0x8000 >> col); // bit 15 the leftmost pixel
                const QRgb px = img.pixel((c % 16) * 16 + col, (c / 16) * 16 + r - 1);
                ASSERT_EQ(px, set ? 0xFFFF0000u : kWhitePixel)
                    << "glyph " << c << " row " << r << " col " << col;
            }
        }
    }
}

TEST(SymbolPainter, GlyphsAdvanceTwelvePixelsAndTheBlankIsTheSun) {
    const Font16State font = ShippedFont();
    QImage one = White(60, 20), two = White(60, 20);
    {
        Canvas c1(one), c2(two);
        DrawFont16Text(font, 2, 2, " ", kBlack, c1);
        DrawFont16Text(font, 2, 2, "  ", kBlack, c2);
    }
    EXPECT_NE(one, White(60, 20)); // code 32 has ink: it is the Sun, never trimmed away
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 14; ++x) EXPECT_EQ(one.pixel(x, y), two.pixel(x, y));
    // The second Sun is the first moved 12 pixels right (cells overlap by 4 columns).
    for (int y = 2; y < 18; ++y)
        for (int x = 2 + 12 + 4; x < 2 + 12 + 16; ++x)
            EXPECT_EQ(two.pixel(x, y), one.pixel(x - 12, y)) << x << "," << y;
    QImage empty = White(60, 20);
    {
        Canvas c(empty);
        DrawFont16Text(font, 2, 2, "", kBlack, c);
    }
    EXPECT_EQ(empty, White(60, 20));
}

TEST(SymbolPainter, BackgroundModesPaintClearPixels) {
    const Font16State base = Checkerboard();
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        Font16State font = base;
        font.Font16BackMode = static_cast<uint8_t>(mode);
        font.Font16BackColor = kGreen;
        QImage img = White(20, 20);
        {
            Canvas canvas(img);
            DrawFont16Text(font, 2, 2, "\xC8", kBlack, canvas);
        }
        for (int r = 1; r <= 16; ++r) {
            for (int c = 1; c <= 16; ++c) {
                const bool set = GlyphRow(font.Glyphs, 200, r) & (0x8000 >> (c - 1));
                const bool inner = r >= 4 && r <= 13 && c >= 4 && c <= 13;
                const Colour expected = set                                   ? kBlack
                                        : (mode == 2 || (mode == 1 && inner)) ? kGreen
                                                                              : kWhite;
                ASSERT_EQ(At(img, 2 + c - 1, 2 + r - 1), expected) << r << "," << c;
            }
        }
    }
}

TEST(SymbolPainter, DoubleSizeCovers32PixelsFromSevenUpAndLeft) {
    Font16State font;
    SetGlyphRow(font.Glyphs, 65, 1, 0x8000);  // top-left pixel
    SetGlyphRow(font.Glyphs, 65, 16, 0x0001); // bottom-right pixel
    SetGlyphRow(font.Glyphs, 66, 1, 0x8000);
    font.Font16Double = true;
    QImage img = White(80, 60);
    {
        Canvas canvas(img);
        DrawFont16Text(font, 20, 20, "AB", kBlack, canvas);
    }
    for (auto [x, y] : {std::pair{13, 13}, {14, 13}, {13, 14}, {14, 14}})
        EXPECT_EQ(At(img, x, y), kBlack);
    for (auto [x, y] : {std::pair{43, 43}, {44, 43}, {43, 44}, {44, 44}})
        EXPECT_EQ(At(img, x, y), kBlack);
    EXPECT_EQ(At(img, 45, 45), kWhite);
    EXPECT_EQ(At(img, 12, 13), kWhite);
    // The second glyph starts 12 pixels to the right, inside the first one's 32 x 32 block.
    EXPECT_EQ(At(img, 25, 13), kBlack);
    EXPECT_EQ(At(img, 26, 14), kBlack);
}

TEST(SymbolPainter, ArabicPartLabelGoesToCourierAfterItsGlyph) {
    Font16State font;
    SetGlyphRow(font.Glyphs, 18, 1, 0x8001); // two corner pixels mark the glyph

    OffscreenBitmap buf(font);
    buf.Resize(60, 30);
    buf.canvas().SetFont(FontSpec{1, kBlack, "Arial", 8, fsBold});
    DrawFont16TextBuf(buf, 2, 2, "\x12W", kRed);
    const QImage& img = buf.image();
    EXPECT_EQ(At(img, 2, 2), kRed); // glyph 18
    EXPECT_EQ(At(img, 17, 2), kRed);
    // The letter in Courier from x + 3, inside the mark's cell (glyph "W" is empty here).
    int ink = 0, left = 100;
    for (int y = 3; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (At(img, x, y) != kWhite) ++ink, left = std::min(left, x);
    EXPECT_GT(ink, 10);
    EXPECT_GE(left, 5);
    // Name, size and style come back; the colour stays the label's.
    EXPECT_EQ(buf.canvas().Font().name, "Arial");
    EXPECT_EQ(buf.canvas().Font().size, 8);
    EXPECT_EQ(buf.canvas().Font().style, int(fsBold));
    EXPECT_EQ(buf.canvas().Font().color, kRed);
}

// Rows and columns of the pixels that differ from white.
QRect InkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(SymbolPainter, GlyphsInASixteenPixelCellAreTheBitmapFaceExactly) {
    const Font16State font = ShippedFont();
    const std::string text = "@A !";
    QImage a = White(80, 20), b = White(80, 20);
    {
        Canvas c(a);
        DrawFont16Text(font, 2, 2, text, kRed, c);
    }
    {
        Canvas c(b);
        DrawGlyphs(font, 2, 2, 16, text, kRed, c);
    }
    EXPECT_EQ(a, b);
}

TEST(SymbolPainter, LargerCellsGrowTheInkInProportionAndKeepItCentred) {
    Font16State font = ShippedFont();
    AstroDat s;
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    // without the outline face (the bitmap scaled), then with it
    for (const bool outline : {false, true}) {
        if (outline) ASSERT_TRUE(RegisterGlyphFonts(s));
        for (const unsigned char code : {64, 68, 32, 38, 57}) { // Aries, Leo, Sun, Saturn, trine
            const std::string glyph(1, static_cast<char>(code));
            QImage small = White(20, 20);
            {
                Canvas c(small);
                DrawGlyphs(font, 0, 0, 16, glyph, kRed, c);
            }
            for (const int cell : {24, 32, 48}) {
                QImage big = White(cell + 4, cell + 4);
                {
                    Canvas c(big);
                    DrawGlyphs(font, 0, 0, cell, glyph, kRed, c);
                }
                const QRect ink = InkBox(big), base = InkBox(small);
                const double scale = cell / 16.0;
                // the outline face is another drawing of the glyph: its proportions differ a little
                EXPECT_NEAR(ink.height(), base.height() * scale, 0.3 * base.height() * scale)
                    << int(code) << " in " << cell << (outline ? " outline" : " bitmap");
                EXPECT_NEAR(ink.center().y(), cell / 2.0, 0.12 * cell) << int(code) << " " << cell;
                EXPECT_NEAR(ink.center().x(), cell / 2.0, 0.12 * cell) << int(code) << " " << cell;
            }
        }
    }
    EXPECT_EQ(OutlineGlyphCode(64), 126); // Aries
    EXPECT_EQ(OutlineGlyphCode(75), 139); // Pisces
    EXPECT_EQ(OutlineGlyphCode(32), 141); // the Sun
    EXPECT_EQ(OutlineGlyphCode(61), 184); // opposition
    EXPECT_EQ(OutlineGlyphCode(16), 0);   // the Earth: the bitmap scaled
}

TEST(Colours, ContrastRatioAndReadableColours) {
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x123456, 0x123456), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x777777, 0xFFFFFF), 4.48, 0.01); // the usual borderline grey
    // the chart's default zodiac contour on each default element colour, and the tool
    // buttons' symbol colour on the screens' backgrounds
    struct Case {
        Colour colour, background;
    };
    const Case cases[] = {{16766886, 13545727}, {16766886, 12910532}, {16766886, 12582911},
                          {16766886, 16770560}, {0x5A2828, 0x000000}, {0x5A2828, 0xFFFFFF},
                          {0x5A2828, 0x804000}, {0x5A2828, 0xF0F0F0}, {0xFFFFFF, 0x777777}};
    for (const Case& c : cases) {
        const Colour r = ReadableOn(c.colour, c.background);
        EXPECT_GE(ContrastRatio(r, c.background), 4.5) << c.colour << " on " << c.background;
        if (ContrastRatio(c.colour, c.background) >= 4.5) EXPECT_EQ(r, c.colour);
    }
}

TEST(SymbolPainter, GlyphTableDrawingAdvancesSixteenAndPaintsWhiteWhenOpaque) {
    Font16Glyphs glyphs;
    SetGlyphRow(glyphs, 1, 1, 0x8001);
    QImage img = White(40, 20);
    {
        Canvas canvas(img);
        canvas.SetPixel(1, 0, kRed);
        canvas.SetPixel(17, 0, kRed);
        DrawGlyphText(glyphs, 0, 0, false, canvas, "\x01");
        DrawGlyphText(glyphs, 16, 0, true, canvas, "\x01");
    }
    EXPECT_EQ(At(img, 0, 0), kBlack);
    EXPECT_EQ(At(img, 15, 0), kBlack);
    EXPECT_EQ(At(img, 1, 0), kRed); // transparent: untouched
    EXPECT_EQ(At(img, 16, 0), kBlack);
    EXPECT_EQ(At(img, 17, 0), kWhite); // opaque: painted white
}

TEST(OffscreenBitmap, DegreeLabelWritesTextAndSignGlyph) {
    Font16State font;
    for (int r = 1; r <= 16; ++r) SetGlyphRow(font.Glyphs, 64 + 4, r, 0xFFFF); // Leo's glyph solid
    OffscreenBitmap buf(font);
    buf.Resize(200, 30);
    AstroDat s;
    // 4 Leo 59'59.6": minutes round up to the next degree, 5 Leo 00.
    const double arcsec = 4 * 108000 + 4 * 3600 + 59 * 60 + 59.6;
    DrawDegreeLabel(s, buf, false, 10, 5, kRed, arcsec);
    Canvas& c = buf.canvas();
    // the degrees fill the width of two digits, right-aligned
    const int glyphX = 10 + c.TextWidth("00");
    EXPECT_EQ(At(buf.image(), glyphX, 5), kRed);
    EXPECT_EQ(At(buf.image(), glyphX + 15, 20), kRed);
    EXPECT_EQ(At(buf.image(), glyphX - 1, 5), kWhite);
}

TEST(OffscreenBitmap, DegreeLabelsPutTheirSignGlyphsInOneColumn) {
    // Leo's glyph a single column of ink at its left edge: where it lands shows the column
    Font16State font;
    for (int r = 1; r <= 16; ++r) SetGlyphRow(font.Glyphs, 64 + 4, r, 0x8000);
    OffscreenBitmap buf(font);
    buf.Resize(300, 30);
    AstroDat s;
    for (const bool seconds : {false, true}) {
        std::set<int> columns;
        for (const int degree : {1, 5, 11, 20, 28}) {
            ClearBuffer(buf, kWhite);
            DrawDegreeLabel(s, buf, seconds, 10, 5, kRed, (4 * 30 + degree) * 3600.0 + 7 * 60);
            // the glyph's column: the rightmost red pixel of the glyph's row 16 (text has none
            // that low)
            int x = -1;
            for (int i = 0; i < 300; ++i)
                if (At(buf.image(), i, 20) == kRed) x = i;
            columns.insert(x);
        }
        EXPECT_EQ(columns.size(), 1u) << (seconds ? "with seconds" : "minutes");
    }
}

TEST(OffscreenBitmap, ClearFillsAndShapesKeepTheirBrushRules) {
    Font16State font;
    OffscreenBitmap buf(font);
    buf.Resize(50, 50);
    ClearBuffer(buf, kGreen);
    EXPECT_EQ(At(buf.image(), 0, 0), kGreen);
    EXPECT_EQ(At(buf.image(), 49, 49), kGreen);
    buf.canvas().SetBrushColor(kRed);
    buf.canvas().SetBrushStyle(BrushStyle::Solid);
    BufFillWith(buf, 25, 25, 10, BrushStyle::Solid, kBlack);
    EXPECT_EQ(At(buf.image(), 25, 25), kBlack);
    EXPECT_EQ(buf.canvas().BrushColor(), kRed);
    EXPECT_EQ(buf.canvas().GetBrushStyle(), BrushStyle::Solid);
    BufCircle(buf, 25, 25, 20);
    EXPECT_EQ(buf.canvas().GetBrushStyle(), BrushStyle::Clear);
    EXPECT_EQ(At(buf.image(), 10, 25), kGreen); // inside the circle, outside the disc: unfilled
    BufPolygon(buf, {{0, 0}, {8, 0}, {0, 8}}, kRed, kBlack);
    EXPECT_EQ(At(buf.image(), 2, 2), kRed);
    EXPECT_EQ(BufGetPenColor(buf), kBlack);
}

TEST(OffscreenBitmap, ArcGoesCounterClockwiseFromAngleA) {
    Font16State font;
    OffscreenBitmap buf(font);
    buf.Resize(61, 61);
    // y is down: angle 0 points right, angle pi/2 points down. From 0 counter-clockwise on the
    // screen to pi/2 is the long way round over the top: three quarters of the circle.
    BufArc(buf, 30, 30, 25, 0, M_PI / 2);
    const QImage& img = buf.image();
    auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(30, 5) || dark(30, 6));    // top
    EXPECT_TRUE(dark(5, 30) || dark(6, 30));    // left
    EXPECT_FALSE(dark(48, 48) || dark(47, 47)); // the lower right quarter stays empty
}

} // namespace
} // namespace qor::ui

namespace qor::ui {
namespace {

// Leftmost dark column of an image, -1 when it is blank.
int LeftInk(const QImage& img) {
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (qGray(img.pixel(x, y)) < 160) return x;
    return -1;
}

// Width of a text in a face and size, measured on a probe canvas.
int WidthIn(const std::string& face, int size, const std::string& text) {
    QImage probe(10, 10, QImage::Format_RGB32);
    Canvas c(probe);
    c.SetFont(FontSpec{1, kBlack, face, size, 0});
    return c.TextWidth(text);
}

TEST(SystemFontTexts, SansTextDropsTrailingBlanksAndKeepsTheCanvasFont) {
    Font16State font;
    OffscreenBitmap buf(font);
    buf.Resize(200, 40);
    buf.canvas().SetBrushStyle(BrushStyle::Clear);
    buf.canvas().SetFont(FontSpec{1, kBlack, "Courier New", 14, fsItalic});
    BufTextOutSans(buf, 10, 10, "   ", kRed);
    EXPECT_EQ(LeftInk(buf.image()), -1); // only blanks: nothing
    BufTextOutSans(buf, 10, 10, "Ab  ", kRed);
    EXPECT_GE(LeftInk(buf.image()), 10);
    EXPECT_EQ(buf.canvas().PenPos().x(), 10 + WidthIn("MS Sans Serif", 8, "Ab"));
    EXPECT_EQ(buf.canvas().Font().name, "Courier New");
    EXPECT_EQ(buf.canvas().Font().size, 14);
    EXPECT_EQ(buf.canvas().Font().style, int(fsItalic));
    EXPECT_EQ(buf.canvas().Font().color, kRed);
}

TEST(SystemFontTexts, SymbolTextDrawsAGreekLetterFirstThenTheName) {
    QImage greek = White(200, 40), digit = White(200, 40);
    {
        Canvas c(greek);
        c.SetBrushStyle(BrushStyle::Clear);
        TextOutSymbol(10, 10, "aUMa  ", kBlack, c); // alpha, then "UMa"
        EXPECT_EQ(c.PenPos().x(),
                  10 + WidthIn("Symbol", 12, "a") + WidthIn("MS Sans Serif", 10, "UMa"));
        EXPECT_EQ(c.Font().name, "MS Sans Serif"); // the canvas's own font came back
    }
    {
        Canvas c(digit);
        c.SetBrushStyle(BrushStyle::Clear);
        TextOutSymbol(10, 10, "1 Ori", kBlack, c); // a digit first: all in the sans face
        EXPECT_EQ(c.PenPos().x(), 10 + WidthIn("MS Sans Serif", 10, "1 Ori"));
    }
    EXPECT_GE(LeftInk(greek), 10);
}

} // namespace
} // namespace qor::ui
