#include "core/Text.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace qor {
namespace {

// glibc's iconv as an independent oracle for the code page.
std::string IconvCp1251ToUtf8(const std::string& in) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return "<fail>";
    out.resize(out.size() - dstLeft);
    return out;
}

TEST(Cp1251, EveryAssignedByteMatchesIconvAndRoundTrips) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue; // unassigned in the code page; iconv refuses it
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(one);
        EXPECT_EQ(utf8, IconvCp1251ToUtf8(one)) << "byte " << b;
        std::string back;
        ASSERT_TRUE(Utf8ToCp1251(utf8, back)) << "byte " << b;
        EXPECT_EQ(back, one) << "byte " << b;
    }
}

TEST(Cp1251, GlyphBytesAndUnassignedByteSurviveARoundTrip) {
    const std::string glyphs = {'\x10', '\x12', '\x7F', '\x97', '\x98'};
    std::string back;
    ASSERT_TRUE(Utf8ToCp1251(Cp1251ToUtf8(glyphs), back));
    EXPECT_EQ(back, glyphs);
}

TEST(Cp1251, RussianLiteralBecomesOneBytePerLetter) {
    EXPECT_EQ(Cp("Ёлка ё"), std::string("\xA8\xEB\xEA\xE0 \xB8"));
    EXPECT_EQ("Овен"_cp, std::string("\xCE\xE2\xE5\xED"));
}

TEST(Cp1251, CharactersOutsideTheCodePageAreRefusedNotMangled) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1251("abc \xE2\x82\xBD", out)); // the rouble sign U+20BD
    EXPECT_FALSE(Utf8ToCp1251("\xE4\xB8\xAD", out));     // a CJK character
    EXPECT_FALSE(Utf8ToCp1251("\xC3", out));             // a cut sequence
    EXPECT_FALSE(Utf8ToCp1251("\xFF", out));             // not UTF-8 at all
    EXPECT_EQ(Cp("a\xE2\x82\xBD"), "a?");
}

TEST(Cp1251, CaseMappingCoversCyrillicAndYo) {
    EXPECT_EQ(UpperCaseCp(Cp("москва ёлки Moscow")), Cp("МОСКВА ЁЛКИ MOSCOW"));
    EXPECT_EQ(LowerCaseCp(Cp("ЁЖ Abc")), Cp("ёж abc"));
}

TEST(Trim, RemovesBlanksAndControlsAtTheEndsOnly) {
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    // Cyrillic bytes are above 0x7F and must not be taken for blanks.
    EXPECT_EQ(Trim(Cp(" я ")), Cp("я"));
}

} // namespace
} // namespace qor
