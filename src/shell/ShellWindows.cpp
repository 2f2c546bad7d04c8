#include "shell/ShellWindows.h"

#include "core/Parses.h"
#include "shell/AstrCalc.h"
#include "shell/ParsWindow.h"
#include "shell/SetBase.h"
#include "shell/SettingsDialogs.h"
#include "shell/StartWindows.h"
#include "shell/Tech.h"

#include <QApplication>

namespace qor::shell {

using namespace ui;

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
    if (!p.Engine) p.Engine = std::make_unique<CurrentChart>(p.s, p.ChartOpt, p.GeneralOpt);

    ui::FormClasses& classes = p.FormClasses;
    classes.Register("GenSet", [&p] { return new TGenSet(p.s, p.Hooks); });
    classes.Register("Colorf", [] { return new TColorf; });
    classes.Register("Paragr", [] { return new TParagr; });
    classes.Register("Form2", [&p] { return new TForm2(p.s); });
    classes.Register("StartShow", [&p] { return new TStartShow(p.s); });
    classes.Register("AboutBox", [&p] { return new TAboutBox(p.s); });
    classes.Register("Pars", [&p] { return new TPars(p.s, p.Hooks); });
    classes.Register("SetBase", [] { return new TSetBase; });
    classes.Register("AstrCalc", [&p] { return new TAstrCalc(p.s, *p.Engine); });

    // The general settings the chart computation reads.
    p.Svc.OptionReaders["GenSet"] = [](Program& p) {
        auto* g = dynamic_cast<TGenSet*>(Screen().FindForm("GenSet"));
        if (!g) return;
        GeneralOptions& o = p.GeneralOpt;
        o.HorParallax = g->MoonParall->Checked();
        o.TrueNodes = g->NodeCheckBox->Checked();
        o.UseEllipsoid = g->EEBox->Checked();
        if (const int r = g->RiseGroup->ItemIndex(); r >= 0) o.RiseGroup = r;
        p.s.UseLightTime = g->LightSpeed->Checked();
    };
    // After each recompute the open parts window shows the new values.
    p.Svc.RefreshWindow["Pars"] = [](TForm& f) {
        if (auto* pars = dynamic_cast<TPars*>(&f)) pars->RefreshGrid();
    };
}

void ApplyParagraphSettings() {
    if (auto* par = dynamic_cast<TParagr*>(Screen().FindForm("Paragr")))
        ApplyParagraphSettings(*par);
}

void RestoreActiveParts(Program& p) {
    if (auto* pars = dynamic_cast<TPars*>(Screen().FindForm("Pars")))
        pars->RestoreActive();
    else
        ParsCountActive(p.s);
}

TStartShow* ShowDayInfo(Program& p) {
    p.ReadOptions();
    CurrentChart chart(p.s, p.ChartOpt, p.GeneralOpt);
    // The lunar day comes from the interpretation texts when they are built (Hooks.LunarDay).
    return ShowDayInfo(p.s, chart, p.GeneralOpt, p.Hooks);
}

} // namespace qor::shell
