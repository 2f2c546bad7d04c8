// libFuzzer's entry: the one target linked into this binary. With QOR_FUZZ_SEEDS set to a
// folder, the binary writes its target's seeds there and ends (so a target can run before
// the replay driver, which links every library, is built).
#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const auto& targets = qor::fuzz::Targets();
    if (targets.size() != 1) std::abort();
    if (const char* folder = std::getenv("QOR_FUZZ_SEEDS")) {
        qor::fuzz::fs::create_directories(folder);
        int n = 0;
        for (const auto& seed : targets.front().seeds()) {
            char name[32];
            std::snprintf(name, sizeof name, "seed-%03d", n++);
            std::ofstream(qor::fuzz::fs::path(folder) / name, std::ios::binary)
                .write(seed.data(), static_cast<std::streamsize>(seed.size()));
        }
        std::printf("%s: %d seeds\n", targets.front().name, n);
        std::exit(0);
    }
    // One empty input before the clock runs: what a target makes once (a started program, a
    // window) is made outside the time of the first real input.
    targets.front().run({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto& targets = qor::fuzz::Targets();
    targets.front().run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
