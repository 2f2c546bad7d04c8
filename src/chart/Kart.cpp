#include "chart/Kart.h"

#include "chart/KartPainter.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Parses.h"
#include "core/PointNames.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

using ui::BrushStyle;
using ui::Canvas;
using ui::OffscreenBitmap;

ListedPoints ListChartPoints(const AstroDat& s, bool helio, bool horizontal, bool horary,
                             bool septenary) {
    ListedPoints l;
    l.LastPoint = 14 + s.NExtra;
    if (!helio && !horizontal) l.LastPoint += s.ParsCount;
    l.LastPoint = std::clamp(l.LastPoint, 1, 26);
    for (int i = 1; i <= 26; ++i) {
        const bool hidden = (helio && (i == 2 || (i >= 11 && i <= 14))) ||
                            (horary && septenary && ((i >= 8 && i <= 10) || i >= 13)) ||
                            (i == 10 && s.PlutoMissing) || i > l.LastPoint;
        if (!hidden) {
            ++l.Count;
            l.PointRow[i] = static_cast<uint8_t>(l.Count);
            l.RowPoint[l.Count] = static_cast<uint8_t>(i);
        }
    }
    for (int r = l.Count + 1; r <= 26; ++r) l.RowPoint[r] = static_cast<uint8_t>(r);
    return l;
}

std::string ChartPointLabel(AstroDat& s, int i, bool earthForSun) {
    if (i == 1 && earthForSun) return std::string(1, '\x10');
    const int k = i - 14 - s.NExtra;
    if (k >= 1 && k <= s.ParsCount && k < static_cast<int>(s.ParsGlyphs.size()))
        return std::string(1, '\x12') + s.ParsGlyphs[k];
    NamesAs glyphs(s, true, s.ShortNames);
    return BodyName(s, i);
}

