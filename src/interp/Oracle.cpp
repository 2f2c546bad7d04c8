#include "interp/Oracle.h"

#include "core/Text.h"

namespace qor::interp {

namespace {

// The number of a section line "#NN title" (its digits after "#"), -1 when there is none.
int SectionNumber(const std::string& line) {
    int n = 0;
    std::size_t i = 1;
    while (i < line.size() && i < 3 && line[i] >= '0' && line[i] <= '9') n = n * 10 + (line[i++] - '0');
    return i == 1 ? -1 : n;
}

} // namespace

const int KingWen[8][8] = {
    {1, 43, 14, 34, 9, 5, 26, 11},   {10, 58, 38, 54, 61, 60, 41, 19},
    {13, 49, 30, 55, 37, 63, 22, 36}, {25, 17, 21, 51, 42, 3, 27, 24},
    {44, 28, 50, 32, 57, 48, 18, 46}, {6, 47, 64, 40, 59, 29, 4, 7},
    {33, 31, 56, 62, 53, 39, 52, 15}, {12, 45, 35, 16, 20, 8, 23, 2},
};

int TrigramOf(int bottom, int middle, int top) {
    return 1 + (bottom % 2 == 0 ? 4 : 0) + (middle % 2 == 0 ? 2 : 0) + (top % 2 == 0 ? 1 : 0);
}

int HexagramNumber(const HexagramLines& lines) {
    const int lower = TrigramOf(lines[0], lines[1], lines[2]);
    const int upper = TrigramOf(lines[3], lines[4], lines[5]);
    return KingWen[lower - 1][upper - 1];
}

int CoinOf(int randomBit, int x, int y) {
    const long long sum = static_cast<long long>(randomBit) + x + y;
    return static_cast<int>(((sum % 2) + 2) % 2);
}

std::vector<std::string> RussianHexagramText(const std::vector<std::string>& file, int n) {
    const std::size_t i = static_cast<std::size_t>(n);
    return {std::to_string(n) + "-я гексаграмма"_cp, i >= 1 && i <= file.size() ? file[i - 1] : ""};
}

std::vector<std::string> EnglishHexagramText(const std::vector<std::string>& file, int n,
                                             const HexagramLines& lines) {
    int sum = 0;
    for (int v : lines) sum += v;
    enum class State { Searching, MainText, Taking, Skipping } state = State::Searching;
    std::vector<std::string> out;
    for (const std::string& raw : file) {
        const std::string line = TrimRight(raw) + " ";
        if (state == State::Searching) {
            if (line[0] == '#' && SectionNumber(line) == n) {
                state = State::MainText;
                out.push_back("Hexagram " + std::to_string(n) + " " +
                              Trim(line.size() > 3 ? line.substr(3) : ""));
            }
            continue;
        }
        if (line[0] == '#') break;
        if (line[0] == '[') {
            const int v = line.size() > 1 ? line[1] - '0' : -1;
            const int p = line.size() > 3 ? line[3] - '0' : -1;
            bool take;
            if (sum == 36)
                take = v == 6 && p == 0;
            else if (sum == 54)
                take = v == 9 && p == 0;
            else
                take = p >= 1 && p <= 6 && lines[static_cast<std::size_t>(p - 1)] == v;
            if (take) {
                out.push_back(Trim(line.size() > 5 ? line.substr(5) : ""));
                state = State::Taking;
            } else {
                state = State::Skipping;
            }
            continue;
        }
        if (state == State::MainText || state == State::Taking) out.push_back(line);
    }
    return out;
}

} // namespace qor::interp
