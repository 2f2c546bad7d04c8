// The coastline index from a damaged or hostile "coast.ptr": offsets, lengths and points at
// the ends of their range, and indexes of random bytes, read without overflow (the sanitizer
// build checks every operation) and with the damaged chains left out.
#include "core/AstroDat.h"
#include "geo/Coast.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace qor {
namespace {

struct Opened {
    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
    CoastFiles c;
    explicit Opened(const std::string& ptr, const std::string& dat = std::string(64, '\x01')) {
        s.ProgramFolder = dir.path();
        s.Report = &report;
        dir.Write("coast.ptr", ptr);
        dir.Write("coast.dat", dat);
    }
};

// Every reading of the index, as the map uses them.
void ReadEverything(AstroDat& s, CoastFiles& c) {
    for (int i = 1; i <= c.ChainCount(); ++i) {
        std::vector<CoastPoint> pts;
        CoastChainPoints(c, i, pts);
        CoastChainVisible(c.index[i - 1], CoastView{});
        CoastChainVisible(c.index[i - 1], CoastView{INT_MAX, INT_MIN, INT_MIN, INT_MAX});
    }
    CollectCoastPolygons(s, c);
}

TEST(CoastDamage, ValuesAtTheEndsOfTheirRangeAreLeftOut) {
    struct Case {
        const char* what;
        CoastPtrRec damaged; // chain 2, between two sound chains; chain 3 starts at its end
        ChainRead read;
        std::vector<int> kept; // the chains of the one polygon left
        const char* status;
    };
    const std::vector<Case> cases = {
        {"end at the top of its range",
         {INT_MAX, 0, 0, 0, 3},
         ChainRead::TooLong,
         {1},
         "Chain 3 error"},
        {"end at the bottom of its range",
         {INT_MIN, 0, 0, 0, 3},
         ChainRead::Empty,
         {1},
         "Chain 3 error"},
        {"end beyond the file", {40, 0, 0, 0, 3}, ChainRead::OutOfFile, {1}, "Chain 3 error"},
        {"first point at the west end",
         {8, INT_MIN, 0, 0, 3},
         ChainRead::OutOfFile,
         {1, 3},
         "Chain 2 error"},
        {"first point at the east end",
         {8, INT_MAX, 0, 0, 3},
         ChainRead::OutOfFile,
         {1, 3},
         "Chain 2 error"},
        {"first point at the north end",
         {8, 0, INT_MAX, 0, 3},
         ChainRead::OutOfFile,
         {1, 3},
         "Chain 2 error"},
        {"first point at the south end",
         {8, 0, INT_MIN, 0, 3},
         ChainRead::OutOfFile,
         {1, 3},
         "Chain 2 error"},
        {"first point just off the map",
         {8, 0, 2 * kMapFullTurn + 1, 0, 3},
         ChainRead::OutOfFile,
         {1, 3},
         "Chain 2 error"},
    };
    for (const Case& c : cases) {
        Opened o(EncodeCoastIndex({{4, 0, 0, 0, 2}, c.damaged, {12, 100, 100, 0, 0}}),
                 std::string(12, '\x01'));
        ASSERT_TRUE(OpenCoastFiles(o.s, o.c)) << c.what;
        std::vector<CoastPoint> pts;
        EXPECT_EQ(CoastChainPoints(o.c, 2, pts), c.read) << c.what;
        EXPECT_TRUE(pts.empty()) << c.what;
        ReadEverything(o.s, o.c);
        const CoastPolygons p = CollectCoastPolygons(o.s, o.c);
        EXPECT_TRUE(p.complete) << c.what;
        // The sound chains stay in the polygon; the last damaged one is on the status line.
        ASSERT_EQ(p.polygons.size(), 1u) << c.what;
        EXPECT_EQ(p.polygons[0].chains, c.kept) << c.what;
        EXPECT_EQ(o.s.StatusText, c.status) << c.what;
    }
}

// Indexes of random bytes (as a damaged disk gives them) are read without a fault.
TEST(CoastDamage, RandomIndexesAreReadWithoutFault) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 300; ++round) {
        std::string ptr(16 * (1 + round % 40), '\0');
        for (char& b : ptr) b = static_cast<char>(byte(rng));
        Opened o(ptr, std::string(static_cast<std::size_t>(round * 7), '\x7f'));
        if (!OpenCoastFiles(o.s, o.c)) continue;
        ReadEverything(o.s, o.c);
    }
}

} // namespace
} // namespace qor
