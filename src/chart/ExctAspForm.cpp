#include "chart/ExctAspForm.h"

#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/ChartEngine.h"
#include "core/Formats.h"
#include "core/PointNames.h"
#include "core/Text.h"
#include "shell/Tech.h"
#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

using namespace ui;

namespace {

constexpr int kStripHeight = 24;
constexpr Colour kGridGrey = 0xC0C0C0;
constexpr Colour kDarkBlue = 0x800000; // $00BBGGRR
constexpr Colour kMarkRed = 0x0000FF;

int Round(double x) {
    return static_cast<int>(RoundEven(x));
}

} // namespace

std::string ExactMomentLine(const ChartMoment& m) {
    const std::string year = m.Year >= 1 ? IntToStrZ(m.Year, 4) : IntToStrZ(1 - m.Year, 4) + "B";
    return IntToStrW(m.Day, 4) + "/" + IntToStrZ(m.Month, 2) + "/" + year + " " +
           IntToStrW(m.Hour, 2) + ":" + IntToStrZ(m.Minute, 2) + ":" + IntToStrZ(m.Second, 2);
}

TExctAsp::TExctAsp(shell::Program& p) : TForm("ExctAsp"), p_(p) {
    SetHelpTopic("exact_aspects.html");
    SetCaption("Точные аспекты"_cp);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetBounds(200, 160, 460, 280);
    PaintBox = Add<TPaintBox>("PaintBox", {0, 0, 460, 280 - kStripHeight});
    PaintBox1 = Add<TPaintBox>("PaintBox1", {0, 280 - kStripHeight, 460, kStripHeight});
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    N51 = AddMenuItem("N51", "Грубее"_cp, PopupMenu);
    N52 = AddMenuItem("N52", "Точнее"_cp, PopupMenu);
    N51->OnClick = [this] { N51Click(); };
    N52->OnClick = [this] { N52Click(); };

    PaintBox->OnPaint = [this](QPainter& g) {
        if (timeline_.size() != PaintBox->size()) DrawTimeline();
        g.drawImage(0, 0, timeline_);
    };
    PaintBox->OnMouseDown = [this](MouseButton b, ui::Shift, int x, int y) {
        PaintBoxMouseDown(b, x, y);
    };
    PaintBox1->OnPaint = [this](QPainter& g) { PaintStrip(g); };
    OnResize = [this] {
        const int w = Client()->width(), h = Client()->height();
        ui::SetBounds(PaintBox, 0, 0, w, std::max(1, h - kStripHeight));
        ui::SetBounds(PaintBox1, 0, std::max(0, h - kStripHeight), w, kStripHeight);
        DrawTimeline();
        PaintBox->update();
    };
    OnClose = [this](CloseAction&) { timeline_ = QImage(); };
}

bool TExctAsp::ExctAspOpen(const std::string& code) {
    AstroDat& s = p_.s;
    p_.ReadOptions();
    const bool across = p_.Flags.DoubleChart && p_.AspectOpt.AspectingMode != 'I';
    // Away from the Earth there is no chart to step; a direction or progression has no
    // moment of its own to step across the charts.
    if (p_.Flags.ExterrBody != 0 || (across && s.DynMethod != ' ')) {
        SetStatus(s, Lang(s, "Функция недоступна"_cp, "No access"));
        return false;
    }
    int p1 = 0, a = 0, p2 = 0;
    if (!ParseAspectCode(code, p1, a, p2) || a > p_.AspTable.AspCount) {
        SetStatus(s, Lang(s, "Нет такого аспекта: "_cp, "No such aspect: ") + code);
        return false;
    }
    Query = ExactAspectQuery{};
    Query.Point1 = p1;
    Query.Aspect = a;
    Query.Point2 = p2;
    if (p_.Flags.DoubleChart && p_.AspectOpt.AspectingMode == 'X') {
        Query.Point1Moves = p_.AspectOpt.CoinsideBox == 0;
        Query.Point2Moves = p_.AspectOpt.CoinsideBox == 1;
    }
    Query.Zoom = 1.0;
    timeline_ = QImage();
    SetWindowState(WindowState::Normal);
    show();
    raise();
    ExctAspUpdate();
    return true;
}

