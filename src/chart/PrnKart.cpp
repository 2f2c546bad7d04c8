#include "chart/PrnKart.h"

#include "chart/KartPainter.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/PointNames.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "ui/GlyphFonts.h"

#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace qor::chart {

namespace {

using painting::Round;
using ui::BrushStyle;
using ui::Canvas;

constexpr Colour kPrnInnerColor = 0x000000;
constexpr Colour kPrnOuterColor = 0xFF0000; // blue
constexpr Colour kPrnPaperColor = 0xFFFFFF;
constexpr Colour kNavy = 0x800000;
constexpr Colour kRed = 0x0000FF;
constexpr const char* kTextFace = "Arial Cyr";
constexpr const char* kNameFace = "Arial";

std::string Char(unsigned char c) {
    return std::string(1, static_cast<char>(c));
}

// One drawing of the page: the inputs, the page's own state, and the pieces in their order.
class PagePainter {
public:
    PagePainter(AstroDat& s, const KartOptions& o, const KartChartState& c, const KartServices& sv,
                const GlyphFaceTable& f, Canvas& cv, PrintedPage& rec)
        : s_(s), o_(o), c_(c), sv_(sv), f_(f), cv_(cv), rec_(rec), face_(f.faceName) {}

    void Draw();

private:
    // --- Primitives ---
    void TextOut(int x, int y, std::string_view text, Colour colour) {
        cv_.SetFontColor(colour);
        cv_.TextOut(x, y, text);
    }
    // A text starting with the character 127 writes only its second character.
    void GlyphText(int x, int y, std::string_view text, Colour colour) {
        if (text.empty()) return;
        if (static_cast<unsigned char>(text[0]) == 127)
            TextOut(x, y, text.substr(1, 1), colour);
        else
            TextOut(x, y, text, colour);
    }
    void Line(int x1, int y1, int x2, int y2) {
        cv_.MoveTo(x1, y1);
        cv_.LineTo(x2, y2);
    }
    void Line(QPoint a, QPoint b) { Line(a.x(), a.y(), b.x(), b.y()); }
    void Circle(int x, int y, int r) {
        cv_.SetBrushStyle(BrushStyle::Clear);
        cv_.Ellipse(x - r, y - r, x + r, y + r);
    }
    void GlyphFont(int points) {
        cv_.SetFontName(face_);
        cv_.SetFontSize(points);
    }
    void TextFont(const char* name, int points) {
        cv_.SetFontName(name);
        cv_.SetFontSize(points);
    }
    std::string ObjGlyph(int k) const { return PrnObjGlyph(s_, f_, k); }
    double Angle(double lon) const {
        return counterClock_ ? kPi + lon - startAngle_ : startAngle_ - lon;
    }
    QPoint At(double r, double a) const {
        return QPoint(cx_ + Round(r * std::cos(a)), cy_ - Round(r * std::sin(a)));
    }
    bool Placed(const TRing& ring, int i) const {
        return i >= 1 && i <= 26 && pointRow_[i] != 0 && FlagAt(ring.ExistingFlags, i, true) &&
               i != c_.ExterrBody;
    }
    void ZodiacPos(int x, int y, double arcsec, bool accurate, Colour colour);
    std::string AngleDMSText(double arcsec) const;
    void PartCircle(int x, int y);
    void RightText(int x, int y, const std::string& text) {
        TextOut(x + lh_ - cv_.TextWidth(text), y, text, kPrnInnerColor);
    }

    // --- Pieces ---
    void SetUp();
    void ZodiacRing();
    void HouseCusps(bool outer, const PointArray& lon, Colour colour);
    void RingDraw(TRing& ring, const PointArray& lon, const PointArray& speed, bool outer);
    void BodyLabel(const TRing& ring, int i, double lon, double speed, bool outer);
    void Aspects();
    void AspectLine(int n, int i, int j);
    void NodesPerihelia();
    void Table();
    void PointRow(int k, int& r);
    void HouseRow(int h, int& r);
    void AsteroidName(int x, int y, int k);
    void PointQualities(int k, int x, int y);
    void SecondColumnOfPoint(int x, int y, int k);
    void StarColumn(int x, int y, double lon);
    void SecondChartTitle();
    void Header();

