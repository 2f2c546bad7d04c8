// The plain driver of the fuzz targets, built by any compiler:
//   qor_fuzz_replay list                        the targets and their dictionaries
//   qor_fuzz_replay seeds TARGET FOLDER         writes the target's seed inputs
//   qor_fuzz_replay run TARGET [--seeds] PATH.. runs the seeds and every file under the paths
// CTest runs each target over its seeds and its kept inputs (tests/fuzz/regressions/TARGET).
#include "FuzzTarget.h"

#include "core/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using namespace qor::fuzz;

namespace {

const Target* Find(const char* name) {
    for (const auto& t : Targets())
        if (std::strcmp(t.name, name) == 0) return &t;
    std::fprintf(stderr, "qor_fuzz_replay: no target %s\n", name);
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "list") {
        auto targets = Targets();
        std::sort(targets.begin(), targets.end(),
                  [](const Target& a, const Target& b) { return std::strcmp(a.name, b.name) < 0; });
        for (const auto& t : targets) std::printf("%s %s\n", t.name, t.dict);
        return 0;
    }
    if (cmd == "seeds" && argc == 4) {
        const Target* t = Find(argv[2]);
        if (!t) return 2;
        const fs::path folder = argv[3];
        fs::create_directories(folder);
        int n = 0;
        for (const auto& seed : t->seeds()) {
            char name[32];
            std::snprintf(name, sizeof name, "seed-%03d", n++);
            std::ofstream(folder / name, std::ios::binary).write(seed.data(), seed.size());
        }
        std::printf("%s: %d seeds\n", t->name, n);
        return 0;
    }
    if (cmd == "run" && argc >= 3) {
        const Target* t = Find(argv[2]);
        if (!t) return 2;
        int n = 0;
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--seeds") == 0) {
                for (const auto& seed : t->seeds()) {
                    t->run(seed);
                    ++n;
                }
                continue;
            }
            std::vector<fs::path> files;
            std::error_code ec;
            if (fs::is_regular_file(argv[i], ec)) files.push_back(argv[i]);
            for (fs::recursive_directory_iterator it(argv[i], ec), end; !ec && it != end; it.increment(ec))
                if (it->is_regular_file(ec)) files.push_back(it->path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                std::string bytes;
                if (!qor::ReadFileBytes(f, bytes).ok()) {
                    std::fprintf(stderr, "qor_fuzz_replay: cannot read %s\n", f.c_str());
                    return 1;
                }
                std::fprintf(stderr, "%s\n", f.c_str());
                t->run(bytes);
                ++n;
            }
        }
        std::printf("%s: %d inputs ran\n", t->name, n);
        return 0;
    }
    std::fprintf(stderr, "usage: qor_fuzz_replay list | seeds TARGET FOLDER | run TARGET [--seeds] PATH...\n");
    return 2;
}