void TExctAsp::ExctAspUpdate() {
    AstroDat& s = p_.s;
    p_.ReadOptions();
    if (p_.Flags.ExterrBody != 0 || Query.Aspect < 1 || Query.Aspect > p_.AspTable.AspCount) {
        Result = ExactAspectResult{};
    } else {
        Query.Angle = p_.AspTable.Asp[Query.Aspect].AspAngle;
        Query.DoubleChart = p_.Flags.DoubleChart;
        Query.AspectingMode = p_.AspectOpt.AspectingMode;
        Query.HelioMode = p_.Flags.HelioMode;
        CurrentChart engine(s, p_.ChartOpt, p_.GeneralOpt);
        Result = FindExactAspect(s, engine, Query);
        Query.Zoom = Result.Zoom;
    }
    SetCaption(CaptionText());
    DrawTimeline();
    PaintBox->update();
    PaintBox1->update();
}

std::string TExctAsp::CaptionText() const {
    AstroDat& s = p_.s;
    if (Query.Aspect < 1 || Query.Aspect > p_.AspTable.AspCount) return "Точные аспекты"_cp;
    const std::string name =
        AspectDisplayName(s, p_.AspTable.Asp[Query.Aspect].AspName.substr(0, 16));
    std::string text = name + " " + PointName(s, Query.Point1, p_.Flags.HelioMode, p_.Svc.BodyTableName) +
                       "-" + PointName(s, Query.Point2, p_.Flags.HelioMode, p_.Svc.BodyTableName);
    if (!Result.Done) return text;
    const std::string sep = Trim(FormatDMS(s, Result.Separation * kRadToArcSec));
    return text + "  " + (Result.Applying ? ">" + sep + "<" : "<" + sep + ">");
}

void TExctAsp::Zoom(double factor) {
    Query.ScaleCodeBefore = Result.Scale.Code();
    Query.ZoomFactor = factor;
    Query.Zoom *= factor;
    ExctAspUpdate();
}

void TExctAsp::N51Click() {
    Zoom(3.0);
}

void TExctAsp::N52Click() {
    Zoom(1.0 / 3.0);
}

void TExctAsp::PaintBoxMouseDown(MouseButton b, int x, int y) {
    if (b == MouseButton::Left) {
        Close();
        return;
    }
    const QPoint at = PaintBox->mapToGlobal(QPoint(x, y));
    PopupMenu->Popup(at.x(), at.y());
}

