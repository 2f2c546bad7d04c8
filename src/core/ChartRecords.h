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

} // namespace qor
