#include "core/Files.h"

#include "core/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qor {

namespace {

// Splits a program name at "\" and "/" into its parts, dropping empty ones and ".".
std::vector<std::string> NameParts(std::string_view name) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : name) {
        if (c == '\\' || c == '/') {
            if (!cur.empty() && cur != ".") parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty() && cur != ".") parts.push_back(cur);
    return parts;
}

// The entry of `dir` whose name equals `partCp` without regard to case, if any.
bool FindEntryNoCase(const fs::path& dir, const std::string& partCp, fs::path& found) {
    std::error_code ec;
    const fs::path exact = dir / Cp1251ToUtf8(partCp);
    if (fs::exists(exact, ec)) {
        found = exact;
        return true;
    }
    const std::string want = UpperCaseCp(partCp);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string nameCp;
        if (!Utf8ToCp1251(it->path().filename().string(), nameCp)) continue;
        if (UpperCaseCp(nameCp) == want) {
            found = it->path();
            return true;
        }
    }
    return false;
}

// Closes a file read to its end or as far as wanted: whether a read failed on the way.
IoResult CloseAfterReading(std::FILE* f, const fs::path& path) {
    const bool failed = std::ferror(f);
    const int err = errno;
    std::fclose(f);
    if (failed) return IoResult::Fail(err, "read " + path.string());
    return IoResult::Ok();
}

IoResult WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return IoResult::Fail(errno, "write");
        }
        done += static_cast<std::size_t>(n);
    }
    return IoResult::Ok();
}

} // namespace

fs::path ResolvePath(const fs::path& base, std::string_view programName) {
    fs::path cur = base;
    bool existing = true;
    for (const std::string& part : NameParts(programName)) {
        if (part == "..") {
            cur = cur.parent_path();
            continue;
        }
        fs::path next;
        if (existing && FindEntryNoCase(cur, part, next)) {
            cur = next;
        } else {
            existing = false;
            cur /= Cp1251ToUtf8(part);
        }
    }
    return cur;
}

bool ProgramFileExists(const fs::path& base, std::string_view programName) {
    std::error_code ec;
    return fs::is_regular_file(ResolvePath(base, programName), ec);
}

IoResult ReadFileBytes(const fs::path& path, std::string& bytes, std::size_t maxBytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return IoResult::Fail(errno, "open " + path.string());
    const auto tooLarge = [&](unsigned long long size) {
        std::fclose(f);
        bytes.clear();
        return IoResult::Fail(EFBIG, path.string() + ": " + std::to_string(size) +
                                         " bytes, at most " + std::to_string(maxBytes));
    };
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode)) {
        const auto size = static_cast<unsigned long long>(st.st_size);
        if (size > maxBytes) return tooLarge(size);
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        // A file that grows while it is read is held to the same bound.
        if (n > maxBytes - bytes.size()) return tooLarge(bytes.size() + n);
        bytes.append(buf, n);
    }
    return CloseAfterReading(f, path);
}

IoResult ReadFileHead(const fs::path& path, std::size_t count, std::string& bytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return IoResult::Fail(errno, "open " + path.string());
    char buf[4096];
    std::size_t n;
    while (bytes.size() < count &&
           (n = std::fread(buf, 1, std::min(sizeof buf, count - bytes.size()), f)) > 0)
        bytes.append(buf, n);
    return CloseAfterReading(f, path);
}

IoResult SaveFileAtomic(const fs::path& path, std::string_view bytes) {
    // The target's permission bits pass to the new file; a target without any write bit is
    // one the user protected (the rename would replace it even so).
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISREG(old.st_mode) && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        IoResult r = IoResult::Fail(EACCES, path.string() + " is read-only (unchanged)");
        r.readOnly = true;
        return r;
    }
    const fs::path tmp = fs::path(path.string() + ".tmp");
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return IoResult::Fail(errno, "create " + tmp.string());
    IoResult r = WriteAll(fd, bytes);
    if (r.ok() && exists && S_ISREG(old.st_mode) && ::fchmod(fd, old.st_mode & 07777) != 0)
        r = IoResult::Fail(errno, "chmod " + tmp.string());
    if (r.ok() && ::fsync(fd) != 0) r = IoResult::Fail(errno, "flush " + tmp.string());
    if (::close(fd) != 0 && r.ok()) r = IoResult::Fail(errno, "close " + tmp.string());
    if (r.ok() && std::rename(tmp.c_str(), path.c_str()) != 0)
        r = IoResult::Fail(errno, "rename " + tmp.string() + " to " + path.string());
    if (!r.ok()) {
        std::error_code ec;
        fs::remove(tmp, ec);
        r.message += " (" + path.string() + " unchanged)";
    }
    return r;
}

std::vector<std::string> SplitTextLines(std::string_view bytes) {
    std::vector<std::string> lines;
    // one line per line feed, and one after the last unless the text ends with one
    lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = bytes.size();
        std::size_t stop = end;
        if (stop > start && bytes[stop - 1] == '\r') --stop;
        lines.emplace_back(bytes.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

IoResult ReadTextLines(const fs::path& path, std::vector<std::string>& lines,
                       std::size_t maxBytes) {
    std::string bytes;
    IoResult r = ReadFileBytes(path, bytes, maxBytes);
    lines = r.ok() ? SplitTextLines(bytes) : std::vector<std::string>{};
    return r;
}

IoResult WriteTextFileAtomic(const fs::path& path, const std::vector<std::string>& lines) {
    return SaveFileAtomic(path, JoinTextLines(lines));
}

} // namespace qor
