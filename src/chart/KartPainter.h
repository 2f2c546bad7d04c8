// One drawing of the wheel screen, shared by the files of the drawing (Kart.cpp: the wheel,
// KartTable.cpp: the table of points): the painter with its inputs and pieces, and the small
// helpers they use. Not for use outside the drawing.
#pragma once

#include "chart/Kart.h"
#include "core/AstrClcs.h"
#include "core/Formats.h"

#include <string>
#include <string_view>

namespace qor::chart::painting {

using ui::BrushStyle;
using ui::Canvas;
using ui::OffscreenBitmap;

inline int Round(double x) {
    return static_cast<int>(RoundEven(x));
}

inline bool NoGlyph(const std::string& label) {
    return label == "5" || label == "?";
}

// Name flags switched for the texts of one hot spot, restored afterwards.
class WordNames : public NamesAs {
public:
    explicit WordNames(AstroDat& s, bool shortNames = false) : NamesAs(s, false, shortNames) {}
};

// One drawing of the screen: the inputs, and the pieces in their order.
class KartPainter {
public:
    KartPainter(NatalWheel& w, AstroDat& s, const KartOptions& o, const KartChartState& c,
                const KartServices& sv, const KartScreen& scr, OffscreenBitmap& b)
        : w_(w), s_(s), o_(o), c_(c), sv_(sv), scr_(scr), b_(b), cv_(b.canvas()), font_(b.font()) {}

    void Draw();

private:
    // Glyph texts in the symbol font with this drawing's modes, the first cell's top-left
    // corner at (x, y) (the table's glyphs, 16 pixels).
    void Glyph(int x, int y, std::string_view text, Colour colour, int cell = 16) {
        if (text.empty()) return;
        if (text[0] == '\x12')
            ui::TextOutCourier(font_, x, y, text, colour, cv_, cell);
        else
            ui::DrawGlyphs(font_, x, y, cell, text, colour, cv_);
    }
    // A glyph text of the wheel, in the wheel's cell size, its first cell centred on (x, y).
    void WheelGlyph(int x, int y, std::string_view text, Colour colour) {
        Glyph(x - cell_ / 2 + 1, y - cell_ / 2 + 1, text, colour, cell_);
    }
    void Text(int x, int y, std::string_view text, Colour colour) {
        ui::BufTextOut(b_, x, y, text, colour);
    }
    void Line(int x1, int y1, int x2, int y2) { ui::BufLine(b_, x1, y1, x2, y2); }
    void Spot(int x, int y, const std::string& rest) {
        w_.KartSpots.push_back(std::to_string(x) + ";" + std::to_string(y) + ";" + rest);
    }
    QPoint At(double r, double a) const { return w_.PointAt(r, a); }
    std::string PointLabel(int i) const;
    std::string PointName(int i);
    std::string AsteroidName(int i) const;
    std::string Msg(int n) { return GetMsgText(s_, n); }
    bool Placed(const TRing& ring, int i) const {
        return i >= 1 && i <= 26 && w_.PointRow[i] != 0 && FlagAt(ring.ExistingFlags, i, true) &&
               i != c_.ExterrBody;
    }

    void SetUp();
    void Table();
    void DrawDignityMarks(int p, int x, int y);
    void SecondColumn(int x, int y, int item, double lon, double lat, double ra, double dec,
                      double az, double alt, bool degreeLabel, Colour colour);
    void Wheel();
    void WheelPlain();
    void WheelColour();
    void SignGlyph(int x, int y, int k, Colour colour);
    void Cusps(bool outer, const PointArray& lon, Colour colour);
    void CuspLabel(bool outer, int house, const std::string& text, int dx, int dy, double lon,
                   Colour colour);
    void Bodies();
    void PlaceBodyLabels(TRing& ring, const PointArray& lon, bool outer);
    void Aspects();
    void AspectLine(int a, int i, int j);
    void OrbitMarks();
    void SecondTitle();
    void ChartTexts();

    NatalWheel& w_;
    AstroDat& s_;
    const KartOptions& o_;
    const KartChartState& c_;
    const KartServices& sv_;
    const KartScreen& scr_;
    OffscreenBitmap& b_;
    Canvas& cv_;
    ui::Font16State font_;
    bool earthForSun_ = false;
    int cell_ = 16; // the wheel's glyph cell, grown with the wheel
    int wl_ = 0, w2_ = 0;
    int degX_ = 0; // from a table row's glyph to its place, past the retrograde mark
};

} // namespace qor::chart::painting
