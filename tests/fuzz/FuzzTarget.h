// The fuzz targets: each feeds bytes to one parser of the program's files or commands through
// the routine the program itself calls. Each target registers itself; a libFuzzer binary links
// one target, the replay driver links them all.
#pragma once

#include "core/AstroDat.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qor::fuzz {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    // Parses one input; must never crash, hang or leak whatever the bytes.
    void (*run)(std::string_view bytes);
    // The seed inputs, made from the shipped data and the test fixtures.
    std::vector<std::string> (*seeds)();
    // The dictionary under tests/fuzz/dict ("" for none).
    const char* dict;
};

std::vector<Target>& Targets();

struct Registrar {
    explicit Registrar(const Target& t) { Targets().push_back(t); }
};

#define QOR_FUZZ_TARGET(name, run, seeds, dict) \
    static const ::qor::fuzz::Registrar qorFuzzTarget_##name{{#name, run, seeds, dict}};

// A scratch program folder for this process (on a RAM disk where there is one), removed at
// exit. Targets whose routine reads a file of the program folder by name put the input there
// as that file, so the whole routine runs, its reading included.
const fs::path& Folder();
// Writes `bytes` as the program file `name` of Folder() (folders made as needed).
void Put(std::string_view name, std::string_view bytes);
// A fresh state over Folder(), reporting nowhere.
void Reset(AstroDat& s);

// Inputs that hold several files: every part but the last is led by its length (32 bits,
// little-endian); a part cut short by the end of the input takes what is there, missing parts
// are empty.
std::vector<std::string_view> SplitParts(std::string_view bytes, std::size_t count);
std::string JoinParts(const std::vector<std::string>& parts);

// The source tree's files for seeds: "data/PLANETS.NDX", "tests/fixtures/...". Empty when
// the file is missing.
std::string SourceFile(const std::string& relative);
// Every regular file under a source folder whose name ends with `suffix` (case ignored),
// sorted by name; at most `limit`.
std::vector<std::string> SourceFiles(const std::string& relativeFolder, const std::string& suffix,
                                     std::size_t limit = 64);
// A text input as lines the way the program splits a text file.
std::vector<std::string> Lines(std::string_view bytes);

} // namespace qor::fuzz
