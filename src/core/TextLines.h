// The lines of a text held in memory, walked as views without copying: CR LF or LF line ends
// (a lone final line without an end counts), trailing blanks and control bytes cut. Every byte
// above the blank is text, 0xFF ("я") included.
#pragma once

#include <cstddef>
#include <string_view>

namespace qor {

class TextLineScanner {
public:
    explicit TextLineScanner(std::string_view bytes) : bytes_(bytes) {}

    // The next line, trailing blanks cut; false at the end of the text.
    bool Next(std::string_view& line) {
        if (pos_ >= bytes_.size()) return false;
        const std::size_t end = bytes_.find('\n', pos_);
        const std::size_t stop = end == std::string_view::npos ? bytes_.size() : end;
        std::size_t e = stop;
        while (e > pos_ && static_cast<unsigned char>(bytes_[e - 1]) <= 0x20) --e;
        line = bytes_.substr(pos_, e - pos_);
        pos_ = end == std::string_view::npos ? bytes_.size() : end + 1;
        return true;
    }

    // The next line that holds text and is no comment (first character "/").
    bool NextContent(std::string_view& line) {
        while (Next(line))
            if (!line.empty() && line[0] != '/') return true;
        return false;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

} // namespace qor
