#include "core/Text.h"

#include <array>
#include <cstdint>

namespace qor {

namespace {

// Code points of the bytes 0x80..0xFF of code page 1251.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

// Decodes one UTF-8 character at `i`; returns false on a malformed sequence.
bool DecodeUtf8(std::string_view s, std::size_t& i, char32_t& code) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    if (b0 < 0x80) {
        code = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        code = b0 & 0x1F;
        extra = 1;
    } else if ((b0 & 0xF0) == 0xE0) {
        code = b0 & 0x0F;
        extra = 2;
    } else if ((b0 & 0xF8) == 0xF0) {
        code = b0 & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return false;
        code = (code << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsBlankByte(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

unsigned char UpperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0) return c - 32; // а..я
    if (c == 0xB8) return 0xA8;   // ё
    return c;
}

unsigned char LowerByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDF) return c + 32; // А..Я
    if (c == 0xA8) return 0xB8;                // Ё
    return c;
}

} // namespace

char32_t Cp1251ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kUpperHalf[byte - 0x80]);
}

int UnicodeToCp1251(char32_t code) {
    if (code < 0x80) return static_cast<int>(code);
    if (code >= 0x0410 && code <= 0x044F) return static_cast<int>(code - 0x0410 + 0xC0);
    for (int i = 0; i < 64; ++i)
        if (kUpperHalf[i] == code) return 0x80 + i;
    return -1;
}

bool Utf8ToCp1251(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t code = 0;
        if (!DecodeUtf8(utf8, i, code)) return false;
        const int b = UnicodeToCp1251(code);
        if (b < 0) return false;
        out += static_cast<char>(b);
    }
    return true;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251) AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Cp(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t code = 0;
        if (!DecodeUtf8(utf8, i, code)) {
            out += '?';
            ++i;
            continue;
        }
        const int b = UnicodeToCp1251(code);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::string UpperCaseCp(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    return out;
}

std::string LowerCaseCp(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
    return out;
}

std::string TrimLeft(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && IsBlankByte(text[b])) ++b;
    return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsBlankByte(text[e - 1])) --e;
    return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsBlankByte(text[e - 1])) --e;
    std::size_t b = 0;
    while (b < e && IsBlankByte(text[b])) ++b;
    return std::string(text.substr(b, e - b));
}

} // namespace qor
