// The reports of a double chart on bases of full size: the transit report with its three
// blocks (business, health, love), each base near 2 MB and read for each of the 16 radix
// points, and the lunar return report with its four bases. The bases are not shipped yet:
// stand-ins with every key and paragraphs of Cyrillic text take their place.
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "interp/PairReports.h"
#include "interp/Report.h"
#include "interp/TextBases.h"

#include "StandInText.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace qor;
using namespace qor::interp;
using bench::Paragraph;
namespace fs = std::filesystem;

// Every aspect key of points 1..16 with each aspect of a page of 14: about 2.5 MB.
std::string AspectBase(int aspects) {
    const std::string text = Paragraph();
    std::string out;
    for (int p = 1; p <= 16; ++p)
        for (int a = 1; a <= aspects; ++a)
            for (int q = 1; q <= 16; ++q)
                out += "[" + std::to_string(p) + "." + std::to_string(a) + "." + std::to_string(q) +
                       "]\r\n" + text + text;
    return out;
}

std::string PointBase(int firstFrom, int firstTo, int seconds) {
    const std::string text = Paragraph();
    std::string out;
    for (int p = firstFrom; p <= firstTo; ++p)
        for (int h = 1; h <= seconds; ++h)
            out += "[" + std::to_string(p) + "." + std::to_string(h) + "] Title\r\n" + text;
    return out;
}

struct PairFolder {
    fs::path root;
    PairFolder() {
        std::random_device rd;
        root = fs::temp_directory_path() / ("qor-bench-pair-" + std::to_string(rd()));
        const TextBaseSettings files = TextBaseSettings::Defaults(false);
        const std::string aspects = AspectBase(14);
        const std::pair<BaseId, std::string> bases[] = {{BaseId::B, aspects},
                                                        {BaseId::H, aspects},
                                                        {BaseId::L, aspects},
                                                        {BaseId::LPA, aspects},
                                                        {BaseId::LPAR, aspects},
                                                        {BaseId::LHHR, PointBase(101, 112, 12)},
                                                        {BaseId::LPH, PointBase(1, 16, 12)}};
        for (const auto& [id, bytes] : bases) {
            std::string rel = files[id].file;
            for (char& c : rel)
                if (c == '\\') c = '/';
            fs::create_directories((root / rel).parent_path());
            SaveFileAtomic(root / rel, bytes);
        }
    }
    ~PairFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

// A Moscow radix of 1990 and the chart of 2024-06-01 as its outer chart, the built-in page.
struct PairSetup {
    AstroDat s;
    AspDefTable page;
    PairChart c;
    PairFolder folder;
    PairSetup() {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
        std::vector<std::string> lines = BuiltInAspectLines();
        ReadAspectTable(page, lines);
        PrepareAspectWindows(page);
        ChartOptions opt;
        GeneralOptions gen;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        s.ChartZone = 180;
        const auto at = [&](int y, int m, int d) {
            s.ChartYear = y, s.ChartMonth = m, s.ChartDay = d, s.ChartHour = 12;
            CalcAstroTime(s, TimeOptionsFor(opt, gen));
            CalcChart(s, opt, gen, 0);
        };
        at(2024, 6, 1);
        s.PlanetLonBck = s.PlanetLon;
        s.PlanetSpeedBck = s.PlanetSpeed;
        at(1990, 6, 15);
        AspectOptions aspOpt;
        AspectCharts charts{&s.PlanetLon, &s.PlanetSpeed, &s.PlanetLonBck, &s.PlanetSpeedBck, true};
        AspectMatrix m;
        aspOpt.AspectingMode = 'X';
        CalcAspects(page, aspOpt, charts, m);
        c.cross = m.AspMatrix;
        aspOpt.AspectingMode = 'O';
        CalcAspects(page, aspOpt, charts, m);
        c.outer = m.AspMatrix;
        c.radix.page = &page;
        c.radix.keyOf = TextKeys(s, {});
        c.radix.shown = std::string(16, '|');
        c.radix.name = "Name";
        s.ProgramFolder = folder.root;
    }
};

template <class Body> void RunReport(benchmark::State& st, Body body, bool allBlocks) {
    PairSetup setup;
    std::size_t bytes = 0;
    ReportHooks hooks;
    hooks.ShowWorkFile = [&](const fs::path& f) {
        bytes = fs::file_size(f);
        return true;
    };
    hooks.Tell = [](MsgKind, const std::string&) {};
    ReportWriter w(setup.s, hooks);
    if (allBlocks) w.Settings[BaseId::H].on = w.Settings[BaseId::L].on = true;
    for (auto _ : st) w.Run([&] { body(PairReports(w, setup.c)); });
    if (bytes < 10'000) st.SkipWithError("the report is shorter than the bases give");
    st.counters["report_bytes"] = static_cast<double>(bytes);
}

void BM_TransitReport(benchmark::State& st) {
    RunReport(
        st, [](PairReports&& r) { r.Transits(); }, true);
}
BENCHMARK(BM_TransitReport)->Unit(benchmark::kMillisecond);

void BM_LunarReport(benchmark::State& st) {
    RunReport(
        st, [](PairReports&& r) { r.Return(false); }, false);
}
BENCHMARK(BM_LunarReport)->Unit(benchmark::kMillisecond);

} // namespace
