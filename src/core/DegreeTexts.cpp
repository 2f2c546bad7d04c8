#include "core/DegreeTexts.h"

#include "core/AstroMath.h"
#include "core/TextLines.h"

#include <cmath>

namespace qor {

int DegreeOfLongitude(double lonRad) {
    // A whole degree given in radians comes back a hair short of itself: 1e-9° (4 micro-
    // arc-seconds) keeps it in its own degree.
    const int d = static_cast<int>(std::floor(NormAngle(lonRad) / kDegToRad + 1e-9));
    return d >= 0 && d < 360 ? d + 1 : 1;
}

namespace {

// The number right-aligned in two characters: " 1" .. "30".
bool TwoColumns(std::string_view field, int n) {
    const char tens = n >= 10 ? static_cast<char>('0' + n / 10) : ' ';
    return field.size() == 2 && field[0] == tens && field[1] == static_cast<char>('0' + n % 10);
}

// A sign header "[ s]"; the sign 1..12 it names, else 0.
int HeaderSign(std::string_view line) {
    if (line.size() < 4 || line[0] != '[' || line[3] != ']') return 0;
    for (int s = 1; s <= 12; ++s)
        if (TwoColumns(line.substr(1, 2), s)) return s;
    return 0;
}

std::string FromColumn6(std::string_view line, std::size_t most) {
    return line.size() > 5 ? std::string(line.substr(5, most)) : std::string();
}

} // namespace

DegreeEntry FindDegreeEntry(std::string_view fileBytes, int sign, int degree) {
    DegreeEntry out;
    if (sign < 1 || sign > 12 || degree < 1 || degree > 30) return out;
    TextLineScanner lines(fileBytes);
    std::string_view line;
    enum { Seeking, InSign, InEntry } state = Seeking;
    while (lines.NextContent(line)) {
        if (state == InEntry) {
            if (line[0] == ' ' || line[0] == '[') break;
            out.lines.emplace_back(line);
            continue;
        }
        if (line[0] == '[') {
            // The section of another sign after ours: the sign lacks the degree.
            if (state == InSign) break;
            if (HeaderSign(line) == sign) {
                state = InSign;
                out.signFound = true;
                out.title = FromColumn6(line, 80);
            }
            continue;
        }
        if (state == InSign && line[0] == ' ' && line.size() >= 4 &&
            TwoColumns(line.substr(2, 2), degree)) {
            state = InEntry;
            out.degreeFound = true;
            out.lines.push_back(FromColumn6(line, std::string_view::npos));
        }
    }
    return out;
}

} // namespace qor
