#include "shell/ShellWindows.h"

#include "core/Parses.h"
#include "shell/AstrCalc.h"
#include "shell/ParsWindow.h"
#include "shell/SettingsDialogs.h"
#include "shell/StartWindows.h"
#include "shell/Tech.h"

#include <QApplication>

namespace qor::shell {

using namespace ui;

namespace {

const char* const kClasses[] = {"GenSet",    "Colorf",   "Paragr", "Form2",
                                "StartShow", "AboutBox", "Pars",   "AstrCalc"};

} // namespace

void RegisterShellWindows(Program& p) {
    ShellHooks& h = p.Hooks;
    h.RefreshAll = [&p] {
        if (p.Tech) p.Tech->RefreshAll();
    };
    h.RefreshAllWithStars = [&p] {
        if (!p.Tech) return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        p.Flags.StarsRecalc = true;
        p.Tech->RefreshAll();
        p.Flags.StarsRecalc = false;
        QApplication::restoreOverrideCursor();
    };
    h.Ready = [&p] { return p.Flags.Ready; };
    h.Closing = [&p] { return p.Flags.ClosingAll; };
    h.WindowFont = [&p] { return p.Tech ? p.Tech->WindowFont : FontSpec{}; };
    h.TableFont = [&p] { return p.Tech ? p.Tech->TableFont : FontSpec{}; };
    h.GraphFont = [&p] { return p.Tech ? p.Tech->GraphFont : FontSpec{}; };
    h.SetWindowFont = [&p](const FontSpec& f) {
        if (p.Tech) p.Tech->WindowFont = f;
    };
    h.SetTableFont = [&p](const FontSpec& f) {
        if (p.Tech) p.Tech->TableFont = f;
    };
    h.SetGraphFont = [&p](const FontSpec& f) {
        if (p.Tech) p.Tech->GraphFont = f;
    };
    h.SaveFontSetting = [&p] {
        if (p.Tech) p.Tech->SaveFontSetting();
    };
    h.InterpShowFile = [&p](const std::string& file) {
        if (p.Svc.InterpShowFile) p.Svc.InterpShowFile(file);
    };
    if (!p.Engine) p.Engine = std::make_unique<CurrentChart>(p.s, p.ChartOpt, p.GeneralOpt);

    FormScreen& screen = Screen();
    screen.RegisterFormClass("GenSet", [&p] { return new TGenSet(p.s, p.Hooks); });
    screen.RegisterFormClass("Colorf", [] { return new TColorf; });
    screen.RegisterFormClass("Paragr", [] { return new TParagr; });
    screen.RegisterFormClass("Form2", [&p] { return new TForm2(p.s); });
    screen.RegisterFormClass("StartShow", [&p] { return new TStartShow(p.s); });
    screen.RegisterFormClass("AboutBox", [&p] { return new TAboutBox(p.s); });
    screen.RegisterFormClass("Pars", [&p] { return new TPars(p.s, p.Hooks); });
    screen.RegisterFormClass("AstrCalc", [&p] { return new TAstrCalc(p.s, *p.Engine); });

    p.Svc.ApplyParagraphSettings = [] {
        if (auto* par = dynamic_cast<TParagr*>(Screen().FindForm("Paragr")))
            ApplyParagraphSettings(*par);
    };
    // After each recompute the open parts window shows the new values.
    p.Svc.RefreshWindow["Pars"] = [](TForm& f) {
        if (auto* pars = dynamic_cast<TPars*>(&f)) pars->RefreshGrid();
    };
    p.Svc.RestoreActiveParts = [&p] {
        if (auto* pars = dynamic_cast<TPars*>(Screen().FindForm("Pars")))
            pars->RestoreActive();
        else
            ParsCountActive(p.s);
    };
}

void UnregisterShellWindows(Program& p) {
    for (const char* name : kClasses)
        Screen().RegisterFormClass(name, [] { return static_cast<TForm*>(nullptr); });
    p.Hooks = {};
}

TStartShow* ShowDayInfo(Program& p) {
    p.ReadOptions();
    CurrentChart chart(p.s, p.ChartOpt, p.GeneralOpt);
    // The lunar day comes from the interpretation texts when they are built.
    ShellHooks hooks = p.Hooks;
    hooks.LunarDay = p.Svc.LunarDay;
    return ShowDayInfo(p.s, chart, p.GeneralOpt, hooks);
}

} // namespace qor::shell
