// The program's peak resident size: started offscreen in a fresh program folder, each main
// screen drawn, every window opened once and the star and asteroid tables filled, in a process
// of its own (qor_peak_child) so that nothing of the other benchmarks counts. The counter
// peak_rss_mb is that process's VmHWM; the time is the child's whole run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

void BM_PeakMemory(benchmark::State& state) {
    const std::string command =
        std::string("'") + QOR_PEAK_CHILD + "' '" + QOR_SOURCE_DIR + "/data' 2>/dev/null";
    double peakMb = 0;
    for (auto _ : state) {
        FILE* child = popen(command.c_str(), "r");
        if (!child) {
            state.SkipWithError("the child process could not be started");
            break;
        }
        long kb = 0;
        char line[256];
        while (std::fgets(line, sizeof line, child))
            if (std::sscanf(line, "peak_rss_kb %ld", &kb) == 1) peakMb = kb / 1024.0;
        if (pclose(child) != 0 || kb <= 0) {
            state.SkipWithError("the child process did not report its peak");
            break;
        }
    }
    state.counters["peak_rss_mb"] = peakMb;
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
