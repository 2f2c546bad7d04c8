#include "forecast/MotionGraph.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor::forecast {

using ui::Canvas;
using ui::Colour;

namespace {

constexpr std::array<HarmonicSpec, 5> kHarmonics = {{
    {360, 12, 60, 3},
    {90, 9, 80, 5},
    {60, 12, 60, 5},
    {45, 9, 80, 5},
    {30, 10, 70, 3},
}};

// Colours $00BBGGRR.
constexpr Colour kGrey = 0x808080;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x008000;

constexpr int kBodiesDrawn = 15;

int Round(double v) {
    return static_cast<int>(RoundEven(v));
}

bool Chosen(const std::string& picker, int i) {
    return i >= 1 && i <= static_cast<int>(picker.size()) &&
           picker[static_cast<std::size_t>(i - 1)] != '*';
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYearIn(year > 1582, year)) return 29;
    return kDays[std::clamp(month, 1, 12)];
}

// One drawing's state: the geometry, the edges and each body's previous point.
struct Plot {
    Canvas& cv;
    const ui::Font16State& font;
    const MotionGeometry& g;
    const MotionChoices& c;
    int yEnd = 0;
    bool natalShown = false;
    std::array<QPoint, 17> prev{};
    std::vector<GlyphLabel> top, bottom;

    void HLine(int y) {
        cv.SetPenColor(kGrey);
        cv.MoveTo(kGraphLeftX, y);
        cv.LineTo(g.XRight(), y);
        yEnd = y;
    }
    void Label(int x, int y, const std::string& text) {
        cv.SetFontColor(ui::kBlack);
        cv.TextOut(x, y, text);
    }
    // Title and degree labels; the time axis's rows come from the caller, then the verticals.
    void Head(const std::string& title) {
        cv.SetPenColor(ui::kBlack);
        Label(32, 2, title);
        const int n = g.harm.divisions;
        for (int i = 0; i <= n; ++i)
            Label(Round(i * g.divisionWidth + 32), 20, IntToStrW(i * g.harm.degrees / n, 2));
    }
    void Verticals() {
        const int n = g.harm.divisions;
        cv.SetPenColor(kGrey);
        for (int i = 0; i <= n; ++i) {
            const int x = Round(i * g.divisionWidth + kGraphLeftX);
            cv.MoveTo(x, g.y0);
            cv.LineTo(x, yEnd);
        }
        const int minor = g.harm.minorDivisions;
        for (int j = 1; j <= n * minor; ++j) {
            const int x = Round(g.divisionWidth / minor * (j - 1) + kGraphLeftX);
            for (int y = g.y0; y < yEnd; y += 3) cv.SetPixel(x, y, kGrey);
        }
    }
    // A grey pixel at every third x of a row (the 11th and 21st of a month).
    void DottedRow(int y) {
        const double limit = g.harm.divisions * g.divisionWidth + kGraphLeftX - 1;
        for (int x = kGraphLeftX + 1; x < limit; x += 3) cv.SetPixel(x, y, kGrey);
    }

    void DrawLabels(std::vector<GlyphLabel>& list, int mode, int yTop, int yBottom) {
        list = SpreadGlyphLabels(list);
        for (const GlyphLabel& l : list) {
            if (l.body == 0) continue;
            if (mode != 2) cv.SetPenColor(l.body == 1 ? kRed : ui::kBlack);
            const Colour colour = cv.PenColor();
            const char glyph = BodyGlyph(l.body);
            if (mode == 1) {
                cv.MoveTo(l.trueX, yBottom);
                cv.LineTo(l.placedX, yBottom + 5);
                ui::DrawFont16Text(font, l.placedX - 8, yBottom + 6, std::string(1, glyph), colour,
                                   cv);
            } else {
                cv.MoveTo(l.trueX, yTop);
                cv.LineTo(l.placedX, yTop - 5);
                ui::DrawFont16Text(font, l.placedX - 8, yTop - 16, std::string(1, glyph), colour,
                                   cv);
            }
        }
    }

