#include "sky/CosmosInput.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/BodyTables.h"
#include "sky/CosmosTools.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <QCoreApplication>

namespace qor {

using namespace ui;

CosmosInput::CosmosInput(shell::Program& p, std::shared_ptr<CosmosSky> sky)
    : p_(p), sky_(std::move(sky)) {}

void CosmosInput::Redraw() {
    if (!p_.Flags.DinamicRun && p_.Flags.ScreenMode == 'S') p_.DrawScreen('S');
}

bool CosmosInput::ShipCentre() const {
    const int mode = sky_->bodies.CosmosMode;
    const int slot = CosmosModeSlot(mode);
    return mode >= 11 && slot >= 0 && IsShipName(sky_->bodies.PlanetsMdb[slot].Name);
}

void CosmosInput::CloseStarWindows() {
    for (const char* name : {"DeepStar", "StarForm", "PlnForm"})
        if (TForm* f = Screen().FindForm(name)) f->Close();
}

bool CosmosInput::CosmosMouse(int button, int x, int y) {
    CosmosView& v = sky_->view;
    CosmosBodies& b = sky_->bodies;
    const int mode = b.CosmosMode;
    if (IsViewMode(mode)) {
        v.MouseX[mode + 1] = x;
        v.MouseY[mode + 1] = y;
    }
    pick_ = CosmosHitTest(v, b, sky_->stars, sky_->deep, x, y);
    if (pick_.kind == PickKind::None) {
        if (!v.CosmosHoverText.empty()) {
            v.CosmosHoverText.clear();
            Redraw();
        }
        return false;
    }
    v.HoverX = pick_.x;
    v.HoverY = pick_.y;
    v.HoverMagnitude = pick_.magnitude;
    const std::string caption = CosmosObjectCaption(p_.s, v, b, sky_->stars, sky_->deep, pick_);
    if (caption != v.CosmosHoverText) {
        v.CosmosHoverText = caption;
        SetStatus(p_.s, caption.empty()
                            ? caption
                            : caption + "   m " + Trim(FloatToStrComma(0, 1, pick_.magnitude)));
        Redraw(); // the caption is drawn with the picture
    }
    const bool body = pick_.kind == PickKind::Satellite || pick_.kind == PickKind::Centre;
    if (button == 0 && body && mode != 1 && p_.Form1) {
        const int slot = CosmosModeSlot(mode) + pick_.code;
        p_.Form1->ShowPictureByName(slot > 0 && slot < 72 ? Trim(CosmosNamesEng()[slot]) : "");
    }
    if (button == 1) {
        switch (pick_.kind) {
        case PickKind::Star: {
            const int s = pick_.code - kPickStarBase;
            if (s <= 0) break;
            if (b.CosmosMode == -1)
                ShowDeepStar(*sky_, s);
            else
                ShowStarForm(*sky_, s);
            break;
        }
        case PickKind::ModeBody:
            ShowPlanetInfo(*sky_, CosmosModePoint(pick_.code - 100));
            break;
        case PickKind::Satellite:
            if (mode == 1)
                ShowPlanetInfo(*sky_, SunViewPoint(pick_.code));
            else if (mode == 4)
                sky_->ClickedIndex = 2; // the Moon, without the window
            break;
        default:
            break;
        }
    }
    return pick_.kind != PickKind::Centre;
}

void CosmosInput::CosmosClick() {
    CosmosBodies& b = sky_->bodies;
    const ClickOutcome o = CosmosClickOutcome(b, sky_->stars, pick_.code);
    if (o.noDistance) {
        Screen().Dlg().Message(MsgKind::Information, GetMsgText(p_.s, 72, ""), MsgButtons::Ok);
        return;
    }
    if (!o.handled) return;
    if (o.centreOnStar > 0) {
        CentreOnStar(*sky_, o.centreOnStar);
    } else if (o.deepPicture > 0) {
        const DeepRec& d = sky_->deep.DeepObjs[o.deepPicture];
        if (p_.Form1) p_.Form1->ShowPictureByName(Trim(d.Code));
    } else if (o.newMode != 1000) {
        b.CosmosMode = o.newMode;
        b.CosmosStarBS = 0;
    }
    PlayWav(p_.s, o.sound);
    if (o.sound == "Ship.wav")
        b.CosmosScale(b.CosmosMode) = std::min(b.CosmosScale(b.CosmosMode), kShipViewScale);
    CloseStarWindows();
    sky_->view.CosmosHoverText.clear();
    Redraw();
}

void CosmosInput::CosmosKey(char key, double step) {
    sky_->view.CosmosHoverText.clear();
    qor::CosmosKey(sky_->bodies, sky_->view, key, step, ShipCentre());
    if (TForm* deep = Screen().FindForm("DeepStar"); deep && deep->isVisible())
        if (auto* w = dynamic_cast<TDeepStar*>(deep)) w->FillDeepStarInfo();
    Redraw();
}

bool CosmosInput::NavKey(int key, Shift shift) {
    // the step: the modifiers' (Alt 100, Ctrl 10, Shift 0.1, else 1), a fixed small one, or
    // the speed's zoom
    enum Step { Modifiers, Small, Speedy };
    struct Row {
        int key;
        char letter;
        Step step;
    };
    static const Row rows[] = {{vk::Numpad0 + 4, 'z', Modifiers},
                               {vk::Numpad0 + 6, 'Z', Modifiers},
                               {vk::Numpad0 + 2, 'x', Modifiers},
                               {vk::Numpad0 + 8, 'X', Modifiers},
                               {vk::End, 'l', Small},
                               {vk::Home, 'L', Small},
                               {vk::Numpad0 + 1, 'l', Speedy},
                               {vk::Numpad0 + 7, 'L', Speedy},
                               {'A', 'Z', Modifiers},
                               {'K', 'X', Modifiers},
                               {'L', 'x', Modifiers},
                               {'Q', 'z', Modifiers}};
    for (const Row& r : rows) {
        if (r.key != key) continue;
        const double modifiers = (shift & ssAlt)     ? 100
                                 : (shift & ssCtrl)  ? 10
                                 : (shift & ssShift) ? 0.1
                                                     : 1;
        CosmosKey(r.letter, r.step == Modifiers ? modifiers
                            : r.step == Small   ? 1.0001
                                                : Speed / 100 + 1);
        return true;
    }
    return false;
}

void CosmosInput::Pan(const std::string& button) {
    static const std::pair<const char*, std::pair<char, double>> rows[] = {
        {"RightPan", {'Z', 10}}, {"LeftPan", {'z', 10}}, {"UpPan", {'X', 10}},
        {"DownPan", {'x', 10}},  {"PanIn", {'L', 1.01}}, {"PanOut", {'l', 1.01}}};
    for (const auto& [name, key] : rows)
        if (button == name) CosmosKey(key.first, key.second);
}

void CosmosInput::ReturnToSun() {
    CosmosBodies& b = sky_->bodies;
    PlayWav(p_.s, b.CosmosStarBS != 0 && b.CosmosMode == -1 ? "Long.wav" : "Short.wav");
    b.CosmosMode = 1;
    b.CosmosStarBS = 0;
    CloseStarWindows();
    sky_->view.CosmosHoverText.clear();
    Redraw();
}

void CosmosInput::PrepareMenu() {
    if (!p_.Form1) return;
    const int mode = sky_->bodies.CosmosMode;
    if (auto* item = p_.Form1->Find<TMenuItem>("N_Return")) item->setEnabled(mode != 1);
    if (auto* item = p_.Form1->Find<TMenuItem>("N_Orbites"))
        item->setEnabled(SatelliteRows(mode) > 0);
    if (auto* item = p_.Form1->Find<TMenuItem>("N13")) item->setEnabled(mode >= 2);
}

std::string CosmosInput::SetOrbitPos(const std::string& args) {
    std::string problem;
    if (!RestoreCosmosView(sky_->bodies, args, problem)) return "Error;" + problem;
    sky_->view.CosmosHoverText.clear();
    Redraw();
    return {};
}

std::string CosmosInput::RunOrbitPos(const std::string& args) {
    OrbitRun run;
    std::string problem;
    if (!ParseOrbitRun(args, run, problem)) return "Error;" + problem;
    shell::CommLink* link = p_.Form1 ? p_.Form1->Link.get() : nullptr;
    if (link) link->MsgWriteLine(shell::MsgFile::Send, "Wait");
    sky_->view.CosmosHoverText.clear();
    for (int i = 0; i < run.count; ++i) {
        OrbitRunStep(sky_->bodies, run);
        Redraw();
        QCoreApplication::processEvents();
    }
    if (link) link->MsgClearFile(shell::MsgFile::Send);
    return {};
}

std::shared_ptr<CosmosInput> RegisterCosmosInput(shell::Program& p,
                                                 std::shared_ptr<CosmosSky> sky) {
    auto in = std::make_shared<CosmosInput>(p, sky);
    sky->Redraw = [&p] {
        if (p.Flags.ScreenMode == 'S') p.DrawScreen('S');
    };
    // The view's own routine holds it by address: a shared hold of itself would never end.
    sky->PlanetInfo = [&p, self = sky.get()](int index, PlanetInfoTexts& t) {
        CurrentChart engine(p.s, p.ChartOpt, p.GeneralOpt);
        const bool ok = FillPlanetInfo(p.s, self->bodies, engine, p.GeneralOpt, index,
                                       p.Flags.HelioMode, p.GeneralOpt.BlackMoonFocus, t);
        return ok;
    };
    sky->FindOnScreen = [&p](const std::string& name) {
        if (!p.Tech) return;
        p.Tech->FindName = name;
        p.Tech->FindTimer->SetInterval(500);
        p.Tech->FindTimer->SetEnabled(true);
    };
    RegisterCosmosTools(sky);

    shell::ScreenHandler& screen = p.Svc.Screens['S'];
    screen.MouseMove = [in](Shift, int x, int y) { in->CosmosMouse(2, x, y); };
    screen.MouseUp = [&p, in](MouseButton b, Shift, int x, int y) {
        if (b != MouseButton::Left && b != MouseButton::Right) return;
        const bool found = in->CosmosMouse(b == MouseButton::Left ? 0 : 1, x, y);
        if (b == MouseButton::Left && found) {
            in->CosmosClick();
        } else if (b == MouseButton::Right && !found && p.Form1) {
            in->PrepareMenu();
            const QPoint at = p.Form1->PaintBox->mapToGlobal(QPoint(x, y));
            p.Form1->OrbitesMenu->Popup(at.x(), at.y());
        }
    };
    screen.NavKey = [in](int key, Shift shift) { return in->NavKey(key, shift); };
    screen.Pan = [in](const std::string& button) { in->Pan(button); };
    screen.SettingsKey = [&p, in](int x, int y) {
        if (!p.Form1) return;
        in->PrepareMenu();
        const QPoint at = p.Form1->mapToGlobal(QPoint(x, y));
        p.Form1->OrbitesMenu->Popup(at.x(), at.y());
    };
    p.Svc.MenuActions["N_Return"] = [in] { in->ReturnToSun(); };
    p.Svc.MenuActions["N_Orbites"] = [sky] { ShowSatellites(*sky); };
    p.Svc.LinkVerbs["SetOrbitPos"] = [in](const std::string& a) { return in->SetOrbitPos(a); };
    p.Svc.LinkVerbs["RunOrbitPos"] = [in](const std::string& a) { return in->RunOrbitPos(a); };
    p.Svc.RefreshWindow["PlnForm"] = [](TForm& f) {
        if (auto* w = dynamic_cast<TPlnForm*>(&f)) w->FillPlanetInfo();
    };
    return in;
}

} // namespace qor
