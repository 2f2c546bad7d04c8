#include "sky/Surface.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "sky/SkyFiles.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace qor {

namespace {

// The field of a region record whose value no region can have (Russian, English), or none.
std::optional<std::pair<const char*, const char*>> FieldOutOfRange(const SurfaceRecord& rec) {
    if (rec.Shape > 1) return std::pair{"форма", "shape"};
    if (rec.Lat < -90 || rec.Lat > 90) return std::pair{"широта", "latitude"};
    if (rec.Lon < -360 || rec.Lon > 360) return std::pair{"долгота", "longitude"};
    return std::nullopt;
}

constexpr std::size_t kSurfaceNamesMaxBytes = 1 << 20; // 255 names, far beyond any

} // namespace

std::string SurfaceImgName(int mode) {
    return "Img\\P" + std::to_string(mode) + ".img";
}
std::string SurfaceNmeName(int mode) {
    return "Img\\P" + std::to_string(mode) + ".nme";
}

bool LoadSurfaceRegions(AstroDat& s, int mode, int bodySlot, SurfaceRegions& r) {
    if (mode == 1) {
        r.BodySlot = 0;
        r.Mode = mode;
        return false;
    }
    const std::string imgName = SurfaceImgName(mode);
    const std::string nmeName = SurfaceNmeName(mode);
    std::string bytes;
    const fs::path img = s.DataPath(imgName);
    if (!fs::exists(img)) {
        // A body without regions; its record 0 stays as it was.
        r.BodySlot = bodySlot;
        r.Mode = mode;
        r.LastIndex = 0;
        r.NameCount = 0;
        return false;
    }
    // The size first: a file beyond 256 records is not read.
    const IoResult read = ReadFileBytes(img, bytes, kMaxSurfaceRecords * kSurfaceRecordSize);
    if (read.error != EFBIG && IOCheck(s, read, imgName)) return false;
    const std::size_t count = bytes.size() / kSurfaceRecordSize;
    if (read.error == EFBIG || bytes.empty() || bytes.size() % kSurfaceRecordSize != 0 ||
        count > static_cast<std::size_t>(kMaxSurfaceRecords)) {
        ReportDataFault(s, imgName, "файл не прочитан: нужно от 1 до 256 записей по 15 байт",
                        "the file was not read: 1 to 256 records of 15 bytes are needed");
        return false;
    }
    std::vector<std::string> names;
    const fs::path nme = s.DataPath(nmeName);
    if (fs::exists(nme)) {
        const IoResult r = ReadTextLines(nme, names, kSurfaceNamesMaxBytes);
        if (r.error == EFBIG) {
            ReportDataFault(s, nmeName, "файл слишком велик; области не прочитаны",
                            "the file is too large; the regions were not read");
            return false;
        }
        if (IOCheck(s, r, nmeName)) return false;
    }
    if (names.size() > static_cast<std::size_t>(kMaxSurfaceRecords - 1)) {
        ReportDataFault(s, nmeName, "названия сверх 255 не прочитаны",
                        "names beyond the first 255 were not read");
        names.resize(kMaxSurfaceRecords - 1);
    }
    SurfaceRegions loaded = r;
    LeReader in(bytes);
    for (std::size_t k = 0; k < count; ++k) {
        SurfaceRecord& rec = loaded.Records[k];
        rec.Shape = in.u8();
        rec.Lon = in.i16();
        rec.Lat = in.i16();
        rec.Radius = in.u8();
        rec.NameNo = in.u8();
        rec.Fill = in.u32();
        rec.Contour = in.u32();
        if (k == 0) continue;
        if (const auto field = FieldOutOfRange(rec)) {
            ReportDataFault(s, imgName,
                            std::string("файл не прочитан: ") + field->first + " записи " +
                                std::to_string(k) + " вне допустимых пределов",
                            std::string("the file was not read: the ") + field->second +
                                " of record " + std::to_string(k) + " is out of range");
            return false;
        }
        // A name number beyond the names file: the names file is short (or missing).
        if (rec.NameNo > names.size()) {
            const std::string n = std::to_string(names.size()), no = std::to_string(rec.NameNo),
                              rk = std::to_string(k);
            ReportDataFault(s, nmeName,
                            "файл не прочитан: в нём названий " + n + ", а запись " + rk + " " +
                                imgName + " ссылается на название " + no,
                            "the files were not read: it holds " + n + " names, and record " + rk +
                                " of " + imgName + " names line " + no);
            return false;
        }
    }
    loaded.LastIndex = static_cast<int>(count) - 1;
    loaded.NameCount = static_cast<int>(names.size());
    for (int k = 1; k < kMaxSurfaceRecords; ++k)
        loaded.Names[k] = k <= loaded.NameCount ? names[k - 1] : std::string();
    loaded.BodySlot = bodySlot;
    loaded.Mode = mode;
    r = loaded;
    return true;
}

