// The I Ching oracle: the coins of a line, the King Wen number of six lines, and the texts of a
// hexagram from "oracle.txt" (Russian: line n is the whole text of hexagram n) and
// "oracle-eng.txt" (English: a section per hexagram with the texts of the changing lines).
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace qor::interp {

// The six line values of a cast, bottom line first: 6 old yin, 7 young yang, 8 young yin,
// 9 old yang.
using HexagramLines = std::array<int, 6>;

// Trigrams 1..8 in the order Heaven, Lake, Fire, Thunder, Wind, Water, Mountain, Earth;
// KingWen[t1 - 1][t2 - 1] is the hexagram of lower trigram t1 under upper trigram t2.
extern const int KingWen[8][8];

// The trigram 1..8 of three line values, bottom first: 1 + 4 for an even (yin) bottom line,
// + 2 for an even middle line, + 1 for an even top line.
int TrigramOf(int bottom, int middle, int top);
// The King Wen number 1..64 of six line values.
int HexagramNumber(const HexagramLines& lines);

// One coin, 0 or 1, from a random bit and the point of the click: (bit + x + y) mod 2, never
// negative (a click left of or above the box counts as any other).
int CoinOf(int randomBit, int x, int y);

// The random bits of the coins: seeded from the clock for a casting, by a test for a repeatable
// one.
class OracleRandom {
public:
    void Seed(uint32_t seed) { engine_.seed(seed); }
    // 0 or 1, each with probability 1/2.
    int Bit() { return static_cast<int>(engine_() >> 31); }

private:
    std::mt19937 engine_;
};

// The Russian text of hexagram n: n + "-я гексаграмма" and line n of the file (an empty line
// when the file has fewer lines).
std::vector<std::string> RussianHexagramText(const std::vector<std::string>& file, int n);

// The English text of hexagram n cast with `lines`: the heading "Hexagram " + n + the title,
// the section's main text, and the texts of its changing lines. A line text "[v p text" is
// taken when line p (1..6) of the cast has value v; p = 0 is the text of a cast whose six lines
// are all 6 (v = 6) or all 9 (v = 9), and in such a cast only that text is taken. Lines after a
// taken line that begin with neither "[" nor "#" continue it. Every line but a line text's
// first is trimmed at its end and gets one blank, as the memo shows them.
std::vector<std::string> EnglishHexagramText(const std::vector<std::string>& file, int n,
                                             const HexagramLines& lines);

} // namespace qor::interp
