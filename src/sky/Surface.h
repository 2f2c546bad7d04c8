// Surface files of the cosmos view: "Img\P<mode>.img" (regions of a body) and "Img\P<mode>.nme"
// (their names), loaded for the body of a cosmos mode and saved back atomically.
#pragma once

#include "core/AstroDat.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor {

constexpr int kMaxSurfaceRecords = 256; // record 0 (the body) and regions 1..255
constexpr std::size_t kSurfaceRecordSize = 15;

struct SurfaceRecord {
    uint8_t Shape = 0;  // 0 disc, 1 ring
    int16_t Lon = 0;    // whole degrees
    int16_t Lat = 0;    // whole degrees
    uint8_t Radius = 0; // x 100: the angular radius is arctan(value / 100)
    uint8_t NameNo = 0; // line of the names file, 0 none
    uint32_t Fill = 0;  // 0x00BBGGRR; record 0: the body's base colour
    uint32_t Contour = 0;
};

struct SurfaceRegions {
    std::array<SurfaceRecord, kMaxSurfaceRecords> Records{};
    int LastIndex = 0;                                   // records 0..LastIndex
    std::array<std::string, kMaxSurfaceRecords> Names{}; // 1..NameCount
    int NameCount = 0;
    int BodySlot = 0; // PlanetsMdb slot of the loaded mode (0 for the Sun)
    int Mode = 0;
};

std::string SurfaceImgName(int mode); // "Img\P5.img"
std::string SurfaceNmeName(int mode); // "Img\P5.nme"

// Loads the regions of the body of `mode` (nothing for the Sun, mode 1). Missing files mean a
// body without regions. A file with no record, with more than 256 records or a broken record,
// or whose values are out of range (shape, latitude, longitude, name number), is refused with a
// message and the regions stay as they were; so are names beyond 255.
bool LoadSurfaceRegions(AstroDat& s, int mode, int bodySlot, SurfaceRegions& r);

// Rewrites both files atomically (the names only when the regions were written); a failure is
// reported and leaves the old files as they were.
bool SaveSurfaceRegions(AstroDat& s, const SurfaceRegions& r);

// A region's position and radius as typed (degrees, degrees, radius 0..2.55); nothing when a
// value is not a number or out of range (longitude -360..360, latitude -90..90).
struct RegionPlace {
    int16_t Lon = 0, Lat = 0;
    uint8_t Radius = 0;
};
std::optional<RegionPlace> ParseRegionPlace(std::string_view lon, std::string_view lat,
                                            std::string_view radius);

// --- Editing (the designer's buttons); every change is followed by SaveSurfaceRegions ---------
// Appends a region; its name (when not empty) takes the next name number. Returns the new
// region's number, or 0 when 256 records exist.
int CreateSurfaceRegion(SurfaceRegions& r, uint8_t shape, const RegionPlace& place, uint32_t fill,
                        uint32_t contour, const std::string& name);
// Sets region k's shape, place and name (colours stay). An empty name clears the region's
// name. Returns false when k is no region.
bool ChangeSurfaceRegion(SurfaceRegions& r, int k, uint8_t shape, const RegionPlace& place,
                         const std::string& name);
// Deletes region k (its name line stays, emptied); returns the region number to show next.
int DeleteSurfaceRegion(SurfaceRegions& r, int k);
// Adds up to 10 smaller copies of region k at random places while fewer than 256 records exist:
// the same shape and colours, no name, 10 % to 99 % of the radius. random(n) gives 0..n-1.
// Returns the number of the last copy (k when none was added).
int MultiplySurfaceRegion(SurfaceRegions& r, int k, const std::function<int(int)>& random);

} // namespace qor
