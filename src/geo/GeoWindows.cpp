#include "geo/GeoWindows.h"

#include "geo/AtlasWindow.h"
#include "geo/CitySize.h"
#include "geo/QorLoc.h"
#include "geo/ZoneWindow.h"
#include "shell/MainForm.h"

namespace qor::geo {

using namespace ui;

void RegisterGeoWindows(shell::Program& p, Atlas& atlas) {
    FormScreen& screen = Screen();
    // Each class makes its window for this program only (tests run several in turn).
    auto forThis = [&p](auto make) {
        return [&p, make]() -> TForm* { return shell::TheProgram() == &p ? make() : nullptr; };
    };
    screen.RegisterFormClass("Cities", forThis([&p, &atlas] { return new TCities(p, atlas); }));
    screen.RegisterFormClass("CitySiz", forThis([&p, &atlas] { return new TCitySiz(p, atlas); }));
    screen.RegisterFormClass("QorLoc", forThis([&p] { return new TQorLoc(p); }));
    screen.RegisterFormClass("Zone", forThis([] { return new TZone; }));

    shell::Services& svc = p.Svc;
    // The start-up's check: true unless the own place asks for it and the zones disagree.
    svc.CheckComputerZone = [] {
        auto* w = dynamic_cast<TQorLoc*>(Screen().FindForm("QorLoc"));
        return !w || !w->TimeCheckBox->Checked() || w->CheckComputerZone();
    };
    svc.LogUserLocation = [&p] { LogUserLocation(p); };
    // The main menu's atlas shows places on the map; it takes none.
    svc.MenuActions["AtlasMenu"] = [&p] {
        TForm* w = p.Form1 ? p.Form1->OpenToolWindow("Cities") : nullptr;
        if (!w) return;
        if (auto* b = w->Find<TSpeedButton>("GetBtn")) b->setEnabled(false);
        if (auto* b = w->Find<TSpeedButton>("MapBtn")) b->setEnabled(true);
    };
}

} // namespace qor::geo
