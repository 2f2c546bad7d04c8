#include "forecast/TimePlaceForms.h"

#include "core/Text.h"
#include "forecast/ChartSteps.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

namespace qor::forecast {

using namespace ui;

namespace {

constexpr int kMsgStepping = 148; // "Динамика времени"
constexpr int kMsgMarkHint = 152; // the running mark's own hint

// The step of the place window's spins, and the spins whose sign turns at a pole.
constexpr int kFirstLatitudeRow = 3;

void SetMarkHint(shell::Program& p, int message) {
    if (p.Form1) SetHint(p.Form1->Panel2, GetMsgText(p.s, message));
}

} // namespace

// --- Time ------------------------------------------------------------------------------------

TDinamic::TDinamic(shell::Program& p)
    : TStepWindow(p, "Dinamic",
                  {{{"Годы", 100},
                    {"Месяцы", 11},
                    {"Дни", 30},
                    {"Часы", 23},
                    {"Минуты", 59},
                    {"Секунды", 59}}}) {
    SetCaption("Время"_cp);
    SetHelpTopic("dynamics_of_time.html");
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction& a) { FormClose(a); };
    UpdateControls();
}

bool TDinamic::Running() const {
    return p_.Flags.DinamicRun;
}

void TDinamic::StartBtnClick() {
    if (p_.Flags.DinamicRun || AllZero()) return;
    if (!Timer1->Enabled()) {
        p_.Flags.RealTimeMode = false;
        p_.Flags.DinamicRun = true;
        Timer1->SetInterval(kFastMs);
        Timer1->SetEnabled(true);
    }
    SetMarkHint(p_, kMsgStepping);
}

void TDinamic::StopBtnClick() {
    StopTimeStepping();
}

void TDinamic::StopTimeStepping() {
    p_.Flags.DinamicRun = false;
    Timer1->SetEnabled(false);
    SetMarkHint(p_, kMsgMarkHint);
}

void TDinamic::ApplyStep(const std::array<int, kRows>& step) {
    StepChartTime(p_.s, TimeStepOf(step));
}

std::string TDinamic::CaptionFor(bool source) const {
    if (source) return Lang(p_.s, "Время - [Исходные данные]"_cp, "Time - [Source data]");
    return Lang(p_.s, "Время - [Фоновые данные]"_cp, "Time - [Background data]");
}

void TDinamic::TickMark() {
    if (p_.Form1) p_.Form1->AdvanceRunningMark();
}

void TDinamic::FormShow() {
    p_.Flags.RealTimeMode = false;
    if (p_.Tech)
        p_.Tech->SetDynamicsSource(true);
    else
        p_.Flags.SourceData = true;
    UpdateCaption();
    UpdateControls();
}

void TDinamic::FormClose(CloseAction& action) {
    // A run does not go on unseen.
    if (Running() || Timer1->Enabled()) StopTimeStepping();
    action = CloseAction::Free;
    Screen().Removed(this);
}

// --- Place -----------------------------------------------------------------------------------

TLoc::TLoc(shell::Program& p)
    : TStepWindow(p, "Loc", {{{"°", 10}, {"'", 59}, {"\"", 59}, {"°", 10}, {"'", 59}, {"\"", 59}}},
                  "Долгота", "Широта") {
    SetCaption("Позиция"_cp);
    SetHelpTopic("dynamics_of_position.html");
    OnShow = [this] {
        UpdateCaption();
        UpdateControls();
    };
    OnClose = [this](CloseAction& a) { FormClose(a); };
    UpdateControls();
}

void TLoc::StartBtnClick() {
    if (AllZero()) return;
    running_ = true;
    Timer1->SetInterval(kFastMs);
    Timer1->SetEnabled(true);
}

void TLoc::StopBtnClick() {
    running_ = false;
    Timer1->SetEnabled(false);
}

void TLoc::ApplyStep(const std::array<int, kRows>& step) {
    if (!StepChartPlace(p_.s, PlaceStepOf(step))) return;
    for (int i = kFirstLatitudeRow; i < kRows; ++i) Spins[i]->SetValue(-StepValues()[i]);
}

std::string TLoc::CaptionFor(bool source) const {
    if (source) return Lang(p_.s, "Позиция - [Исходные данные]"_cp, "Location - [Source data]");
    return Lang(p_.s, "Позиция - [Фоновые данные]"_cp, "Location - [Background data]");
}

void TLoc::CaptionChanged() {
    SourceCopy = p_.Flags.SourceData ? 1 : 0;
}

void TLoc::FormClose(CloseAction& action) {
    StopBtnClick();
    action = CloseAction::Free;
    Screen().Removed(this);
}

// --- Registration ----------------------------------------------------------------------------

void RegisterStepWindows(shell::Program& p) {
    p.FormClasses.Register("Dinamic", [&p] { return new TDinamic(p); });
    p.FormClasses.Register("Loc", [&p] { return new TLoc(p); });
    auto dinamic = [] { return dynamic_cast<TDinamic*>(Screen().FindForm("Dinamic")); };
    auto loc = [] { return dynamic_cast<TLoc*>(Screen().FindForm("Loc")); };
    p.Svc.StopTimeStepping = [dinamic] {
        if (TDinamic* d = dinamic()) d->StopTimeStepping();
    };
    p.Svc.SetDynamicsCaptions = [dinamic, loc] {
        if (TDinamic* d = dinamic()) d->UpdateCaption();
        if (TLoc* l = loc()) l->UpdateCaption();
    };
    p.Svc.TickDuties["StepWindows"] = [&p, dinamic, loc] {
        if (TDinamic* d = dinamic()) d->UpdateControls();
        if (TLoc* l = loc()) {
            if (l->SourceCopy != (p.Flags.SourceData ? 1 : 0)) l->UpdateCaption();
            l->UpdateControls();
        }
    };
    p.Svc.MenuActions["PosButton"] = [&p] {
        if (p.Form1) p.Form1->OpenToolWindow("Loc");
    };
}

} // namespace qor::forecast
