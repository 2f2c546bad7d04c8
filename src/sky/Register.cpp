#include "sky/Register.h"

#include "shell/MainForm.h"
#include "sky/AsteridWindow.h"
#include "sky/CosmosScreen.h"
#include "sky/CosmosTools.h"
#include "sky/SkyData.h"
#include "sky/SkyScreen.h"
#include "sky/StarConj.h"
#include "sky/StarWindows.h"
#include "sky/StripScreen.h"
#include "sky/UserBodiesWindow.h"

namespace qor::sky {

using shell::StartError;
using shell::StartStage;

void Register(shell::Program& p) {
    shell::Services& svc = p.Svc;
    AstroDat& s = p.s;
    SkyData& sky = p.Own<SkyData>();

    svc.AddStartStep(StartStage::Bodies, "LoadPlanetsMdb", [&s, &sky] {
        if (LoadPlanetsMdb(s, sky.Cosmos) <= 0) throw StartError("planets.mdb cannot be read");
    });
    // The cosmos view states live in the memo "OrbitMemo" of the window "mStar" (saved with
    // the window state) once that window has it; until then in the sky data.
    auto orbitMemo = [] {
        ui::TForm* m = ui::Screen().FindForm("mStar");
        return m ? m->Find<ui::TMemo>("OrbitMemo") : nullptr;
    };
    svc.AddStartStep(StartStage::Orbits, "LoadCosmosSettings", [&sky, orbitMemo] {
        if (ui::TMemo* memo = orbitMemo()) sky.OrbitMemo = memo->Lines();
        if (sky.OrbitMemo.empty()) sky.OrbitMemo = DefaultOrbitMemo();
        LoadCosmosSettings(sky.Cosmos, sky.OrbitMemo);
    });
    svc.SaveDuties["CosmosSettings"] = [&sky, orbitMemo] {
        sky.OrbitMemo = SaveCosmosSettings(sky.Cosmos);
        if (ui::TMemo* memo = orbitMemo()) memo->SetLines(sky.OrbitMemo);
    };
    svc.AddStartStep(StartStage::Orbits, "LoadYaleCatalogue", [&s, &sky] {
        if (!LoadYaleCatalogue(s, sky.Stars)) throw StartError("yale.mdb cannot be read");
    });
    svc.AddStartStep(StartStage::Orbits, "LoadDeepObj", [&s, &sky] { LoadDeepObj(s, sky.Deep); });
    svc.AddStartStep(StartStage::Asteroids, "LoadChironTable", [&p, &s, &sky] {
        // The user-body list is kept in the main window's memo between runs.
        std::vector<std::string> lines;
        if (p.Form1) lines = p.Form1->Memo->Lines();
        if (lines.empty()) lines = DefaultUserBodies(s.EnglishMode);
        const UserBodySlots bodies = LoadChironTable(s, lines, s.ParsCount, sky.Cosmos, sky.Chiron);
        ApplyUserBodies(s, bodies);
        if (p.Form1) p.Form1->Memo->SetLines(lines);
    });
    svc.AddStartStep(StartStage::Asteroids, "LoadAsteroidCatalogue",
                     [&s, &sky] { LoadAsteroidCatalogue(s, sky.Asteroids); });

    svc.ComputeStarPositions = [&s, &sky] {
        ComputeStarPositions(s, sky.Stars, &sky.Deep);
        sky.Stars.StarsCalcT = s.ChartT;
    };
    svc.StarsCalcT = [&sky] { return sky.Stars.StarsCalcT; };
    svc.BodyTableName = [&sky](int n) -> std::string {
        if (n < 0 || n >= static_cast<int>(sky.Cosmos.PlanetsMdb.size())) return {};
        return sky.Cosmos.PlanetsMdb[n].Name;
    };
    sky.CosmosView = RegisterCosmos(p, sky.Cosmos, sky.Stars, sky.Deep);
    // The wheel's chart menu asks for the planet window of a chart point.
    svc.ShowPlanetInfo = [&sky](int point) {
        if (sky.CosmosView) ShowPlanetInfo(*sky.CosmosView, point);
    };
    sky.Sphere = RegisterSkySphere(p, sky);
    sky.Strip = RegisterStripScreen(p, sky);
    RegisterAsterid(p, sky);
    RegisterStarConj(p, sky);
    RegisterUserBodiesWindow(p, sky);
    RegisterStarWindows(p, sky);
}

} // namespace qor::sky
