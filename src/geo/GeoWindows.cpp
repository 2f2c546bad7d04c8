#include "geo/GeoWindows.h"

#include "geo/AtlasWindow.h"
#include "geo/CitySize.h"
#include "geo/QorLoc.h"
#include "geo/ZoneWindow.h"
#include "shell/MainForm.h"

namespace qor::geo {

using namespace ui;

void RegisterGeoWindows(shell::Program& p, Atlas& atlas) {
    p.FormClasses.Register("Cities", [&p, &atlas] { return new TCities(p, atlas); });
    p.FormClasses.Register("CitySiz", [&p, &atlas] { return new TCitySiz(p, atlas); });
    p.FormClasses.Register("QorLoc", [&p] { return new TQorLoc(p); });
    p.FormClasses.Register("Zone", [] { return new TZone; });

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
