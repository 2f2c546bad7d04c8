// The coastline files: the chain index "coast.ptr" (16-byte records) and the point deltas
// "coast.dat" (signed byte pairs), in map units of 1/600 degree. Chains link into closed land
// polygons. The map draws from what these routines read.
#pragma once

#include "core/AstroDat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

constexpr std::size_t kCoastPtrSize = 16;
constexpr int kCoastMaxChainBytes = 32767;
constexpr int kCoastCell = 6000;                     // 10 degrees
constexpr int kMapFullTurn = 216000;                 // 360 degrees
constexpr uint16_t kCoastTakenFlag = 0x10;           // bit 4: the chain is already in a polygon
constexpr int64_t kCoastMaxCoord = 2 * kMapFullTurn; // no chain starts beyond (damaged file)

struct CoastPtrRec {
    int32_t end = 0; // offset in "coast.dat" just past the chain's last byte
    int32_t x0 = 0;  // first point: longitude east
    int32_t y0 = 0;  //              latitude north
    uint16_t flags = 0;
    uint16_t next = 0; // the chain that continues the polygon, 0 none
};

struct CoastPoint {
    int32_t x = 0, y = 0;
    bool operator==(const CoastPoint&) const = default;
};

struct CoastFiles {
    std::vector<CoastPtrRec> index; // chain i is index[i - 1]
    std::string deltas;             // the whole "coast.dat"
    bool open = false;
    int ChainCount() const { return static_cast<int>(index.size()); }
};

// The map view in map units (top and bottom latitudes, left and right longitudes).
struct CoastView {
    int32_t top = 54000, bottom = -54000, left = -108000, right = 108000;
};

std::vector<CoastPtrRec> DecodeCoastIndex(std::string_view bytes);
std::string EncodeCoastIndex(const std::vector<CoastPtrRec>& index);

// Reads both files whole. An I/O error or a damaged index is reported and leaves no coastline.
bool OpenCoastFiles(AstroDat& s, CoastFiles& c);

// True when the 10-degree cell of the chain's first point overlaps the view (also shifted by
// a full turn).
bool CoastChainVisible(const CoastPtrRec& chain, const CoastView& view);

enum class ChainRead { Ok, Empty, TooLong, OutOfFile };
// Appends the points of chain i (1-based): its first point and one per byte pair. A chain
// whose bytes lie outside "coast.dat" or whose first point lies beyond kCoastMaxCoord is
// OutOfFile.
ChainRead CoastChainPoints(const CoastFiles& c, int chain, std::vector<CoastPoint>& out);

// One land polygon: the chains in link order.
struct CoastPolygon {
    std::vector<int> chains;
};
// Follows the links from every chain not yet taken, as the fill does: a polygon ends at a
// link of 0, at a link to a chain already taken (its own first chain or any other), or at a
// link out of range (reported on the status line). An empty or damaged chain (bytes outside
// the file, a first point off the map) is reported and skipped; a chain too long for the
// format ends the whole walk (reported; `complete` false). Flags bit 4 marks the chains taken.
struct CoastPolygons {
    std::vector<CoastPolygon> polygons;
    bool complete = true;
};
CoastPolygons CollectCoastPolygons(AstroDat& s, CoastFiles& c);

} // namespace qor
