// The coastline files: the shipped ones read back by a reader of the record layout alone and
// against their Natural Earth source, and the chain walk on small damaged indexes.
#include "CoastOracle.h"
#include "core/AstroDat.h"
#include "geo/Coast.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace qor {
namespace {

using test::RecordingReport;
using test::TempDir;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

long I32(const std::string& b, std::size_t at) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(b[at + k]);
    return static_cast<int32_t>(v);
}
int U16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

struct RawChain {
    long end, x0, y0;
    int flags, next;
};

// The shipped rings decoded by plain byte arithmetic: every link in range, every ring closed,
// each chain starting where the one before it ended, and no chain leaving far from its cell.
TEST(CoastFiles, ShippedChainsFormClosedRings) {
    const std::string ptr = Slurp(kData / "coast.ptr"), dat = Slurp(kData / "coast.dat");
    ASSERT_EQ(ptr.size() % 16, 0u);
    const std::size_t n = ptr.size() / 16;
    ASSERT_GT(n, 1000u);
    ASSERT_LE(n, 40950u);
    std::vector<RawChain> chains;
    for (std::size_t i = 0; i < n; ++i)
        chains.push_back({I32(ptr, 16 * i), I32(ptr, 16 * i + 4), I32(ptr, 16 * i + 8),
                          U16(ptr, 16 * i + 12), U16(ptr, 16 * i + 14)});
    EXPECT_EQ(static_cast<std::size_t>(chains.back().end), dat.size());
    std::vector<int> seen(n + 1, 0);
    int rings = 0;
    for (std::size_t first = 1; first <= n; ++first) {
        if (seen[first]) continue;
        ++rings;
        std::size_t c = first;
        long lastX = 0, lastY = 0;
        bool start = true;
        for (int guard = 0; guard < 100000; ++guard) {
            ASSERT_FALSE(seen[c]) << "chain " << c << " in two rings";
            seen[c] = 1;
            const RawChain& r = chains[c - 1];
            const long from = c > 1 ? chains[c - 2].end : 0;
            ASSERT_GT(r.end - from, 1) << "chain " << c;
            ASSERT_LE(r.end - from, 32767) << "chain " << c;
            ASSERT_EQ((r.end - from) % 2, 0);
            if (!start) {
                EXPECT_EQ(r.x0, lastX) << "chain " << c << " does not start where the last ended";
                EXPECT_EQ(r.y0, lastY);
            }
            start = false;
            long x = r.x0, y = r.y0;
            const auto cell = [](long px, long py) {
                return std::make_pair((px >= 0 ? px / 6000 : (px - 6000) / 6000) * 6000,
                                      (py >= 0 ? (py + 6000) / 6000 : py / 6000) * 6000);
            };
            const auto home = cell(x, y);
            for (long j = from; j < r.end; j += 2) {
                // Every point but the last stays in the cell the map tests the chain by.
                EXPECT_EQ(cell(x, y), home) << "chain " << c;
                x += static_cast<signed char>(dat[j]);
                y += static_cast<signed char>(dat[j + 1]);
                ASSERT_LE(std::labs(x), 108000);
                ASSERT_LE(std::labs(y), 54000);
            }
            lastX = x;
            lastY = y;
            ASSERT_GE(r.next, 1) << "chain " << c;
            ASSERT_LE(static_cast<std::size_t>(r.next), n) << "chain " << c;
            if (static_cast<std::size_t>(r.next) == first) break;
            c = r.next;
        }
        EXPECT_EQ(lastX, chains[first - 1].x0) << "ring of chain " << first << " is not closed";
        EXPECT_EQ(lastY, chains[first - 1].y0);
    }
    EXPECT_GT(rings, 1000);
}

// The library's walk finds the same rings.
TEST(CoastFiles, CollectedPolygonsTakeEveryChainOnce) {
    AstroDat s;
    RecordingReport report;
    s.ProgramFolder = kData;
    s.Report = &report;
    CoastFiles c;
    ASSERT_TRUE(OpenCoastFiles(s, c));
    const CoastPolygons p = CollectCoastPolygons(s, c);
    EXPECT_TRUE(p.complete);
    std::vector<int> count(c.ChainCount() + 1, 0);
    for (const auto& poly : p.polygons)
        for (int ch : poly.chains) ++count[ch];
    for (int i = 1; i <= c.ChainCount(); ++i) EXPECT_EQ(count[i], 1) << "chain " << i;
    EXPECT_TRUE(s.StatusText.empty());
    EXPECT_TRUE(report.messages.empty());
}