    void NatalMarks(const PointArray& natal) {
        if (!natalShown) return;
        cv.SetPenColor(kGreen);
        top.clear();
        for (int i = 1; i <= kBodiesDrawn; ++i) {
            if (!Chosen(c.natal, i)) continue;
            const int x = g.Column(natal[static_cast<std::size_t>(i)]);
            cv.MoveTo(x, g.y0);
            cv.LineTo(x, yEnd);
            top.push_back({i, x, x});
        }
        DrawLabels(top, 2, g.y0, yEnd);
        cv.SetPenColor(kGreen);
        for (int h = 1; h <= 12; ++h) {
            if (!Chosen(c.houses, h)) continue;
            const int x = g.Column(natal[static_cast<std::size_t>(26 + h)]);
            cv.MoveTo(x, g.y0);
            cv.LineTo(x, yEnd);
            const std::string label = h == 1    ? "Asc"
                                      : h == 4  ? "IC"
                                      : h == 7  ? "Dsc"
                                      : h == 10 ? "MC"
                                                : std::to_string(h);
            cv.SetFontColor(kGreen);
            cv.TextOut(x - 6, g.y0 - 28, label);
        }
    }

    // One row of samples at height y.
    void Row(int y, const EphemerisRecord& r, MotionResult& out) {
        for (int i = 1; i <= kBodiesDrawn; ++i) {
            if (!Chosen(c.work, i)) continue;
            cv.SetPenColor(i == 1 ? kRed : ui::kBlack);
            const int x = g.Column(r.Lon[static_cast<std::size_t>(i - 1)]);
            const QPoint next(x, y);
            if (y > g.y0)
                for (const Segment& seg :
                     CurveSegments(g, i, prev[static_cast<std::size_t>(i)], next)) {
                    cv.MoveTo(seg.from.x(), seg.from.y());
                    cv.LineTo(seg.to.x(), seg.to.y());
                }
            if (y == g.y0 && !natalShown) top.push_back({i, x, x});
            prev[static_cast<std::size_t>(i)] = next;
            out.points[static_cast<std::size_t>(i - 1)].push_back(next);
            auto it = std::find_if(bottom.begin(), bottom.end(),
                                   [i](const GlyphLabel& l) { return l.body == i; });
            if (it == bottom.end())
                bottom.push_back({i, x, x});
            else
                it->placedX = it->trueX = x;
        }
        if (!natalShown && y == g.y0) DrawLabels(top, 0, g.y0, yEnd);
        ++out.samples;
    }
};

} // namespace

HarmonicSpec HarmonicOf(int item) {
    return kHarmonics[static_cast<std::size_t>(item >= 0 && item < 5 ? item : 0)];
}

int MotionGeometry::XRight() const {
    return Round(harm.divisions * divisionWidth + kGraphLeftX);
}

int MotionGeometry::Column(double lon) const {
    const double a = NormAngle2(lon * 360.0 / harm.degrees) / kDegToRad;
    return kGraphLeftX + Round(a / 360.0 * harm.divisions * divisionWidth);
}

MotionGeometry MakeMotionGeometry(int bitmapWidth, int screenHeight, int harmonicItem,
                                  int daysInYear) {
    MotionGeometry g;
    g.harm = HarmonicOf(harmonicItem);
    g.widthUnit = bitmapWidth / 800.0;
    g.divisionWidth = g.harm.widthFactor * g.widthUnit;
    g.dayHeight = static_cast<double>(screenHeight - 30 - kGraphTopY) / daysInYear;
    return g;
}

std::vector<Segment> CurveSegments(const MotionGeometry& g, int body, QPoint previous,
                                   QPoint next) {
    std::vector<Segment> out;
    const int xR = g.XRight();
    const int x = next.x(), y = next.y();
    const bool wraps = std::abs(previous.x() - x) > (g.harm.divisions - 2) * g.divisionWidth ||
                       (body == 2 && previous.x() > x);
    if (wraps) {
        const auto guard = [](double d) { return d == 0 ? 1e-9 : d; };
        if (previous.x() > x) {
            // forward through 360°: out at the right edge, in at the left
            const double d = guard(x + xR - kGraphLeftX - previous.x());
            const int yc = Round(previous.y() + (xR - previous.x()) * (y - previous.y()) / d);
            out.push_back({previous, QPoint(xR, yc)});
            previous = QPoint(kGraphLeftX, yc);
        } else {
            const double d = guard(previous.x() + xR - kGraphLeftX - x);
            const int yc =
                Round(previous.y() + (previous.x() - kGraphLeftX) * (y - previous.y()) / d);
            out.push_back({previous, QPoint(kGraphLeftX, yc)});
            previous = QPoint(xR, yc);
        }
    }
    out.push_back({previous, next});
    return out;
}