bool SaveSurfaceRegions(AstroDat& s, const SurfaceRegions& r) {
    const std::string imgName = SurfaceImgName(r.Mode);
    const std::string nmeName = SurfaceNmeName(r.Mode);
    LeWriter w;
    const int last = std::clamp(r.LastIndex, 0, kMaxSurfaceRecords - 1);
    for (int k = 0; k <= last; ++k) {
        const SurfaceRecord& rec = r.Records[k];
        w.u8(rec.Shape);
        w.i16(rec.Lon);
        w.i16(rec.Lat);
        w.u8(rec.Radius);
        w.u8(rec.NameNo);
        w.u32(rec.Fill);
        w.u32(rec.Contour);
    }
    const fs::path img = s.DataPath(imgName);
    std::error_code ec;
    fs::create_directories(img.parent_path(), ec);
    if (IOCheck(s, SaveFileAtomic(img, w.bytes()), imgName)) return false;
    std::vector<std::string> names;
    const int count = std::clamp(r.NameCount, 0, kMaxSurfaceRecords - 1);
    for (int k = 1; k <= count; ++k) names.push_back(r.Names[k]);
    return !IOCheck(s, WriteTextFileAtomic(s.DataPath(nmeName), names), nmeName);
}

namespace {

// Clears name number `no` (0 does nothing); the count shrinks when it was the last number.
void ClearName(SurfaceRegions& r, int no) {
    if (no < 1 || no > r.NameCount) return;
    r.Names[no].clear();
    if (no == r.NameCount) --r.NameCount;
}

bool IsRegion(const SurfaceRegions& r, int k) {
    return k >= 1 && k <= r.LastIndex;
}

} // namespace

int CreateSurfaceRegion(SurfaceRegions& r, uint8_t shape, const RegionPlace& place, uint32_t fill,
                        uint32_t contour, const std::string& name) {
    if (r.LastIndex >= kMaxSurfaceRecords - 1) return 0;
    SurfaceRecord rec{shape, place.Lon, place.Lat, place.Radius, 0, fill, contour};
    if (!name.empty() && r.NameCount < kMaxSurfaceRecords - 1) {
        ++r.NameCount;
        r.Names[r.NameCount] = name;
        rec.NameNo = static_cast<uint8_t>(r.NameCount);
    }
    r.Records[++r.LastIndex] = rec;
    return r.LastIndex;
}

bool ChangeSurfaceRegion(SurfaceRegions& r, int k, uint8_t shape, const RegionPlace& place,
                         const std::string& name) {
    if (!IsRegion(r, k)) return false;
    SurfaceRecord& rec = r.Records[k];
    rec.Shape = shape;
    rec.Lon = place.Lon;
    rec.Lat = place.Lat;
    rec.Radius = place.Radius;
    if (name.empty()) {
        ClearName(r, rec.NameNo);
        rec.NameNo = 0;
    } else if (rec.NameNo >= 1 && rec.NameNo <= r.NameCount) {
        r.Names[rec.NameNo] = name;
    } else if (r.NameCount < kMaxSurfaceRecords - 1) {
        ++r.NameCount;
        r.Names[r.NameCount] = name;
        rec.NameNo = static_cast<uint8_t>(r.NameCount);
    }
    return true;
}

int DeleteSurfaceRegion(SurfaceRegions& r, int k) {
    if (!IsRegion(r, k)) return std::min(k, r.LastIndex);
    ClearName(r, r.Records[k].NameNo);
    for (int i = k; i < r.LastIndex; ++i) r.Records[i] = r.Records[i + 1];
    r.Records[r.LastIndex] = {};
    --r.LastIndex;
    return k > r.LastIndex ? k - 1 : k;
}

int MultiplySurfaceRegion(SurfaceRegions& r, int k, const std::function<int(int)>& random) {
    if (!IsRegion(r, k)) return k;
    const SurfaceRecord source = r.Records[k];
    int last = k;
    for (int n = 0; n < 10 && r.LastIndex < kMaxSurfaceRecords - 1; ++n) {
        SurfaceRecord copy = source;
        copy.Lon = static_cast<int16_t>(random(360) - 180);
        copy.Lat = static_cast<int16_t>(random(150) - 75);
        copy.Radius = static_cast<uint8_t>(RoundEven((random(90) + 10) * source.Radius / 100.0));
        copy.NameNo = 0;
        r.Records[++r.LastIndex] = copy;
        last = r.LastIndex;
    }
    return last;
}

std::optional<RegionPlace> ParseRegionPlace(std::string_view lon, std::string_view lat,
                                            std::string_view radius) {
    const auto lonValue = ParseWholeInteger(lon);
    const auto latValue = ParseWholeInteger(lat);
    std::string radiusText = Trim(radius);
    if (!lonValue || !latValue || radiusText.empty()) return std::nullopt;
    const double rv = StrToFloatHM(radiusText);
    const bool zeroText = radiusText.find_first_not_of("0.,") == std::string::npos;
    if ((rv == 0 && !zeroText) || !std::isfinite(rv)) return std::nullopt;
    const long long radius100 = RoundEven(rv * 100);
    if (*lonValue < -360 || *lonValue > 360 || *latValue < -90 || *latValue > 90 || radius100 < 0 ||
        radius100 > 255)
        return std::nullopt;
    return RegionPlace{static_cast<int16_t>(*lonValue), static_cast<int16_t>(*latValue),
                       static_cast<uint8_t>(radius100)};
}

} // namespace qor