// The land rings of a TopoJSON of Natural Earth (npm world-atlas), in map units, in their order.
using Ring = std::vector<std::pair<double, double>>;
std::vector<Ring> TopoRings(const QJsonObject& topo) {
    const QJsonArray scale = topo["transform"].toObject()["scale"].toArray();
    const QJsonArray shift = topo["transform"].toObject()["translate"].toArray();
    std::vector<Ring> arcs;
    for (const auto& arc : topo["arcs"].toArray()) {
        long qx = 0, qy = 0;
        arcs.emplace_back();
        for (const auto& pt : arc.toArray()) {
            qx += pt.toArray()[0].toInteger();
            qy += pt.toArray()[1].toInteger();
            arcs.back().emplace_back((qx * scale[0].toDouble() + shift[0].toDouble()) * 600,
                                     (qy * scale[1].toDouble() + shift[1].toDouble()) * 600);
        }
    }
    std::vector<Ring> rings;
    const QJsonObject land = topo["objects"].toObject()["land"].toObject();
    for (const auto& g : land["geometries"].toArray())
        for (const auto& poly : g.toObject()["arcs"].toArray())
            for (const auto& ring : poly.toArray()) {
                rings.emplace_back();
                for (const auto& a : ring.toArray()) {
                    const int k = a.toInt();
                    auto seq = arcs[k >= 0 ? k : ~k];
                    if (k < 0) std::reverse(seq.begin(), seq.end());
                    rings.back().insert(rings.back().end(),
                                        seq.begin() + (rings.back().empty() ? 0 : 1), seq.end());
                }
            }
    return rings;
}

QJsonObject ReadJson(const fs::path& p) {
    QFile f(QString::fromStdString(p.string()));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

// A source ring as the files keep it: a ring that steps across the 180-degree meridian (two
// points more than 180 degrees apart) an even number of times is cut at those steps into
// pieces, each beginning at the point after a step, staying on one side and closed along the
// meridian; a piece without an area goes. A ring with no such step, or with an odd number of
// them (round a pole), stays whole.
std::vector<Ring> StoredPieces(Ring ring) {
    constexpr double kHalfTurn = 108000;
    if (ring.front() != ring.back()) ring.push_back(ring.front());
    std::vector<std::size_t> steps;
    for (std::size_t k = 0; k + 1 < ring.size(); ++k)
        if (std::fabs(ring[k + 1].first - ring[k].first) > kHalfTurn) steps.push_back(k);
    if (steps.empty() || steps.size() % 2) return {ring};
    const std::size_t n = ring.size() - 1;
    std::vector<Ring> pieces(1);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = (steps[0] + 1 + i) % n;
        pieces.back().push_back(ring[k]);
        if (std::find(steps.begin(), steps.end(), k) != steps.end() && i + 1 < n)
            pieces.emplace_back();
    }
    std::vector<Ring> out;
    for (Ring& piece : pieces) {
        const double seam = piece.front().first > 0 ? kHalfTurn : -kHalfTurn;
        const auto first = piece.front();
        for (const auto& q :
             {std::pair{seam, piece.back().second}, std::pair{seam, first.second}, first})
            if (piece.back() != q) piece.push_back(q);
        std::vector<std::pair<long, long>> distinct;
        for (const auto& [x, y] : piece) distinct.emplace_back(std::lround(x), std::lround(y));
        std::sort(distinct.begin(), distinct.end());
        if (std::unique(distinct.begin(), distinct.end()) - distinct.begin() >= 3)
            out.push_back(std::move(piece));
    }
    return out;
}

// The points of every polygon the library's walk finds in the shipped files.
std::vector<std::vector<CoastPoint>> ShippedPolygonPoints() {
    AstroDat s;
    s.ProgramFolder = kData;
    CoastFiles c;
    EXPECT_TRUE(OpenCoastFiles(s, c));
    std::vector<std::vector<CoastPoint>> out;
    for (const auto& poly : CollectCoastPolygons(s, c).polygons) {
        out.emplace_back();
        for (int ch : poly.chains) EXPECT_EQ(CoastChainPoints(c, ch, out.back()), ChainRead::Ok);
    }
    return out;
}

