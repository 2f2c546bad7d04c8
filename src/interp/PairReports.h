// The reports of a double chart: transits, the lunar and the solar return, and synastry. The
// inner chart (PlanetLon of the state) is the radix, the outer chart (PlanetLonBck) the
// transits, the return or the partner.
//
//   PairChart c = ...;                    // PairTexts.h fills it from the program
//   w.Run([&] { PairReports(w, c).Transits(); });
//
// The aspects between the charts are those of the cross matrix (inner point i with outer point
// j), the return's own those of the outer chart with itself; both are given, so the reports
// never change the program's aspecting mode or matrix.
#pragma once

#include "interp/ChartReports.h"

#include <string>

namespace qor::interp {

struct PairChart {
    ReportChart radix;    // page, text keys, shown points, name; its `aspects` are not read
    PairMatrix cross{};   // aspect of inner point i with outer point j, 0 none
    PairMatrix outer{};   // aspect of outer points i and j
    std::string mainLine; // "dd-mm-yyyy   hh:mm:ss (zone)   city" of each chart
    std::string backLine;
};

// The line of a chart's moment in the report headers: the day right-aligned in 3, "-", the
// month in 2 digits, "-", the year right-aligned in 4, three blanks, the hour right-aligned in
// 3, ":mm:ss", " (" zone ")   " city.
std::string PairChartLine(int year, int month, int day, int hour, int minute, int second,
                          const std::string& zone, const std::string& city);

class PairReports {
public:
    PairReports(ReportWriter& w, const PairChart& c);

    // The texts of every cross aspect in one base, grouped by the radix point k = 1..16, in
    // file order within k, and an empty line after them. A key is [p1.a.p2]: with `reverse`
    // set p1 is the radix point and p2 the outer chart's, clear the other way round. A section
    // without a title is headed "outer(T) - aspect - radix(R)". A header that is no aspect key
    // is told and ends the reader.
    void IntCrossAspects(BaseId base, bool reverse);

    // The whole reports (inside ReportWriter::Run).
    void Transits();
    void Return(bool solar);
    void Synastry(bool reverse);

    // The return's readers.
    void ReturnHousesInRadix(BaseId base);
    // For k = 1..16 the sections whose key's first point is k and whose aspect is that of the
    // outer chart with itself (`cross` false) or of radix point k with the outer chart's
    // second point (`cross` true); a bad key is told once a report and ends that base.
    void ReturnAspects(BaseId base, bool cross);
    void ReturnPointsInHouses(BaseId base, bool solar);
    // Synastry: the partner's points in the native's houses.
    void PartnerPointsInHouses();

    // Lookups that found no section in a base that was read, for the checks of the bases.
    std::vector<std::string> Misses;

private:
    std::string Word(int key);
    void Header(const std::string& title, const std::string& backLabel);
    // A bad key's box, once a report.
    void TellOnce(const std::string& text);
    std::string PointKeyError(const std::string& header, const PlnKey& k);

    ReportWriter& w_;
    const PairChart& c_;
    bool keyErrorShown_ = false;
};

} // namespace qor::interp
