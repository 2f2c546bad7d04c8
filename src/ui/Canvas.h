// The drawing canvas of the program: one model over a QPainter on any paint device (the
// off-screen bitmap of the main window, a window's paint box, a printer page).
//
// The model is that of the windows' drawing code: the canvas keeps a pen (colour, width,
// style, raster mode), a brush (colour, style), a font (face name, size in points, style,
// colour) and a pen position between calls. Coordinates are whole device pixels, y down.
// Rectangles and ellipses take their right and bottom edges as exclusive; a line leaves its
// last point undrawn, so joined lines in an inverting mode invert each joint once; texts are
// placed by their top-left corner; arcs and pie sectors are given by their bounding box and
// two points that fix the start and end rays, and run counter-clockwise on the screen;
// polygons fill odd-even. Texts are code page 1251 bytes; the face names of the windows'
// fonts map to fonts of this system (see FontFamilyFor).
#pragma once

#include "ui/Components.h"
#include "ui/Dialogs.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPoint>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QImage;
class QPaintDevice;

namespace qor::ui {

// A colour as the settings files keep it: $00BBGGRR (ToQColor and FromQColor convert).
using Colour = uint32_t;

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

enum class BrushStyle {
    Solid,
    Clear,
    Horizontal,
    Vertical,
    FDiagonal,
    BDiagonal,
    Cross,
    DiagCross
};
// Copy paints the pen colour; NotXor and Xor combine it with what is there, so drawing the
// same thing twice restores the picture (cursors, rubber bands, markers); Not inverts.
enum class PenMode { Copy, NotXor, Xor, Not };
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// The family on this system that stands for a face name of the windows' fonts: "MS Sans
// Serif", "Arial" (and its "Cyr" variant) and "Tahoma" become Liberation Sans (DejaVu Sans
// when it is missing), "Courier New" Liberation Mono, "Times New Roman" Liberation Serif;
// "Symbol", "Wingdings" and "Terminal" become DejaVu Sans with their characters mapped (see
// FontTextFor); "QOR511" is the program's glyph font; any other name stays as it is.
QString FontFamilyFor(const std::string& face);
// The characters to draw for a code page 1251 text in the given face: Latin letters of
// "Symbol" become Greek letters, "Wingdings" and "Terminal" characters their Unicode
// symbols, codes of the symbol-encoded glyph fonts U+F000 + code.
QString FontTextFor(const std::string& face, std::string_view cp1251);

class Canvas {
public:
    // Draws on the device until the canvas goes. A QImage should be Format_RGB32 for the
    // inverting pen modes.
    explicit Canvas(QPaintDevice& device);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    QPaintDevice& Device() { return device_; }
    // Whether the painter could begin on the device (a printer or a PDF file that cannot be
    // opened refuses it).
    bool Active() const { return painter_.isActive(); }
    // Ends the drawing (a printer's job is finished, a PDF file written); false when that
    // failed. Nothing may be drawn afterwards.
    bool End();
    int Width() const;
    int Height() const;
    // Dots per inch of the device (font sizes in points become pixels by it).
    int Dpi() const;

    // Pen.
    Colour PenColor() const { return penColor_; }
    void SetPenColor(Colour c);
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int w);
    PenStyle GetPenStyle() const { return penStyle_; }
    void SetPenStyle(PenStyle s);
    PenMode GetPenMode() const { return penMode_; }
    void SetPenMode(PenMode m);

    // Brush.
    Colour BrushColor() const { return brushColor_; }
    void SetBrushColor(Colour c);
    BrushStyle GetBrushStyle() const { return brushStyle_; }
    void SetBrushStyle(BrushStyle s);

    // Font.
    const FontSpec& Font() const { return font_; }
    void SetFont(const FontSpec& f);
    void SetFontName(const std::string& name);
    void SetFontSize(int points);
    void SetFontStyle(int style);
    void SetFontColor(Colour c);

    // Pen position.
    QPoint PenPos() const { return penPos_; }
    void MoveTo(int x, int y);
    // A line from the pen position to (x, y) in the pen; (x, y) itself is not drawn and
    // becomes the pen position.
    void LineTo(int x, int y);

    void SetPixel(int x, int y, Colour c);
    // Many pixels of one colour at once (dotted lines), as SetPixel would set each.
    void SetPixels(const QPolygon& points, Colour c);
    // The pixel's colour; black outside the device or when the device is not an image.
    Colour Pixel(int x, int y) const;

    void Rectangle(int x1, int y1, int x2, int y2); // outline in the pen, inside in the brush
    void FillRect(int x1, int y1, int x2, int y2);  // the brush only
    void Ellipse(int x1, int y1, int x2, int y2);
    // Arc of the ellipse in the box (x1, y1)-(x2, y2) from the ray through (x3, y3) to the
    // ray through (x4, y4), counter-clockwise on the screen; equal rays give the whole
    // ellipse.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // The sector between the same two rays, outlined in the pen and filled with the brush.
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<QPoint>& points);
    // Several closed polygons filled as one figure, odd-even: a polygon inside another
    // makes a hole.
    void PolyPolygon(const std::vector<std::vector<QPoint>>& polygons);

    // The text with its top-left corner at (x, y) in the font and font colour; the text's box
    // is painted in the brush colour first unless the brush is clear. The pen position
    // becomes (x + width, y).
    void TextOut(int x, int y, std::string_view text);
    int TextWidth(std::string_view text) const;
    int TextHeight(std::string_view text) const;

    // Draws an image with its top-left corner at (x, y).
    void DrawImage(int x, int y, const QImage& image);

    QPainter& Painter() { return painter_; }

private:
    void ApplyPen();
    void ApplyBrush();
    void ApplyCompositionMode();
    QFont MakeFont() const;
    // What a font measures on this device: kept per font, since measuring a text shapes it
    // again each time, and the screens draw the same labels over and over.
    struct MeasuredFont {
        QFont font;
        int height = 0;
        int ascent = 0;
        QHash<QString, int> widths;
    };
    MeasuredFont& Measured() const;
    int Advance(const QString& text) const;

    QPaintDevice& device_;
    QImage* image_ = nullptr;
    bool paper_ = false; // a printer or a PDF file: lines as lines, not pixel by pixel
    QPainter painter_;
    Colour penColor_ = kBlack;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    PenMode penMode_ = PenMode::Copy;
    Colour brushColor_ = kWhite;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    FontSpec font_;
    QPoint penPos_{0, 0};
    mutable std::vector<MeasuredFont> measured_;
    mutable unsigned measuredGeneration_ = 0;
};

} // namespace qor::ui
