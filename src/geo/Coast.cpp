#include "geo/Coast.h"

#include "core/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace qor {

namespace {

const std::string kCoastPtrFile = "coast.ptr";
const std::string kCoastDatFile = "coast.dat";

// Offsets and lengths in 64 bits: the index's values come from a file and may be anything.
int64_t ChainStart(const CoastFiles& c, int chain) {
    return chain > 1 ? c.index[chain - 2].end : 0;
}

// A first point no map coordinate comes near: the chain is damaged. Within the bound, the
// deltas of the longest chain (16383 steps of at most 128) cannot overflow a coordinate.
bool FirstPointOnTheMap(const CoastPtrRec& p) {
    return std::abs(int64_t(p.x0)) <= kCoastMaxCoord && std::abs(int64_t(p.y0)) <= kCoastMaxCoord;
}

} // namespace

std::vector<CoastPtrRec> DecodeCoastIndex(std::string_view bytes) {
    std::vector<CoastPtrRec> out;
    out.reserve(bytes.size() / kCoastPtrSize);
    LeReader r(bytes);
    for (std::size_t i = 0; i + kCoastPtrSize <= bytes.size(); i += kCoastPtrSize) {
        CoastPtrRec p;
        p.end = r.i32();
        p.x0 = r.i32();
        p.y0 = r.i32();
        p.flags = r.u16();
        p.next = r.u16();
        out.push_back(p);
    }
    return out;
}

std::string EncodeCoastIndex(const std::vector<CoastPtrRec>& index) {
    LeWriter w;
    for (const auto& p : index) {
        w.i32(p.end);
        w.i32(p.x0);
        w.i32(p.y0);
        w.u16(p.flags);
        w.u16(p.next);
    }
    return w.bytes();
}

bool OpenCoastFiles(AstroDat& s, CoastFiles& c) {
    c = CoastFiles{};
    std::string ptr, dat;
    // The links are 16-bit: more chains than they can name is a damaged index (not read at
    // all).
    constexpr std::size_t kMaxChains = 65535;
    const IoResult readPtr = ReadFileBytes(s.DataPath(kCoastPtrFile), ptr, kMaxChains * kCoastPtrSize);
    if (readPtr.error != EFBIG && IOCheck(s, readPtr, kCoastPtrFile)) return false;
    if (readPtr.error == EFBIG || ptr.size() % kCoastPtrSize != 0) {
        ReportOf(s).ShowMessage(MsgKind::Error,
                                Lang(s, "Файл повреждён: "_cp, "The file is damaged: ") +
                                    kCoastPtrFile);
        return false;
    }
    std::vector<CoastPtrRec> index = DecodeCoastIndex(ptr);
    // No chain reads past the furthest end the index gives, nor past its chains at their
    // longest: points beyond are a damaged file (not read at all).
    int64_t furthest = 0;
    for (const CoastPtrRec& p : index) furthest = std::max<int64_t>(furthest, p.end);
    const auto bound = static_cast<std::size_t>(
        std::min<int64_t>(furthest, int64_t(index.size()) * kCoastMaxChainBytes));
    const IoResult readDat = ReadFileBytes(s.DataPath(kCoastDatFile), dat, bound);
    if (readDat.error != EFBIG && IOCheck(s, readDat, kCoastDatFile)) return false;
    if (readDat.error == EFBIG) {
        ReportOf(s).ShowMessage(MsgKind::Error,
                                Lang(s, "Файл повреждён: "_cp, "The file is damaged: ") +
                                    kCoastDatFile);
        return false;
    }
    c.index = std::move(index);
    c.deltas = std::move(dat);
    c.open = true;
    return true;
}

bool CoastChainVisible(const CoastPtrRec& chain, const CoastView& v) {
    const int64_t x0 = chain.x0, y0 = chain.y0;
    const int64_t cx = (x0 >= 0 ? x0 / kCoastCell : (x0 - kCoastCell) / kCoastCell) * kCoastCell;
    const int64_t cy = (y0 >= 0 ? (y0 + kCoastCell) / kCoastCell : y0 / kCoastCell) * kCoastCell;
    const bool lon = (v.right > cx && cx + kCoastCell > v.left) ||
                     (cx + kMapFullTurn < v.right && cx + kMapFullTurn + kCoastCell > v.left);
    const bool lat = cy - kCoastCell < v.top && cy > v.bottom;
    return lon && lat;
}

ChainRead CoastChainPoints(const CoastFiles& c, int chain, std::vector<CoastPoint>& out) {
    if (chain < 1 || chain > c.ChainCount()) return ChainRead::OutOfFile;
    const int64_t start = ChainStart(c, chain);
    const int64_t end = c.index[chain - 1].end;
    const int64_t len = end - start;
    if (len < 1) return ChainRead::Empty;
    if (len > kCoastMaxChainBytes) return ChainRead::TooLong;
    if (start < 0 || static_cast<std::size_t>(end) > c.deltas.size() ||
        !FirstPointOnTheMap(c.index[chain - 1]))
        return ChainRead::OutOfFile;
    CoastPoint p{c.index[chain - 1].x0, c.index[chain - 1].y0};
    out.push_back(p);
    for (int64_t j = start; j + 1 < end; j += 2) {
        p.x += static_cast<int8_t>(c.deltas[j]);
        p.y += static_cast<int8_t>(c.deltas[j + 1]);
        out.push_back(p);
    }
    return ChainRead::Ok;
}

CoastPolygons CollectCoastPolygons(AstroDat& s, CoastFiles& c) {
    CoastPolygons out;
    const int n = c.ChainCount();
    for (auto& p : c.index)
        if (p.end > 0) p.flags &= 0x000F;
    for (int i = 1; i <= n; ++i) {
        if (c.index[i - 1].end <= 0 || (c.index[i - 1].flags & kCoastTakenFlag)) continue;
        CoastPolygon poly;
        int chain = i;
        while (chain != 0) {
            CoastPtrRec& rec = c.index[chain - 1];
            rec.flags |= kCoastTakenFlag;
            const int64_t start = ChainStart(c, chain);
            const int64_t len = int64_t(rec.end) - start;
            if (len < 1 || start < 0 || static_cast<std::size_t>(rec.end) > c.deltas.size() ||
                !FirstPointOnTheMap(rec)) {
                // A damaged chain is left out; the rest of the land is still drawn.
                SetStatus(s, "Chain " + std::to_string(chain) + " error");
            } else if (len > kCoastMaxChainBytes) {
                SetStatus(s, "Chain " + std::to_string(chain) + " too long");
                out.complete = false;
                out.polygons.clear();
                return out;
            } else {
                poly.chains.push_back(chain);
            }
            const int next = rec.next;
            if (next > n) {
                SetStatus(s, "Chain " + std::to_string(chain) + ": link " + std::to_string(next) +
                                 " error");
                break;
            }
            if (next == 0 || (c.index[next - 1].flags & kCoastTakenFlag)) break;
            chain = next;
        }
        if (!poly.chains.empty()) out.polygons.push_back(std::move(poly));
    }
    return out;
}

} // namespace qor