namespace painting {

std::string KartPainter::PointLabel(int i) const {
    return ChartPointLabel(const_cast<AstroDat&>(s_), i, earthForSun_);
}

std::string KartPainter::AsteroidName(int i) const {
    if (sv_.BodyFileName) return Trim(sv_.BodyFileName(i + 57));
    return {};
}

std::string KartPainter::PointName(int n) {
    return qor::PointName(s_, n, c_.HelioMode, sv_.BodyFileName);
}

void KartPainter::Draw() {
    SetUp();
    Table();
    if (o_.WheelBox) {
        Wheel();
        const bool dbl = c_.DoubleChart;
        if (!dbl) {
            if (w_.Houses == 1) Cusps(false, s_.PlanetLon, w_.KartInnerColor);
        } else {
            if (w_.Houses & 1) Cusps(false, s_.PlanetLon, w_.KartInnerColor);
            if (w_.Houses & 2) Cusps(true, s_.PlanetLonBck, w_.KartOuterColor);
        }
        Bodies();
        if (w_.AspToMask != 0) Aspects();
        OrbitMarks();
    }
    if (c_.DoubleChart) SecondTitle();
    earthForSun_ = false;
    ChartTexts();
    w_.AspFromMask = 3;
    w_.AspToMask = 3;
    s_.DMSFormat = 1;
    if (!w_.KartPendingText.empty()) {
        cv_.SetBrushStyle(BrushStyle::Solid);
        cv_.SetBrushColor(kKartNoteColor);
        Text(w_.KartPendingX, w_.KartPendingY, w_.KartPendingText, ui::kBlack);
        cv_.SetBrushColor(w_.KartPaperColor);
    }
}

// Steps before anything is drawn: aspect page, colours, geometry, point rows, aspects, start
// angle, table columns.
void KartPainter::SetUp() {
    NatalWheel& w = w_;
    w.KartHorizontal = o_.HorizontalBox;
    if (o_.DfOrbBox && sv_.SelectAspectPage) sv_.SelectAspectPage(c_.DoubleChart);
    w.KartSpots.clear();

    switch (o_.Background) {
    case WheelBackground::Colour:
        w.KartOuterColor = 0xFF0000;
        w.KartInnerColor = 0x000000;
        w.KartPaperColor = o_.Colors.KartBck;
        w.LabelBackColor = o_.Colors.HouseBelt;
        break;
    case WheelBackground::White:
        w.KartOuterColor = 0xFF0000;
        w.KartInnerColor = 0x000000;
        w.KartPaperColor = 0xFFFFFF;
        w.LabelBackColor = 0xFFFFFF;
        break;
    case WheelBackground::Black:
        w.KartOuterColor = 0x74FFFF;
        w.KartInnerColor = 0xFFFFFF;
        w.KartPaperColor = 0x000000;
        w.LabelBackColor = 0x000000;
        break;
    }
    ui::ClearBuffer(b_, w.KartPaperColor);
    font_.Font16BackColor = w.KartPaperColor;
    font_.Font16BackMode = 0;
    font_.Font16Double = false;
    w.KartLightPaper = o_.Background != WheelBackground::Black;

    ui::FontSpec f = scr_.GraphFont;
    cv_.SetFont(f);
    cv_.SetPenMode(ui::PenMode::Copy);
    cv_.SetPenWidth(1);
    w.KartLineHeight = cv_.TextHeight("X");
    w.KartCharWidth = cv_.TextWidth("X");
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(w.KartPaperColor);

    const KartLayout g = ComputeKartLayout(o_, scr_, b_.Height());
    w.KartHalf = g.Half;
    w.KartCentreX = g.CentreX;
    w.KartCentreY = g.CentreY;
    w.KartScale = g.Scale;
    w.KartRatio = g.Ratio;
    TKart& k = w.KartWheel;
    k.CentreX = g.CentreX;
    k.CentreY = g.CentreY;
    k.R1 = g.R1;
    k.R2 = g.R2;
    k.R3 = g.R3;
    k.R4 = g.R4;
    // Glyphs grow with the wheel: the bitmap face's 16 pixels up to a wheel of that radius,
    // in proportion beyond; the labels' boxes and first radius grow with them.
    cell_ = WheelGlyphCell(k.R4, o_.SymbolDoubleSizeBox);
    const int box = 12 * cell_ / 16;
    const int lift = cell_ > 16 ? cell_ / 2 + 2 : 0;
    InitRing(k.Inner, std::max(g.InnerStart, g.R1 + lift), g.Tick, box, g.CentreX, g.CentreY,
             w.KartInnerColor);
    InitRing(k.Outer, std::max(g.OuterStart, g.R3 + lift), g.Tick, box, g.CentreX, g.CentreY,
             w.KartOuterColor);

    w.KartFirstPln = 1;
    w.KartLastPln =
        ListChartPoints(s_, c_.HelioMode, w.KartHorizontal, c_.HoraryChart, o_.SeptenerBox)
            .LastPoint;

    w.KartSecondReady = false;
    const KartSwitches sw = ComputeKartSwitches(o_, c_.DoubleChart);
    w.KartAspKinds = sw.AspKinds;
    int houses = sw.Houses;
    w.AspFromMask = sw.AspFromMask;
    w.AspToMask = sw.AspToMask;
    w.KartCounterClock = !o_.Clockwise;

    if (c_.HelioMode) {
        earthForSun_ = true;
    } else if (c_.DoubleChart) {
        w.KartSecondReady = true;
        if (sv_.ComputeSecondChart) sv_.ComputeSecondChart();
    }

    // Listed after the second chart, which may leave Pluto without a place.
    const ListedPoints listed =
        ListChartPoints(s_, c_.HelioMode, w.KartHorizontal, c_.HoraryChart, o_.SeptenerBox);
    w.PointRow = listed.PointRow;
    w.RowPoint = listed.RowPoint;
    w.RowCount = listed.Count + 1;

    if (sv_.Aspects && sv_.Matrix)
        CalcKartAspects(s_, o_, c_, w.KartHorizontal, *sv_.Aspects, *sv_.Matrix);

    if (c_.DraggedBody > 0) {
        w.KartStartAngle = w.KartHeldStart;
        if (!c_.DoubleChart)
            houses = 0;
        else
            houses &= c_.PickInner ? ~1 : ~2;
        w.AspToMask &= ~2;
    } else {
        w.KartStartAngle = KartStartLongitude(s_, o_);
    }
    w.Houses = houses;

    w.KartTableX =
        w.KartCentreX + k.R4 + cv_.TextWidth("XXXXXXXX") + Round(o_.BegTrackBar * w.KartScale * 4);
    // Columns as wide as what they hold, measured in the graph font, plus the user's extra
    // width: the point's glyph and retrograde mark, then its place; the second column's
    // coordinate.
    const std::string deg(1, kDegreeSign);
    degX_ = std::max(3 * w.KartCharWidth, 2 * ui::kFont16Advance + 2);
    const int gap = 2 * w.KartCharWidth;
    int place = 0, second = 0, extraL = 0, extraR = 0;
    if (o_.AccurBox) {
        place = cv_.TextWidth("00" + deg + "00'00\"") + 2 + 16;
        second = cv_.TextWidth("-000" + deg + "00'00\"");
        extraL = o_.CLTrackBar;
        extraR = o_.CRATrackBar;
        s_.DMSFormat = 1;
    } else {
        place = cv_.TextWidth("00") + 16 + cv_.TextWidth("00");
        second = cv_.TextWidth("-000" + deg + "00'");
        extraL = o_.SLTrackBar;
        extraR = o_.SRATrackBar;
        s_.DMSFormat = 0;
    }
    wl_ = degX_ + place + gap + Round(extraL * 4 * w.KartScale);
    second = std::max(second, place);
    w2_ = second + gap + Round(extraR * 4 * w.KartScale);
    k.Inner.ExistingFlags = o_.Existing;
    k.Inner.AspectingFlags = o_.Aspecting;
    k.Outer.ExistingFlags = o_.Existing2;
    k.Outer.AspectingFlags = o_.Aspecting2;
}

// --- Zodiac belt and rings ----------------------------------------------------------------

void KartPainter::SignGlyph(int x, int y, int k, Colour colour) {
    if (w_.KartHorizontal) {
        const BrushStyle style = cv_.GetBrushStyle();
        cv_.SetBrushStyle(BrushStyle::Clear);
        Text(x - 7, y - 7, IntToStrW(k, 1), w_.KartInnerColor);
        cv_.SetBrushStyle(style);
        return;
    }
    {
        WordNames words(s_);
        Spot(x, y, Trim(SignName(s_, k)) + " (" + SignAbbr(k) + ");" + IntToStrZ(k, 2));
    }
    WheelGlyph(x, y, std::string(1, static_cast<char>(63 + k)), colour);
}

void KartPainter::Wheel() {
    if (o_.Background == WheelBackground::Colour)
        WheelColour();
    else
        WheelPlain();
}

void KartPainter::WheelPlain() {
    const TKart& k = w_.KartWheel;
    const Colour line = w_.KartLightPaper ? kKartZodiacLightColor : kKartZodiacDarkColor;
    const int cx = k.CentreX, cy = k.CentreY;
    cv_.SetPenColor(w_.KartInnerColor);
    ui::BufCircle(b_, cx, cy, k.R1);
    cv_.SetPenColor(line);
    ui::BufCircle(b_, cx, cy, k.R2);
    ui::BufCircle(b_, cx, cy, k.R3);
    cv_.SetPenColor(w_.KartInnerColor);
    ui::BufCircle(b_, cx, cy, k.R4);
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(w_.KartPaperColor);
    cv_.SetPenColor(line);
    double a = w_.KartStartAngle, step = kPi / 12;
    if (w_.KartCounterClock) {
        a = kPi - a;
        step = -kPi / 12;
    }
    const double mid = (k.R2 + k.R3) / 2.0;
    for (int sign = 1; sign <= 12; ++sign) {
        const QPoint p2 = At(k.R2, a), p3 = At(k.R3, a);
        cv_.SetPenColor(line);
        Line(p2.x(), p2.y(), p3.x(), p3.y());
        a -= step;
        const QPoint m = At(mid, a);
        SignGlyph(m.x(), m.y(), sign, line);
        a -= step;
    }
}

void KartPainter::WheelColour() {
    const TKart& k = w_.KartWheel;
    const ChartColors& c = o_.Colors;
    const int cx = k.CentreX, cy = k.CentreY;
    auto disc = [&](int r) { cv_.Ellipse(cx - r, cy - r, cx + r, cy + r); };
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetPenColor(c.HouseContour);
    cv_.SetBrushColor(c.HouseBelt);
    disc(k.R4);
    cv_.SetPenColor(c.ZodiacContour);
    const Colour elements[4] = {c.Fire, c.Earth, c.Air, c.Water};
    double a = w_.KartStartAngle, step = kPi / 12;
    if (w_.KartCounterClock) {
        a = kPi - a;
        step = -kPi / 12;
    }
    // boundary of sign k at a - 2 (k - 1) step
    auto boundary = [&](int sign) { return a - 2 * (sign - 1) * step; };
    const int r3 = k.R3;
    for (int sign = 1; sign <= 12; ++sign) {
        const double from = boundary(sign), to = boundary(sign + 1);
        cv_.SetBrushColor(elements[(sign - 1) % 4]);
        // Pie runs counter-clockwise on the screen from its first ray to its second: the
        // sign's own arc is from the smaller to the larger angle.
        const double lo = std::min(from, to), hi = std::max(from, to);
        const QPoint p1 = At(r3, lo), p2 = At(r3, hi);
        cv_.Pie(cx - r3, cy - r3, cx + r3, cy + r3, p1.x(), p1.y(), p2.x(), p2.y());
    }
    const double mid = (k.R2 + k.R3) / 2.0;
    for (int sign = 1; sign <= 12; ++sign) {
        const QPoint m = At(mid, boundary(sign) - step);
        // the contour colour where it stands out from the element's colour, else one that does
        // (with a margin over the 4.5 text needs: an outline glyph's smoothed edges are lighter)
        SignGlyph(m.x(), m.y(), sign,
                  ui::ReadableOn(c.ZodiacContour, elements[(sign - 1) % 4], 7.0));
    }
    cv_.SetBrushColor(c.HouseBelt);
    disc(k.R2);
    cv_.SetPenColor(c.HouseContour);
    cv_.SetBrushColor(c.KartBck);
    disc(k.R1);
    cv_.SetBrushColor(w_.KartPaperColor);
}

// --- House cusps --------------------------------------------------------------------------

void KartPainter::CuspLabel(bool outer, int house, const std::string& text, int dx, int dy,
                            double lon, Colour colour) {
    const TKart& k = w_.KartWheel;
    const int tw = cv_.TextWidth(text), th = cv_.TextHeight(text);
    Text(k.CentreX + dx - tw / 2, k.CentreY - dy - th / 2, text, colour);
    if (w_.KartHorizontal) return;
    WordNames words(s_, true);
    Spot(k.CentreX + dx, k.CentreY - dy,
         Trim(CuspTitle(s_, house, true)) + " " + FormatZodiacDMS(s_, lon * kRadToArcSec) + ";" +
             IntToStrZ(house, 2) + (outer ? "1" : "0"));
}

void KartPainter::Cusps(bool outer, const PointArray& lon, Colour colour) {
    const TKart& k = w_.KartWheel;
    const int rA = outer ? k.R3 : k.R1;
    const int rB = outer ? k.R4 : k.R2;
    const int rAxis = outer ? k.R4 + 25 : k.R4 + 15;
    const bool hz = w_.KartHorizontal;
    cv_.SetPenColor(outer ? w_.KartOuterColor : kKartCuspColor);
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(w_.KartPaperColor);
    auto axis = [&](int point, const char* name, const char* opposite, int house, int oppHouse,
                    const char* hzName, const char* hzOpposite) {
        const double a = w_.ScreenAngle(lon[point]);
        const QPoint p1 = At(rA, a), p2 = At(rAxis, a);
        Line(p1.x(), p1.y(), p2.x(), p2.y());
        const int dx = Round((rAxis + 6) * std::cos(a)), dy = Round((rAxis + 6) * std::sin(a));
        CuspLabel(outer, house, hz ? hzName : name, dx, dy, lon[point], colour);
        const QPoint q1 = At(rA, a + kPi), q2 = At(rAxis, a + kPi);
        Line(q1.x(), q1.y(), q2.x(), q2.y());
        CuspLabel(outer, oppHouse, hz ? hzOpposite : opposite, -dx, -dy,
                  NormAngle(lon[point] + kPi), colour);
    };
    axis(kAscendantPoint, "Asc", "Dsc", 1, 7, "E", "W");
    axis(kMidheavenPoint, "MC", "IC", 10, 4, "S", "N");
    for (int h : {2, 3, 5, 6, 8, 9, 11, 12}) {
        const double a = w_.ScreenAngle(lon[26 + h]);
        const QPoint p1 = At(rB, a), p2 = At(rA, a);
        Line(p1.x(), p1.y(), p2.x(), p2.y());
        if (!outer) {
            const QPoint q1 = At(k.R3, a), q2 = At(k.R4, a);
            Line(q1.x(), q1.y(), q2.x(), q2.y());
        }
        if (!hz)
            CuspLabel(outer, h, IntToStrW(h, 1), Round(rAxis * std::cos(a)),
                      Round(rAxis * std::sin(a)), lon[26 + h], colour);
    }
    cv_.SetPenColor(w_.KartInnerColor);
}

// --- Body labels --------------------------------------------------------------------------

void KartPainter::Bodies() {
    PlaceBodyLabels(w_.KartWheel.Inner, s_.PlanetLon, false);
    if (c_.DoubleChart && w_.KartSecondReady)
        PlaceBodyLabels(w_.KartWheel.Outer, s_.PlanetLonBck, true);
}

void KartPainter::PlaceBodyLabels(TRing& ring, const PointArray& lon, bool outer) {
    const TKart& k = w_.KartWheel;
    std::array<double, 37> angles{};
    std::vector<int> order;
    for (int i = w_.KartFirstPln; i <= w_.KartLastPln; ++i) {
        if (!Placed(ring, i)) continue;
        angles[i] = w_.ScreenAngle(lon[i]);
        order.push_back(i);
        const QPoint p1 = At(ring.TickRadius, angles[i]), p2 = At(k.R1 + 1, angles[i]);
        Line(p1.x(), p1.y(), p2.x(), p2.y());
    }
    PlaceLabels(ring, angles, order, [&](int j) { return !NoGlyph(PointLabel(j)); });

    for (int i : order) {
        RingEntry& e = ring.Entries[i];
        const LabelOffset off = ring.Offsets[i];
        const std::string label = PointLabel(i);
        const Colour colour = ring.LabelColour;
        if (o_.AVCheckBox && NoGlyph(label)) {
            const int x = k.CentreX + Round((e.Radius + 12) * std::cos(e.Angle));
            const int y = k.CentreY - Round((e.Radius + 12) * std::sin(e.Angle));
            e.X = x;
            e.Y = y;
            const std::string name = AsteroidName(i);
            cv_.SetBrushStyle(BrushStyle::Solid);
            cv_.SetBrushColor(w_.LabelBackColor);
            const int h = cv_.Font().size / 2 + 2;
            const int wdt = x < k.CentreX ? cv_.TextWidth(name) - 4 : 4;
            Text(x - wdt + off.DX, y - h + off.DY, name, colour);
            cv_.SetBrushColor(w_.KartPaperColor);
        } else {
            font_.Font16BackMode = 1;
            WheelGlyph(e.X + off.DX, e.Y + off.DY, label, colour);
            font_.Font16BackMode = 0;
        }
        const int reported = c_.HelioMode && i == 1 ? 0 : i;
        std::string name;
        {
            WordNames words(s_);
            if (reported <= 14)
                name = Trim(BodyName(s_, reported));
            else if (label.size() > 1 && label[0] == '\x12')
                name = ParsFindByGlyph(s_, label[1]);
            else
                name = AsteroidName(i);
        }
        const double l = outer ? s_.PlanetLonBck[i] : s_.PlanetLon[i];
        const double v = outer ? s_.PlanetSpeedBck[i] : s_.PlanetSpeed[i];
        std::string degree;
        {
            WordNames words(s_, true);
            degree = w_.KartHorizontal ? FormatDMS(s_, l * kRadToArcSec)
                                       : FormatZodiacDMS(s_, l * kRadToArcSec);
        }
        Spot(e.X, e.Y,
             name + " " + (v < 0 ? "(R) " : "") + degree + ";p" + IntToStrZ(i, 2) +
                 (outer ? "1" : "0"));
    }
}

// --- Aspects ------------------------------------------------------------------------------

void KartPainter::Aspects() {
    if (!sv_.Aspects || !sv_.Matrix) return;
    const AspDefTable& t = *sv_.Aspects;
    AspectPairRange r;
    r.FirstPln = w_.KartFirstPln;
    r.LastPln = w_.KartLastPln;
    r.AspFromMask = w_.AspFromMask;
    r.AspToMask = w_.AspToMask;
    r.AspKinds = w_.KartAspKinds;
    r.PointRow = &w_.PointRow;
    r.Inner = &w_.KartWheel.Inner;
    r.Outer = &w_.KartWheel.Outer;
    ForEachShownAspect(o_, c_, t, *sv_.Matrix, r, [&](int i, int j, int a) {
        cv_.SetPenColor(static_cast<Colour>(w_.KartLightPaper ? t.Asp[a].AspColorLight
                                                              : t.Asp[a].AspColorDark));
        AspectLine(a, i, j);
    });
}

void KartPainter::AspectLine(int a, int i, int j) {
    const AspDefTable& t = *sv_.Aspects;
    const AspDef& def = t.Asp[a];
    const AspectMatrix& m = *sv_.Matrix;
    const AspectChord ch = KartAspectChord(s_, o_, c_, def, m, i, j,
                                           [this](double lon) { return w_.ScreenAngle(lon); });
    if (!ch.Shown) return;
    const char mode = c_.DoubleChart ? o_.AspectingMode : 'I';
    const double a1 = ch.A1, a2 = ch.A2, d = ch.Separation, e = ch.Orb;
    cv_.SetPenWidth(ch.Thick ? 2 : 1);
    const TKart& k = w_.KartWheel;
    const int r = k.Inner.TickRadius - 1;
    const QPoint p1 = At(r, a1), p2 = At(r, a2);
    Line(p1.x(), p1.y(), p2.x(), p2.y());
    if (i > 26) {
        const QPoint q = At(k.R1, a1);
        Line(p1.x(), p1.y(), q.x(), q.y());
    }
    if (j > 26) {
        const QPoint q = At(k.R1, a2);
        Line(p2.x(), p2.y(), q.x(), q.y());
    }
    if (o_.AspSimCheck) {
        const double h = (a2 - a1) / 2, mid = a1 + h;
        const int mx = k.CentreX + Round(r * std::cos(h) * std::cos(mid));
        const int my = k.CentreY - Round(r * std::cos(h) * std::sin(mid));
        const bool blank = c_.DoubleChart && mode != 'I' && s_.DynMethod != ' ';
        const bool applying = m.AspApplying[i][j] != 0;
        const char* mark1 = blank ? " " : applying ? ">" : "<";
        const char* mark2 = blank ? " " : applying ? "<" : ">";
        std::string text;
        {
            WordNames words(s_);
            text = def.AspName + " " + PointName(i) + "-" + PointName(j) + " ";
            text.append(mark1)
                .append(Trim(FormatDMS(s_, (o_.OrbBox ? e : d) * kRadToArcSec)))
                .append(mark2);
        }
        Spot(mx, my, text + ";" + IntToStrZ(i, 2) + IntToStrZ(a, 2) + IntToStrZ(j, 2));
        if (a != 1 && a != 14 && t.AspGlyph[a] != 0) {
            font_.Font16BackMode = 1;
            WheelGlyph(mx, my, std::string(1, t.AspGlyph[a]), cv_.PenColor());
            font_.Font16BackMode = 0;
        }
    }
    cv_.SetPenWidth(1);
}

// --- Orbit marks, titles ------------------------------------------------------------------

void KartPainter::OrbitMarks() {
    const TKart& k = w_.KartWheel;
    const bool dark = w_.KartInnerColor == 0xFFFFFF;
    const Colour c1 = dark ? 0xFFFF00 : 0x800000;
    const Colour c2 = dark ? 0x00FFFF : 0x0000FF;
    // every shown point in its row, so hidden points take no marks from later ones
    for (int row = 1; row < w_.RowCount; ++row) {
        const int i = w_.RowPoint[row];
        if (i < 1 || i > 26 || !o_.PointElements(i)) continue;
        const int body = c_.HelioMode && i == 1 ? 0 : i;
        const std::string glyph = PointLabel(i);
        auto mark = [&](double lon, Colour colour, std::string_view first, bool glyphFirst,
                        int bodyDx, int msg) {
            const double a = w_.ScreenAngle(lon);
            cv_.SetPenColor(colour);
            for (double side : {0.0, kPi}) {
                const QPoint p1 = At(k.R1 - 5, a + side), p2 = At(k.R4 + 5, a + side);
                Line(p1.x(), p1.y(), p2.x(), p2.y());
            }
            const QPoint p = At(k.R4 + 21, a);
            if (glyphFirst)
                WheelGlyph(p.x() - 1, p.y() - 1, first, colour);
            else
                Text(p.x() - 8, p.y() - 8, first, colour);
            WheelGlyph(p.x() - 1 + (8 + bodyDx) * cell_ / 16, p.y() - 1, glyph, colour);
            Spot(p.x() - 4, p.y(), Msg(msg));
        };
        mark(s_.Bodies[body][kBodyPerihelion], c1, "P", false, 0, 75);
        mark(s_.Bodies[body][kBodyNode], c2, PointLabel(11), true, 5, 76);
        if (i <= 9) {
            const double pole = sv_.EquatorPoleLon ? sv_.EquatorPoleLon(body) : 0;
            mark(pole, w_.KartInnerColor, "N", false, 0, 77);
        }
    }
    cv_.SetPenColor(w_.KartInnerColor);
}

void KartPainter::SecondTitle() {
    const Colour col = w_.KartOuterColor;
    const DatRecNameDateTime ndt = GetDatRecNameDateTime(s_.DatRec2);
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(w_.KartPaperColor);
    const int y = scr_.ScrTop + 4 + w_.KartLineHeight;
    Text(w_.KartTableX, y, SecondChartTitle(s_, c_.MethodText), col);
    Text(w_.KartTableX, y + w_.KartLineHeight, ndt.date + "  " + ndt.time, col);
}

void KartPainter::ChartTexts() {
    const Colour col = w_.KartInnerColor;
    cv_.SetBrushStyle(BrushStyle::Solid);
    cv_.SetBrushColor(w_.KartPaperColor);
    if (c_.HoraryChart) Text(w_.KartTableX, 2 * w_.KartLineHeight + 4, Msg(11), col);
    const std::string line = KartDataLine(s_, o_, c_);
    int x = scr_.ScrLeft + 16, y = scr_.ScrTop + 4;
    Text(x, y, line, col);
    if (o_.SystemsBox) {
        y += w_.KartLineHeight;
        if (o_.HelioBox) {
            Text(x, y, Msg(12), col);
        } else if (o_.HorizontalBox) {
            Text(x, y, Msg(80), col);
        } else {
            Text(x, y, c_.HouseSystemName, col);
            y += w_.KartLineHeight;
            Text(x, y, Msg(c_.HorParallax ? 13 : 14), col);
        }
    }
    if (c_.ExterrBody != 0) {
        y += 20 + 16;
        WordNames words(s_);
        Text(x, y, Trim(BodyName(s_, c_.ExterrBody)), col);
    }
}

} // namespace painting

