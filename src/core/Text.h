// Code page 1251 text: the program's inner text form.
//
// Every text inside the program is a std::string of code page 1251 bytes, exactly as in the
// data files: one byte per character, fixed columns, the glyph codes (16, 18, 127, 151 ...)
// kept as bytes. Russian literals are written in UTF-8 in the source and converted by Cp().
#pragma once

#include <string>
#include <string_view>

namespace qor {

// The Unicode code point of a code page 1251 byte. Every byte has one; the unassigned 0x98
// maps to U+0098 so that a round trip keeps it.
char32_t Cp1251ToUnicode(unsigned char byte);

// The code page 1251 byte of a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1251(char32_t code);

// UTF-8 to code page 1251. Returns false (and leaves `out` holding what was converted so far)
// when the text holds a character the code page cannot hold or is not valid UTF-8; such a
// character is never written as garbage.
bool Utf8ToCp1251(std::string_view utf8, std::string& out);

// Code page 1251 to UTF-8; always succeeds.
std::string Cp1251ToUtf8(std::string_view cp1251);

// A UTF-8 literal of the source as code page 1251. For the program's own literals, which are
// known to fit: a character that does not fit becomes '?'.
std::string Cp(std::string_view utf8);

inline std::string operator""_cp(const char* s, std::size_t n) {
    return Cp({s, n});
}

// Upper and lower case of code page 1251 text (Latin and Cyrillic letters, Ё/ё included).
std::string UpperCaseCp(std::string_view text);
std::string LowerCaseCp(std::string_view text);

// Removes the bytes up to the blank (control characters and blanks) at both ends, or one end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

} // namespace qor
