#include "shell/Program.h"

#include "core/Parses.h"
#include "shell/FontEd.h"
#include "shell/MainForm.h"
#include "shell/ScreenSaver.h"
#include "shell/ShellWindows.h"
#include "shell/Sound.h"
#include "shell/StartForms.h"
#include "shell/Tech.h"

#include <QPrinter>

namespace qor::shell {

using namespace ui;

namespace {
Program* gProgram = nullptr;
} // namespace

Program* TheProgram() {
    return gProgram;
}

Program::Program(const fs::path& programFolder)
    : Commands(s), StateFiles(s), English(s), Sound(std::make_unique<SoundOutput>()),
      ScreenSaver(std::make_unique<ScreenSaverInhibitor>()) {
    gProgram = this;
    s.ProgramFolder = programFolder;
    s.Report = &Report;
    Report.OnCaption = [this](const std::string& caption) {
        if (Form1) Form1->SetCaption(caption);
    };
    StateFiles.English = &English;
    StateFiles.ApplyWindowFont = [this](TForm& f) {
        if (Tech && f.Name() != "Tech") f.SetFormFont(Tech->WindowFont);
    };
    StateFiles.ApplyFormFonts = [this](TForm& f) {
        if (Tech) Tech->ApplyFormFonts(f);
    };
    FormScreen& screen = Screen();
    screen.ApplySettings = [this](TForm& f) {
        // The start-up windows take their state from the main file, read after them.
        if (Form1 && !Form1->Started) return;
        StateFiles.ApplyFormSettings(f);
    };
    screen.StoreSettings = [this](TForm& f) { StateFiles.StoreFormSettings(f); };
    screen.ShowHelp = [this](TForm&, const std::string& topic) {
        if (Tech) Tech->ShowHelpTopic(topic);
    };
    screen.PlaySound = [this](const fs::path& wav) { Sound->Play(wav); };
    // While the program lives the forms layer makes its windows from the program's classes.
    screen.SetFormClasses(&FormClasses);
    RegisterPlaceholderForms(FormClasses);
    FormClasses.Register("Tech", [this] { return new TTech(*this); });
    FormClasses.Register("FontEd", [this] { return new TFontEd(s, Font); });
    FormClasses.Register("ViewFont", [this] { return new TViewFont(s); });
    RegisterShellWindows(*this);
    ChartOpt.ComputeParts = &ParsComputeChart;
}

Program::~Program() {
    FormScreen& screen = Screen();
    // Every window of the run goes with it.
    while (!screen.Forms().empty()) delete screen.Forms().front();
    screen.ApplySettings = nullptr;
    screen.StoreSettings = nullptr;
    screen.ShowHelp = nullptr;
    screen.PlaySound = nullptr;
    // The classes that made windows of this program make none after it.
    screen.SetFormClasses(nullptr);
    // What the subsystems registered goes before the data they keep (Own).
    Svc = {};
    FormClasses = {};
    Hooks = {};
    if (gProgram == this) gProgram = nullptr;
}

bool Program::Checked(const std::string& form, const std::string& box, bool otherwise) const {
    TForm* f = Screen().FindForm(form);
    const Component* c = f ? f->FindComponent(box) : nullptr;
    if (!c) return otherwise;
    if (c->kind == Kind::CheckBox) return c->as<TCheckBox>()->Checked();
    if (c->kind == Kind::RadioButton) return c->as<TRadioButton>()->Checked();
    if (c->kind == Kind::SpeedButton) return c->as<TSpeedButton>()->Down();
    if (c->kind == Kind::MenuItem) return c->as<TMenuItem>()->Checked();
    return otherwise;
}

void Program::SetChecked(const std::string& form, const std::string& box, bool on) {
    TForm* f = Screen().FindForm(form);
    const Component* c = f ? f->FindComponent(box) : nullptr;
    if (!c) return;
    if (c->kind == Kind::CheckBox)
        c->as<TCheckBox>()->SetChecked(on);
    else if (c->kind == Kind::RadioButton)
        c->as<TRadioButton>()->SetChecked(on);
    else if (c->kind == Kind::MenuItem)
        c->as<TMenuItem>()->SetChecked(on);
}

std::string Program::Text(const std::string& form, const std::string& control) const {
    TForm* f = Screen().FindForm(form);
    const Component* c = f ? f->FindComponent(control) : nullptr;
    if (!c) return {};
    if (c->kind == Kind::Edit) return c->as<TEdit>()->Text();
    if (c->kind == Kind::ComboBox) return c->as<TComboBox>()->Text();
    return {};
}

int Program::ItemIndex(const std::string& form, const std::string& control, int otherwise) const {
    TForm* f = Screen().FindForm(form);
    const Component* c = f ? f->FindComponent(control) : nullptr;
    if (!c) return otherwise;
    if (c->kind == Kind::RadioGroup) return c->as<TRadioGroup>()->ItemIndex();
    if (c->kind == Kind::ComboBox) return c->as<TComboBox>()->ItemIndex();
    return otherwise;
}

void Program::DrawScreen(char mode) {
    if (Flags.ScreenMode == ' ') return;
    const auto it = Svc.Screens.find(mode);
    if (it != Svc.Screens.end() && it->second.Draw) it->second.Draw();
    if (Form1) Form1->PaintBox->update();
}

void Program::RunStartSteps(StartStage stage) {
    // A step may register more steps; they run at their own stage.
    for (std::size_t i = 0; i < Svc.StartSteps.size(); ++i) {
        if (Svc.StartSteps[i].stage != stage) continue;
        const auto run = Svc.StartSteps[i].run;
        if (run) run();
    }
}

void Program::CalcCurrentAspects() {
    AspectCharts charts;
    charts.lon = &s.PlanetLon;
    charts.speed = &s.PlanetSpeed;
    // A double chart compares with its second chart as the wheel last computed it.
    charts.lonBck = &s.PlanetLonBck;
    charts.speedBck = &s.PlanetSpeedBck;
    charts.doubleChart = Flags.DoubleChart;
    charts.directions = s.DynMethod != ' ';
    charts.exterrBody = Flags.ExterrBody;
    charts.nExtra = s.NExtra;
    charts.parsCount = s.ParsCount;
    CalcAspects(AspTable, AspectOpt, charts, Aspects);
}

// The settings windows keep their options in their controls; each window's reader copies them.
void Program::ReadOptions() {
    ChartOpt.ExterrBody = Flags.ExterrBody;
    for (const auto& [window, read] : Svc.OptionReaders)
        if (read) read(*this);
}

} // namespace qor::shell