// Each stored piece of the source rings met point by point, in order, within one map unit by
// a polygon that begins where it begins; the shipped files hold `total` polygons.
void ExpectRingsDecodeBack(const std::vector<Ring>& rings, const std::vector<int>& places,
                           std::size_t total) {
    const auto polygons = ShippedPolygonPoints();
    ASSERT_EQ(polygons.size(), total);
    ASSERT_EQ(rings.size(), places.size());
    const auto near = [](const CoastPoint& q, const std::pair<double, double>& p) {
        return std::fabs(q.x - p.first) <= 1 && std::fabs(q.y - p.second) <= 1;
    };
    const auto metInOrder = [&](const std::vector<CoastPoint>& pts, const Ring& piece) {
        std::size_t i = 0;
        for (const auto& p : piece) {
            while (i < pts.size() && !near(pts[i], p)) ++i;
            if (i == pts.size()) return false;
        }
        return true;
    };
    for (std::size_t r = 0; r < rings.size(); ++r)
        for (const Ring& piece : StoredPieces(rings[r])) {
            // Small islands may begin at the same point: one of the polygons that begin there.
            const bool found = std::any_of(polygons.begin(), polygons.end(), [&](const auto& pts) {
                return !pts.empty() && near(pts[0], piece[0]) && metInOrder(pts, piece);
            });
            EXPECT_TRUE(found) << "ring " << places[r] << " from (" << piece[0].first << ", "
                               << piece[0].second << ")";
        }
}

// A few rings of the source (tests/fixtures/coast_rings.json, made by tools/make_geo.py): the
// first and the last, small islands, rings at the 180-degree meridian, both holes, a long coast.
TEST(CoastFiles, ChainsDecodeBackToTheSourceRings) {
    const QJsonObject topo = ReadJson(fs::path(QOR_FIXTURES_DIR) / "coast_rings.json");
    ASSERT_FALSE(topo.isEmpty());
    std::vector<int> places;
    for (const auto& v : topo["rings"].toArray()) places.push_back(v.toInt());
    const std::vector<Ring> rings = TopoRings(topo);
    ASSERT_EQ(rings.size(), 13u);
    // Two of them step across the 180-degree meridian.
    int cut = 0;
    for (const Ring& r : rings) cut += StoredPieces(r).size() != 1 || StoredPieces(r)[0] != r;
    EXPECT_EQ(cut, 2);
    ExpectRingsDecodeBack(rings, places, static_cast<std::size_t>(topo["storedRings"].toInt()));
}

// Every ring of the whole source, where `./qor data` has fetched it into the build's cache.
TEST(CoastFiles, ChainsDecodeBackToEverySourceRing) {
    const fs::path npm = fs::path(QOR_SOURCE_DIR) / "build" / "data-cache" / "npm";
    fs::path land;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(npm, ec))
        if (e.path().filename().string().rfind("world-atlas-", 0) == 0)
            land = e.path() / "land-50m.json";
    const QJsonObject topo = land.empty() ? QJsonObject{} : ReadJson(land);
    if (topo.isEmpty()) GTEST_SKIP() << "world-atlas is not in the build's cache (./qor data)";
    const std::vector<Ring> rings = TopoRings(topo);
    std::vector<int> places(rings.size());
    std::size_t total = 0;
    for (std::size_t r = 0; r < rings.size(); ++r) {
        places[r] = static_cast<int>(r);
        total += StoredPieces(rings[r]).size();
    }
    ExpectRingsDecodeBack(rings, places, total);
}

// No stored ring runs round the world along a parallel: such a line (a source segment from
// +180 to -180 degrees, filled in with steps) swaps land and sea along it in an even-odd fill.
// Antarctica closes south of 84 degrees, below what the map shows.
TEST(CoastFiles, NoRingRunsRoundTheWorldAlongAParallel) {
    int rings = 0;
    for (const auto& pts : ShippedPolygonPoints()) {
        ++rings;
        std::size_t from = 0;
        for (std::size_t i = 1; i < pts.size(); ++i) {
            if (std::abs(pts[i].y - pts[from].y) > 60) from = i; // more than 0.1 degree
            if (std::abs(pts[i].x - pts[from].x) >= 108000 && std::abs(pts[from].y) < 80 * 600) {
                ADD_FAILURE() << "ring " << rings << " runs along " << pts[from].y / 600.0
                              << " degrees from " << pts[from].x / 600.0 << " to "
                              << pts[i].x / 600.0;
                break;
            }
        }
    }
    EXPECT_GT(rings, 1000);
}

