// Degree-text files: one section per zodiac sign, one entry per degree of the sign.
//
//   [ 1] Aries                      a sign header: "[", the sign right-aligned in two
//     1 The first entry line.       characters, "]"; its title from column 6 (80 characters)
//   and its continuation            an entry: a blank in column 1, the degree right-aligned
//     2 The next degree ...         in columns 3-4, the text from column 6; continuation
//   [ 2] Taurus                     lines start with anything but a blank or "["
//
// Lines are code page 1251, CR LF or LF; trailing blanks are cut; empty lines and comment
// lines (first character "/") are skipped everywhere. The interpretation reports and the
// degree window read the files through this one routine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// The degree number 1..360 of an ecliptic longitude (radians): 0°00'..0°59' of Aries is 1.
int DegreeOfLongitude(double lonRad);

struct DegreeEntry {
    bool signFound = false;         // the file has the sign's header
    std::string title;              // the header from column 6 (at most 80 characters)
    bool degreeFound = false;       // the sign's section has the degree's entry
    std::vector<std::string> lines; // the entry: its first line from column 6, then the
                                    // continuation lines whole
};

// The entry of degree g (1..30) of sign s (1..12) in the bytes of a degree-text file. The
// search stops at the end of the sign's section: a sign lacking the degree gives no lines.
DegreeEntry FindDegreeEntry(std::string_view fileBytes, int sign, int degree);

} // namespace qor
