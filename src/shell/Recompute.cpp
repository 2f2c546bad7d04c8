// The recompute hub of the service form: after any change of the chart moment or an option,
// RefreshAll reads the options, runs the time step and the chart, the subsystems' duties after
// a chart, redraws the current screen and refreshes the open tool windows. Nothing runs
// before the start-up is ready; a call during a pass runs one more pass after it.
#include "shell/Tech.h"

#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "shell/MainForm.h"

namespace qor::shell {

using namespace ui;

bool TTech::FormExists(const std::string& name) const {
    return Screen().FindForm(name) != nullptr;
}

void TTech::RedrawIfNatal() {
    if (p_.Flags.ScreenMode == 'W') p_.DrawScreen('W');
}

void TTech::SetMainTitle() {
    AstroDat& s = p_.s;
    if (p_.View.ProductTitle) {
        s.MainTitle = ProductTitle(s);
    } else {
        s.MainTitle = DateText + "   " + TimeText + "   " + ZoneText;
        TitleHasPlace = p_.Flags.ScreenMode != 'S';
        if (TitleHasPlace) s.MainTitle += "   " + LatText + "   " + LongText;
    }
    // One rule for the caption everywhere: the core's (status, blanks, title).
    UpdateMainCaption(s);
}

// A call that arrives while a pass runs is not lost: one more pass follows the current one.
void TTech::RefreshAll() {
    ShellFlags& f = p_.Flags;
    if (!f.Ready) return;
    if (!f.RefreshReady) {
        pending_ = true;
        return;
    }
    do {
        pending_ = false;
        f.RefreshReady = false;
        try {
            RefreshPass();
        } catch (...) {
            f.RefreshReady = true;
            throw;
        }
        f.RefreshReady = true;
        ++RefreshCount;
    } while (pending_ && f.Ready);
}

void TTech::RefreshPass() {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    const Services& svc = p_.Svc;
    const ScreenHandler* screen = svc.ScreenOf(f.ScreenMode);
    p_.ReadOptions();

    CalcAstroTime(s, TimeOptionsFor(p_.ChartOpt, p_.GeneralOpt));
    ShowUTLabels(s);

    const std::string year =
        s.ChartYear >= 1 ? IntToStrZ(s.ChartYear, 4) + " " : IntToStrZ(1 - s.ChartYear, 4) + "B";
    DateText = IntToStrW(s.ChartDay, 3) + " " + Trim(MonthName(s, s.ChartMonth)) + " " + year +
               " " + WeekDayShortName(s, s.ChartWeekDay);
    TimeText = IntToStrW(s.ChartHour, 3) + ":" + IntToStrZ(s.ChartMinute, 2) + ":" +
               IntToStrZ(s.ChartSecond, 2);
    ZoneText = FormatZoneOffset(s.ChartZone, false);
    LatText = FormatLatitude(s.ChartLat);
    LongText = FormatLongitude(s.ChartLong);

    if (!p_.View.ProductTitle) SetMainTitle();
    f.HelioMode = p_.ChartOpt.HelioBox;

    if (f.ExterrBody != 0)
        CalcChartAltFrame(s, p_.ChartOpt, p_.GeneralOpt);
    else
        CalcChart(s, p_.ChartOpt, p_.GeneralOpt, 0);
    if (svc.ClearLabelOffsets) svc.ClearLabelOffsets();

    if ((f.StarsRecalc || p_.ItemIndex("GenSet", "PrecessGroup") == 2) && svc.ComputeStarPositions)
        svc.ComputeStarPositions();

    if (f.ScreenMode != 'W' && FormExists("AspTabl")) {
        p_.CalcCurrentAspects();
    }

    if (screen && screen->Recomputed) screen->Recomputed();
    if (f.ScreenMode == 'W' && f.DinamicRun) ReplayWheelHover();
    if (screen && screen->Draw) p_.DrawScreen(f.ScreenMode);

    RefreshToolWindows();

    // The interpretation window that follows a chart point takes the new chart.
    if (f.ProgramIdle && f.InterpPoint > 0) {
        TForm* interp = Screen().FindForm("Interp");
        const auto it = svc.RefreshWindow.find("Interp");
        if (interp && interp->isVisible() && it != svc.RefreshWindow.end() && it->second)
            it->second(*interp);
    }
}

// While the time window steps the chart, the wheel's hover text follows the pointer: unless
// another window lies under it, the paint box gets a mouse move at the pointer.
void TTech::ReplayWheelHover() {
    if (!p_.Form1 || !p_.Form1->PaintBox) return;
    const QPoint pt = Screen().Cursor().Pos();
    for (TForm* f : Screen().Forms()) {
        if (f->Name() == "Form1" || !f->isVisible()) continue;
        if (f->Left() < pt.x() && pt.x() < f->Left() + f->Width() && f->Top() < pt.y() &&
            pt.y() < f->Top() + f->Height())
            return;
    }
    TPaintBox* box = p_.Form1->PaintBox;
    const QPoint local = box->mapFromGlobal(pt);
    if (box->OnMouseMove) box->OnMouseMove(0, local.x(), local.y());
}

void TTech::RefreshToolWindows() {
    static const char* const kOrder[] = {"AstroForm", "Star",    "StarForm", "DeepStar",
                                         "PlnForm",   "AspTabl", "StarConj", "Asteroids",
                                         "MoonSgn",   "Pars",    "ExctAsp",  "Deep"};
    for (const char* name : kOrder) {
        TForm* form = Screen().FindForm(name);
        if (!form || !form->isVisible()) continue;
        const std::string n = name;
        if (n == "Pars" && p_.ChartOpt.HelioBox) {
            form->Close(); // a heliocentric chart has no Arabic parts
            continue;
        }
        const bool horizon = n == "Star" || n == "Deep";
        const auto it = p_.Svc.RefreshWindow.find(n);
        if (it != p_.Svc.RefreshWindow.end() && it->second) it->second(*form);
        if (it == p_.Svc.RefreshWindow.end() || horizon)
            if (auto* grid = form->Find<TDrawGrid>("DrawGrid")) grid->viewport()->update();
    }
}

} // namespace qor::shell
