// The fixed-shape entry fields of the birth-data window (date, time, zone, latitude,
// longitude): typing in overtype mode, and the check made when a field is left. Plain text
// routines, so the window and the own-place window share them and tests call them directly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor::chart {

enum class FieldShape { Date, Time, Zone, Latitude, Longitude };

// Characters of a field: "dd.mm.yyyy", "hh:mm:ss", "+hh:mm", "dd°mm'N", "ddd°mm'E".
int MaskLength(FieldShape f);

// A field's text and its 1-based caret (1..length + 1).
struct FieldEdit {
    std::string text;
    int caret = 1;
};

// One key typed into a field: `key` a virtual-key code (digits of both keyboards, N S E W,
// + and -, the caret keys Left Right Home End and Space). Returns true when the key belongs
// to the field (the window swallows it), whether or not it changed anything.
bool OvertypeKey(FieldShape f, FieldEdit& e, int key);

// The check made when a field is left: `ok`, and the text as the field then shows it
// (leading zeros as blanks, year 0000 as 0001). The values are checked as every way into the
// chart checks them (ChartMoment.h): the date in the calendar of its own day, zones from
// -12:00 to +14:00.
struct FieldCheck {
    bool ok = false;
    std::string text;
};
FieldCheck CheckField(FieldShape f, std::string_view text, bool beforeEra = false);

// The text of a free field (name, city, country, comment) as a chart record may hold it: the
// field separator ";" of the record files becomes ",", line breaks become blanks (the comment
// keeps its line breaks; the record files write them themselves).
std::string RecordSafeText(std::string_view text, bool keepLineBreaks = false);

// The method letter of the double chart's method item i (0..13); blank for transit and
// synastry, 0 when i is out of range.
char MethodLetter(int i);
// The fourteen method items in Russian.
const std::vector<std::string>& MethodItems();

} // namespace qor::chart