    AstroDat& s_;
    const KartOptions& o_;
    const KartChartState& c_;
    const KartServices& sv_;
    const GlyphFaceTable& f_;
    Canvas& cv_;
    PrintedPage& rec_;
    const std::string face_;

    // The page's own state.
    int width_ = 0, height_ = 0;
    int lh_ = 0, gw_ = 0, centre_ = 0, radius_ = 0, cx_ = 0, cy_ = 0;
    int firstPln_ = 1, lastPln_ = 14;
    bool horizontal_ = false, counterClock_ = true, secondReady_ = false;
    int dmsFormat_ = 1;
    int w1_ = 0, w2_ = 0;
    double startAngle_ = 0;
    KartSwitches sw_;
    std::array<uint8_t, 27> pointRow_{};
    std::array<uint8_t, 27> rowPoint_{};
    int rowCount_ = 1;
    AspectMatrix matrix_;
    TKart wheel_;
};

void PagePainter::Draw() {
    SetUp();
    ZodiacRing();
    if (!c_.DoubleChart) {
        if (sw_.Houses == 1) HouseCusps(false, s_.PlanetLon, kPrnInnerColor);
    } else {
        if (sw_.Houses & 1) HouseCusps(false, s_.PlanetLon, kPrnInnerColor);
        if (sw_.Houses & 2) HouseCusps(true, s_.PlanetLonBck, kPrnOuterColor);
    }
    RingDraw(wheel_.Inner, s_.PlanetLon, s_.PlanetSpeed, false);
    if (secondReady_) RingDraw(wheel_.Outer, s_.PlanetLonBck, s_.PlanetSpeedBck, true);
    if (sw_.AspToMask != 0) Aspects();
    NodesPerihelia();
    Table();
    TextFont(kTextFace, 12);
    if (c_.DoubleChart) SecondChartTitle();
    Header();
    rec_.Wheel = wheel_;
    rec_.PointRow = pointRow_;
    rec_.Drawn = true;
}

void PagePainter::SetUp() {
    horizontal_ = o_.HorizontalBox;
    width_ = cv_.Width();
    height_ = cv_.Height();

    // White paper, black ink, the glyph face at 12 points, a frame along the page's edges.
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(kPrnPaperColor);
    cv_.FillRect(0, 0, width_, height_);
    cv_.SetFont(ui::FontSpec{1, kPrnInnerColor, face_, 12, 0});
    cv_.SetPenColor(kPrnInnerColor);
    cv_.SetPenWidth(3);
    cv_.MoveTo(0, 0);
    cv_.LineTo(width_, 0);
    cv_.LineTo(width_, height_);
    cv_.LineTo(0, height_);
    cv_.LineTo(0, 0);

    // Geometry from the page and the Sun's glyph.
    const std::string sun = Char(f_.points[1]);
    lh_ = cv_.TextHeight(sun);
    gw_ = cv_.TextWidth(sun);
    centre_ = std::min(width_, height_) / 2 + lh_;
    radius_ = centre_ - 2 * lh_;
    cx_ = radius_;
    cy_ = centre_;
    const int r = radius_;
    wheel_.CentreX = cx_;
    wheel_.CentreY = cy_;
    wheel_.R1 = Round(r * 0.5);
    wheel_.R2 = Round(r * 0.6);
    wheel_.R3 = Round(r * 0.7);
    wheel_.R4 = Round(r * 0.8);
    GlyphFont(20);
    const int boxHalf = Round(1.3 * cv_.TextWidth(sun));
    GlyphFont(12);
    InitRing(wheel_.Inner, Round(r * 0.55), Round(r * 0.49), boxHalf, cx_, cy_, kPrnInnerColor);
    InitRing(wheel_.Outer, Round(r * 0.75), Round(r * 0.49), boxHalf, cx_, cy_, kPrnOuterColor);
    rec_.FaceName = face_;
    rec_.Width = width_;
    rec_.Height = height_;
    rec_.LineHeight = lh_;
    rec_.GlyphWidth = gw_;
    rec_.Centre = centre_;
    rec_.Radius = radius_;

    sw_ = ComputeKartSwitches(o_, c_.DoubleChart);
    counterClock_ = !o_.Clockwise;
    secondReady_ = false;
    if (!c_.HelioMode && c_.DoubleChart) {
        secondReady_ = true;
        if (sv_.ComputeSecondChart) sv_.ComputeSecondChart();
    }
    // Listed after the second chart, which may leave Pluto without a place.
    const ListedPoints listed =
        ListChartPoints(s_, c_.HelioMode, horizontal_, c_.HoraryChart, o_.SeptenerBox);
    firstPln_ = 1;
    lastPln_ = listed.LastPoint;
    pointRow_ = listed.PointRow;
    rowPoint_ = listed.RowPoint;
    rowCount_ = listed.Count + 1;
    if (sv_.Aspects) CalcKartAspects(s_, o_, c_, horizontal_, *sv_.Aspects, matrix_);
    startAngle_ = KartStartLongitude(s_, o_);

    wheel_.Inner.ExistingFlags = o_.Existing;
    wheel_.Inner.AspectingFlags = o_.Aspecting;
    wheel_.Outer.ExistingFlags = o_.Existing2;
    wheel_.Outer.AspectingFlags = o_.Aspecting2;
}

// --- Primitives -------------------------------------------------------------------------------

void PagePainter::ZodiacPos(int x, int y, double arcsec, bool accurate, Colour colour) {
    // Rounded before the split, so that no position shows 30° or 60'.
    if (accurate) {
        const ZodiacParts p = SplitZodiacSeconds(arcsec);
        TextOut(x, y,
                IntToStrW(p.deg, 2) + Char(f_.degreeGlyph) + IntToStrW(p.min, 2) + "'" +
                    IntToStrW(p.sec, 2) + "\"",
                colour);
        GlyphText(cv_.PenPos().x() + 2, y, Char(f_.signs[p.sign + 1]), colour);
    } else {
        const ZodiacParts p = SplitZodiacMinutes(arcsec);
        TextOut(x, y, IntToStrW(p.deg, 2), colour);
        GlyphText(cv_.PenPos().x(), y, Char(f_.signs[p.sign + 1]) + IntToStrW(p.min, 2), colour);
    }
}

std::string PagePainter::AngleDMSText(double arcsec) const {
    const DMSTexts t = SplitDMSAs(dmsFormat_, arcsec);
    std::string out = t.degrees + Char(f_.degreeGlyph) + t.minutes + "'" + t.seconds;
    if (!t.seconds.empty()) out += "\"";
    return out;
}

void PagePainter::PartCircle(int x, int y) {
    const int w = cv_.TextWidth("F"), h = cv_.TextHeight("F");
    const int x0 = x + w / 2 - h / 2;
    cv_.SetBrushStyle(BrushStyle::Clear);
    cv_.Ellipse(x0, y, x0 + h, y + h);
    cv_.Ellipse(x0 + 1, y + 1, x0 + h - 1, y + h - 1);
    cv_.SetBrushStyle(BrushStyle::Solid);
}

// --- The wheel --------------------------------------------------------------------------------

void PagePainter::ZodiacRing() {
    const TKart& k = wheel_;
    cv_.SetPenColor(kPrnInnerColor);
    Circle(cx_, cy_, k.R1);
    cv_.SetPenColor(kNavy);
    Circle(cx_, cy_, k.R2);
    Circle(cx_, cy_, k.R3);
    cv_.SetPenColor(kPrnInnerColor);
    Circle(cx_, cy_, k.R4);
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(kPrnPaperColor);
    double a = startAngle_, step = kPi / 12;
    if (counterClock_) {
        a = kPi - startAngle_;
        step = -kPi / 12;
    }
    cv_.SetPenColor(kNavy);
    const double mid = (k.R2 + k.R3) / 2.0;
    for (int sign = 1; sign <= 12; ++sign) {
        Line(At(k.R2, a), At(k.R3, a));
        a -= step;
        const QPoint m = At(mid, a);
        const std::string g = horizontal_ ? std::to_string(sign) : Char(f_.signs[sign]);
        GlyphFont(20);
        TextOut(m.x() - cv_.TextWidth(g) / 2, m.y() - cv_.TextHeight(g) / 2, g, kNavy);
        a -= step;
    }
    GlyphFont(12);
}

void PagePainter::HouseCusps(bool outer, const PointArray& lon, Colour colour) {
    const TKart& k = wheel_;
    const int rIn = outer ? k.R3 : k.R1;
    const int rOut = outer ? k.R4 : k.R2;
    const int rL = Round(radius_ * (outer ? 0.9 : 0.85));
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(kPrnPaperColor);
    cv_.SetPenColor(outer ? kPrnOuterColor : kKartCuspColor);
    GlyphFont(12);
    auto label = [&](const std::string& text, QPoint at) {
        TextOut(at.x() - cv_.TextWidth(text) / 2, at.y() - cv_.TextHeight(text) / 2, text, colour);
    };
    auto cusp = [&](int house, double a, QPoint from, QPoint to) {
        rec_.Cusps.push_back({house, outer, a, from, to});
    };
    cv_.SetPenWidth(6);
    auto axis = [&](int point, int house, int oppHouse, const char* name, const char* opposite) {
        const double a = Angle(lon[point]);
        const QPoint p1 = At(rIn, a), p2 = At(rL, a);
        Line(p1, p2);
        cusp(house, a, p1, p2);
        label(name, p2);
        const QPoint q1 = At(rIn, a + kPi), q2 = At(rL, a + kPi);
        Line(q1, q2);
        cusp(oppHouse, a + kPi, q1, q2);
        label(opposite, q2);
    };
    axis(kAscendantPoint, 1, 7, horizontal_ ? "E" : "Asc", horizontal_ ? "W" : "Dsc");
    axis(kMidheavenPoint, 10, 4, horizontal_ ? "S" : "MC", horizontal_ ? "N" : "IC");
    cv_.SetPenWidth(3);
    for (int h : {2, 3, 5, 6, 8, 9, 11, 12}) {
        const double a = Angle(lon[26 + h]);
        const QPoint p1 = At(rOut, a), p2 = At(rIn, a);
        Line(p1, p2);
        cusp(h, a, p2, p1);
        if (!outer) Line(At(k.R4, a), At(k.R3, a));
        if (!horizontal_) label(std::to_string(h), At(rL, a));
    }
    cv_.SetPenColor(kPrnInnerColor);
}

void PagePainter::RingDraw(TRing& ring, const PointArray& lon, const PointArray& speed,
                           bool outer) {
    std::array<double, 37> angles{};
    std::vector<int> order;
    for (int i = firstPln_; i <= lastPln_; ++i) {
        if (!Placed(ring, i)) continue;
        angles[i] = Angle(lon[i]);
        order.push_back(i);
        Line(At(ring.TickRadius, angles[i]), At(wheel_.R1 + 1, angles[i]));
    }
    PlaceLabels(ring, angles, order, [&](int j) { return ObjGlyph(j) != "5"; });
    for (int i : order) BodyLabel(ring, i, lon[i], speed[i], outer);
}

void PagePainter::BodyLabel(const TRing& ring, int i, double lon, double speed, bool outer) {
    const RingEntry& e = ring.Entries[i];
    std::string g = ObjGlyph(i);
    int w = 0;
    bool part = false;
    const bool named = g == "5";
    if (named) {
        TextFont(kNameFace, 8);
        g = sv_.BodyFileName ? Trim(sv_.BodyFileName(i + 57)) : std::string();
        w = e.X >= cx_ ? 0 : cv_.TextWidth(g);
    } else {
        if (!g.empty() && static_cast<unsigned char>(g[0]) == 127) {
            g.erase(0, 1);
            part = true;
            GlyphFont(12);
        } else {
            GlyphFont(g.size() > 1 && g[0] == ']' ? 12 : 16);
        }
        w = cv_.TextWidth(g) / 2;
    }
    const int yc = cy_ - Round(e.Radius * std::sin(e.Angle));
    const int x = cx_ + Round(e.Radius * std::cos(e.Angle)) - w;
    const int y = yc - cv_.TextHeight(g) / 2;
    rec_.Labels.push_back({i, outer, e.Angle, e.Radius, e.X, e.Y, g, !named});
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(kPrnPaperColor);
    GlyphText(x, y, g, ring.LabelColour);
    if (part) PartCircle(x, y);
    const int px = x + cv_.TextWidth(g);
    GlyphFont(8);
    if (!horizontal_) {
        const std::string degree =
            std::to_string(static_cast<int>(NormAngle(lon) / kDegToRad) % 30 + 1);
        GlyphText(px, yc - cv_.TextHeight(degree), degree, ring.LabelColour);
    }
    if (speed < 0) GlyphText(px, yc, "R", ring.LabelColour);
    GlyphFont(12);
}

void PagePainter::Aspects() {
    if (!sv_.Aspects) return;
    const AspDefTable& t = *sv_.Aspects;
    AspectPairRange r;
    r.FirstPln = firstPln_;
    r.LastPln = lastPln_;
    r.AspFromMask = sw_.AspFromMask;
    r.AspToMask = sw_.AspToMask;
    r.AspKinds = sw_.AspKinds;
    r.PointRow = &pointRow_;
    r.Inner = &wheel_.Inner;
    r.Outer = &wheel_.Outer;
    ForEachShownAspect(o_, c_, t, matrix_, r, [&](int i, int j, int n) {
        cv_.SetPenColor(static_cast<Colour>(t.Asp[n].AspColorLight));
        AspectLine(n, i, j);
    });
}

void PagePainter::AspectLine(int n, int i, int j) {
    const AspectChord ch = KartAspectChord(s_, o_, c_, sv_.Aspects->Asp[n], matrix_, i, j,
                                           [this](double lon) { return Angle(lon); });
    if (!ch.Shown) return;
    cv_.SetPenWidth(ch.Thick ? 2 : 1);
    const int rr = wheel_.Inner.TickRadius - 1;
    const QPoint p1 = At(rr, ch.A1), p2 = At(rr, ch.A2);
    Line(p1, p2);
    if (i > 26) Line(p1, At(wheel_.R1, ch.A1));
    if (j > 26) Line(p2, At(wheel_.R1, ch.A2));
    const double h = (ch.A2 - ch.A1) / 2;
    const QPoint mid = At(rr * std::cos(h), ch.A1 + h);
    unsigned char glyph = 0;
    if (o_.AspSimCheck) glyph = PrnAspectGlyph(f_, n);
    if (glyph != 0) {
        const std::string g = Char(glyph);
        cv_.SetBrushStyle(BrushStyle::Solid);
        cv_.SetBrushColor(kPrnPaperColor);
        TextOut(mid.x() - cv_.TextWidth(g) / 2, mid.y() - cv_.TextHeight(g) / 2, g, cv_.PenColor());
    }
    rec_.Aspects.push_back({i, j, n, glyph, p1, p2, mid});
}

void PagePainter::NodesPerihelia() {
    const TKart& k = wheel_;
    // every shown point in its row, so hidden points take no marks from later ones
    for (int row = 1; row < rowCount_; ++row) {
        const int i = rowPoint_[row];
        if (i < 1 || i > 26 || !o_.PointElements(i)) continue;
        const int body = c_.HelioMode && i == 1 ? 0 : i;
        const std::string glyph = ObjGlyph(i);
        auto mark = [&](double lon, Colour colour, const std::string& first) {
            const double a = Angle(lon);
            cv_.SetPenColor(colour);
            for (double side : {0.0, kPi}) Line(At(k.R1 - lh_, a + side), At(k.R4 + lh_, a + side));
            const QPoint p = At(k.R4 + 3 * lh_, a);
            GlyphText(p.x() - lh_, p.y() - lh_, first, colour);
            GlyphText(p.x(), p.y() - lh_, glyph, colour);
        };
        mark(s_.Bodies[body][kBodyPerihelion], kNavy, "P");
        mark(s_.Bodies[body][kBodyNode], kRed, ObjGlyph(11));
        if (i <= 9) {
            const double pole = sv_.EquatorPoleLon ? sv_.EquatorPoleLon(body) : 0;
            mark(pole, kPrnInnerColor, "N");
        }
    }
    cv_.SetPenColor(kPrnInnerColor);
}

// --- The table of points and cusps ------------------------------------------------------------

void PagePainter::Table() {
    GlyphFont(12);
    const std::string deg = Char(f_.degreeGlyph);
    if (o_.AccurBox) {
        dmsFormat_ = 1;
        w1_ = cv_.TextWidth("29" + deg + "00'00\"" + Char(f_.signs[8]) + "XX");
        w2_ = cv_.TextWidth("229" + deg + "00'00\"XX");
    } else {
        dmsFormat_ = 0;
        w1_ = cv_.TextWidth("29" + Char(f_.signs[8]) + "00XX");
        w2_ = cv_.TextWidth("229" + deg + "00'XX");
    }
    int r = 1;
    for (int k = firstPln_; k <= lastPln_; ++k) {
        if (pointRow_[k] == 0 || k == c_.ExterrBody) continue;
        if (!o_.PointShown(k) && !(c_.DoubleChart && o_.PointShown(k, true))) continue;
        PointRow(k, r);
    }
    if (o_.HelioBox) return;
    for (int h = 1; h <= 12; ++h)
        if (o_.HouseShown(h)) HouseRow(h, r);
}

void PagePainter::PointRow(int k, int& r) {
    ++r;
    int x = 2 * (radius_ + lh_);
    const int y = r * lh_;
    rec_.Rows.push_back({k, y});
    const double toArcSec = kRadToArcSec;
    auto label = [&](const std::string& g, Colour colour) {
        if (!g.empty() && g[0] == ']') {
            GlyphFont(8);
            GlyphText(x, y, g, colour);
            GlyphFont(12);
        } else {
            GlyphText(x, y, g, colour);
        }
        if (!g.empty() && static_cast<unsigned char>(g[0]) == 127) PartCircle(x, y);
    };
    auto retrograde = [&](Colour colour) {
        const int end = cv_.PenPos().x();
        GlyphFont(8);
        GlyphText(end + 2, y + cv_.TextHeight("R") / 2, "R", colour);
        GlyphFont(12);
    };
    auto position = [&](double lon, Colour colour) {
        if (horizontal_)
            TextOut(x, y, AngleDMSText(lon * toArcSec), colour);
        else
            ZodiacPos(x, y, lon * toArcSec, o_.AccurBox, colour);
    };

    const bool second = c_.DoubleChart && o_.PointShown(k, true);
    if (o_.PointShown(k)) {
        if (k <= 16 && o_.AfetBox && f_.faceName == kQorGlyphFace.faceName) PointQualities(k, x, y);
        const std::string g = ObjGlyph(k);
        if (g == "5")
            AsteroidName(x, y, k);
        else
            label(g, kPrnInnerColor);
        if (s_.Bodies[k][kBodyMotion] < 0 && !o_.HelioBox) retrograde(kPrnInnerColor);
        x += 2 * lh_;
        position(s_.PlanetLon[k], kPrnInnerColor);
        x += w1_;
        if (o_.RABox) {
            SecondColumnOfPoint(x, y, k);
            x += w2_;
        }
    } else {
        x += 2 * lh_ + w1_;
        if (o_.RABox) x += w2_;
    }
    if (second) {
        const std::string g = ObjGlyph(k);
        // a body without a glyph is named, as in the first chart's column
        if (g == "5")
            AsteroidName(x, y, k);
        else
            label(g, kPrnOuterColor);
        if (s_.PlanetSpeedBck[k] < 0) retrograde(kPrnOuterColor);
        x += 2 * lh_;
        position(s_.PlanetLonBck[k], kPrnOuterColor);
        x += w1_;
        if (o_.RABox) {
            if (k <= lastPln_ - s_.ParsCount) {
                const double lon = s_.PlanetLonBck[k], lat = s_.PlanetLatBck[k];
                switch (o_.CoordColumn) {
                case 0:
                    ZodiacPos(x, y, lon * toArcSec, o_.AccurBox, kPrnOuterColor);
                    break;
                case 1:
                    TextOut(x, y, AngleDMSText(lat * toArcSec), kPrnOuterColor);
                    break;
                case 2:
                case 3: {
                    const EquatorialCoord e = KartEclToEqu(s_, lat, lon);
                    TextOut(x, y, AngleDMSText((o_.CoordColumn == 2 ? e.ra : e.dec) * toArcSec),
                            kPrnOuterColor);
                    break;
                }
                default:
                    break;
                }
            }
            x += w2_;
        }
    } else if (o_.StarsCheck) {
        StarColumn(x, y, s_.PlanetLon[k]);
    }
}

void PagePainter::SecondColumnOfPoint(int x, int y, int k) {
    const BodyRec& b = s_.Bodies[k];
    switch (o_.CoordColumn) {
    case 0:
        ZodiacPos(x, y, b[kBodyLon] * kRadToArcSec, o_.AccurBox, kPrnInnerColor);
        break;
    case 1:
        TextOut(x, y, AngleDMSText(b[kBodyLat] * kRadToArcSec), kPrnInnerColor);
        break;
    case 2:
        TextOut(x, y, AngleDMSText(b[kBodyRA] * kRadToArcSec), kPrnInnerColor);
        break;
    case 3:
        TextOut(x, y, AngleDMSText(b[kBodyDec] * kRadToArcSec), kPrnInnerColor);
        break;
    case 4:
        TextOut(x, y, AngleDMSText(b[kBodyAzimuth] * kRadToArcSec), kPrnInnerColor);
        break;
    case 5:
        TextOut(x, y, AngleDMSText(b[kBodyAltitude] * kRadToArcSec), kPrnInnerColor);
        break;
    default:
        break;
    }
}

void PagePainter::StarColumn(int x, int y, double lon) {
    GlyphFont(12);
    const int big = cv_.TextHeight("X");
    TextFont(kNameFace, 8);
    const int dy = (big - cv_.TextHeight("X")) / 2;
    std::string tail;
    const std::string name = NearBrightObject(s_, sv_, lon, tail);
    if (!name.empty()) TextOut(x, y + dy, name, kPrnInnerColor);
    GlyphFont(12);
}

void PagePainter::HouseRow(int h, int& r) {
    ++r;
    int x = 2 * (radius_ + lh_);
    const int y = r * lh_;
    const int p = 26 + h;
    rec_.Rows.push_back({p, y});
    const double c = s_.PlanetLon[p] * kRadToArcSec;
    if (horizontal_) {
        RightText(x, y, std::to_string(h));
        TextOut(x + 3 * gw_, y, AngleDMSText(c), kPrnInnerColor);
    } else {
        const char* title = h == 1 ? "Asc" : h == 4 ? "IC" : h == 7 ? "Dsc" : h == 10 ? "MC" : "";
        RightText(x, y, *title ? std::string(title) : std::to_string(h));
        ZodiacPos(x + 2 * lh_, y, c, o_.AccurBox, kPrnInnerColor);
    }
    x += w1_;
    auto cuspColumn = [&](const PointArray& lon, const PointArray& lat, Colour colour, int at) {
        if (o_.CoordColumn == 0) {
            ZodiacPos(at, y, lon[p] * kRadToArcSec, o_.AccurBox, colour);
        } else if (o_.CoordColumn == 2) {
            const EquatorialCoord e = KartEclToEqu(s_, lat[p], lon[p]);
            TextOut(at, y, AngleDMSText(e.ra * kRadToArcSec), colour);
        }
    };
    if (o_.RABox) {
        cuspColumn(s_.PlanetLon, s_.PlanetLat, kPrnInnerColor,
                   x + (o_.CoordColumn == 0 ? 2 * gw_ : gw_));
        x += w2_;
    }
    if (c_.DoubleChart) {
        if (!horizontal_)
            ZodiacPos(x + 4 * lh_, y, s_.PlanetLonBck[p] * kRadToArcSec, o_.AccurBox,
                      kPrnOuterColor);
        x += w1_;
        if (o_.RABox) cuspColumn(s_.PlanetLonBck, s_.PlanetLatBck, kPrnOuterColor, x + gw_);
    } else if (o_.StarsCheck) {
        StarColumn(x + 2 * lh_, y, s_.PlanetLon[p]);
        x += w2_;
    }
}

void PagePainter::AsteroidName(int x, int y, int k) {
    TextFont(kNameFace, 8);
    const std::string name = sv_.BodyFileName ? Trim(sv_.BodyFileName(k + 57)) : std::string();
    TextOut(x + lh_ - cv_.TextWidth(name), y + lh_ / 5, name, kPrnInnerColor);
    GlyphFont(12);
}

void PagePainter::PointQualities(int k, int x, int y) {
    const double deg = s_.PlanetLon[k] / kDegToRad;
    const int sign = std::clamp(static_cast<int>(deg / 30), 0, 11) + 1;
    int status = 0;
    for (int st = kRulership; st <= kFall; ++st)
        if (o_.Status.Has(st, sign, k)) status = st;
    TextFont(kTextFace, 10);
    TextOut(x - 3 * lh_, y, PrnDignityLetter(status, s_.EnglishMode), kPrnInnerColor);
    GlyphFont(12);
    TextOut(x - 2 * lh_, y, Char(kQorCrossGlyphs[(sign - 1) % 3]), kPrnInnerColor);
    TextOut(x - lh_, y, Char(kQorElementGlyphs[(sign - 1) % 4]), kPrnInnerColor);
}

// --- Texts ------------------------------------------------------------------------------------

void PagePainter::SecondChartTitle() {
    TextFont(kTextFace, 12);
    const DatRecNameDateTime ndt = GetDatRecNameDateTime(s_.DatRec2);
    const std::string title = chart::SecondChartTitle(s_, c_.MethodText);
    const int t = cv_.TextHeight(title.empty() ? "X" : title);
    TextOut(radius_, t + 5, title, kPrnOuterColor);
    TextOut(radius_, 2 * t + 5, ndt.date + "  " + ndt.time, kPrnOuterColor);
}

void PagePainter::Header() {
    TextFont(kTextFace, 12);
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(kPrnPaperColor);
    if (c_.HoraryChart) TextOut(radius_, lh_, GetMsgText(s_, 11), kPrnInnerColor);
    const std::string line = KartDataLine(s_, o_, c_);
    TextOut(lh_, 5, line, kPrnInnerColor);
    int y = 5 + cv_.TextHeight("X");
    TextFont(kTextFace, 8);
    y -= cv_.TextHeight("X");
    if (o_.SystemsBox) {
        y += lh_;
        if (o_.HelioBox) {
            TextOut(lh_, y, GetMsgText(s_, 12), kPrnInnerColor);
        } else if (horizontal_) {
            TextOut(lh_, y, GetMsgText(s_, 80), kPrnInnerColor);
        } else {
            TextOut(lh_, y, c_.HouseSystemName, kPrnInnerColor);
            y += lh_;
            TextOut(lh_, y, GetMsgText(s_, c_.HorParallax ? 13 : 14), kPrnInnerColor);
        }
    }
    if (c_.ExterrBody != 0) {
        y += lh_;
        NamesAs words(s_, false, false);
        TextOut(lh_, y + lh_, Trim(BodyName(s_, c_.ExterrBody)), kPrnInnerColor);
    }
    const std::string stamp = "QOR 5.12";
    TextOut(5, height_ - cv_.TextHeight(stamp) - 5, stamp, kPrnInnerColor);
    TextFont(kTextFace, 12);
}

} // namespace