void TExctAsp::DrawTimeline() {
    const int w = std::max(1, PaintBox->width()), h = std::max(1, PaintBox->height());
    if (timeline_.size() != QSize(w, h)) timeline_ = QImage(w, h, QImage::Format_RGB32);
    Canvas c(timeline_);
    FontSpec font = p_.Tech ? p_.Tech->GraphFont : FontSpec{204, 0, "Arial", 9, 0};
    font.color = kBlack;
    c.SetFont(font);
    c.SetBrushStyle(BrushStyle::Solid);
    c.SetBrushColor(kWhite);
    c.FillRect(0, 0, w, h);
    c.SetBrushStyle(BrushStyle::Clear);

    const int dx = w / 20, mid = h / 2;
    const bool applying = Result.Applying;
    const auto xOf = [&](double steps) {
        const int x = Round(w / 20.0 * steps);
        return applying ? x : w - x;
    };
    // One line a degree of deviation, the line of exactness dark blue.
    for (int v = -10; v <= 10; ++v) {
        const int y = mid + Round(mid / 10.0 * v);
        c.SetPenColor(v == 0 ? kDarkBlue : kGridGrey);
        c.MoveTo(0, y);
        c.LineTo(w, y);
    }
    // A line at each step, the steps from the chart's moment written at every fifth.
    for (int i = 0; i <= 20; ++i) {
        const int x = Round(w / 20.0 * i);
        c.SetPenColor(kGridGrey);
        c.MoveTo(x, 0);
        c.LineTo(x, h);
        if (i == 5 || i == 10 || i == 15) c.TextOut(x - 4, mid - 14 - 4, std::to_string(applying ? i : 20 - i));
    }
    // The length of one step, and the side of the chart's own moment.
    c.SetPenColor(kDarkBlue);
    c.MoveTo(w / 2, 8);
    c.LineTo(w / 2 + dx, 8);
    c.MoveTo(w / 2, 5);
    c.LineTo(w / 2, 9);
    c.MoveTo(w / 2 + dx, 5);
    c.LineTo(w / 2 + dx, 9);
    font.color = kDarkBlue;
    c.SetFont(font);
    if (Result.Done) c.TextOut(w / 2 + dx + 4, 0, StepText());
    const std::string arrow = "\x97\x97>";
    c.TextOut(applying ? 2 : w - c.TextWidth(arrow) - 2, 2, arrow);
    if (!Result.Done) return;

    c.SetPenColor(kBlack);
    c.SetPenWidth(2);
    for (int i = 0; i < kExactSamples; ++i) {
        const int x = xOf(i), y = mid + Round(mid / 10.0 * Result.Samples[i]);
        if (i == 0)
            c.MoveTo(x, y);
        else
            c.LineTo(x, y);
    }
    if (Result.Found) {
        c.SetPenColor(kMarkRed);
        const int x = xOf(Result.ExactStep);
        c.MoveTo(x, mid - 10);
        c.LineTo(x, mid + 11);
    }
    c.SetPenWidth(1);
}

std::string TExctAsp::ExactPositionText() const {
    if (!Result.Found) return {};
    const ZodiacParts z = SplitZodiacSeconds(NormAngle(Result.Lon1) * kRadToArcSec);
    return IntToStrZ(z.deg, 2) + kDegreeSign + IntToStrZ(z.min, 2) + "'" + IntToStrZ(z.sec, 2) +
           "\"";
}

std::string TExctAsp::ExactMomentText() const {
    return Result.Found ? ExactMomentLine(Result.Exact) : std::string();
}

void TExctAsp::PaintStrip(QPainter& g) {
    g.fillRect(PaintBox1->rect(), PaintBox1->palette().window());
    if (!Result.Found) return;
    AstroDat& s = p_.s;
    const auto sign = [&](double lon) {
        const bool glyphs = s.GlyphNames, shortNames = s.ShortNames;
        s.GlyphNames = true;
        s.ShortNames = false;
        const ZodiacParts z = SplitZodiacSeconds(NormAngle(lon) * kRadToArcSec);
        const std::string g = SignName(s, z.sign + 1);
        s.GlyphNames = glyphs;
        s.ShortNames = shortNames;
        return g;
    };
    const int y = (PaintBox1->height() - 16) / 2;
    const QFontMetrics fm(PaintBox1->font());
    const int textY = (PaintBox1->height() - fm.height()) / 2;
    g.setPen(PaintBox1->palette().windowText().color());
    int x = 6;
    const auto text = [&](const std::string& t) {
        g.drawText(QPoint(x, textY + fm.ascent()), ToQ(t));
        x += fm.horizontalAdvance(ToQ(t));
    };
    text(ExactPositionText() + " ");
    PaintFont16Text(g, p_.Font, x, y, sign(Result.Lon1), kBlack);
    x += kFont16Advance + 6;
    text("- ");
    PaintFont16Text(g, p_.Font, x, y, sign(Result.Lon2), kBlack);
    x += kFont16Advance + 12;
    text(ExactMomentText());
}

} // namespace qor::chart
