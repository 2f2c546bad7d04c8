// The natal interpretation report, the one-planet and one-house reports, and the texts of
// single chart facts other windows ask for (a star, a deep-sky object, a planet, a sign, an
// aspect), read from the text bases through a ReportWriter.
//
//   ReportChart c = ...;                 // the chart as plain values (ChartTexts.h fills it)
//   w.Run([&] { ChartReports(w, c).Natal(); });
//
// The natal report walks the houses 1..12: the cusp's degree texts and sign, the Sun with the
// Ascendant under house 1, every shown body standing in the house (its house, sign, both
// together, its aspects, its stars and deep-sky objects, its degree), then the house's ruler.
//
// Bases are keyed by text keys: bodies 1..14 (the Sun .. the White Moon), 15 Proserpine and
// 16 Chiron, the cusps 27..38. An extra body gets the texts of key 15 or 16 only when it is
// that body by name; an Arabic part gets no body's texts.
#pragma once

#include "core/Aspects.h"
#include "interp/Report.h"
#include "interp/TextBase.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <array>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qor::interp {

// The chart points the natal report walks (1..16).
constexpr int kReportPoints = 16;

// What a report reads of the chart besides the state's longitudes (PlanetLon) and moment.
struct ReportChart {
    const AspDefTable* page = nullptr; // the aspect page: names and angles
    PairMatrix aspects{};              // aspect number of each pair of points, 0 none
    std::array<int, 41> keyOf{};       // text key of each chart point, 0 none (TextKeys)
    // "|" at position p (1-based) when point p is shown; a position beyond the end is shown.
    std::string shown;
    // Whether body 1..16 rules sign 1..12; without it the state's one ruler per sign.
    std::function<bool(int sign, int body)> rules;
    const StarCatalogue* stars = nullptr;
    const DeepCatalogue* deep = nullptr;
    std::string name, city; // the header's

    // The chart point of a text key (the first with it), 0 none.
    int PointOfKey(int key) const;
    bool Shown(int point) const;
};

// The text key of each chart point of the state: bodies 1..14 and cusps 27..38 themselves;
// an extra body (15..14+NExtra) 15 or 16 when its name (`extraName`) is that of body 15 or
// 16 in either language, else 0; everything else 0.
std::array<int, 41> TextKeys(AstroDat& s, const std::function<std::string(int point)>& extraName);

// The error box's text about a header of an aspect base that is no aspect key: "Ошибка: "
// ("Error: "), the header line, and the key's numbers as far as they were read, "(1,0,0)".
std::string AspKeyErrorText(const AstroDat& s, const std::string& header, const AspDefTable& page);

// The sign 1..12 of a longitude (radians).
int SignOfLongitude(double lon);

class ChartReports {
public:
    ChartReports(ReportWriter& w, const ReportChart& c);

    // --- The readers: each writes its sections, or nothing. p a chart point, h a house.
    void IntHouseSign(int h);
    void IntSunAsc();
    void IntPlanetHouse(int p, int h);
    void IntPlanetSign(int p);
    void IntCombination(int p, int h);
    // The aspects of p whose key names it first (or, with `either`, second too).
    void IntAspects(int p, bool either);
    void IntStarConj(int p);
    void IntHouseRuler(int h);

    // --- The reports' texts (inside ReportWriter::Run).
    void Natal();
    // False, writing nothing, when point n has no body's texts.
    bool PlanetReport(int n);
    void HouseReport(int h);

    // The lines of the aspect between points p and q, keyed in either order: every matching
    // section with its heading. Empty when none matches.
    std::vector<std::string> AspectText(int p, int q);

    // The house of chart point p (1..12), 0 in none.
    int HouseOf(int p) const;

    // Lookups that found no section in a base that was read ("reader key"), for the checks
    // of the shipped bases.
    std::vector<std::string> Misses;

private:
    // The words of a point (by text key) and a sign, whatever the naming flags.
    std::string Word(int key);
    std::string SignWord(int sign);
    void WriteSection(const std::string& heading, const std::vector<std::string>& lines);
    // First-section readers of a point key.
    void PointKeyReader(BaseId base, const char* reader, int first, int second,
                        const std::function<std::string(const Section&)>& heading);
    // Every section of the aspect base whose pair satisfies `want`, heading and lines.
    void ReadAspects(const std::function<bool(int key1, int key2)>& want,
                     std::vector<std::string>& out, bool switched);
    // The stars' and deep-sky objects' texts of one object: the first matching section.
    std::vector<std::string> FirstSectionLines(const std::string& bytes,
                                               const std::function<bool(const std::string&)>& key);

    ReportWriter& w_;
    const ReportChart& c_;
    bool aspectErrorShown_ = false;
    bool aspectBaseRead_ = false;
    std::set<std::pair<int, int>> aspectsFound_;
};

// --- Texts of single objects (one section, read from the top of their base) --------------------

// The key of a star base's header: the text between "[" and the first "]", trimmed; empty
// without a "]".
std::string StarBaseKey(std::string_view header);
// Whether a star base key (numbers separated by ",") lists bright-star number `bs`.
bool StarKeyLists(std::string_view key, int bs);

// The text of catalogue star i from the star base (its switch not asked): the heading line
// (name, designation, magnitude) and the lines of the first section that lists the star's
// bright-star number. Empty when no section with lines lists it or the base does not open.
std::vector<std::string> StarText(ReportWriter& w, const StarCatalogue& stars, int i);
// The text of deep-sky object i: the first section keyed with its code.
std::vector<std::string> DeepSkyText(ReportWriter& w, const DeepCatalogue& deep, int i);
// The lines of the first section of a fixed file ("Txt\Planet.txt", in English mode its "-e"
// twin) whose key is the whole number n; no heading.
std::vector<std::string> NumberedText(ReportWriter& w, const std::string& file, int n);

// The fixed files of the planets' and the signs' texts for the language.
std::string PlanetTextFile(bool english);
std::string SignTextFile(bool english);

} // namespace qor::interp
