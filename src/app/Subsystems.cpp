#include "app/Subsystems.h"

#include "app/SkyData.h"
#include "chart/ChartWindows.h"
#include "chart/KartScreen.h"
#include "core/Chart.h"
#include "interp/Register.h"
#include "shell/MainForm.h"
#include "shell/Program.h"
#include "sky/CosmosScreen.h"

namespace qor::app {

using shell::StartError;

Subsystems::Subsystems(shell::Program& p) : p_(p), sky_(std::make_unique<SkyData>()) {
    RegisterSky();
    chart::RegisterChartWindows(p);
    SkyData& sky = *sky_;
    chart::RegisterKartScreen(p,
                              {&sky.Stars, &sky.Deep, [&sky](int n) -> std::string {
                                   if (n < 0 || n >= static_cast<int>(sky.Cosmos.PlanetsMdb.size()))
                                       return {};
                                   return sky.Cosmos.PlanetsMdb[n].Name;
                               }});
    RegisterGeo();
    interp::InterpServices texts;
    texts.StarKnown = [&sky](const std::string& name) {
        for (int i = 1; i <= sky.Stars.StarCount; ++i)
            if (sky.Stars.StarLon[static_cast<std::size_t>(i)] != 0 && StarName(sky.Stars, i) == name)
                return true;
        return false;
    };
    interp::Register(p, std::move(texts));
}

void Subsystems::RegisterGeo() {
    // The atlas of the language in use (read after the English texts are applied).
    p_.Svc.LoadAtlas = [this] { LoadAtlas(p_.s, atlas_); };
}

Subsystems::~Subsystems() = default;

void Subsystems::RegisterSky() {
    shell::Services& svc = p_.Svc;
    AstroDat& s = p_.s;
    SkyData& sky = *sky_;
    svc.LoadPlanetsMdb = [&s, &sky] {
        if (LoadPlanetsMdb(s, sky.Cosmos) <= 0) throw StartError("planets.mdb cannot be read");
    };
    // The cosmos view states live in the memo "OrbitMemo" of the window "mStar" (saved with
    // the window state) once that window has it; until then in the sky data.
    auto orbitMemo = [] {
        ui::TForm* m = ui::Screen().FindForm("mStar");
        return m ? m->Find<ui::TMemo>("OrbitMemo") : nullptr;
    };
    svc.LoadCosmosSettings = [&sky, orbitMemo] {
        if (ui::TMemo* memo = orbitMemo()) sky.OrbitMemo = memo->Lines();
        if (sky.OrbitMemo.empty()) sky.OrbitMemo = DefaultOrbitMemo();
        LoadCosmosSettings(sky.Cosmos, sky.OrbitMemo);
    };
    svc.SaveCosmosSettings = [&sky, orbitMemo] {
        sky.OrbitMemo = SaveCosmosSettings(sky.Cosmos);
        if (ui::TMemo* memo = orbitMemo()) memo->SetLines(sky.OrbitMemo);
    };
    svc.LoadYaleCatalogue = [&s, &sky] {
        if (!LoadYaleCatalogue(s, sky.Stars)) throw StartError("yale.mdb cannot be read");
    };
    svc.LoadDeepObj = [&s, &sky] { LoadDeepObj(s, sky.Deep); };
    svc.LoadChironTable = [this, &s, &sky] {
        // The user-body list is kept in the main window's memo between runs.
        std::vector<std::string> lines;
        if (p_.Form1) lines = p_.Form1->Memo->Lines();
        if (lines.empty()) lines = DefaultUserBodies();
        const UserBodySlots bodies = LoadChironTable(s, lines, s.ParsCount, sky.Cosmos, sky.Chiron);
        for (int k = 1; k <= bodies.NExtra; ++k) {
            const auto& f = bodies.Slots[k].Fields;
            ParseOrbitElementsLine(s, k, f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
        }
        s.NExtra = bodies.NExtra;
        if (p_.Form1) p_.Form1->Memo->SetLines(lines);
    };
    svc.LoadAsteroidCatalogue = [&s, &sky] { LoadAsteroidCatalogue(s, sky.Asteroids); };
    svc.ComputeStarPositions = [&s, &sky] {
        ComputeStarPositions(s, sky.Stars, &sky.Deep);
        sky.Stars.StarsCalcT = s.ChartT;
    };
    svc.StarsCalcT = [&sky] { return sky.Stars.StarsCalcT; };
    svc.CosmosBodyName = [&sky](int i) -> std::string {
        const int k = i + 71;
        if (k < 0 || k >= static_cast<int>(sky.Cosmos.PlanetsMdb.size())) return {};
        return sky.Cosmos.PlanetsMdb[k].Name;
    };
    sky.CosmosView = RegisterCosmos(p_, sky.Cosmos, sky.Stars, sky.Deep);
    svc.RefreshWindow["Star"] = [&s, &sky](ui::TForm&) { ComputeStarHorizon(s, sky.Stars); };
    svc.RefreshWindow["Deep"] = [&s, &sky](ui::TForm&) { ComputeDeepHorizon(s, sky.Deep); };
}

} // namespace qor::app
