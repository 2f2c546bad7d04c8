// The whole natal report: a Moscow chart of 1990 with every point shown, the shipped aspect
// page, the star and deep-sky catalogues at the chart's moment, and the shipped text bases.
// A base the program does not ship yet gets a stand-in of its full size (every key, paragraphs
// of Cyrillic text), so the figure holds for the finished program: the combination base of
// about 2 MB scanned for each point, the aspect base read whole for each point.
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "interp/ChartReports.h"
#include "interp/Report.h"
#include "interp/TextBases.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include "StandInText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace qor;
using namespace qor::interp;
using bench::Paragraph;
namespace fs = std::filesystem;

// A program folder whose every entry is the shipped data's, the missing bases composed.
struct ReportFolder {
    fs::path root;
    ReportFolder(const AspDefTable& page, const StarCatalogue& stars) {
        std::random_device rd;
        root = fs::temp_directory_path() / ("qor-bench-natal-" + std::to_string(rd()));
        const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
        fs::create_directories(root / "Txt");
        for (const auto& e : fs::directory_iterator(data))
            if (e.path().filename() != "Txt") fs::create_symlink(e.path(), root / e.path().filename());
        for (const auto& e : fs::directory_iterator(data / "Txt"))
            fs::create_symlink(e.path(), root / "Txt" / e.path().filename());

        const std::string text = Paragraph();
        std::string combin, aspect, sunAsc, ruler, star;
        for (int p = 1; p <= 16; ++p)
            for (int z = 1; z <= 12; ++z)
                for (int h = 1; h <= 12; ++h)
                    combin += "[" + std::to_string(p) + "." + std::to_string(z) + "." +
                              std::to_string(h) + "] Title\r\n" + text + text;
        for (int p = 1; p <= 16; ++p)
            for (int q = p + 1; q <= 16; ++q)
                for (int a = 1; a <= page.AspCount; ++a)
                    aspect += "[" + std::to_string(p) + "." + std::to_string(a) + "." +
                              std::to_string(q) + "]\r\n" + text;
        for (int z = 1; z <= 12; ++z) {
            if (z % 3 == 1) sunAsc += "{Group}\r\n";
            for (int y = 1; y <= 12; ++y)
                sunAsc += "[" + std::to_string(z) + "." + std::to_string(y) + "] Title\r\n" + text;
        }
        for (int h = 1; h <= 12; ++h)
            for (int k = 1; k <= 12; ++k) {
                char header[48];
                std::snprintf(header, sizeof header, "[H%2d H%2d] Title\r\n", h, k);
                ruler += header + text;
            }
        for (int i = 1; i <= stars.StarCount; ++i) {
            const YaleRec& y = stars.YaleStars[static_cast<std::size_t>(i)];
            if (y.NameOffset != 0) star += "[" + std::to_string(y.BS) + "] Title\r\n" + text;
        }
        const TextBaseSettings files = TextBaseSettings::Defaults(false);
        const std::pair<BaseId, const std::string*> composed[] = {
            {BaseId::Combin, &combin}, {BaseId::Aspect, &aspect}, {BaseId::SunAsc, &sunAsc},
            {BaseId::UD, &ruler},      {BaseId::Stars, &star}};
        for (const auto& [id, bytes] : composed) {
            std::string rel = files[id].file;
            for (char& c : rel)
                if (c == '\\') c = '/';
            const fs::path target = root / rel;
            if (fs::exists(target)) continue;
            fs::create_directories(target.parent_path());
            SaveFileAtomic(target, *bytes);
        }
    }
    ~ReportFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

void BM_NatalReport(benchmark::State& st) {
    AstroDat s;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    StarCatalogue stars;
    DeepCatalogue deep;
    LoadYaleCatalogue(s, stars);
    LoadDeepObj(s, deep);
    AspDefTable page;
    std::vector<std::string> pageLines;
    ReadTextLines(ResolvePath(s.ProgramFolder, "Aspects\\\xCD\xE0\xF2\xE0\xEB.asp"), pageLines);
    ReadAspectTable(page, pageLines);
    PrepareAspectWindows(page);

    // 1990-06-15 08:30 UT, Moscow.
    s.ChartLat = 55.75 * kDegToRad;
    s.ChartLong = 37.62 * kDegToRad;
    s.GeocLat = s.ChartLat;
    s.GeocRadius = 1;
    s.ChartJD = 2448057.8542;
    s.ChartYear = 1990, s.ChartMonth = 6, s.ChartDay = 15, s.ChartHour = 11, s.ChartMinute = 30;
    CalcTimeScales(s);
    ChartOptions opt;
    GeneralOptions gen;
    CalcChart(s, opt, gen, 0);
    ComputeStarPositions(s, stars, &deep);

    ReportChart c;
    c.page = &page;
    AspectOptions aspOpt;
    aspOpt.AspectingMode = 'I';
    AspectMatrix m;
    CalcAspects(page, aspOpt, {&s.PlanetLon, &s.PlanetSpeed}, m);
    c.aspects = m.AspMatrix;
    c.keyOf = TextKeys(s, {});
    c.shown = std::string(16, '|');
    c.stars = &stars;
    c.deep = &deep;
    c.name = "Name";
    c.city = "Moscow";

    const ReportFolder folder(page, stars);
    s.ProgramFolder = folder.root;
    std::size_t bytes = 0;
    ReportHooks hooks;
    hooks.ShowWorkFile = [&](const fs::path& f) {
        bytes = fs::file_size(f);
        return true;
    };
    hooks.Tell = [](MsgKind, const std::string&) {}; // the degree bases are not shipped
    ReportWriter w(s, hooks);
    for (auto _ : st) w.Run([&] { ChartReports(w, c).Natal(); });
    if (bytes < 50'000) st.SkipWithError("the report is shorter than the bases give");
    st.counters["report_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_NatalReport)->Unit(benchmark::kMillisecond);

} // namespace
