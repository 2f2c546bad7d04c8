#include "core/Strings.h"

#include "core/Text.h"

namespace qor {

namespace {

// A blank as Trim counts it.
bool Blank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string WithoutLineBreaks(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') s += c;
    return s;
}

} // namespace

std::string NextField(std::string& text, char delimiter) {
    const std::size_t p = text.find(delimiter);
    if (p == std::string::npos) {
        std::string head = Trim(text);
        text.clear();
        return head;
    }
    std::string head = Trim(std::string_view(text).substr(0, p));
    // the rest, trimmed, in place (a long line gives up its fields without copies of itself)
    std::size_t e = text.size();
    while (e > p + 1 && Blank(text[e - 1])) --e;
    std::size_t b = p + 1;
    while (b < e && Blank(text[b])) ++b;
    text.erase(e);
    text.erase(0, b);
    return head;
}

std::vector<std::string> NextFields(std::string_view text, char delimiter) {
    std::vector<std::string> out;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t p = rest.find(delimiter);
        if (p == std::string_view::npos) {
            out.push_back(Trim(rest));
            break;
        }
        out.push_back(Trim(rest.substr(0, p)));
        // the rest trimmed at both ends, as NextField leaves it (its end is trimmed once)
        rest = rest.substr(p + 1);
        std::size_t b = 0, e = rest.size();
        while (e > 0 && Blank(rest[e - 1])) --e;
        while (b < e && Blank(rest[b])) ++b;
        rest = rest.substr(b, e - b);
    }
    return out;
}

std::string SplitAtChar(std::string& text, char delimiter) {
    const std::size_t p = text.find(delimiter);
    if (p == std::string::npos) {
        std::string head = std::move(text);
        text.clear();
        return head;
    }
    std::string head = text.substr(0, p);
    text.erase(0, p + 1);
    return head;
}

std::string CutField(std::string_view text, char delimiter, int k) {
    std::string rest(text);
    std::string field;
    for (int i = 0; i <= k; ++i) field = NextField(rest, delimiter);
    return field;
}

std::string CutFieldRaw(std::string_view text, char delimiter, int k) {
    std::string rest(text);
    std::string field;
    for (int i = 0; i <= k; ++i) field = SplitAtChar(rest, delimiter);
    return field;
}

std::string RemoveBlanks(std::string_view text) {
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    return s;
}

void CommaToPoint(std::string& text) {
    for (char& c : text)
        if (c == ',') c = '.';
}

std::string FitTextLeft(std::string_view text, int w) {
    std::string s = WithoutLineBreaks(text);
    if (w < 0) w = 0;
    s.resize(static_cast<std::size_t>(w), ' ');
    return s;
}

std::string FitTextRight(std::string_view text, int w) {
    std::string s = WithoutLineBreaks(text);
    if (w < 0) w = 0;
    const auto width = static_cast<std::size_t>(w);
    if (s.size() >= width) return s.substr(0, width);
    return std::string(width - s.size(), ' ') + s;
}

} // namespace qor
