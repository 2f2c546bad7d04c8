// The chart base's pages as plain data: one page file "DBase\<page>.qbs" per page, one chart a
// line, and the record operations of the base window on the rows of a page. No Qt here: the
// window (Base.h) draws these rows and calls these routines.
//
// A line holds nine fields, each followed by "; ": name, date, time, zone, place ("city,
// country"), latitude, longitude, sex letter, comment (its line breaks as "|"). The writer
// deletes every ";" of a cell and ends the file with one empty line. A reader takes a name
// field "name|comment" as the name and the comment. Code page 1251, CR LF.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartMoment.h"
#include "core/Files.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qor::chart {

// One row of the grid: cell 0 the mark ("|" marks the row for the composite chart), cells
// 1..9 the fields.
using BaseRow = std::array<std::string, 10>;
constexpr int kBaseCols = 10;

// Bigger page files are not read (a page of 32,000 charts is about 4 MB).
constexpr std::size_t kBasePageMaxBytes = 64u << 20;

// The title of grid column c (1..9); any other c gives the empty text.
std::string ColumnTitle(AstroDat& s, int c);
// "DBase\<page>.qbs".
std::string PageFileName(const std::string& page);

// Fields 1..9 of a record line into cells 1..9 (the mark cell stays empty).
BaseRow BaseLineToRow(std::string_view line);
// The line of a row: each of cells 1..9 with every ";" deleted, followed by "; ".
std::string RowToRecordLine(const BaseRow& row);
// A row is empty when all nine fields are blank (a name alone is a record).
bool IsEmptyRow(const BaseRow& row);
// The text with every ";" deleted.
std::string WithoutSemicolons(std::string_view text);

// The records of a page file's lines: every line is a record but a blank last line (the
// closing empty line the writer adds); a file of no record gives one empty row.
std::vector<BaseRow> LinesToRows(const std::vector<std::string>& lines);
// The file's bytes: each row's record line and CR LF, then the closing CR LF.
std::string PageFileBytes(const std::vector<BaseRow>& rows);

// Reading a page file.
enum class PageRead {
    Read,       // the file was read whole
    Missing,    // no such file yet: one empty row, made at the first save
    Unreadable, // it exists but could not be read (a folder, no permission, too big, an error)
};
struct BasePageLoad {
    std::vector<BaseRow> rows; // never empty
    PageRead state = PageRead::Missing;
    IoResult io; // why it could not be read
};
// Reads page `page` of the program folder; tells the user nothing.
BasePageLoad ReadBasePage(const AstroDat& s, const std::string& page);
// Reads any page file (the import).
BasePageLoad ReadBaseFile(const fs::path& path);
// Writes the rows as page `page`, atomically: on failure the old file stays as it was.
IoResult WriteBasePage(const AstroDat& s, const std::string& page,
                       const std::vector<BaseRow>& rows);

// --- Record operations on the rows of a page (index 0 is the grid's row 1) ------------------

// Opens a row for a new record at `at`: a page of one empty row gives that row, otherwise a
// new empty row is inserted at `at` (the rows from there on move one down). Returns its index.
std::size_t OpenRecordRow(std::vector<BaseRow>& rows, std::size_t at);
// Deletes rows top..bottom; a page keeps at least one (empty) row. False when nothing was
// deleted (a page of one empty row, a block outside the page).
bool DeleteRecordRows(std::vector<BaseRow>& rows, std::size_t top, std::size_t bottom);
// A copied row as the window's clipboard keeps it: cells 0..9 (the mark first), each followed
// by ";". And the row again from such an entry.
std::string RowToClipboardEntry(const BaseRow& row);
BaseRow ClipboardEntryToRow(std::string_view entry);
// Pastes the entries at `at` in their order (marks included); a page of one empty row is
// filled first.
void PasteRecordRows(std::vector<BaseRow>& rows, std::size_t at,
                     const std::vector<std::string>& entries);
// Appends imported records; an empty last row is overwritten. A file of no record adds none.
void ImportRecordRows(std::vector<BaseRow>& rows, const std::vector<BaseRow>& imported);
// Moves row `from` to `to`, the rows between following.
void MoveRecordRow(std::vector<BaseRow>& rows, std::size_t from, std::size_t to);

// --- Sorting and the composite chart --------------------------------------------------------

// True when record a sorts before record b by column col (1 name, 2 date, 3 time, 4 zone,
// 5 place by its city, 6 latitude, 7 longitude, 8 sex): names and cities by their code page
// 1251 bytes (capitals before small letters, an empty one after all others), the rest by
// value; a field that does not read sorts after those that do.
bool RecordLess(const BaseRow& a, const BaseRow& b, int col);
// Sorts the rows by column col (stable: equal keys keep their order; marks move with their
// records). False, and nothing moved, for the comment column or a page of fewer than two rows.
bool SortRecordRows(std::vector<BaseRow>& rows, int col);

// The composite chart of the marked rows: the mean moment in Universal Time (to the whole
// second, zone "+00:00"), the mean latitude and the direction of the mean of the longitudes'
// unit vectors; the names, each followed by ", ". A marked record that does not read refuses
// the whole (Problem names the record and the field).
struct CompositeChart {
    bool Ok = false;
    std::string Problem;
    ChartMoment Moment;
    std::string Names;
};
CompositeChart CompositeOfMarked(const AstroDat& s, const std::vector<BaseRow>& rows);

// --- Pages -----------------------------------------------------------------------------------

// The window's page state "tab;row;row;...;": the tab index (not a number or not below the
// tab count: 0) and each page's remembered row (missing or empty: "1").
struct PageStateFields {
    int Tab = 0;
    std::vector<std::string> Rows;
};
PageStateFields ParsePageState(const std::string& text, int tabCount);
std::string FormatPageState(int tab, const std::vector<std::string>& rows);

// The page names of the page files in "DBase\" that no tab has (without regard to case in code
// page 1251), in the order of their names. File names that code page 1251 cannot hold are
// passed over.
std::vector<std::string> NewPageFiles(const AstroDat& s, const std::vector<std::string>& tabs);

} // namespace qor::chart
