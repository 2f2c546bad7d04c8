// Files of the program folder: name resolution, whole-file reading, atomic saving, text lines
// and little-endian binary records.
#pragma once

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

namespace fs = std::filesystem;

// The outcome of a file operation: error 0 is success, anything else an errno value.
struct IoResult {
    int error = 0;
    std::string message;   // what failed, in plain words (for logs and tests)
    bool readOnly = false; // a save refused because the user made the file read-only
    bool ok() const { return error == 0; }
    static IoResult Ok() { return {}; }
    static IoResult Fail(int err, std::string what) {
        return {err == 0 ? EIO : err, std::move(what)};
    }
};

// Turns a program name ("Wrk\Tab2024.wrk", code page 1251) into a path under `base`:
// "\" and "/" separate folders, and each part is matched against what exists without regard
// to case. Parts that do not exist yet keep the spelling given (in UTF-8 on disk).
fs::path ResolvePath(const fs::path& base, std::string_view programName);

// True when the program name resolves to an existing regular file.
bool ProgramFileExists(const fs::path& base, std::string_view programName);

// Reads a whole file. A file larger than `maxBytes` is not read at all (error EFBIG): its size
// is checked before anything is read.
IoResult ReadFileBytes(const fs::path& path, std::string& bytes,
                       std::size_t maxBytes = static_cast<std::size_t>(-1));

// Reads the first `count` bytes of a file (all of a shorter one): a header, whatever the size.
IoResult ReadFileHead(const fs::path& path, std::size_t count, std::string& bytes);

// Writes `bytes` to "<name>.tmp" beside `path`, flushes it to disk and renames it over `path`;
// the new file keeps the old one's permission bits. A target that has no write permission
// for anyone (the user made it read-only) is refused (EACCES, readOnly set). On any failure
// the old file stays byte-identical and the temporary file is removed.
IoResult SaveFileAtomic(const fs::path& path, std::string_view bytes);

// Text files: read with CR LF or LF line ends (a lone final line without an end counts);
// written with CR LF. The bytes are kept as they are (code page 1251).
IoResult ReadTextLines(const fs::path& path, std::vector<std::string>& lines,
                       std::size_t maxBytes = static_cast<std::size_t>(-1));
std::vector<std::string> SplitTextLines(std::string_view bytes);
std::string JoinTextLines(const std::vector<std::string>& lines);
IoResult WriteTextFileAtomic(const fs::path& path, const std::vector<std::string>& lines);

// Reads little-endian fields from a byte buffer. Reading past the end yields zeros and sets
// the failure flag, which stays set: check ok() after a record.
class LeReader {
public:
    explicit LeReader(std::string_view bytes) : data_(bytes) {}
    // the reader keeps a view: a temporary string would be gone before the first read
    explicit LeReader(std::string&&) = delete;
    std::size_t pos() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return ok_ ? data_.size() - pos_ : 0; }
    bool ok() const { return ok_; }
    void seek(std::size_t pos) {
        if (pos > data_.size())
            ok_ = false;
        else
            pos_ = pos;
    }
    void skip(std::size_t n) { seek(pos_ + n); }

    uint8_t u8() { return take<uint8_t>(); }
    int8_t i8() { return take<int8_t>(); }
    uint16_t u16() { return take<uint16_t>(); }
    int16_t i16() { return take<int16_t>(); }
    uint32_t u32() { return take<uint32_t>(); }
    int32_t i32() { return take<int32_t>(); }
    int64_t i64() { return take<int64_t>(); }
    float f32() { return take<float>(); }
    double f64() { return take<double>(); }
    // A fixed-size byte field (a short string or a padded name), taken whole.
    std::string bytes(std::size_t n) {
        if (!ok_ || n > data_.size() - pos_) {
            ok_ = false;
            return std::string(n, '\0');
        }
        std::string s(data_.substr(pos_, n));
        pos_ += n;
        return s;
    }

private:
    template <typename T> T take() {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!ok_ || sizeof(T) > data_.size() - pos_) {
            ok_ = false;
            return T{};
        }
        unsigned char raw[sizeof(T)];
        std::memcpy(raw, data_.data() + pos_, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(raw, raw + sizeof(T));
        T v;
        std::memcpy(&v, raw, sizeof(T));
        pos_ += sizeof(T);
        return v;
    }

    std::string_view data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// Appends little-endian fields to a byte buffer.
class LeWriter {
public:
    std::string& bytes() { return out_; }
    const std::string& bytes() const { return out_; }
    void u8(uint8_t v) { put(v); }
    void i8(int8_t v) { put(v); }
    void u16(uint16_t v) { put(v); }
    void i16(int16_t v) { put(v); }
    void u32(uint32_t v) { put(v); }
    void i32(int32_t v) { put(v); }
    void i64(int64_t v) { put(v); }
    void f32(float v) { put(v); }
    void f64(double v) { put(v); }
    // A fixed-size byte field: cut to n bytes or padded with `pad`.
    void bytes(std::string_view s, std::size_t n, char pad = '\0') {
        const std::size_t k = std::min(s.size(), n);
        out_.append(s.substr(0, k));
        out_.append(n - k, pad);
    }

private:
    template <typename T> void put(T v) {
        unsigned char raw[sizeof(T)];
        std::memcpy(raw, &v, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(raw, raw + sizeof(T));
        out_.append(reinterpret_cast<const char*>(raw), sizeof(T));
    }
    std::string out_;
};

} // namespace qor
