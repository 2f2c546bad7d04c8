// The shipped oracle texts and glossary ("data/oracle-eng.txt", "data/oracle.txt",
// "data/spr.txt") read through the program's own readers: every hexagram shows a heading and
// its main text in both languages and, for each single changing line, that line's own text;
// six nines and six sixes take the texts for all lines changing; every tab of the glossary
// finds its section.
#include "core/Files.h"
#include "core/Text.h"
#include "interp/Dict.h"
#include "interp/Oracle.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qor::interp {
namespace {

std::vector<std::string> Shipped(const char* name) {
    return SplitTextLines(
        test::TempDir::Read(std::filesystem::path(QOR_SOURCE_DIR) / "data" / name));
}

// The values of a cast of hexagram n at rest (7 for a whole line, 8 for a broken one), found
// from the King Wen table; the trigram t has a broken bottom line when (t - 1) & 4, middle
// when (t - 1) & 2, top when (t - 1) & 1.
HexagramLines AtRest(int n) {
    for (int t1 = 1; t1 <= 8; ++t1)
        for (int t2 = 1; t2 <= 8; ++t2)
            if (KingWen[t1 - 1][t2 - 1] == n) {
                HexagramLines v{};
                for (int i = 0; i < 3; ++i) {
                    v[i] = (t1 - 1) & (4 >> i) ? 8 : 7;
                    v[i + 3] = (t2 - 1) & (4 >> i) ? 8 : 7;
                }
                return v;
            }
    return {};
}

// The line of the file that gives a shown line text: "[v p " + the text.
bool HasLineText(const std::vector<std::string>& file, int v, int p, const std::string& shown) {
    const std::string want = "[" + std::to_string(v) + " " + std::to_string(p) + " " +
                             TrimRight(shown);
    for (const std::string& l : file)
        if (TrimRight(l) == want) return true;
    return false;
}

TEST(ShippedOracleTexts, EveryHexagramAndEveryChangingLine) {
    const std::vector<std::string> eng = Shipped("oracle-eng.txt");
    const std::vector<std::string> ru = Shipped("oracle.txt");
    ASSERT_EQ(ru.size(), 64u);
    for (int n = 1; n <= 64; ++n) {
        SCOPED_TRACE("hexagram " + std::to_string(n));
        const HexagramLines rest = AtRest(n);
        ASSERT_EQ(HexagramNumber(rest), n);
        const std::vector<std::string> quiet = EnglishHexagramText(eng, n, rest);
        ASSERT_EQ(quiet.size(), 2u);
        EXPECT_EQ(quiet[0].rfind("Hexagram " + std::to_string(n) + " ", 0), 0u) << quiet[0];
        EXPECT_GT(TrimRight(quiet[1]).size(), 200u);
        const std::vector<std::string> russian = RussianHexagramText(ru, n);
        ASSERT_EQ(russian.size(), 2u);
        EXPECT_EQ(russian[0], Cp(std::to_string(n) + "-я гексаграмма"));
        EXPECT_GT(russian[1].size(), 400u);
        for (int p = 1; p <= 6; ++p) {
            HexagramLines cast = rest;
            cast[p - 1] = rest[p - 1] == 7 ? 9 : 6;
            const std::vector<std::string> shown = EnglishHexagramText(eng, n, cast);
            ASSERT_EQ(shown.size(), 3u) << "place " << p;
            EXPECT_EQ(shown[1], quiet[1]);
            EXPECT_TRUE(HasLineText(eng, cast[p - 1], p, shown[2])) << "place " << p << ": " << shown[2];
        }
    }
}

TEST(ShippedOracleTexts, AllLinesChangingAndANineInPlaceThree) {
    const std::vector<std::string> eng = Shipped("oracle-eng.txt");
    const HexagramLines nines{9, 9, 9, 9, 9, 9}, sixes{6, 6, 6, 6, 6, 6};
    ASSERT_EQ(HexagramNumber(nines), 1);
    ASSERT_EQ(HexagramNumber(sixes), 2);
    const std::vector<std::string> first = EnglishHexagramText(eng, 1, nines);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_TRUE(HasLineText(eng, 9, 0, first[2])) << first[2];
    const std::vector<std::string> second = EnglishHexagramText(eng, 2, sixes);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_TRUE(HasLineText(eng, 6, 0, second[2])) << second[2];
    // A nine in the third place of the first hexagram: its third line, and only that.
    const std::vector<std::string> third = EnglishHexagramText(eng, 1, {7, 7, 9, 7, 7, 7});
    ASSERT_EQ(third.size(), 3u);
    EXPECT_TRUE(HasLineText(eng, 9, 3, third[2])) << third[2];
    // Five nines: five line texts, not the one for all six.
    const std::vector<std::string> five = EnglishHexagramText(eng, 1, {9, 9, 9, 9, 9, 7});
    ASSERT_EQ(five.size(), 7u);
    for (int p = 1; p <= 5; ++p) EXPECT_TRUE(HasLineText(eng, 9, p, five[p + 1])) << five[p + 1];
}

TEST(ShippedGlossary, EveryTabFindsItsSection) {
    const std::vector<std::string> file = Shipped("spr.txt");
    std::size_t entries = 0;
    for (const std::string& letter : DictLetters()) {
        const std::vector<std::string> section = DictSection(file, letter[0]);
        SCOPED_TRACE(Cp1251ToUtf8(letter));
        ASSERT_GE(section.size(), 3u); // the marker and at least two entries
        EXPECT_EQ(section[0], "_" + letter);
        for (std::size_t i = 1; i < section.size(); ++i) {
            EXPECT_TRUE(section[i].substr(0, 1) == letter || section[i].substr(0, 1) == Cp("Ё"))
                << Cp1251ToUtf8(section[i]);
            EXPECT_NE(section[i].find(Cp(" — ")), std::string::npos) << Cp1251ToUtf8(section[i]);
        }
        entries += section.size() - 1;
    }
    EXPECT_GE(entries, 300u);
}

} // namespace
} // namespace qor::interp