using painting::Round;

std::string KartDataLine(const AstroDat& s, const KartOptions& o, const KartChartState& c) {
    std::string line;
    if (!(c.RealTimeMode && !c.DoubleChart)) {
        line = s.ChartName;
        const std::size_t br = line.find_first_of("\r\n");
        if (br != std::string::npos) line.resize(br);
    }
    if (o.DataCheckBox)
        line += " " + c.DateText + " " + c.TimeText + " " + FormatZoneOffset(s.ChartZone, false) +
                " " + c.LatText + " " + c.LongText;
    return Trim(line);
}

std::string SecondChartTitle(const AstroDat& s, const std::string& methodText) {
    const DatRecNameDateTime ndt = GetDatRecNameDateTime(s.DatRec2);
    std::string method = methodText;
    const std::size_t colon = method.find(':');
    if (colon != std::string::npos) method.resize(colon);
    std::string title = s.DynMethod == ' ' && !Trim(ndt.name).empty() ? ndt.name : method;
    if (std::string("DZPpz").find(s.DynMethod) != std::string::npos &&
        std::fabs(s.DirCoef - 1) > 0.0001) {
        std::string coef = Trim(FloatToStrComma(1, 3, s.DirCoef));
        while (!coef.empty() && coef.back() == '0') coef.pop_back();
        if (!coef.empty() && coef.back() == ',') coef.pop_back();
        title += "(" + coef + ")";
    }
    return title;
}

