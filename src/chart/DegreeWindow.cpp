#include "chart/DegreeWindow.h"

#include "core/AstroMath.h"
#include "core/DegreeTexts.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

namespace {

// A degree-text file is a few hundred kilobytes; anything far beyond is no such file.
constexpr std::size_t kDegreeFileMaxBytes = 8 << 20;
constexpr int kMargin = 8;     // the text and the scale keep this far from the sides
constexpr int kTick = 8;       // the end ticks of the scale, each way
constexpr int kObjectTick = 6; // the tick of an object
constexpr int kGlyphSize = 16; // a symbol-font cell

int Round(double x) {
    return static_cast<int>(RoundEven(x));
}

std::string UpToComma(std::string text) {
    return NextField(text, ',');
}

} // namespace

int DegreeRuler(int d) {
    static constexpr int kRulers[7] = {5, 1, 4, 3, 2, 7, 6};
    return kRulers[((d - 1) % 7 + 7) % 7];
}

std::string DegreeRulerName(AstroDat& s, int d) {
    NamesAs words(s, false, false);
    return RemoveBlanks(BodyName(s, DegreeRuler(d)));
}

double PointerLongitude(double dx, double dy, double startAngle, bool counterClock) {
    // The screen angle, counter-clockwise from 3 o'clock; the wheel puts longitude lon at
    // pi + lon - start (counter-clockwise) or start - lon (clockwise).
    const double a = NormAngle(std::atan2(dy, dx));
    return NormAngle(counterClock ? a - kPi + startAngle : startAngle - a);
}

DegreeTextFiles DefaultDegreeTextFiles(bool english) {
    DegreeTextFiles f;
    f.First = english ? "Txt\\Gradus\\GOstrel-e.txt" : "Txt\\Gradus\\GOstrel.txt";
    f.Second = english ? "Txt\\Gradus\\GFirnel-e.txt" : "Txt\\Gradus\\GFirnel.txt";
    return f;
}

void DegreeTextReader::ReadDegreeText(AstroDat& s, const DegreeTextFiles& files,
                                      std::string& text, double lon) {
    const int d = DegreeOfLongitude(lon);
    const int sign = (d - 1) / 30 + 1, g = (d - 1) % 30 + 1;
    filesRead_ = 0;
    bool titled = false;
    const std::pair<const std::string*, bool> wanted[2] = {{&files.First, files.FirstOn},
                                                            {&files.Second, files.SecondOn}};
    for (const auto& [name, on] : wanted) {
        if (!on) continue;
        std::string bytes;
        const IoResult r = ReadFileBytes(s.DataPath(*name), bytes, kDegreeFileMaxBytes);
        if (!r.ok()) {
            // Told once: the window follows the pointer, and a message at every new degree
            // would leave no way to move on.
            if (told_.insert(UpperCaseCp(*name)).second) IOCheck(s, r, *name);
            continue;
        }
        if (++filesRead_ == 2) text += "/";
        const DegreeEntry e = FindDegreeEntry(bytes, sign, g);
        if (e.signFound && !titled) {
            titled = true;
            text += "     " + std::to_string(g) + kDegreeSign + " " + e.title + "/";
        }
        if (e.degreeFound) {
            text += "     " + e.lines[0] + "/";
            for (std::size_t i = 1; i < e.lines.size(); ++i) text += e.lines[i] + "/";
        }
        if (filesRead_ >= 2 && (text.empty() || text.back() != '/')) text += "/";
    }
}

