// The cosmos view over the shipped data: the body table, the catalogues and a chart computed
// for a fixed moment, drawn into a bitmap of a fixed size.
#pragma once

#include "SkyTestSupport.h"

#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "sky/CosmosScene.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "sky/Surface.h"
#include "support/QtApp.h"
#include "ui/OffscreenBitmap.h"

#include <QImage>

#include <map>
#include <string>

namespace qor::test {

struct CosmosFixture {
    QApplication& app = QtApp(); // before any painter
    SkyState t;
    AstroDat& s = t.s;
    CosmosBodies bodies;
    StarCatalogue stars;
    DeepCatalogue deep;
    CosmosView view;
    ui::Font16State font;
    ui::OffscreenBitmap bitmap{font};
    CosmosDrawOptions options;
    std::map<int, SurfaceRegions> surfaces;

    explicit CosmosFixture(int width = 1280, int height = 720) {
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
        LoadPlanetsMdb(s, bodies);
        LoadCosmosSettings(bodies, DefaultOrbitMemo());
        LoadYaleCatalogue(s, stars);
        LoadDeepObj(s, deep);
        bitmap.Resize(width, height);
        SetMoment(2024, 3, 20, 12, 0);
    }
    // A moment in UT at Greenwich.
    void SetMoment(int y, int mo, int d, int h, int mi) {
        s.ChartYear = y;
        s.ChartMonth = mo;
        s.ChartDay = d;
        s.ChartHour = h;
        s.ChartMinute = mi;
        s.ChartSecond = 0;
        s.ChartZone = 0;
        s.ChartLat = 51.5 * kDegToRad;
        s.ChartLong = 0;
        ChartOptions opt;
        GeneralOptions gen;
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
        ComputeStarPositions(s, stars, &deep);
    }
    void Draw(int mode) {
        bodies.CosmosMode = mode;
        CosmosInputs in{s, bodies, stars, deep, options};
        in.Surface = [this](int m) -> const SurfaceRegions* {
            auto it = surfaces.find(m);
            if (it == surfaces.end()) {
                SurfaceRegions r;
                if (!LoadSurfaceRegions(s, m, CosmosModeSlot(m), r)) return nullptr;
                it = surfaces.emplace(m, r).first;
            }
            return &it->second;
        };
        CosmosRedraw(view, in, bitmap);
    }
    ui::Colour Pixel(int x, int y) const {
        return ui::FromQColor(QColor::fromRgb(bitmap.image().pixel(x, y)));
    }
    void Save(const std::string& name) const {
        bitmap.image().save(QString::fromStdString(name), "PNG");
    }
};

} // namespace qor::test