// --- Shared by the screen and the printed page ---------------------------------------------

KartSwitches ComputeKartSwitches(const KartOptions& o, bool doubleChart) {
    KartSwitches sw;
    sw.AspKinds = 2 * o.MinorCheck + o.MajorCheck;
    sw.Houses = 2 * o.OutHsCheck + o.InHsCheck;
    if (!doubleChart) sw.Houses &= 1;
    sw.AspFromMask = 2 * o.FromHsCheck + o.FromPlnCheck;
    sw.AspToMask = 2 * o.ToHsCheck + o.ToPlnCheck;
    if (sw.Houses == 0) {
        sw.AspFromMask &= 1;
        sw.AspToMask &= 1;
    }
    if (sw.AspFromMask == 0) sw.AspToMask = 0;
    return sw;
}

double KartStartLongitude(const AstroDat& s, const KartOptions& o) {
    switch (o.Start) {
    case WheelStart::BackAscendant:
        return s.PlanetLonBck[kAscendantPoint];
    case WheelStart::Degree:
        return o.StartDegree * kDegToRad;
    case WheelStart::Ascendant:
        break;
    }
    return s.PlanetLon[kAscendantPoint];
}

void CalcKartAspects(AstroDat& s, const KartOptions& o, const KartChartState& c, bool horizontal,
                     const AspDefTable& t, AspectMatrix& m) {
    AspectOptions ao;
    ao.MajorCheck = o.MajorCheck;
    ao.MinorCheck = o.MinorCheck;
    ao.AspectingMode = o.AspectingMode;
    ao.CoinsideBox = o.CoinsideBox;
    AspectCharts ch;
    ch.lon = &s.PlanetLon;
    ch.speed = &s.PlanetSpeed;
    ch.lonBck = &s.PlanetLonBck;
    ch.speedBck = &s.PlanetSpeedBck;
    ch.doubleChart = c.DoubleChart;
    ch.directions = s.DynMethod != ' ';
    ch.exterrBody = c.ExterrBody;
    ch.nExtra = s.NExtra;
    ch.parsCount = c.HelioMode || horizontal ? 0 : s.ParsCount;
    CalcAspects(t, ao, ch, m);
}