// Land and sea by the tests' own reading of the files and an even-odd test of the point.
TEST(CoastFiles, PlacesOnLandAndAtSea) {
    const auto rings = test::RawCoastRings(kData);
    const auto land = [&](double lat, double lon) { return test::OnLand(rings, lat, lon); };
    struct Case {
        double lat, lon;
        bool land;
        const char* where;
    };
    const Case cases[] = {{67, 20, true, "Lapland"},
                          {67, 3, false, "Norwegian Sea"},
                          {65.5, 100, true, "Siberia"},
                          {70.5, 150, true, "Kolyma lowland"},
                          {71.2, -179.6, true, "Wrangel Island, west of 180"},
                          {71.2, 179.6, true, "Wrangel Island, east of 180"},
                          {66, -173, true, "Chukotka, west of 180"},
                          {68, 175, true, "Chukotka, east of 180"},
                          {69.5, -175, false, "Chukchi Sea"},
                          {55.75, 37.62, true, "Moscow"},
                          {0, 0, false, "Gulf of Guinea"},
                          {-25, 135, true, "Australia"},
                          {-17, -179.9, false, "Pacific by Fiji"},
                          {-78, 0, true, "Antarctica"}};
    for (const Case& c : cases) EXPECT_EQ(land(c.lat, c.lon), c.land) << c.where;
}

TEST(CoastCells, TenDegreeCellTest) {
    const CoastView world;
    // West edge of the cell of x0 < 0 is one cell further west; north edge of y0 >= 0 is above.
    EXPECT_TRUE(CoastChainVisible({1, 0, 0, 0, 0}, world));
    const CoastView europe{36000, 24000, 0, 24000}; // 60..40 N, 0..40 E
    EXPECT_TRUE(CoastChainVisible({1, 6000, 30000, 0, 0}, europe));
    EXPECT_FALSE(CoastChainVisible({1, -6001, 30000, 0, 0}, europe));
    EXPECT_FALSE(CoastChainVisible({1, 6000, 36000, 0, 0}, europe));
    // A view across the 180-degree meridian sees the cells west of it shifted by a full turn.
    const CoastView pacific{30000, -30000, 96000, 120000};
    EXPECT_TRUE(CoastChainVisible({1, -106000, 0, 0, 0}, pacific));
    EXPECT_TRUE(CoastChainVisible({1, 100000, 0, 0, 0}, pacific));
    EXPECT_FALSE(CoastChainVisible({1, -90000, 0, 0, 0}, pacific));
}

