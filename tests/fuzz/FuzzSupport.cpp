#include "FuzzTarget.h"

#include "core/Files.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace qor::fuzz {

std::vector<Target>& Targets() {
    static std::vector<Target> targets;
    return targets;
}

namespace {

struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::error_code ec;
        fs::path root = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (root / "qor-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

} // namespace

const fs::path& Folder() {
    static ScratchFolder folder;
    return folder.path;
}

void Put(std::string_view name, std::string_view bytes) {
    const fs::path path = ResolvePath(Folder(), name);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
}

void Reset(AstroDat& s) {
    s.ProgramFolder = Folder();
    s.Report = nullptr;
}

std::vector<std::string_view> SplitParts(std::string_view bytes, std::size_t count) {
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (bytes.size() < 4) {
            parts.emplace_back();
            bytes = {};
            continue;
        }
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = b[0] | b[1] << 8 | b[2] << 16 | std::size_t(b[3]) << 24;
        bytes.remove_prefix(4);
        const std::size_t take = std::min(n, bytes.size());
        parts.push_back(bytes.substr(0, take));
        bytes.remove_prefix(take);
    }
    parts.push_back(bytes);
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < parts.size()) {
            const auto n = static_cast<uint32_t>(parts[i].size());
            for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>(n >> (8 * k) & 0xFF));
        }
        out += parts[i];
    }
    return out;
}

std::string SourceFile(const std::string& relative) {
    std::string bytes;
    if (!ReadFileBytes(fs::path(QOR_SOURCE_DIR) / relative, bytes).ok()) return {};
    return bytes;
}

std::vector<std::string> SourceFiles(const std::string& relativeFolder, const std::string& suffix,
                                     std::size_t limit) {
    std::vector<fs::path> paths;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(fs::path(QOR_SOURCE_DIR) / relativeFolder, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string name = it->path().filename().string(), low = name;
        std::transform(low.begin(), low.end(), low.begin(), ::tolower);
        std::string want = suffix;
        std::transform(want.begin(), want.end(), want.begin(), ::tolower);
        if (low.size() >= want.size() && low.compare(low.size() - want.size(), want.size(), want) == 0)
            paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    if (paths.size() > limit) paths.resize(limit);
    std::vector<std::string> out;
    for (const auto& p : paths) {
        std::string bytes;
        if (ReadFileBytes(p, bytes).ok()) out.push_back(std::move(bytes));
    }
    return out;
}

std::vector<std::string> Lines(std::string_view bytes) {
    return SplitTextLines(bytes);
}

} // namespace qor::fuzz