void ForEachShownAspect(const KartOptions& o, const KartChartState& c, const AspDefTable& t,
                        const AspectMatrix& m, const AspectPairRange& r,
                        const std::function<void(int i, int j, int n)>& f) {
    const char mode = c.DoubleChart ? o.AspectingMode : 'I';
    auto range = [&](int mask, int& lo, int& hi) {
        lo = mask == 2 ? 27 : r.FirstPln;
        hi = mask == 1 ? r.LastPln : 38;
    };
    int i0, i1, j0, j1;
    range(r.AspFromMask, i0, i1);
    range(r.AspToMask, j0, j1);
    if (i1 == 38 && !o.InHsCheck && (mode == 'I' || mode == 'O')) i1 = r.LastPln;
    if (j1 == 38 && !o.InHsCheck && (mode == 'I' || mode == 'X')) j1 = r.LastPln;
    if (j1 == 38 && !o.OutHsCheck && (mode == 'O' || mode == 'X')) j1 = r.LastPln;
    const TRing& fromRing = mode == 'O' ? *r.Outer : *r.Inner;
    const TRing& toRing = mode == 'I' ? *r.Inner : *r.Outer;
    auto passes = [&](int p, const TRing& ring) {
        if (p >= 27) return o.HouseAspected(p - 26);
        return p >= 1 && p <= r.LastPln && FlagAt(ring.AspectingFlags, p, true) &&
               FlagAt(ring.ExistingFlags, p, true) && (*r.PointRow)[p] != 0;
    };
    for (int i = i0; i <= i1; ++i) {
        if (!passes(i, fromRing)) continue;
        const int jStart = mode != 'X' && j0 <= i ? i + 1 : j0;
        for (int j = jStart; j <= j1; ++j) {
            if (!passes(j, toRing)) continue;
            if (i == 11 && j == 12) continue;
            const int a = m.AspMatrix[i][j];
            if (a < 1 || a > 20 || a > t.AspCount) continue;
            const char kind = t.Asp[a].AspKind;
            const bool shown = (r.AspKinds == 1 && kind == 'M') ||
                               (r.AspKinds == 2 && kind == ' ') || (r.AspKinds == 3 && kind != '-');
            if (shown) f(i, j, a);
        }
    }
}

