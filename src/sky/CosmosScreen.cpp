#include "sky/CosmosScreen.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/CosmosInput.h"
#include "sky/SkyData.h"
#include "sky/SpaceShip.h"
#include "sky/Surface.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace qor {

namespace {

// The surfaces of the planets, read again only when a file changes (a damaged file is then
// reported once, not at every redraw).
class SurfaceCache {
public:
    const SurfaceRegions* Get(AstroDat& s, int mode) {
        const Stamp now = StampOf(s, mode);
        Entry& e = entries_[mode];
        if (!e.loaded || e.stamp != now) {
            e.regions = SurfaceRegions{};
            e.has = now.exists && LoadSurfaceRegions(s, mode, CosmosModeSlot(mode), e.regions);
            e.stamp = now;
            e.loaded = true;
        }
        return e.has ? &e.regions : nullptr;
    }

private:
    struct Stamp {
        bool exists = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time{};
        bool operator!=(const Stamp& o) const {
            return exists != o.exists || size != o.size || time != o.time;
        }
    };
    static Stamp StampOf(const AstroDat& s, int mode) {
        Stamp st;
        std::error_code ec;
        for (const std::string& name : {SurfaceImgName(mode), SurfaceNmeName(mode)}) {
            const std::filesystem::path path = s.DataPath(name);
            if (!std::filesystem::exists(path, ec)) continue;
            st.exists = true;
            st.size += std::filesystem::file_size(path, ec);
            st.time = std::max(st.time, std::filesystem::last_write_time(path, ec));
        }
        return st;
    }
    struct Entry {
        bool loaded = false, has = false;
        Stamp stamp;
        SurfaceRegions regions;
    };
    std::map<int, Entry> entries_;
};

} // namespace

CosmosDrawOptions GatherCosmosOptions(const shell::Program& p) {
    CosmosDrawOptions o;
    o.EqatorBox = p.Checked("OrbitSet", "EqatorBox", false);
    o.ImageBox = p.Checked("OrbitSet", "ImageBox", true);
    const std::string ring = Trim(p.Text("ImgDes", "SatRingEdit"));
    if (!ring.empty()) o.SatRingColour = static_cast<ui::Colour>(StrToIntDef0(ring));
    o.ShowNumbBox = p.Checked("ImgDes", "ShowNumbBox", false);
    if (const SkyData* d = p.Find<SkyData>()) o.SelectedSozv = d->SelectedSozv;
    if (ui::TForm* des = ui::Screen().FindForm("ImgDes"))
        if (auto* spin = des->Find<ui::TSpinEdit>("NumSpinEdit")) o.NumSpinValue = spin->Value();
    return o;
}

std::shared_ptr<CosmosSky> RegisterCosmos(shell::Program& p, CosmosBodies& bodies,
                                          StarCatalogue& stars, DeepCatalogue& deep) {
    auto sky = std::make_shared<CosmosSky>(p.s, bodies, stars, deep);
    sky->RefreshAll = [&p] {
        if (p.Tech) p.Tech->RefreshAll();
    };
    sky->FocusMain = [&p] {
        if (p.Form1) p.Form1->activateWindow();
    };
    RegisterCosmosWindows(p.FormClasses, sky);
    auto surfaces = std::make_shared<SurfaceCache>();
    shell::Services& svc = p.Svc;
    svc.Screens['S'].Draw = [&p, sky, surfaces] {
        if (!p.BufBitmap) return;
        CosmosInputs in{p.s, sky->bodies, sky->stars, sky->deep, GatherCosmosOptions(p)};
        in.Ready = p.Flags.Ready;
        in.Surface = [&p, sky, surfaces](int mode) { return surfaces->Get(p.s, mode); };
        in.DrawShip = [&p, sky](ui::Canvas& canvas, int, int, double) {
            const CosmosView& v = sky->view;
            if (v.ShipPoint <= 0 || v.ShipPoint >= kBodyRecords) return;
            DrawShipBox(canvas, sky->bodies.Bank, sky->bodies.CosmosMode, p.s.Bodies[v.ShipPoint],
                        v.CentreDiameter, v.PixelsPerAu, v.DrawWidth);
        };
        CosmosRedraw(sky->view, in, *p.BufBitmap);
        if (in.Ready && p.Tech && p.Tech->isVisible() && p.Tech->Memo)
            p.Tech->Memo->SetLines({CosmosViewLine(sky->bodies)});
    };
    svc.RefreshWindow["StarForm"] = [](ui::TForm& f) {
        if (auto* w = dynamic_cast<TStarForm*>(&f)) w->FillStarForm();
    };
    svc.RefreshWindow["DeepStar"] = [](ui::TForm& f) {
        if (auto* w = dynamic_cast<TDeepStar*>(&f)) w->FillDeepStarInfo();
    };
    RegisterCosmosInput(p, sky);
    return sky;
}

} // namespace qor
