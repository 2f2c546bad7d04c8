// The shipped coastlines as the tests read them themselves: "coast.ptr" and "coast.dat"
// decoded by byte arithmetic from the record layout alone (16-byte chain records: end offset,
// first point, flags, next chain; signed byte pairs of steps), rings followed by their links,
// and land told from sea by an even-odd count of the rings' edges.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qor::test {

struct CoastXY {
    long x = 0, y = 0; // 1/600 degree, east and north
};
using CoastRing = std::vector<CoastXY>;

inline std::vector<CoastRing> RawCoastRings(const std::filesystem::path& dataDir) {
    auto slurp = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string ptr = slurp(dataDir / "coast.ptr"), dat = slurp(dataDir / "coast.dat");
    auto i32 = [&](std::size_t at) {
        uint32_t v = 0;
        for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(ptr[at + k]);
        return static_cast<long>(static_cast<int32_t>(v));
    };
    auto u16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(ptr[at]) |
                                        static_cast<unsigned char>(ptr[at + 1]) << 8);
    };
    const std::size_t n = ptr.size() / 16;
    std::vector<bool> seen(n + 1, false);
    std::vector<CoastRing> rings;
    for (std::size_t first = 1; first <= n; ++first) {
        if (seen[first]) continue;
        CoastRing ring;
        for (std::size_t c = first; c >= 1 && c <= n && !seen[c]; c = u16(16 * (c - 1) + 14)) {
            seen[c] = true;
            const std::size_t from = c > 1 ? static_cast<std::size_t>(i32(16 * (c - 2))) : 0;
            const std::size_t to = static_cast<std::size_t>(i32(16 * (c - 1)));
            CoastXY p{i32(16 * (c - 1) + 4), i32(16 * (c - 1) + 8)};
            ring.push_back(p);
            for (std::size_t j = from; j + 1 < to && j + 1 < dat.size(); j += 2) {
                p.x += static_cast<signed char>(dat[j]);
                p.y += static_cast<signed char>(dat[j + 1]);
                ring.push_back(p);
            }
        }
        rings.push_back(std::move(ring));
    }
    return rings;
}

// Even-odd: a ray to the east from the point crosses the rings' edges an odd number of times
// from land.
inline bool OnLand(const std::vector<CoastRing>& rings, double latDeg, double lonDeg) {
    const double px = lonDeg * 600, py = latDeg * 600;
    bool inside = false;
    for (const CoastRing& r : rings)
        for (std::size_t i = 0, j = r.size() - 1; i < r.size(); j = i++) {
            const double xi = r[i].x, yi = r[i].y, xj = r[j].x, yj = r[j].y;
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                inside = !inside;
        }
    return inside;
}

} // namespace qor::test
