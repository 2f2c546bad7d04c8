#include "shell/StartWindows.h"

#include "core/DayInfo.h"
#include "core/Text.h"
#include "ui/QtText.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QPolygon>
#include <QUrl>

#include <cmath>

namespace qor::shell {

using namespace ui;

namespace {

const char* const kVersion = "5.12";
const char* const kFullVersion = "5.12.0.12";

QImage LoadPicture(const AstroDat& s, const std::string& programName) {
    // The title pictures are bitmaps under another extension: the format comes from the bytes.
    const fs::path path = s.DataPath(programName);
    if (!fs::exists(path)) return {};
    QImageReader r(QString::fromStdString(path.string()));
    r.setDecideFormatFromContent(true);
    return r.read().convertToFormat(QImage::Format_RGB32);
}

} // namespace

void MergePaint(QImage& dest, const QImage& src, int x, int y) {
    const QImage s = src.convertToFormat(QImage::Format_RGB32);
    for (int j = 0; j < s.height(); ++j) {
        const int dy = y + j;
        if (dy < 0 || dy >= dest.height()) continue;
        const auto* in = reinterpret_cast<const QRgb*>(s.constScanLine(j));
        auto* out = reinterpret_cast<QRgb*>(dest.scanLine(dy));
        for (int i = 0; i < s.width(); ++i) {
            const int dx = x + i;
            if (dx < 0 || dx >= dest.width()) continue;
            out[dx] = 0xFF000000u | ((~in[i] | out[dx]) & 0x00FFFFFFu);
        }
    }
}

// --- Splash ---------------------------------------------------------------------------------

TForm2::TForm2(AstroDat& s) : TForm("Form2") {
    SetBorderStyle(BorderStyle::Dialog);
    Title = LoadPicture(s, DataFileName(s, 10));
    Overlay = LoadPicture(s, DataFileName(s, 11));
    const int w = Title.width() + 6, h = Title.height() + 6 + 20;
    const QRect area = Screen().WorkArea();
    SetBounds(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2, w, h);
    OnPaint = [this](QPainter& p) { p.drawImage(0, 0, Picture()); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

QImage TForm2::Picture() const {
    QImage img(std::max(1, Width()), std::max(1, Height()), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.drawImage(0, 1, Title);
    }
    MergePaint(img, Overlay, (Width() - Overlay.width()) / 2 - 10,
               (Height() - Overlay.height()) / 2 - 8);
    QPainter p(&img);
    QFont f("Courier New");
    f.setPointSize(24);
    f.setBold(true);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(QColor(0, 255, 255));
    p.drawText(350, 180, kVersion);
    return img;
}

// --- Start window ---------------------------------------------------------------------------

void DrawMoonShadow(QPainter& p, int width, int height, double phaseAngle) {
    constexpr double kRadius = 84;
    const int cx = width / 2 - 1, cy = height / 2;
    const double mirror = phaseAngle >= 0 ? -1.0 : 1.0;
    const double terminator = -std::cos(phaseAngle);
    QPolygon poly;
    for (int k = 0; k < 60; ++k) {
        const double a = k * (M_PI / 29.5);
        const double scale = k < 30 ? terminator : 1.03;
        const int dx = static_cast<int>(std::lround(std::sin(a) * kRadius * scale));
        poly << QPoint(cx + static_cast<int>(mirror * dx),
                       cy + static_cast<int>(std::lround(std::cos(a) * kRadius)));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawPolygon(poly);
}

TStartShow::TStartShow(AstroDat& s) : TForm("StartShow"), s_(s) {
    SetCaption("Сообщение QOR"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);
    SetColor(0xFFFFFF);
    SetFormFont({204, 0, "Times New Roman", 11, 0});
    QFont f = font();
    f.setPixelSize(14);
    setFont(f);
    Panel = Add<TPanel>("Panel", {0, 0, 203, 196});
    ui::SetColor(Panel, 0);
    PaintBox = Add<TPaintBox>("PaintBox", {0, 0, 203, 196}, Panel);
    PaintBox->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, MoonPicture()); };
    OnPaint = [this](QPainter& p) { PaintText(p); };
    OnShow = [this] { FormShow(); };
    OnKeyDown = [this](int& key, ui::Shift) {
        key = 0;
        Close();
    };
    auto close = [this](MouseButton, ui::Shift, int, int) { Close(); };
    PaintBox->OnMouseDown = close;
    Panel->OnMouseDown = close;
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

std::vector<std::string> TStartShow::Lines() const {
    std::vector<std::string> lines;
    std::size_t from = 0, p;
    while ((p = DayText.find(';', from)) != std::string::npos) {
        lines.push_back(DayText.substr(from, p - from));
        from = p + 1;
    }
    if (from < DayText.size()) lines.push_back(DayText.substr(from));
    return lines;
}

QImage TStartShow::MoonPicture() const {
    QImage img(MoonBitmap.isNull() ? QSize(201, 194) : MoonBitmap.size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.drawImage(0, 0, MoonBitmap);
    if (PhaseFraction <= 0.99) DrawMoonShadow(p, img.width(), img.height(), PhaseAngle);
    return img;
}

void TStartShow::FormShow() {
    const QImage loaded = LoadPicture(s_, "JPG\\Moon\\Moon.bmp");
    MoonBitmap = QImage(201, 194, QImage::Format_RGB32);
    MoonBitmap.fill(Qt::black);
    {
        QPainter p(&MoonBitmap);
        p.drawImage(0, 0, loaded);
    }
    const QFontMetrics m(font());
    int widest = 0;
    const std::vector<std::string> lines = Lines();
    for (const auto& l : lines) widest = std::max(widest, m.horizontalAdvance(ToQ(l)));
    const int textHeight = m.height() * static_cast<int>(lines.size());
    ui::SetBounds(Panel, 12 + widest + 12, 12, MoonBitmap.width() + 2, MoonBitmap.height() + 2);
    ui::SetBounds(PaintBox, 0, 0, MoonBitmap.width() + 2, MoonBitmap.height() + 2);
    const int w = MoonBitmap.width() + widest + 24 + 24;
    const int h = std::max(textHeight + 24, MoonBitmap.height() + 2 + 24);
    const QRect area = Screen().WorkArea();
    SetBounds(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2, w, h);
}

void TStartShow::PaintText(QPainter& p) {
    p.setFont(font());
    p.setPen(Qt::black);
    const QFontMetrics m(font());
    int y = 12;
    for (const auto& l : Lines()) {
        p.drawText(12, y + m.ascent(), ToQ(l));
        y += m.height();
    }
}

TStartShow* ShowDayInfo(AstroDat& s, ChartEngine& chart, const GeneralOptions& opt,
                        const ShellHooks& hooks) {
    const DaySummary d = BuildDaySummary(s, chart, opt, s.DatRecStart, hooks.LunarDay);
    TStartShow* w = nullptr;
    if (Screen().HasFormClass("StartShow"))
        w = dynamic_cast<TStartShow*>(Screen().CreateForm("StartShow"));
    if (!w) w = new TStartShow(s);
    if (Screen().ApplySettings) Screen().ApplySettings(*w);
    w->DayText = d.text;
    w->PhaseAngle = d.phaseAngle;
    w->PhaseFraction = d.phaseFraction;
    w->show();
    return w;
}

// --- About box ------------------------------------------------------------------------------

std::function<void(const std::string&)> TAboutBox::OpenUrl = [](const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
};

TAboutBox::TAboutBox(AstroDat& s) : TForm("AboutBox"), s_(s) {
    SetCaption("О программе..."_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetBounds(300, 200, 340, 200);
    ProductName = Add<TLabel>("ProductName", {16, 12, 300, 24});
    Label1 = Add<TLabel>("Label1", {16, 40, 300, 20});
    // The program has no mail or web address of its own: the box offers its manuals, kept
    // beside it, in each language.
    Edit1 = Add<TEdit>("Edit1", {16, 72, 308, 24});
    SetVisible(Edit1, false);
    Edit2 = Add<TEdit>("Edit2", {16, 72, 308, 24});
    Edit2->SetText("Manual\\index.html ru");
    Edit3 = Add<TEdit>("Edit3", {16, 104, 308, 24});
    Edit3->SetText("EManual\\index.html en");
    for (TEdit* e : {Edit2, Edit3}) {
        e->setReadOnly(true);
        e->setCursor(Qt::PointingHandCursor);
        e->OnClick = [this, e] { OpenEdit(e); };
    }
    OnShow = [this] {
        ProductName->SetCaption(
            Lang(s_, "QOR - астрологическая рабочая станция"_cp, "QOR - astrological workstation"));
        Label1->SetCaption(Lang(s_, "Версия "_cp, "Version ") + kFullVersion);
    };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TAboutBox::OpenEdit(TEdit* e) {
    const std::string text = e->Text();
    const std::string page = text.substr(0, text.find(' '));
    if (page.empty()) return;
    setCursor(Qt::WaitCursor);
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(s_.DataPath(page).string()));
    if (OpenUrl) OpenUrl(url.toString().toStdString());
    unsetCursor();
}

} // namespace qor::shell