std::vector<DegreeObject> DegreeObjects(const DegreeObjectSources& src, int d) {
    std::vector<DegreeObject> out;
    const auto inDegree = [d](double lon) { return DegreeOfLongitude(lon) == d; };
    if (src.Lon) {
        const PointArray& lon = *src.Lon;
        const int last = std::clamp(src.LastPoint, 0, 26);
        for (int i = 1; i <= last; ++i) {
            if ((src.Shown && !src.Shown(i)) || !inDegree(lon[i])) continue;
            DegreeObject o{DegreeObject::Body, NormAngle(lon[i]), {}, true, i};
            o.Label = src.Label ? src.Label(i) : std::string();
            // An extra point without a glyph goes by its name.
            if (o.Label.empty() || o.Label == "5" || o.Label == "?") {
                o.Label = src.Name ? Trim(src.Name(i)) : std::to_string(i);
                o.Glyph = false;
            }
            out.push_back(std::move(o));
        }
    }
    if (src.Stars) {
        const StarCatalogue& c = *src.Stars;
        const int count = std::min<int>({c.StarCount, static_cast<int>(c.StarLon.size()) - 1,
                                         static_cast<int>(c.YaleStars.size()) - 1});
        for (int n = 1; n <= count; ++n) {
            if (c.StarLon[n] == 0 || c.YaleStars[n].Mag > kDegreeStarMagLimit ||
                !inDegree(c.StarLon[n]))
                continue;
            out.push_back({DegreeObject::Star, NormAngle(c.StarLon[n]), UpToComma(StarName(c, n)),
                           false, n});
        }
    }
    if (src.Deep) {
        const DeepCatalogue& c = *src.Deep;
        const int count = std::min<int>(c.DeepCount, static_cast<int>(c.DeepObjs.size()) - 1);
        for (int n = 1; n <= count; ++n) {
            const double lon = c.DeepObjs[n].Lon;
            if (lon == 0 || !inDegree(lon)) continue;
            const std::string name = src.DeepText ? src.DeepText(n) : c.DeepObjs[n].Code;
            out.push_back({DegreeObject::DeepSky, NormAngle(lon), UpToComma(name), false, n});
        }
    }
    if (src.Lon) {
        static const char* const kAngles[4] = {"Asc", "IC", "Dsc", "MC"};
        for (int h = 1; h <= 12; ++h) {
            const double lon = (*src.Lon)[26 + h];
            if (!inDegree(lon)) continue;
            const std::string label = (h - 1) % 3 == 0 ? kAngles[(h - 1) / 3] : std::to_string(h);
            out.push_back({DegreeObject::Cusp, NormAngle(lon), label, false, h});
        }
    }
    return out;
}

