// One change of degree in the degree window, which follows the pointer over the zodiac ring:
// the texts read from both degree-text files, the points, stars and deep-sky objects of the
// degree found, and the box painted.
#include "SkyState.h"
#include "chart/DegreeWindow.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/DegreeTexts.h"
#include "core/Planets.h"
#include "core/SymbolFont.h"
#include "core/TimeStep.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

void BM_DegreeWindow(benchmark::State& state) {
    using namespace qor;
    StarCatalogue stars;
    DeepCatalogue deep;
    AstroDat s = bench::SkyChartState(stars, deep, 1995, 8, 22);
    s.EnglishMode = state.range(0) != 0;
    ui::Font16State font;
    std::ifstream in(s.ProgramFolder / "font16.fnt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SymbolFontFromBytes(bytes, font.Glyphs);

    chart::DegreeTextFiles files = chart::DefaultDegreeTextFiles(s.EnglishMode);
    files.SecondOn = true;
    chart::DegreeTextReader reader;
    chart::DegreeObjectSources src;
    src.Lon = &s.PlanetLon;
    src.Label = [&s](int i) { return std::string(1, static_cast<char>('A' + i)); };
    src.Stars = &stars;
    src.Deep = &deep;
    src.DeepText = [&](int n) { return DeepObjText(s, deep, n, 0); };
    QImage picture(chart::kDegreeWindowWidth, chart::kDegreeWindowHeight, QImage::Format_RGB32);
    const ui::FontSpec textFont{204, 0, "Arial", 9, 0};
    int d = 0;
    for (auto _ : state) {
        d = d % 360 + 1;
        const double lon = (d - 0.5) * kDegToRad;
        chart::DegreeBox box;
        box.Title = std::to_string(d) + " [" + chart::DegreeRulerName(s, d) + "]";
        reader.ReadDegreeText(s, files, box.Text, lon);
        box.BothTexts = reader.FilesRead() == 2;
        box.Objects = chart::DegreeObjects(src, d);
        ui::Canvas c(picture);
        const chart::DegreeLayout l = chart::DrawDegreeBox(c, font, textFont, box);
        benchmark::DoNotOptimize(l.ScaleY);
    }
}
BENCHMARK(BM_DegreeWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
