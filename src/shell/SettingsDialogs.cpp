#include "shell/SettingsDialogs.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "ui/RichEdit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>

namespace qor::shell {

using namespace ui;

// --- General settings -------------------------------------------------------------------

TGenSet::TGenSet(AstroDat& s, ShellHooks& hooks) : TForm("GenSet"), s_(s), hooks_(hooks) {
    SetCaption("Общие установки"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("general_setup.html");
    SetStoresSettings(true);
    SetBounds(220, 140, 430, 420);

    TabControl = Add<TTabControl>("TabControl", {4, 4, 420, 410});
    TabControl->SetTabs({"Общие"_cp, "Шрифты"_cp});
    Panel = Add<TPanel>("Panel", {8, 32, 410, 372});
    FontPanel = Add<TPanel>("FontPanel", {8, 32, 410, 372});

    auto check = [this](const char* name, const std::string& caption, int y, bool on) {
        TCheckBox* c = Add<TCheckBox>(name, {10, y, 390, 22}, Panel);
        c->SetCaption(caption);
        c->SetChecked(on);
        return c;
    };
    LightSpeed = check("LightSpeed", "Учитывать время распространения света"_cp, 8, true);
    MoonParall = check("MoonParall", "Суточный параллакс Луны"_cp, 30, true);
    SoundCheckBox = check("SoundCheckBox", "Звук"_cp, 52, true);
    EEBox = check("EEBox", "Земля - эллипсоид"_cp, 74, false);
    NodeCheckBox = check("NodeCheckBox", "Истинные узлы Луны"_cp, 96, true);
    ToolCheckBox = check("ToolCheckBox", "Всплывающая панель инструментов"_cp, 118, false);
    StartAsClock = check("StartAsClock", "Запуск в режиме часов"_cp, 140, true);
    LastChartRunBox =
        check("LastChartRunBox", "Запуск с последней двойной картой из истории"_cp, 162, false);
    BckRealStartBox = check("BckRealStartBox", "Текущее время во второй карте"_cp, 184, true);
    RiseGroup = Add<TRadioGroup>("RiseGroup", {10, 210, 390, 78}, Panel);
    RiseGroup->SetCaption("Восход и заход"_cp);
    RiseGroup->SetItems(
        {"Верхний край диска + рефракция"_cp, "Центр диска + рефракция"_cp, "Центр диска"_cp});
    RiseGroup->SetItemIndex(0);
    PrecessGroup = Add<TRadioGroup>("PrecessGroup", {10, 290, 390, 78}, Panel);
    PrecessGroup->SetCaption("Прецессия каталога звёзд"_cp);
    PrecessGroup->SetItems({"Не вычислять"_cp, "При установке даты"_cp, "В динамике"_cp});
    PrecessGroup->SetItemIndex(0);

    FontButton = Add<TButton>("FontButton", {10, 12, 180, 26}, FontPanel);
    FontButton->SetCaption("Шрифт окон..."_cp);
    CourierButton = Add<TButton>("CourierButton", {10, 46, 180, 26}, FontPanel);
    CourierButton->SetCaption("Шрифт таблиц..."_cp);
    GraphButton = Add<TButton>("GraphButton", {10, 80, 180, 26}, FontPanel);
    GraphButton->SetCaption("Шрифт графики..."_cp);
    PrinterFontRadioGroup =
        Add<TRadioGroup>("PrinterFontRadioGroup", {10, 120, 180, 70}, FontPanel);
    PrinterFontRadioGroup->SetCaption("Символы при печати"_cp);
    PrinterFontRadioGroup->SetItems({"QOR", "WinStar"});
    PrinterFontRadioGroup->SetItemIndex(0);
    FontPanel->hide();

    // The handlers come after the defaults, so that building the window changes nothing.
    TabControl->OnChange = [this] { TabControlChange(); };
    LightSpeed->OnClick = [this] {
        s_.UseLightTime = LightSpeed->Checked();
        if (hooks_.IsClosing() || !hooks_.RefreshAllWithStars)
            hooks_.Refresh();
        else
            hooks_.RefreshAllWithStars();
    };
    MoonParall->OnClick = [this] { Changed(); };
    EEBox->OnClick = [this] { Changed(); };
    NodeCheckBox->OnClick = [this] { Changed(); };
    RiseGroup->OnClick = [this] { Changed(); };
    SoundCheckBox->OnClick = [this] {
        s_.SoundOn = SoundCheckBox->Checked();
        if (hooks_.IsReady() && s_.SoundOn) PlayWav(s_, "Yes.wav");
    };
    ToolCheckBox->OnClick = [this] { ToolCheckBoxClick(); };
    FontButton->OnClick = [this] {
        FontSpec f = hooks_.WindowFont ? hooks_.WindowFont() : FontSpec{};
        if (!Screen().Dlg().ChooseFont(f)) return;
        if (hooks_.SetWindowFont) hooks_.SetWindowFont(f);
        if (hooks_.SaveFontSetting) hooks_.SaveFontSetting();
    };
    CourierButton->OnClick = [this] { ChooseTableFont(); };
    GraphButton->OnClick = [this] {
        FontSpec f = hooks_.GraphFont ? hooks_.GraphFont() : FontSpec{};
        if (!Screen().Dlg().ChooseFont(f)) return;
        if (hooks_.SetGraphFont) hooks_.SetGraphFont(f);
        if (hooks_.SaveFontSetting) hooks_.SaveFontSetting();
        hooks_.Refresh();
    };
    SetHints();
}

void TGenSet::SetHints() {
    if (!s_.ProgramFolder.empty()) SetHint(BckRealStartBox, GetMsgText(s_, 149));
}

void TGenSet::Changed() {
    // Let the control show its new state before the recomputation.
    QApplication::processEvents();
    hooks_.Refresh();
}

void TGenSet::TabControlChange() {
    TPanel* front = TabControl->TabIndex() == 1 ? FontPanel : Panel;
    TPanel* back = front == Panel ? FontPanel : Panel;
    back->hide();
    front->show();
    front->raise();
}

void TGenSet::ToolCheckBoxClick() {
    // The main window's tool panel floats (hidden until the pointer comes to the top edge)
    // or stays at the top.
    TForm* main = Screen().FindForm("Form1");
    if (!main) return;
    if (const Component* c = main->FindComponent("ToolPanel")) {
        if (QWidget* w = c->widget()) w->setVisible(!ToolCheckBox->Checked());
    }
    if (main->OnResize) main->OnResize();
}

void TGenSet::ChooseTableFont() {
    FontSpec f;
    if (hooks_.TableFont) f = hooks_.TableFont();
    if (!Screen().Dlg().ChooseFont(f)) return;
    if (!IsFixedPitchFont(f)) {
        Screen().Dlg().Message(MsgKind::Error, GetMsgText(s_, 164, f.name), MsgButtons::Ok);
        return;
    }
    if (hooks_.SetTableFont) hooks_.SetTableFont(f);
    if (hooks_.SaveFontSetting) hooks_.SaveFontSetting();
}

void TGenSet::CopyTo(GeneralOptions& opt) const {
    opt.HorParallax = MoonParall->Checked();
    opt.TrueNodes = NodeCheckBox->Checked();
    opt.UseEllipsoid = EEBox->Checked();
    opt.RiseGroup = std::max(0, RiseGroup->ItemIndex());
}

StarPrecession TGenSet::Precession() const {
    return static_cast<StarPrecession>(std::clamp(PrecessGroup->ItemIndex(), 0, 2));
}

PrinterGlyphFont TGenSet::PrinterFont() const {
    return PrinterFontRadioGroup->ItemIndex() == 1 ? PrinterGlyphFont::WinStar
                                                   : PrinterGlyphFont::Qor;
}

bool IsFixedPitchFont(const FontSpec& font) {
    const QFontMetrics m(ToQFont(font));
    return m.horizontalAdvance(QChar('.')) == m.horizontalAdvance(QChar('W'));
}

// --- Colour dialog ----------------------------------------------------------------------

uint32_t TColorf::ColorValue = 0;
uint32_t TColorf::SavedColor = 0;

RgbParts SplitColorValue(uint32_t v) {
    return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>((v >> 16) & 0xFF)};
}

uint32_t JoinColorValue(const RgbParts& c) {
    return (static_cast<uint32_t>(c.blue & 0xFF) * 256 + static_cast<uint32_t>(c.green & 0xFF)) *
               256 +
           static_cast<uint32_t>(c.red & 0xFF);
}

TColorf::TColorf() : TForm("Colorf") {
    SetHelpTopic("general_setup.html");
    SetCaption("Выбор цвета"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetStoresSettings(true);
    SetBounds(0, 0, 330, 190);
    const QRect area = Screen().WorkArea();
    move(area.center() - QPoint(165, 95));

    const char* labels[] = {"Red", "Green", "Blue"};
    TLabel* lab[3];
    TSpinEdit* spins[3];
    TTrackBar* bars[3];
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        lab[i] = Add<TLabel>("Label" + n, {8, 12 + 34 * i, 40, 20});
        lab[i]->SetCaption(labels[i]);
        spins[i] = Add<TSpinEdit>("SpinEdit" + n, {50, 8 + 34 * i, 56, 24});
        spins[i]->SetRange(0, 255);
        bars[i] = Add<TTrackBar>("TrackBar" + n, {112, 8 + 34 * i, 130, 26});
        bars[i]->SetRange(0, 255);
        SetTag(bars[i], 1);
    }
    Label1 = lab[0], Label2 = lab[1], Label3 = lab[2];
    SpinEdit1 = spins[0], SpinEdit2 = spins[1], SpinEdit3 = spins[2];
    TrackBar1 = bars[0], TrackBar2 = bars[1], TrackBar3 = bars[2];
    PaintBox1 = Add<TPaintBox>("PaintBox1", {250, 8, 70, 94});
    Button1 = Add<TButton>("Button1", {250, 112, 70, 26});
    Button1->SetCaption("Этот"_cp);
    Button1->ModalResult = mrOk;
    SaveButton = Add<TSpeedButton>("SaveButton", {8, 112, 26, 26});
    SaveButton->SetCaption("S");
    SetHint(SaveButton, "Запомнить цвет"_cp);
    ResButton = Add<TSpeedButton>("ResButton", {38, 112, 26, 26});
    ResButton->SetCaption("R");
    SetHint(ResButton, "Установить запомненный"_cp);
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetInterval(500);

    for (int i = 0; i < 3; ++i) {
        TSpinEdit* spin = spins[i];
        TTrackBar* bar = bars[i];
        spin->OnChange = [this, spin, bar] { SpinChanged(spin, bar); };
        bar->OnChange = [spin, bar] { spin->SetValue(bar->Position()); };
    }
    PaintBox1->OnPaint = [this](QPainter& p) {
        p.setPen(Qt::white);
        p.setBrush(ToQColor(ColorValue));
        p.drawRect(PaintBox1->rect().adjusted(0, 0, -1, -1));
    };
    SaveButton->OnClick = [] { SavedColor = ColorValue; };
    ResButton->OnClick = [this] {
        ColorValue = SavedColor;
        LoadControls();
    };
    Timer1->OnTimer = [this] {
        Timer1->SetEnabled(false);
        RecomputeColor();
    };
    OnShow = [this] {
        LoadControls();
        Timer1->SetInterval(500);
        Timer1->SetEnabled(true);
    };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TColorf::LoadControls() {
    const RgbParts c = SplitColorValue(ColorValue);
    loading_ = true;
    SpinEdit1->SetValue(c.red);
    SpinEdit2->SetValue(c.green);
    SpinEdit3->SetValue(c.blue);
    TrackBar1->SetPosition(c.red);
    TrackBar2->SetPosition(c.green);
    TrackBar3->SetPosition(c.blue);
    loading_ = false;
    PaintBox1->Invalidate();
}

void TColorf::RecomputeColor() {
    ColorValue = JoinColorValue({SpinEdit1->Value(), SpinEdit2->Value(), SpinEdit3->Value()});
    PaintBox1->Invalidate();
}

void TColorf::SpinChanged(TSpinEdit* spin, TTrackBar* bar) {
    if (loading_) return;
    bar->SetPosition(spin->Value());
    RecomputeColor();
}

TColorf* CreateColorForm() {
    if (auto* f = dynamic_cast<TColorf*>(Screen().FindForm("Colorf"))) return f;
    if (Screen().HasFormClass("Colorf")) return Screen().Ensure<TColorf>("Colorf");
    return new TColorf;
}

std::optional<uint32_t> ChooseColorValue(uint32_t color) {
    TColorf::ColorValue = color;
    TColorf* f = CreateColorForm();
    if (f->ShowModal() != mrOk) return std::nullopt;
    return TColorf::ColorValue;
}

// --- Paragraph dialog -------------------------------------------------------------------

ParagraphIndents ParseIndentText(const std::string& text) {
    auto field = [&](int i) {
        std::string rest = text;
        std::string f;
        for (int k = 0; k <= i; ++k) {
            const std::size_t p = rest.find(';');
            f = rest.substr(0, p);
            rest = p == std::string::npos ? std::string() : rest.substr(p + 1);
        }
        return StrToIntDef0(Trim(f));
    };
    return {field(0), field(1), field(2)};
}

std::string IndentText(const ParagraphIndents& mm) {
    return std::to_string(mm.left) + ";" + std::to_string(mm.right) + ";" +
           std::to_string(mm.first);
}

int MillimetresToPixels(int mm, double dpi) {
    return static_cast<int>(RoundEven(mm * dpi / 25.4));
}

ParagraphPixels ParagraphPixelsOf(const ParagraphIndents& mm, bool wrap, double dpi) {
    if (!wrap) return {};
    return {MillimetresToPixels(mm.left, dpi), MillimetresToPixels(mm.right, dpi),
            MillimetresToPixels(mm.first, dpi), true};
}

namespace {

QTextDocument* DocumentOf(QWidget* w) {
    if (auto* t = qobject_cast<QTextEdit*>(w)) return t->document();
    if (auto* t = qobject_cast<QPlainTextEdit*>(w)) return t->document();
    return nullptr;
}

} // namespace

void ApplyParagraphFormat(QWidget* w, const ParagraphPixels& px) {
    // A rich memo gives the format to the texts it shows later too.
    if (auto* r = dynamic_cast<TRichEdit*>(w)) {
        r->SetDefaultParagraph({px.left, px.right, px.first}, false);
        r->DefaultWordWrap = px.wrap;
    }
    if (auto* t = qobject_cast<QTextEdit*>(w))
        t->setLineWrapMode(px.wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    if (auto* t = qobject_cast<QPlainTextEdit*>(w))
        t->setLineWrapMode(px.wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    QTextDocument* doc = DocumentOf(w);
    if (!doc) return;
    QTextCursor c(doc);
    c.select(QTextCursor::Document);
    QTextBlockFormat f;
    f.setLeftMargin(px.left);
    f.setRightMargin(px.right);
    f.setTextIndent(px.first);
    c.mergeBlockFormat(f);
}

ParagraphPixels ParagraphFormatOf(QWidget* w) {
    ParagraphPixels px;
    px.wrap = WordWrapOf(w);
    if (QTextDocument* doc = DocumentOf(w)) {
        const QTextBlockFormat f = doc->firstBlock().blockFormat();
        px.left = static_cast<int>(f.leftMargin());
        px.right = static_cast<int>(f.rightMargin());
        px.first = static_cast<int>(f.textIndent());
    }
    return px;
}

bool WordWrapOf(QWidget* w) {
    if (auto* t = qobject_cast<QTextEdit*>(w)) return t->lineWrapMode() != QTextEdit::NoWrap;
    if (auto* t = qobject_cast<QPlainTextEdit*>(w))
        return t->lineWrapMode() != QPlainTextEdit::NoWrap;
    return false;
}

TParagr::TParagr() : TForm("Paragr") {
    SetHelpTopic("general_setup.html");
    SetCaption("Абзац"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetBounds(260, 200, 250, 200);
    GroupBox1 = Add<TGroupBox>("GroupBox1", {8, 8, 234, 96});
    GroupBox1->SetCaption("Отступ (мм)"_cp);
    Label1 = Add<TLabel>("Label1", {10, 24, 70, 20}, GroupBox1);
    Label1->SetCaption("Слева"_cp);
    Label2 = Add<TLabel>("Label2", {84, 24, 70, 20}, GroupBox1);
    Label2->SetCaption("Справа"_cp);
    Label3 = Add<TLabel>("Label3", {158, 24, 70, 20}, GroupBox1);
    Label3->SetCaption("Строка"_cp);
    LeftSpin = Add<TSpinEdit>("LeftSpin", {10, 48, 64, 24}, GroupBox1);
    RightSpin = Add<TSpinEdit>("RightSpin", {84, 48, 64, 24}, GroupBox1);
    FirstSpin = Add<TSpinEdit>("FirstSpin", {158, 48, 64, 24}, GroupBox1);
    for (TSpinEdit* sp : {LeftSpin, RightSpin, FirstSpin}) sp->SetRange(0, 200);
    WrapBox = Add<TCheckBox>("WrapBox", {12, 112, 220, 22});
    WrapBox->SetCaption("Перенос по словам"_cp);
    Button1 = Add<TButton>("Button1", {40, 146, 90, 26});
    Button1->SetCaption("Да"_cp);
    Button2 = Add<TButton>("Button2", {140, 146, 90, 26});
    Button2->SetCaption("Отменить"_cp);
    Edit = Add<TEdit>("Edit", {8, 176, 100, 20});
    Edit->SetText("20;10;10");
    SetVisible(Edit, false);

    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    WrapBox->OnClick = [this] { WrapBoxClick(); };
}

QWidget* TParagr::TextControl() {
    TForm* interp = Screen().FindForm("Interp");
    if (!interp) return nullptr;
    const Component* c = interp->FindComponent("Memo");
    return c ? c->widget() : nullptr;
}

ParagraphIndents TParagr::Spins() const {
    return {LeftSpin->Value(), RightSpin->Value(), FirstSpin->Value()};
}

double TParagr::DpiOf(QWidget* text) const {
    if (Dpi > 0) return Dpi;
    return text ? text->logicalDpiX() : 96.0;
}

void TParagr::Button1Click() {
    Close();
    QWidget* text = TextControl();
    if (WrapBox->Checked()) Edit->SetText(IndentText(Spins()));
    if (!text) return;
    ApplyParagraphFormat(text, ParagraphPixelsOf(Spins(), WrapBox->Checked(), DpiOf(text)));
    text->setFocus();
    if (auto* t = qobject_cast<QTextEdit*>(text)) t->moveCursor(QTextCursor::Start);
    if (auto* t = qobject_cast<QPlainTextEdit*>(text)) t->moveCursor(QTextCursor::Start);
}

void TParagr::Button2Click() {
    if (QWidget* text = TextControl()) text->setFocus();
    Close();
}

void TParagr::WrapBoxClick() {
    const ParagraphIndents mm =
        WrapBox->Checked() ? ParseIndentText(Edit->Text()) : ParagraphIndents{};
    LeftSpin->SetValue(mm.left);
    RightSpin->SetValue(mm.right);
    FirstSpin->SetValue(mm.first);
}

void ApplyParagraphSettings(TParagr& p) {
    QWidget* text = TParagr::TextControl();
    const bool wrap = text && WordWrapOf(text);
    // The check box follows the text control without running its handler.
    const auto handler = std::move(p.WrapBox->OnClick);
    p.WrapBox->OnClick = nullptr;
    p.WrapBox->SetChecked(wrap);
    p.WrapBox->OnClick = handler;
    const ParagraphIndents mm = wrap ? ParseIndentText(p.Edit->Text()) : ParagraphIndents{};
    p.LeftSpin->SetValue(mm.left);
    p.RightSpin->SetValue(mm.right);
    p.FirstSpin->SetValue(mm.first);
    if (text) ApplyParagraphFormat(text, ParagraphPixelsOf(mm, wrap, p.DpiOf(text)));
}

} // namespace qor::shell