std::vector<GlyphLabel> SpreadGlyphLabels(std::vector<GlyphLabel> labels) {
    const auto byX = [](const GlyphLabel& a, const GlyphLabel& b) { return a.placedX < b.placedX; };
    for (GlyphLabel& l : labels) l.trueX = l.placedX;
    std::stable_sort(labels.begin(), labels.end(), byX);
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
            if (labels[i].body == 0 || labels[i + 1].body == 0) continue;
            if (labels[i + 1].placedX - labels[i].placedX < kGlyphLabelGap) {
                ++labels[i + 1].placedX;
                std::stable_sort(labels.begin(), labels.end(), byX);
                changed = true;
            }
        }
    }
    return labels;
}

MotionResult DrawTransitGraph(AstroDat& s, ui::Canvas& canvas, const ui::Font16State& font,
                              const MotionChoices& c, const std::vector<EphemerisRecord>& year,
                              const PointArray& natal, int screenHeight) {
    MotionResult out;
    if (c.kind != 0 || (c.period != 0 && c.period != 1)) return out;
    const int y = c.year;
    const int daysInYear = IsLeapYearIn(y > 1582, y) ? 366 : 365;
    const MotionGeometry g =
        MakeMotionGeometry(canvas.Width(), screenHeight, c.harmonic, daysInYear);
    Plot plot{canvas, font, g, c};
    for (int i = 1; i <= kBodiesDrawn; ++i) plot.natalShown = plot.natalShown || Chosen(c.natal, i);
    for (int h = 1; h <= 12; ++h) plot.natalShown = plot.natalShown || Chosen(c.houses, h);

    const bool month = c.period == 0;
    const int m = std::clamp(c.month, 1, 12);
    double rowHeight = g.dayHeight;
    if (month) {
        rowHeight = 11.5 * g.dayHeight;
        out.rows = DaysInMonth(y, m);
        plot.Head(GetMsgText(s, 60, std::to_string(m) + "." + std::to_string(y)));
        for (int d = 1; d <= out.rows + 1; ++d) {
            const int yy = Round((d - 1) * rowHeight + g.y0);
            if (d <= out.rows) plot.Label(10, yy + 2, IntToStrW(d, 2));
            plot.HLine(yy);
        }
    } else {
        out.rows = 12;
        plot.Head(GetMsgText(s, 61, std::to_string(y)));
        int daysBefore = 0;
        for (int mm = 1; mm <= 13; ++mm) {
            const int yy = Round(daysBefore * g.dayHeight + g.y0);
            if (mm <= 12) plot.Label(0, yy + 2, IntToStrW(mm, 3));
            plot.HLine(yy);
            if (mm <= 12) {
                plot.DottedRow(yy + Round(10 * g.dayHeight));
                plot.DottedRow(yy + Round(20 * g.dayHeight));
                daysBefore += DaysInMonth(y, mm);
            }
        }
    }
    plot.Verticals();
    plot.NatalMarks(natal);

    std::size_t first = 0;
    if (month) {
        const int index = AnnualRecordIndex(y, m, 1);
        if (index < 0) return out;
        first = static_cast<std::size_t>(index);
    }
    for (std::size_t k = 0; first + k < year.size(); ++k) {
        const int yy = Round(static_cast<double>(k) * rowHeight + g.y0);
        plot.Row(yy, year[first + k], out);
        if (yy >= plot.yEnd) break;
    }
    plot.DrawLabels(plot.bottom, 1, g.y0, plot.yEnd);
    out.bottomLabels = plot.bottom;
    out.yEnd = plot.yEnd;
    out.drawn = true;
    return out;
}

} // namespace qor::forecast
