// The text bases: one lookup of the last section of a composed base of 2 MB, read from the
// top as every report reads it (the file opened and read, each header's key parsed).
#include "core/AstroDat.h"
#include "core/Files.h"
#include "interp/Report.h"
#include "interp/TextBase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;

struct BigBase {
    fs::path folder;
    int lastFirst = 0, lastSecond = 0;
    BigBase() {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("qor-bench-" + std::to_string(rd()));
        fs::create_directories(folder / "Txt");
        // Sections of about 600 bytes: a header and four paragraph lines of Cyrillic text.
        std::string bytes = "/ composed base of the benchmark\r\n";
        const std::string para(140, '\xE0');
        for (int i = 0; bytes.size() < 2'000'000; ++i) {
            lastFirst = 1 + i / 12;
            lastSecond = 1 + i % 12;
            bytes += '[';
            bytes += std::to_string(lastFirst);
            bytes += '.';
            bytes += std::to_string(lastSecond);
            bytes += "] Section ";
            bytes += std::to_string(i);
            bytes += "\r\n";
            for (int k = 0; k < 4; ++k) bytes += para + "\r\n";
        }
        qor::SaveFileAtomic(folder / "Txt" / "big.txt", bytes);
    }
    ~BigBase() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

void BM_BaseLookup(benchmark::State& st) {
    BigBase base;
    qor::AstroDat s;
    s.ProgramFolder = base.folder;
    qor::interp::ReportWriter w(s, {});
    const qor::interp::BaseSetting setting{"Txt\\big.txt", true};
    const auto match = [&](std::string_view h) {
        qor::interp::PlnKey k;
        return qor::interp::ParsePlnKey(h, k) && k.first == base.lastFirst &&
                       k.second == base.lastSecond
                   ? qor::interp::Verdict::Take
                   : qor::interp::Verdict::Skip;
    };
    std::size_t found = 0;
    for (auto _ : st) {
        std::string bytes;
        w.OpenBaseFile(setting, bytes);
        found = qor::interp::ReadSections(bytes, match).size();
        benchmark::DoNotOptimize(found);
    }
    if (found != 1) st.SkipWithError("the last section was not found");
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * 2'000'000);
}
BENCHMARK(BM_BaseLookup)->Unit(benchmark::kMillisecond);

} // namespace