AspectChord KartAspectChord(const AstroDat& s, const KartOptions& o, const KartChartState& c,
                            const AspDef& def, const AspectMatrix& m, int i, int j,
                            const std::function<double(double)>& angleOf) {
    AspectChord ch;
    if (c.HoraryChart && o.CoinsBox && m.AspApplying[i][j] == 0) return ch;
    const char mode = c.DoubleChart ? o.AspectingMode : 'I';
    const double li = mode == 'O' ? s.PlanetLonBck[i] : s.PlanetLon[i];
    const double lj = mode == 'I' ? s.PlanetLon[j] : s.PlanetLonBck[j];
    ch.A1 = NormAngle(angleOf(li));
    ch.A2 = NormAngle(angleOf(lj));
    // the separation folded into 0..π before the aspect's angle is taken off it, so an
    // arc of more than 180° counts as its complement
    ch.Separation = std::fabs(ReduceAngle(ch.A1 - ch.A2));
    ch.Orb = std::fabs(ReduceAngle(def.AspAngle - ch.Separation));
    const bool minor = def.AspKind == ' ';
    if (o.AspectAccur && ch.Orb > (minor ? 0.5 : 1.0) * kDegToRad) return ch;
    ch.Thick = o.AccurAspCheck && !o.AspectAccur && ch.Orb <= kDegToRad && !minor;
    ch.Shown = true;
    return ch;
}

