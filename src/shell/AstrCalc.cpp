#include "shell/AstrCalc.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <cstdlib>

namespace qor::shell {

using namespace ui;

namespace {

// The real number of a text, "." or "," as the decimal point; 0 when it is no finite number
// (read the same in every locale, to its last character).
double RealOf(const std::string& text) {
    return ParseDecimalText(text).value_or(0.0);
}

std::string Fixed5(double x) {
    return FloatToStrWD(1, 5, x);
}

} // namespace

TAstrCalc::TAstrCalc(AstroDat& s, ChartEngine& chart) : TForm("AstrCalc"), s_(s), chart_(chart) {
    SetCaption("Астро-калькулятор"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("astro_calculator.html");
    SetStoresSettings(true);
    SetBounds(300, 160, 300, 330);

    GroupBox1 = Add<TGroupBox>("GroupBox1", {8, 8, 284, 84});
    GroupBox1->SetCaption("Эклиптические координаты"_cp);
    GroupBox2 = Add<TGroupBox>("GroupBox2", {8, 98, 284, 112});
    GroupBox2->SetCaption("Экваториальные координаты"_cp);
    GroupBox3 = Add<TGroupBox>("GroupBox3", {8, 216, 284, 108});
    GroupBox3->SetCaption("Преобразование"_cp);

    auto label = [this](const char* name, const std::string& caption, QWidget* on, int y) {
        TLabel* l = Add<TLabel>(name, {10, y + 3, 110, 20}, on);
        l->SetCaption(caption);
        return l;
    };
    auto edit = [this](const char* name, const std::string& text, QWidget* on, int y) {
        TEdit* e = Add<TEdit>(name, {126, y, 148, 24}, on);
        e->SetText(text);
        return e;
    };
    Label1 = label("Label1", "Долгота"_cp, GroupBox1, 22);
    LambdaEdit = edit("LambdaEdit", "000°00'00\""_cp, GroupBox1, 22);
    Label2 = label("Label2", "Широта"_cp, GroupBox1, 52);
    BetaEdit = edit("BetaEdit", "00°00'00\""_cp, GroupBox1, 52);
    Label3 = label("Label3", "Пр. восхожд."_cp, GroupBox2, 22);
    RAEdit = edit("RAEdit", "000°00'00\""_cp, GroupBox2, 22);
    RAHEdit = edit("RAHEdit", "0h00m00s", GroupBox2, 52);
    Label4 = label("Label4", "Склонение"_cp, GroupBox2, 82);
    DeclEdit = edit("DeclEdit", "00°00'00\""_cp, GroupBox2, 82);
    Label5 = label("Label5", "0°00'00\""_cp, GroupBox3, 22);
    Edit1 = edit("Edit1", "0°00'00\""_cp, GroupBox3, 22);
    Label6 = label("Label6", "0.00000°"_cp, GroupBox3, 50);
    Edit2 = edit("Edit2", "0.00000", GroupBox3, 50);
    Label7 = label("Label7", "0.00000 rad", GroupBox3, 78);
    Edit3 = edit("Edit3", "0.00000", GroupBox3, 78);

    OnUserEdit(LambdaEdit, &TAstrCalc::EclipticChanged);
    OnUserEdit(BetaEdit, &TAstrCalc::EclipticChanged);
    OnUserEdit(RAEdit, &TAstrCalc::EquatorDegreesChanged);
    OnUserEdit(DeclEdit, &TAstrCalc::EquatorDegreesChanged);
    OnUserEdit(RAHEdit, &TAstrCalc::EquatorHoursChanged);
    OnUserEdit(Edit1, &TAstrCalc::Edit1Changed);
    OnUserEdit(Edit2, &TAstrCalc::Edit2Changed);
    OnUserEdit(Edit3, &TAstrCalc::Edit3Changed);
    for (TEdit* e : {LambdaEdit, BetaEdit, RAEdit, DeclEdit})
        QObject::connect(e, &QLineEdit::editingFinished, [this, e] { Finished(e, false); });
    QObject::connect(RAHEdit, &QLineEdit::editingFinished, [this] { Finished(RAHEdit, true); });
    OnKeyDown = [this](int& key, ui::Shift sh) { FormKeyDown(key, sh); };
}

void TAstrCalc::OnUserEdit(TEdit* e, void (TAstrCalc::*handler)()) {
    // textEdited comes only from the user's typing, never from SetText.
    QObject::connect(e, &QLineEdit::textEdited, [this, handler] { (this->*handler)(); });
}

void TAstrCalc::Finished(TEdit* e, bool hours) {
    bool plain = false;
    const double x = hours ? StrToHourAngle(e->Text(), &plain) : StrToDeg(e->Text(), &plain);
    if (plain) e->SetText(hours ? AngleToHmsStr(x) : AngleToDmsStr(x));
}

void TAstrCalc::EclipticChanged() {
    const double lon = StrToDeg(LambdaEdit->Text());
    const double lat = StrToDeg(BetaEdit->Text());
    const EquatorialCoord q = EclToEquCur(chart_, lat, lon);
    RAEdit->SetText(AngleToDmsStr(q.ra));
    RAHEdit->SetText(AngleToHmsStr(q.ra));
    DeclEdit->SetText(AngleToDmsStr(q.dec));
}

void TAstrCalc::EquatorDegreesChanged() {
    const double ra = StrToDeg(RAEdit->Text());
    const double dec = StrToDeg(DeclEdit->Text());
    const EclipticCoord c = EquToEclCur(chart_, dec, ra);
    LambdaEdit->SetText(AngleToDmsStr(c.lon));
    BetaEdit->SetText(AngleToDmsStr(c.lat));
    RAHEdit->SetText(AngleToHmsStr(ra));
}

void TAstrCalc::EquatorHoursChanged() {
    const double ra = StrToHourAngle(RAHEdit->Text());
    const double dec = StrToDeg(DeclEdit->Text());
    const EclipticCoord c = EquToEclCur(chart_, dec, ra);
    LambdaEdit->SetText(AngleToDmsStr(c.lon));
    BetaEdit->SetText(AngleToDmsStr(c.lat));
    RAEdit->SetText(AngleToDmsStr(ra));
}

void TAstrCalc::Edit1Changed() {
    const double x = StrToAngle(Edit1->Text());
    Edit2->SetText(Fixed5(x / kDegToRad));
    Edit3->SetText(Fixed5(x));
}

void TAstrCalc::Edit2Changed() {
    const double d = RealOf(Edit2->Text());
    Edit1->SetText(FormatDMS(s_, d * 3600));
    Edit3->SetText(Fixed5(d * kDegToRad));
}

void TAstrCalc::Edit3Changed() {
    const double r = RealOf(Edit3->Text());
    Edit1->SetText(FormatDMS(s_, r * kRadToArcSec));
    Edit2->SetText(Fixed5(r / kDegToRad));
}

void TAstrCalc::FormKeyDown(int& key, ui::Shift) {
    if (key == vk::Return || key == vk::Down) {
        focusNextChild();
        key = 0;
    } else if (key == vk::Up) {
        focusPreviousChild();
        key = 0;
    }
}

} // namespace qor::shell
