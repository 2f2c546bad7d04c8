// Chart records: the ten texts of a chart's entered data, their unpacking into the chart
// moment and place (the moment's parser: ChartMoment.h), and the exchange of the first and
// second chart.
//
// Fields (0-based): 0 name, 1 sex, 2 date (" 5.03.1990 ", "0044B" for years before the era),
// 3 time ("hh:mm:ss", columns 1-2, 4-5, 7-8), 4 zone ("+03:00", east positive), 5 latitude
// ("55°45'N"), 6 longitude (" 37°37'E"), 7 city, 8 country, 9 comment.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartMoment.h"

#include <string>
#include <string_view>

namespace qor {

enum DatRecField {
    kRecName = 0,
    kRecSex,
    kRecDate,
    kRecTime,
    kRecZone,
    kRecLat,
    kRecLong,
    kRecCity,
    kRecCountry,
    kRecComment
};

struct DatRecNameDateTime {
    std::string name, date, time;
};
DatRecNameDateTime GetDatRecNameDateTime(const DatRec& rec);

// Puts a record's moment and place into the chart moment of the state (ParseChartMoment). A
// record that does not parse is refused: the user is told which field is wrong and the chart
// moment stays.
bool UnpackDatRecToChart(AstroDat& s, const DatRec& rec);

// Exchanges the first and the second chart: the records, the methods, the short dates and
// the ages; the new first record becomes the chart moment, February follows its year. The
// caller recomputes. When the second record does not unpack, nothing is exchanged and the
// user is told; returns false.
bool SwapCharts(AstroDat& s);

// Sex as the record files write it. Records and the birth-data window keep a code: "0" male,
// "1" female, "2" none.
// "0" gives "M"; "1" gives "Ж" in Russian mode and "W" in English mode; anything else the
// em dash (character 151).
std::string SexCodeToLetter(const AstroDat& s, const std::string& code);
// "M" or Cyrillic "М" give "0"; "W" or Cyrillic "Ж" give "1"; anything else, the empty text
// included, gives "2". Blanks around the letter do not count.
std::string SexLetterToCode(const std::string& letter);

// A multi-line text as one field of a ";"-separated record: every line break (CR LF, LF or
// CR) becomes "|", every ";" becomes ",".
std::string LineBreaksToBars(std::string_view text);
// The way back: every "|" becomes CR LF.
std::string BarsToLineBreaks(std::string_view text);

} // namespace qor