const GlyphFaceTable& PrintGlyphFace(AstroDat& s, bool winstarChosen) {
    if (winstarChosen && ui::CheckGlyphFace(s, std::string(kWinstarGlyphFace.faceName)))
        return kWinstarGlyphFace;
    return kQorGlyphFace;
}

std::string PrnObjGlyph(const AstroDat& s, const GlyphFaceTable& face, int k) {
    if (k < 1 || k > 36) return {};
    const int part = k - 14 - s.NExtra;
    if (part >= 1 && part <= s.ParsCount && part < static_cast<int>(s.ParsGlyphs.size()))
        return std::string(1, '\x7F') + s.ParsGlyphs[part];
    if (k == 15 && face.faceName != kQorGlyphFace.faceName)
        return std::string("]") + Char(face.points[15]) + "[";
    return Char(face.points[k]);
}

unsigned char PrnAspectGlyph(const GlyphFaceTable& face, int n) {
    if (n == 4 || (n >= 6 && n <= 13)) return face.aspects[n];
    return 0;
}

std::string PrnDignityLetter(int status, bool english) {
    static const char* const eng[5] = {" ", "R", "D", "E", "F"};
    static const std::string rus[5] = {" ", Cp("О"), Cp("И"), Cp("э"), Cp("п")};
    if (status < 0 || status > 4) status = 0;
    return english ? std::string(eng[status]) : rus[status];
}

bool PrintKart(AstroDat& s, const KartOptions& o, const KartChartState& chart,
               const KartServices& services, const GlyphFaceTable& face, QPaintDevice& device,
               PrintedPage* record) {
    if (!chart.Ready) return false;
    PrintedPage own;
    PrintedPage& rec = record ? *record : own;
    rec = PrintedPage{};
    Canvas cv(device);
    if (!cv.Active()) return false;
    PagePainter(s, o, chart, services, face, cv, rec).Draw();
    return cv.End();
}

} // namespace qor::chart