// --- Geometry -----------------------------------------------------------------------------

int WheelGlyphCell(int outerRadius, bool doubleSize) {
    const int cell = std::max(16, Round(outerRadius * 16.0 / kGlyphNativeRadius));
    return doubleSize ? 2 * cell : cell;
}


KartLayout ComputeKartLayout(const KartOptions& o, const KartScreen& scr, int bitmapHeight) {
    KartLayout g;
    g.Half = (scr.ScrHeight - scr.ScrTop) >> 1;
    g.CentreX = g.Half + o.XoTrackBar;
    g.CentreY = g.Half + o.YoTrackBar;
    g.Scale = scr.ScreenWidth / 820.0;
    g.Ratio = (bitmapHeight + 52) / static_cast<double>(std::max(1, scr.ScreenHeight));
    constexpr double kShrink = 0.95;
    auto ring = [&](double inset) {
        return Round((g.Half - (inset * g.Ratio + 40) * g.Scale) * kShrink);
    };
    g.R1 = ring(90) + o.TrackBarR1 + o.SizeTrackBar;
    g.R2 = ring(60) + o.TrackBarR2 + o.SizeTrackBar;
    g.R3 = ring(30) + o.TrackBarR3 + o.SizeTrackBar;
    g.R4 = Round((g.Half - 40 * g.Scale) * kShrink) + o.TrackBarR4 + o.SizeTrackBar;
    g.InnerStart = Round(g.R1 + 10 * g.Scale * kShrink) + o.Pln1TrackBar;
    g.OuterStart = Round(g.R3 + 10 * g.Scale * kShrink) + o.Pln2TrackBar;
    g.Tick = Round(g.R1 - 3 * g.Scale * kShrink) + o.MrkTrackBar;
    return g;
}