std::vector<std::string> WrapDegreeText(std::string_view text, int width,
                                        const std::function<int(std::string_view)>& measure) {
    std::vector<std::string> out;
    const auto fits = [&](std::string_view t) { return measure(t) <= width; };
    // One line of the text: pieces that fit, broken at the last blank that lets them fit,
    // inside a word when no blank does.
    const auto wrap = [&](std::string_view line) {
        while (!line.empty()) {
            if (fits(line)) {
                out.emplace_back(line);
                return;
            }
            std::size_t cut = 0;
            for (std::size_t b = line.find(' ', 1); b != std::string_view::npos;
                 b = line.find(' ', b + 1)) {
                if (!fits(line.substr(0, b))) break;
                cut = b;
            }
            if (cut == 0 || line.substr(0, cut).find_first_not_of(' ') == std::string_view::npos) {
                // No blank to break at: as many characters as fit, at least one.
                cut = 1;
                while (cut < line.size() && fits(line.substr(0, cut + 1))) ++cut;
                out.emplace_back(line.substr(0, cut));
                line.remove_prefix(cut);
            } else {
                out.emplace_back(line.substr(0, cut));
                line.remove_prefix(cut);
            }
            // the blanks at the break go with it
            while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        }
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('/', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (line.empty())
            out.emplace_back();
        else
            wrap(line);
        start = end + 1;
    }
    return out;
}

namespace {

// Labels in rows: a label that would overlap one already in its row goes one row further
// from the scale.
struct LabelRows {
    struct Box {
        int left, right, row;
    };
    std::vector<Box> boxes;
    int Row(int left, int right) {
        for (int row = 0;; ++row) {
            const bool free = std::none_of(boxes.begin(), boxes.end(), [&](const Box& b) {
                return b.row == row && left < b.right + 2 && b.left < right + 2;
            });
            if (free) {
                boxes.push_back({left, right, row});
                return row;
            }
        }
    }
};

int LabelWidth(ui::Canvas& c, const DegreeObject& o) {
    if (!o.Glyph) return c.TextWidth(o.Label);
    if (o.Label[0] == '\x12') return ui::kFont16Advance + c.TextWidth(o.Label.substr(1)) + 4;
    return ui::kFont16Advance * static_cast<int>(o.Label.size()) + 4;
}

} // namespace

DegreeLayout DrawDegreeBox(ui::Canvas& c, const ui::Font16State& glyphs, const ui::FontSpec& font,
                           const DegreeBox& box) {
    DegreeLayout out;
    const int w = c.Width(), h = c.Height();
    ui::FontSpec f = font;
    f.color = ui::kBlack;
    c.SetFont(f);
    c.SetPenMode(ui::PenMode::Copy);
    c.SetPenColor(ui::kBlack);
    c.SetPenWidth(1);
    c.SetBrushStyle(ui::BrushStyle::Solid);
    c.SetBrushColor(ui::kWhite);
    c.FillRect(0, 0, w, h);
    c.SetBrushStyle(ui::BrushStyle::Clear);

    const int lineH = std::max(1, c.TextHeight("Mg"));
    c.TextOut((w - c.TextWidth(box.Title)) / 2, 4, box.Title);
    out.Lines = WrapDegreeText(box.Text, w - 2 * kMargin,
                               [&c](std::string_view t) { return c.TextWidth(t); });
    int y = 4 + lineH;
    for (const std::string& line : out.Lines) {
        if (y >= h) break;
        c.TextOut(kMargin, y, line);
        y += lineH;
    }
    out.TextBottom = y;
    if (!box.DrawObjects) return out;

    // The scale halfway down the free space (lower with both texts), leaving room for the
    // cusp labels under it.
    int scaleY = y + (h - y) / 2 + (box.BothTexts ? 32 : 0);
    scaleY = std::clamp(scaleY, std::min(y + kGlyphSize, h - lineH - kTick - 2),
                        h - lineH - kTick - 2);
    out.ScaleY = scaleY;
    const int x0 = kMargin, x1 = w - kMargin;
    c.SetPenColor(ui::kBlack);
    c.MoveTo(x0, scaleY);
    c.LineTo(x1, scaleY);
    for (const int x : {x0, x1}) {
        c.MoveTo(x, scaleY - kTick);
        c.LineTo(x, scaleY + kTick + 1);
    }

    LabelRows above, below;
    for (const DegreeObject& o : box.Objects) {
        const double startDeg = std::floor(o.Lon / kDegToRad + 1e-9);
        const double within = std::clamp(o.Lon / kDegToRad - startDeg, 0.0, 1.0);
        const int x = x0 + Round(within * (x1 - x0));
        const Colour colour = o.What == DegreeObject::Cusp ? kDegreeCuspColor
                              : o.What == DegreeObject::Body ? ui::kBlack
                                                             : kDegreeStarColor;
        PlacedDegreeObject p{o, x};
        p.LabelWidth = LabelWidth(c, o);
        p.LabelX = std::clamp(x - p.LabelWidth / 2, 1, std::max(1, w - p.LabelWidth - 1));
        c.SetPenColor(colour);
        if (o.What == DegreeObject::Cusp) {
            const int row = below.Row(p.LabelX, p.LabelX + p.LabelWidth);
            c.MoveTo(x, scaleY);
            c.LineTo(x, scaleY + kObjectTick + 1);
            p.LabelY = scaleY + kObjectTick + 2 + row * lineH;
        } else {
            const int row = above.Row(p.LabelX, p.LabelX + p.LabelWidth);
            c.MoveTo(x, scaleY - kObjectTick);
            c.LineTo(x, scaleY);
            const int labelH = o.Glyph ? kGlyphSize : lineH;
            p.LabelY = scaleY - kObjectTick - 2 - labelH - row * std::max(lineH, kGlyphSize);
        }
        // A label with no room left between the text and the scale (or under the scale) keeps
        // only its tick: the text stays readable. The bodies come first, so they keep theirs.
        p.LabelShown = p.LabelY >= out.TextBottom && p.LabelY + lineH <= h;
        if (!p.LabelShown) {
            out.Placed.push_back(std::move(p));
            continue;
        }
        if (o.Glyph && o.Label[0] == '\x12')
            ui::TextOutCourier(glyphs, p.LabelX, p.LabelY, o.Label, colour, c);
        else if (o.Glyph)
            ui::DrawFont16Text(glyphs, p.LabelX + 2, p.LabelY, o.Label, colour, c);
        else {
            f.color = colour;
            c.SetFont(f);
            c.TextOut(p.LabelX, p.LabelY, o.Label);
        }
        out.Placed.push_back(std::move(p));
    }
    f.color = ui::kBlack;
    c.SetFont(f);
    return out;
}

} // namespace qor::chart