// Small indexes written here: chain i holds `len[i]` bytes of (+1, +1) steps.
struct CoastFixture : ::testing::Test {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    CoastFiles c;
    void SetUp() override {
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
    void Write(const std::vector<int>& lens, const std::vector<uint16_t>& next) {
        std::vector<CoastPtrRec> idx;
        std::string dat;
        int32_t end = 0;
        for (std::size_t i = 0; i < lens.size(); ++i) {
            end += lens[i];
            idx.push_back({end, static_cast<int32_t>(100 * i), 0, 0, next[i]});
            dat.append(static_cast<std::size_t>(std::max(0, lens[i])), '\x01');
        }
        dir.Write("coast.ptr", EncodeCoastIndex(idx));
        dir.Write("coast.dat", dat);
        ASSERT_TRUE(OpenCoastFiles(s, c));
    }
};

TEST_F(CoastFixture, ChainPointsFollowTheDeltas) {
    Write({4, 2}, {2, 1});
    std::vector<CoastPoint> pts;
    ASSERT_EQ(CoastChainPoints(c, 1, pts), ChainRead::Ok);
    EXPECT_EQ(pts, (std::vector<CoastPoint>{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(CoastChainPoints(c, 3, pts), ChainRead::OutOfFile);
    EXPECT_EQ(CoastChainPoints(c, 0, pts), ChainRead::OutOfFile);
}

TEST_F(CoastFixture, LinkBackToTheFirstChainClosesThePolygon) {
    Write({2, 2, 2, 2}, {2, 3, 1, 2}); // chain 3 links back to 1; chain 4 links into 2
    const CoastPolygons p = CollectCoastPolygons(s, c);
    ASSERT_EQ(p.polygons.size(), 2u);
    EXPECT_EQ(p.polygons[0].chains, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(p.polygons[1].chains, (std::vector<int>{4}));
}

TEST_F(CoastFixture, CycleThatAvoidsTheFirstChainStops) {
    Write({2, 2, 2, 2}, {2, 3, 2, 0}); // 1 -> 2 -> 3 -> 2 -> ...
    const CoastPolygons p = CollectCoastPolygons(s, c);
    ASSERT_EQ(p.polygons.size(), 2u);
    EXPECT_EQ(p.polygons[0].chains, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(p.polygons[1].chains, (std::vector<int>{4}));
}

TEST_F(CoastFixture, LinkOutOfRangeEndsThePolygonWithAMessage) {
    Write({2, 2, 2}, {2, 9, 3});
    const CoastPolygons p = CollectCoastPolygons(s, c);
    ASSERT_EQ(p.polygons.size(), 2u);
    EXPECT_EQ(p.polygons[0].chains, (std::vector<int>{1, 2}));
    EXPECT_NE(s.StatusText.find("Chain 2"), std::string::npos);
}

TEST_F(CoastFixture, EmptyChainIsSkippedNotTheWholeLand) {
    Write({2, 0, 2, 2}, {2, 3, 1, 4});
    const CoastPolygons p = CollectCoastPolygons(s, c);
    EXPECT_TRUE(p.complete);
    ASSERT_EQ(p.polygons.size(), 2u);
    EXPECT_EQ(p.polygons[0].chains, (std::vector<int>{1, 3}));
    EXPECT_EQ(p.polygons[1].chains, (std::vector<int>{4}));
    EXPECT_EQ(s.StatusText, "Chain 2 error");
}

TEST_F(CoastFixture, ChainTooLongEndsTheWalk) {
    Write({2, 32768}, {1, 2});
    const CoastPolygons p = CollectCoastPolygons(s, c);
    EXPECT_FALSE(p.complete);
    EXPECT_TRUE(p.polygons.empty());
    EXPECT_EQ(s.StatusText, "Chain 2 too long");
}

TEST_F(CoastFixture, ChainEndPastTheDeltaFileIsAnError) {
    Write({2, 2}, {1, 2});
    c.deltas.resize(3);
    std::vector<CoastPoint> pts;
    EXPECT_EQ(CoastChainPoints(c, 2, pts), ChainRead::OutOfFile);
    const CoastPolygons p = CollectCoastPolygons(s, c);
    ASSERT_EQ(p.polygons.size(), 1u);
    EXPECT_EQ(s.StatusText, "Chain 2 error");
}

TEST_F(CoastFixture, EmptyIndexGivesNoLandAndNoMessage) {
    Write({}, {});
    EXPECT_EQ(c.ChainCount(), 0);
    EXPECT_TRUE(CollectCoastPolygons(s, c).polygons.empty());
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(s.StatusText.empty());
}

// The points file is bounded by the index: no larger than the furthest end a chain gives, nor
// than its chains at their longest. A larger one is damaged, refused before it is read.
TEST(CoastOpen, PointsBeyondWhatTheIndexAllowsAreRefused) {
    struct Case {
        std::vector<int32_t> ends;
        std::size_t datBytes;
        bool opened;
    };
    const Case cases[] = {
        {{4, 12}, 12, true},     // to the last end
        {{4, 12}, 13, false},    // a byte beyond
        {{12, 4}, 12, true},     // the furthest end, not the last one
        {{40000}, 32767, true},  // one chain reaches no further than its longest
        {{40000}, 32768, false}, // a byte beyond
        {{-5, 0}, 0, true},      // no chain reaches into the file
        {{-5, 0}, 1, false},     // any byte is beyond
    };
    for (const Case& c : cases) {
        TempDir dir;
        AstroDat s;
        RecordingReport report;
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.EnglishMode = true;
        std::vector<CoastPtrRec> index;
        for (const int32_t end : c.ends) index.push_back({end, 0, 0, 0, 0});
        dir.Write("coast.ptr", EncodeCoastIndex(index));
        dir.Write("coast.dat", std::string(c.datBytes, '\x01'));
        CoastFiles files;
        const std::string what = std::to_string(c.ends.size()) + " chains to " +
                                 std::to_string(c.ends.back()) + ", " + std::to_string(c.datBytes) +
                                 " bytes";
        EXPECT_EQ(OpenCoastFiles(s, files), c.opened) << what;
        EXPECT_EQ(files.open, c.opened) << what;
        if (c.opened) continue;
        ASSERT_EQ(report.messages.size(), 1u) << what;
        EXPECT_EQ(report.messages[0].text, "The file is damaged: coast.dat") << what;
    }
}

TEST(CoastOpen, MissingOrDamagedIndexIsReported) {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    s.ProgramFolder = dir.path();
    s.Report = &report;
    CoastFiles c;
    EXPECT_FALSE(OpenCoastFiles(s, c));
    EXPECT_EQ(report.messages.size(), 1u);
    dir.Write("coast.ptr", std::string(17, '\0'));
    dir.Write("coast.dat", "");
    EXPECT_FALSE(OpenCoastFiles(s, c));
    EXPECT_FALSE(c.open);
    EXPECT_EQ(report.messages.size(), 2u);
}

} // namespace
} // namespace qor