void InitRing(TRing& ring, int startRadius, int tickRadius, int boxHalf, int centreX, int centreY,
              Colour colour) {
    ring.StartRadius = startRadius;
    ring.TickRadius = tickRadius;
    ring.BoxHalf = boxHalf;
    ring.CentreX = centreX;
    ring.CentreY = centreY;
    ring.LabelColour = colour;
}

void PlaceLabels(TRing& ring, const std::array<double, 37>& angles, const std::vector<int>& order,
                 const std::function<bool(int)>& obstacle) {
    std::vector<int> placed;
    const int box = ring.BoxHalf;
    for (int i : order) {
        const double a = angles[i];
        const double ca = std::cos(a), sa = std::sin(a);
        int r = ring.StartRadius;
        int x = 0, y = 0;
        for (;;) {
            x = ring.CentreX + Round(r * ca);
            y = ring.CentreY - Round(r * sa);
            bool free = true;
            for (int j : placed) {
                const RingEntry& e = ring.Entries[j];
                if (x - box < e.X && e.X < x + box && y - box < e.Y && e.Y < y + box) {
                    free = false;
                    break;
                }
            }
            if (free) break;
            ++r;
        }
        ring.Entries[i] = RingEntry{a, r, x, y};
        if (obstacle(i)) placed.push_back(i);
    }
}

// --- The screen ---------------------------------------------------------------------------

double NatalWheel::ScreenAngle(double lon) const {
    return KartCounterClock ? kPi + lon - KartStartAngle : KartStartAngle - lon;
}

QPoint NatalWheel::PointAt(double r, double angle) const {
    return QPoint(KartWheel.CentreX + Round(r * std::cos(angle)),
                  KartWheel.CentreY - Round(r * std::sin(angle)));
}

void NatalWheel::DrawKart(AstroDat& s, const KartOptions& o, const KartChartState& chart,
                          const KartServices& services, const KartScreen& screen,
                          ui::OffscreenBitmap& b) {
    if (!chart.Ready) return;
    KartReady = 0;
    painting::KartPainter(*this, s, o, chart, services, screen, b).Draw();
    ++DrawCount;
    KartReady = 1;
}

void NatalWheel::ClearLabelOffsets() {
    KartWheel.Inner.Offsets.fill({});
    KartWheel.Outer.Offsets.fill({});
}

bool NatalWheel::DropPendingNote() {
    if (KartPendingText.empty()) return false;
    KartPendingText.clear();
    return true;
}

} // namespace qor::chart
