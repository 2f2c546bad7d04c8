#include "geo/QorLoc.h"

#include "chart/DataForm.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <QTimer>

namespace qor::geo {

using namespace ui;
using chart::FieldShape;

namespace {
constexpr uint32_t kWarningColor = 0xFFFFFF;
}

TQorLoc::TQorLoc(shell::Program& p) : TForm("QorLoc"), p_(p) {
    SetCaption("Установите Ваше местоположение и временную зону"_cp);
    SetToolWindow(true);
    SetHelpTopic("your_location.html");
    SetBorderStyle(BorderStyle::Single);
    SetStoresSettings(true);
    SetBounds(200, 120, 440, 392);

    auto label = [this](const char* name, const std::string& caption, QRect r,
                        QWidget* parent = nullptr) {
        auto* l = Add<TLabel>(name, r, parent);
        l->SetCaption(caption);
        return l;
    };
    auto edit = [this](const char* name, const std::string& text, QRect r) {
        auto* e = Add<TEdit>(name, r);
        e->SetText(text);
        return e;
    };
    Label1 = label("Label1", "Город"_cp, {10, 14, 70, 16});
    astCity = edit("astCity", Lang(p_.s, "Москва"_cp, "Moscow"), {86, 10, 200, 22});
    Label2 = label("Label2", "Страна"_cp, {10, 42, 70, 16});
    astCountry =
        edit("astCountry", Lang(p_.s, "Россия"_cp, "Russian Federation"), {86, 38, 200, 22});
    Label3 = label("Label3", "Широта"_cp, {10, 70, 70, 16});
    astLat = edit("astLat", "55°45'N"_cp, {86, 66, 80, 22});
    Label4 = label("Label4", "Долгота"_cp, {180, 70, 60, 16});
    astLong = edit("astLong", "037°35'E"_cp, {248, 66, 86, 22});
    Label5 = label("Label5", "dT"_cp, {10, 98, 70, 16});
    astdT = edit("astdT", "+03:00", {86, 94, 64, 22});

    GroupBox1 = Add<TGroupBox>("GroupBox1", {10, 126, 420, 116});
    GroupBox1->SetCaption(" Компьютер "_cp);
    Label6 = label("Label6", "Местное время"_cp, {10, 24, 130, 16}, GroupBox1);
    Label10 = label("Label10", "", {150, 24, 180, 16}, GroupBox1);
    Label7 = label("Label7", "UTC", {10, 46, 130, 16}, GroupBox1);
    Label13 = label("Label13", "", {150, 46, 180, 16}, GroupBox1);
    Label8 = label("Label8", "Часовой пояс"_cp, {10, 68, 130, 16}, GroupBox1);
    Label11 = label("Label11", "", {150, 68, 180, 16}, GroupBox1);
    Label9 = label("Label9", "Летнее время"_cp, {10, 90, 130, 16}, GroupBox1);
    Label12 = label("Label12", "", {150, 90, 180, 16}, GroupBox1);
    for (TLabel* l : {Label10, Label11, Label12, Label13}) {
        QFont mono = l->font();
        mono.setFamily("DejaVu Sans Mono");
        l->setFont(mono);
    }

    Panel1 = Add<TPanel>("Panel1", {10, 250, 420, 68});
    Panel1->setFrameShape(QFrame::Panel);
    // The warnings take their message texts when they are shown.
    ErrTLabel = label("ErrTLabel", "", {8, 4, 404, 18}, Panel1);
    ErrFLabel = label("ErrFLabel", "", {8, 24, 404, 18}, Panel1);
    ErrCLabel = label("ErrCLabel", "", {8, 44, 404, 18}, Panel1);
    for (TLabel* l : {ErrTLabel, ErrFLabel, ErrCLabel}) {
        l->AutoSize = false;
        l->resize(404, 18);
        l->hide();
    }

    TimeCheckBox = Add<TCheckBox>("TimeCheckBox", {10, 326, 420, 20});
    TimeCheckBox->SetCaption("Проверять временную зону при запуске QOR"_cp);
    TimeCheckBox->SetChecked(true);
    Button1 = Add<TButton>("Button1", {10, 354, 100, 28});
    Button1->SetCaption("Атлас"_cp);
    Button2 = Add<TButton>("Button2", {220, 354, 100, 28});
    Button2->SetCaption("Помощь"_cp);
    Button3 = Add<TButton>("Button3", {330, 354, 100, 28});
    Button3->SetCaption("OK");
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetInterval(1000);
    Timer1->SetEnabled(false);

    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Close(); };
    Timer1->OnTimer = [this] { CheckComputerZone(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction&) { Timer1->SetEnabled(false); };

    for (TEdit* e : {astLat, astLong, astdT}) {
        accepted_[e] = e->Text();
        e->setReadOnly(true); // typed in overtype by the key handler
        e->OnKeyDown = [this, e](int& key, Shift) { FieldKeyDown(e, key); };
        e->OnEnter = [this, e] {
            if (chart::CheckField(ShapeOf(e), e->Text()).ok) accepted_[e] = e->Text();
            PlaceCaret(e);
        };
        e->OnClick = [this, e] { PlaceCaret(e); };
        e->OnExit = [this, e] { FieldExit(e); };
    }
    // The field separator of the chart records never enters the place's names.
    for (TEdit* e : {astCity, astCountry})
        e->OnKeyPress = [](char& ch) {
            if (ch == ';') ch = ',';
        };
}

FieldShape TQorLoc::ShapeOf(const TEdit* e) const {
    if (e == astLat) return FieldShape::Latitude;
    if (e == astLong) return FieldShape::Longitude;
    return FieldShape::Zone;
}

void TQorLoc::PlaceCaret(TEdit* e) {
    caret_ = 1;
    e->setCursorPosition(0);
}

void TQorLoc::FieldKeyDown(TEdit* e, int& key) {
    if (key == vk::Return || key == vk::Tab || key == vk::Escape || key == vk::F1 || key == 0)
        return;
    chart::OvertypeEditKey(e, ShapeOf(e), caret_, key);
}

bool TQorLoc::FieldExit(TEdit* e) {
    const chart::FieldCheck c = chart::CheckField(ShapeOf(e), e->Text());
    if (c.ok) {
        if (c.text != e->Text()) e->SetText(c.text);
        accepted_[e] = e->Text();
        PlaceCaret(e);
        return true;
    }
    const char* ru = e == astLat ? "Широта" : e == astLong ? "Долгота" : "dT";
    const char* en = e == astLat ? "latitude" : e == astLong ? "longitude" : "dT";
    SetStatus(p_.s, Lang(p_.s, " Ошибка! "_cp + Cp(ru) + " \""_cp + e->Text() + "\" не принята"_cp,
                         std::string(" Error! The ") + en + " \"" + e->Text() + "\" is refused"));
    PlayWav(p_.s, "Error.wav");
    e->SetText(accepted_[e]);
    PlaceCaret(e);
    if (isVisible()) QTimer::singleShot(0, e, [e] { e->setFocus(); });
    return false;
}

void TQorLoc::FormShow() {
    for (TEdit* e : {astLat, astLong, astdT})
        if (chart::CheckField(ShapeOf(e), e->Text()).ok) accepted_[e] = e->Text();
    CheckComputerZone();
    Timer1->SetEnabled(true);
}

bool TQorLoc::CheckComputerZone() {
    const ComputerClock c = ReadComputerClock(Clock(), ComputerZone());
    Label13->SetCaption(ClockText(c.utc));
    Label10->SetCaption(ClockText(c.local));
    Label11->SetCaption(PanelOffsetText(c.standardMinutes));
    Label12->SetCaption(PanelOffsetText(c.shiftMinutes));
    Label12->setEnabled(c.shiftInForce);

    auto warn = [this](TLabel* l, bool on, int message) {
        if (on && l->Caption().empty()) l->SetCaption(GetMsgText(p_.s, message));
        l->setVisible(on);
    };
    const std::optional<int> home = ParseZoneOffset(Trim(astdT->Text()));
    const bool zoneDiffers = !home || *home != c.OffsetMinutes();
    warn(ErrTLabel, zoneDiffers, 26);
    Panel1->setFrameShadow(zoneDiffers ? QFrame::Sunken : QFrame::Raised);
    Panel1->setAutoFillBackground(zoneDiffers);
    if (zoneDiffers)
        ui::SetColor(Panel1, kWarningColor);
    else
        Panel1->setPalette(QPalette());
    // A system font too large for the window: the captions run into the fields, the clock out
    // of its frame.
    const int label4Right = Label4->x() + Label4->sizeHint().width();
    warn(ErrFLabel, label4Right > astLong->x(), 165);
    const int label10Right = Label10->x() + Label10->sizeHint().width();
    warn(ErrCLabel, label10Right > GroupBox1->width(), 166);
    return !ErrTLabel->isVisibleTo(this) && !ErrFLabel->isVisibleTo(this) &&
           !ErrCLabel->isVisibleTo(this);
}

std::vector<std::string> TQorLoc::UserLocationLines() {
    CheckComputerZone();
    return {"City " + astCity->Text(),
            "Lat   " + astLat->Text(),
            "Long " + astLong->Text(),
            "dT   " + astdT->Text(),
            "LT  " + Label10->Caption(),
            "Zone " + Trim(Label11->Caption()),
            "DLB  " + Trim(Label12->Caption() + (Label12->isEnabled() ? " ON" : " OFF")),
            "UTC " + Label13->Caption()};
}

void TQorLoc::Button1Click() {
    TForm* atlas = Screen().Ensure("Cities");
    if (!atlas) return;
    if (auto* get = atlas->Find<TSpeedButton>("GetBtn")) get->setEnabled(true);
    if (atlas->State() == WindowState::Minimized) atlas->SetWindowState(WindowState::Normal);
    atlas->show();
    atlas->raise();
}

void TQorLoc::Button2Click() {
    if (p_.Tech) p_.Tech->ShowHelpTopic("your_location.html");
}

void LogUserLocation(shell::Program& p) {
    if (!p.Form1 || p.Form1->LogFailed) return;
    auto* w = dynamic_cast<TQorLoc*>(Screen().FindForm("QorLoc"));
    if (!w) return;
    p.Form1->AppendStartLog(w->UserLocationLines());
}

} // namespace qor::geo
