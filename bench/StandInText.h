// Stand-in text for the benchmarks of the reports on bases the program does not ship yet.
#pragma once

#include <string>

namespace qor::bench {

// A paragraph of stand-in text: 3 lines of 120 Cyrillic letters and blanks, CR LF each.
inline std::string Paragraph() {
    std::string line;
    for (int i = 0; i < 120; ++i) line += i % 9 == 8 ? ' ' : static_cast<char>('\xE0' + i % 32);
    return line + "\r\n" + line + "\r\n" + line + "\r\n";
}

} // namespace qor::bench
