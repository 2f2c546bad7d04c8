#include "chart/SabGrad.h"

#include "chart/ChartWindows.h"
#include "chart/Kart.h"
#include "chart/KartForm.h"
#include "core/DegreeTexts.h"
#include "core/PointNames.h"
#include "core/Text.h"
#include "shell/Tech.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"

namespace qor::chart {

using namespace ui;

TSabian::TSabian(shell::Program& p) : TForm("Sabian") {
    SetHelpTopic("natal_chart.html");
    SetCaption(Lang(p.s, "Сабианский символ"_cp, "Sabian Symbol"));
    SetToolWindow(true);
    SetBorderStyle(BorderStyle::Single);
    PaintBox = Add<TPaintBox>("PaintBox", {0, 0, kDegreeWindowWidth, kDegreeWindowHeight});
    SetTag(PaintBox, 16);
    setFixedSize(kDegreeWindowWidth, kDegreeWindowHeight);
    PlaceInCorner();
    // The frame is known once the window shows.
    OnShow = [this] { PlaceInCorner(); };
    picture_ = QImage(kDegreeWindowWidth, kDegreeWindowHeight, QImage::Format_RGB32);
    picture_.fill(Qt::white);
    PaintBox->OnPaint = [this](QPainter& g) { g.drawImage(0, 0, picture_); };
    OnClose = [this](CloseAction& a) {
        a = CloseAction::Free;
        // Gone from the screen's list at once: the next pointing makes a fresh window even
        // before this one is deleted.
        setObjectName(QString());
    };
}

void TSabian::PlaceInCorner() {
    // Flush with the right and bottom edges of the work area, whatever the frame adds.
    const QRect area = Screen().WorkArea();
    const int frameW = frameGeometry().width() - geometry().width();
    const int frameH = frameGeometry().height() - geometry().height();
    move(area.right() + 1 - kDegreeWindowWidth - frameW,
         area.bottom() + 1 - kDegreeWindowHeight - frameH);
}

void TSabian::ShowBox(const DegreeBox& box, const Font16State& glyphs, const FontSpec& font) {
    {
        Canvas c(picture_);
        layout_ = DrawDegreeBox(c, glyphs, font, box);
    }
    ++DrawCount;
    PaintBox->update();
}

namespace {

DegreeWindowState* StateOf(shell::Program& p) {
    return p.Find<DegreeWindowState>();
}

DegreeTextFiles FilesNow(shell::Program& p) {
    DegreeTextFiles f = DefaultDegreeTextFiles(p.s.EnglishMode);
    // The interpretation-files window names them once it exists.
    const std::string first = Trim(p.Text("IntSet", "RgradusEdit"));
    const std::string second = Trim(p.Text("IntSet", "GgradusEdit"));
    if (!first.empty()) f.First = first;
    if (!second.empty()) f.Second = second;
    if (const TKartForm* kart = KartFormOf()) {
        f.FirstOn = kart->OstrelBox->Checked();
        f.SecondOn = kart->FirnelBox->Checked();
    }
    return f;
}

} // namespace

void ReadDegreeText(shell::Program& p, std::string& text, double lon) {
    DegreeWindowState& st = p.Own<DegreeWindowState>();
    st.Reader.ReadDegreeText(p.s, FilesNow(p), text, lon);
}

void ShowDegreeWindow(shell::Program& p, double dx, double dy) {
    DegreeWindowState* st = StateOf(p);
    TKartForm* kart = KartFormOf();
    if (!st || !st->Wheel || !st->Wheel->KartReady || !kart) return;
    const NatalWheel& wheel = *st->Wheel;

    auto* w = dynamic_cast<TSabian*>(Screen().FindForm("Sabian"));
    if (!w) {
        w = dynamic_cast<TSabian*>(Screen().Ensure("Sabian"));
        if (!w) return;
        // A fresh window draws whatever degree the pointer is in.
        kart->LastDegree = 0;
    }
    w->show();

    const double lon = PointerLongitude(dx, dy, wheel.KartStartAngle, wheel.KartCounterClock);
    const int d = DegreeOfLongitude(lon);
    if (d == kart->LastDegree) return;
    kart->LastDegree = d;

    AstroDat& s = p.s;
    DegreeBox box;
    box.Title = std::to_string(d) + " [" + DegreeRulerName(s, d) + "]";
    st->Reader.ReadDegreeText(s, FilesNow(p), box.Text, lon);
    box.BothTexts = st->Reader.FilesRead() == 2;
    box.DrawObjects = kart->ObjectsBox->Checked();
    if (box.DrawObjects) {
        DegreeObjectSources src;
        src.Lon = &s.PlanetLon;
        src.LastPoint = wheel.KartLastPln;
        const std::string existing = wheel.KartWheel.Inner.ExistingFlags;
        const int observer = p.Flags.ExterrBody;
        src.Shown = [&wheel, existing, observer](int i) {
            return wheel.PointRow[i] != 0 && FlagAt(existing, i, true) && i != observer;
        };
        const bool helio = p.Flags.HelioMode;
        src.Label = [&s, helio](int i) { return ChartPointLabel(s, i, helio); };
        src.Name = [&p](int i) {
            return PointName(p.s, i, p.Flags.HelioMode, p.Svc.BodyTableName);
        };
        if (const SkyData* sky = p.Find<SkyData>()) {
            src.Stars = &sky->Stars;
            src.Deep = &sky->Deep;
            src.DeepText = [&p, sky](int n) { return DeepObjText(p.s, sky->Deep, n, 0); };
        }
        box.Objects = DegreeObjects(src, d);
    }
    st->Title = box.Title;
    st->Text = box.Text;
    FontSpec font = p.Tech ? p.Tech->GraphFont : FontSpec{204, 0, "Arial", 9, 0};
    w->ShowBox(box, p.Font, font);
}

void RegisterDegreeWindow(shell::Program& p, std::shared_ptr<NatalWheel> wheel) {
    p.FormClasses.Register("Sabian", [&p] { return new TSabian(p); });
    p.Own<DegreeWindowState>().Wheel = std::move(wheel);
    // After each chart computation the degree shown is drawn again at the next pointing, with
    // the chart's new objects.
    shell::Services& svc = p.Svc;
    svc.ClearLabelOffsets = [before = svc.ClearLabelOffsets] {
        if (before) before();
        if (TKartForm* kart = KartFormOf()) kart->LastDegree = 0;
    };
}

} // namespace qor::chart
