// Fingerprints of exact bits for the tests that hold a computation to its stored results: an
// FNV-1a hash of the values, written as 16 hex digits, one line per case in a fixture file.
// The stored lines are rewritten with QOR_WRITE_FINGERPRINTS=1 in the environment, only after
// a change that is meant to alter results.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace qor::test {

struct BitHash {
    uint64_t h = 1469598103934665603ull;
    void Add(double v) {
        unsigned char b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        for (unsigned char x : b) h = (h ^ x) * 1099511628211ull;
    }
    std::string Hex() const {
        std::ostringstream out;
        out << std::hex << std::setw(16) << std::setfill('0') << h;
        return out.str();
    }
};

// The stored fingerprints of the fixture file, or nothing when the environment asks for
// them to be written: then `now` is written in their place.
inline std::optional<std::vector<std::string>> StoredFingerprints(
    const std::filesystem::path& file, const std::vector<std::string>& now) {
    if (std::getenv("QOR_WRITE_FINGERPRINTS")) {
        std::ofstream out(file, std::ios::binary);
        for (const auto& line : now) out << line << '\n';
        return std::nullopt;
    }
    std::vector<std::string> stored;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) stored.push_back(line);
    return stored;
}

} // namespace qor::test
