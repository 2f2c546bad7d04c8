// The chart history "CHist.ini" as plain data. One chart a line, oldest first, no header; a
// line has 21 fields, each followed by ";": the kind of chart, the main data set's ten fields
// (name, date, time, zone, latitude, longitude, city, country, sex letter, comment) and the
// second data set's ten (all empty for a single chart). Grid row r of the history window
// (1 = newest) shows line count - r. No Qt here: the window (CHistory.h) calls these routines.
//
// The kind is written in Russian whatever the interface ("Натал", "Хорар" or the double
// chart's method item), so a history stays readable in both languages; the words of both
// languages are read. Every field is written without ";" and with its line breaks as "|".
#pragma once

#include "core/AstroDat.h"
#include "core/Files.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::chart {

constexpr int kHistoryFields = 21;
constexpr const char* kHistoryFileName = "CHist.ini";
// The most entries kept when the settings give no sound number.
constexpr int kHistoryDefaultMax = 100;
// Bigger history files are not read.
constexpr std::size_t kHistoryMaxBytes = 64u << 20;

enum class HistoryKind { Natal, Horary, Double };

struct HistoryKindOf {
    HistoryKind Kind = HistoryKind::Natal;
    int Method = -1; // a double chart's method item, 0..13
};

// Field 1 as written: "Натал", "Хорар", or the Russian text of method item `method` (an index
// out of range writes the first item).
std::string HistoryKindWord(HistoryKind kind, int method);
// Field 1 read: the Russian or English word of a single chart, or a method item of either
// language (`englishMethods`: the English items, in the order of the Russian ones). Blanks
// around the word do not count. Nothing for a word of neither language.
std::optional<HistoryKindOf> ReadHistoryKind(std::string_view word,
                                             const std::vector<std::string>& englishMethods);

// The items of a list as the English texts file gives them ("Form;Caption" opens a window's
// section, " Component;item,item,..." a list of it); empty when there is no such line.
std::vector<std::string> EnglishListOf(const std::vector<std::string>& lines, std::string_view form,
                                       std::string_view component);
// The English method items of the birth-data window from "English.txt" of the program folder
// (read quietly: a missing file gives none).
std::vector<std::string> EnglishMethodItems(const AstroDat& s);
// The kind as the history window shows it, in the language of the state: "Натал"/"Natal",
// "Хорар"/"Horar", the method item; a word of neither language as it stands.
std::string HistoryKindCaption(const AstroDat& s, std::string_view word,
                               const std::vector<std::string>& englishMethods);

// A field as written: every ";" deleted, every line break (CR LF, LF or CR) as "|".
std::string HistoryField(std::string_view text);

// One chart of the history.
struct HistoryEntry {
    HistoryKindOf Kind;
    DatRec Main{};
    bool HasBack = false; // the second data set was recorded (a double chart)
    DatRec Back{};
};

// The line of an entry (sex codes written as letters in the language of the state).
std::string FormatHistoryLine(const AstroDat& s, const HistoryEntry& e);

// Fields 1..21 of a line as index 0..20; a line with fewer fields gives the rest empty, more
// than 21 are not read.
using HistoryFields = std::array<std::string, kHistoryFields>;
HistoryFields SplitHistoryLine(std::string_view line);
// The data set whose name is field `first` (index 1 the main set, 11 the second): the bars
// back to line breaks, the sex letter to its code.
DatRec HistoryFieldsToRec(const HistoryFields& f, int first);
// True when any of the second set's fields holds something.
bool HasBackFields(const HistoryFields& f);

// The maximum of entries from the settings' text: a positive whole number as it is (at most
// the largest int), anything else 100 and `Corrected` set (the caller writes "100" back).
struct HistoryMax {
    int Value = kHistoryDefaultMax;
    bool Corrected = false;
};
HistoryMax HistoryMaximum(std::string_view text);

// Adds a line at the end; first the oldest lines go while the list holds `max` or more (never
// from an empty list).
void AppendHistoryLine(std::vector<std::string>& lines, std::string line, int max);
// The list index of grid row `row` (1 = the last line); nothing for a row outside the list.
std::optional<std::size_t> HistoryIndexOfRow(std::size_t count, int row);
// Deletes the line of grid row `row`; when fewer than `row` lines remain, row goes one up.
// False (nothing deleted) for a row outside the list.
bool DeleteHistoryRow(std::vector<std::string>& lines, int& row);

// The seven cells of a grid row: kind, name, date, time of the main set, name, date, time of
// the second (fields 1..4 and 12..14 as stored).
std::array<std::string, 7> HistoryGridCells(std::string_view line);

// The file's lines ("CHist.ini" of the program folder). A missing file is an empty history.
IoResult ReadHistory(const AstroDat& s, std::vector<std::string>& lines);
// Writes the lines atomically: on failure the old file stays as it was.
IoResult WriteHistory(const AstroDat& s, const std::vector<std::string>& lines);
// Makes an empty "CHist.ini" when there is none.
IoResult EnsureHistoryFile(const AstroDat& s);

} // namespace qor::chart
