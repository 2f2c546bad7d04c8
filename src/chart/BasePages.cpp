#include "chart/BasePages.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <system_error>

namespace qor::chart {

std::string ColumnTitle(AstroDat& s, int c) {
    switch (c) {
    case 1:
        return GetMsgText(s, 38);
    case 2:
        return GetMsgText(s, 39);
    case 3:
        return GetMsgText(s, 40);
    case 4:
        return "dT";
    case 5:
        return GetMsgText(s, 41);
    case 6:
        return GetMsgText(s, 42);
    case 7:
        return GetMsgText(s, 43);
    case 8:
        return Lang(s, Cp("Пол"), "Sex");
    case 9:
        return Lang(s, Cp("Комментарий"), "Comment");
    default:
        return {};
    }
}

std::string PageFileName(const std::string& page) {
    return "DBase\\" + page + ".qbs";
}

BaseRow BaseLineToRow(std::string_view line) {
    BaseRow row;
    std::string rest(line);
    for (int c = 1; c <= 8; ++c) row[c] = NextField(rest, ';');
    const std::size_t bar = row[1].find('|');
    if (bar != std::string::npos) {
        row[9] = Trim(row[1].substr(bar + 1));
        row[1] = Trim(row[1].substr(0, bar));
    } else {
        row[9] = NextField(rest, ';');
    }
    return row;
}

std::string WithoutSemicolons(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ';') out += c;
    return out;
}

std::string RowToRecordLine(const BaseRow& row) {
    std::string line;
    for (int c = 1; c <= 9; ++c) {
        line += WithoutSemicolons(row[c]);
        line += "; ";
    }
    return line;
}

bool IsEmptyRow(const BaseRow& row) {
    for (int c = 1; c <= 9; ++c)
        if (!Trim(row[c]).empty()) return false;
    return true;
}

std::vector<BaseRow> LinesToRows(const std::vector<std::string>& lines) {
    std::size_t n = lines.size();
    // The closing empty line is no record; a last line that holds a record (a file written
    // elsewhere) is one.
    if (n > 0 && Trim(lines[n - 1]).empty()) --n;
    std::vector<BaseRow> rows;
    rows.reserve(std::max<std::size_t>(n, 1));
    for (std::size_t i = 0; i < n; ++i) rows.push_back(BaseLineToRow(lines[i]));
    if (rows.empty()) rows.emplace_back();
    return rows;
}

std::string PageFileBytes(const std::vector<BaseRow>& rows) {
    std::string out;
    out.reserve(rows.size() * 96 + 2);
    for (const BaseRow& r : rows) {
        out += RowToRecordLine(r);
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

BasePageLoad ReadBaseFile(const fs::path& path) {
    BasePageLoad load;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) {
        load.rows.emplace_back();
        load.state = PageRead::Missing;
        return load;
    }
    std::string bytes;
    load.io = fs::is_directory(st) ? IoResult::Fail(EISDIR, "a folder, not a file")
                                   : ReadFileBytes(path, bytes, kBasePageMaxBytes);
    if (!load.io.ok()) {
        load.rows.emplace_back();
        load.state = PageRead::Unreadable;
        return load;
    }
    load.rows = LinesToRows(SplitTextLines(bytes));
    load.state = PageRead::Read;
    return load;
}

BasePageLoad ReadBasePage(const AstroDat& s, const std::string& page) {
    return ReadBaseFile(s.DataPath(PageFileName(page)));
}

IoResult WriteBasePage(const AstroDat& s, const std::string& page,
                       const std::vector<BaseRow>& rows) {
    const fs::path path = s.DataPath(PageFileName(page));
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return SaveFileAtomic(path, PageFileBytes(rows));
}

// --- Record operations ----------------------------------------------------------------------

std::size_t OpenRecordRow(std::vector<BaseRow>& rows, std::size_t at) {
    if (rows.empty()) rows.emplace_back();
    if (rows.size() == 1 && IsEmptyRow(rows[0])) return 0;
    at = std::min(at, rows.size());
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), BaseRow{});
    return at;
}

bool DeleteRecordRows(std::vector<BaseRow>& rows, std::size_t top, std::size_t bottom) {
    if (top > bottom) std::swap(top, bottom);
    if (rows.empty() || top >= rows.size()) return false;
    if (rows.size() == 1 && IsEmptyRow(rows[0])) return false;
    bottom = std::min(bottom, rows.size() - 1);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(top),
               rows.begin() + static_cast<std::ptrdiff_t>(bottom) + 1);
    if (rows.empty()) rows.emplace_back();
    return true;
}

std::string RowToClipboardEntry(const BaseRow& row) {
    std::string entry;
    for (const std::string& cell : row) {
        entry += WithoutSemicolons(cell);
        entry += ';';
    }
    return entry;
}

BaseRow ClipboardEntryToRow(std::string_view entry) {
    BaseRow row;
    std::string rest(entry);
    for (std::string& cell : row) cell = NextField(rest, ';');
    return row;
}

void PasteRecordRows(std::vector<BaseRow>& rows, std::size_t at,
                     const std::vector<std::string>& entries) {
    // Last entry first, each at the same row: the pasted rows keep their order.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::size_t r = OpenRecordRow(rows, at);
        rows[r] = ClipboardEntryToRow(*it);
    }
}

void ImportRecordRows(std::vector<BaseRow>& rows, const std::vector<BaseRow>& imported) {
    std::vector<BaseRow> records;
    for (const BaseRow& r : imported)
        if (!(imported.size() == 1 && IsEmptyRow(r))) records.push_back(r);
    if (records.empty()) return;
    if (!rows.empty() && IsEmptyRow(rows.back())) rows.pop_back();
    rows.insert(rows.end(), records.begin(), records.end());
}

void MoveRecordRow(std::vector<BaseRow>& rows, std::size_t from, std::size_t to) {
    if (from >= rows.size() || to >= rows.size() || from == to) return;
    BaseRow moving = std::move(rows[from]);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(from));
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(to), std::move(moving));
}

// --- Sorting and the composite chart --------------------------------------------------------

namespace {

// A sort key: texts by their code page 1251 bytes, numbers as numbers; a field the parsers
// cannot read sorts after every field they can.
struct SortKey {
    bool unread = false;
    double number = 0;
    std::string text;
};

std::string TextKey(const std::string& text) {
    // "яяя": an empty name or city after all others ("я" is the last letter of the code page).
    return Trim(text).empty() ? Cp("яяя") : text;
}

SortKey KeyOf(const BaseRow& r, int col) {
    SortKey k;
    const std::string& f = r[static_cast<std::size_t>(col)];
    const auto number = [&k](std::optional<double> v) {
        if (v)
            k.number = *v;
        else
            k.unread = true;
    };
    switch (col) {
    case 1:
        k.text = TextKey(f);
        break;
    case 2: {
        const auto d = ParseMomentDate(f);
        number(d ? std::optional<double>((d->Year * 12.0 + d->Month) * 31 + d->Day) : std::nullopt);
        break;
    }
    case 3: {
        const auto t = ParseMomentTime(f);
        number(t ? std::optional<double>((t->Hour * 60.0 + t->Minute) * 60 + t->Second)
                 : std::nullopt);
        break;
    }
    case 4: {
        const auto z = ParseMomentZone(f);
        number(z ? std::optional<double>(*z) : std::nullopt);
        break;
    }
    case 5:
        k.text = TextKey(Trim(f.substr(0, f.find(','))));
        break;
    case 6:
        number(ParseLatitude(f));
        break;
    case 7:
        number(ParseLongitude(f));
        break;
    case 8:
        k.text = SexLetterToCode(f);
        break;
    default:
        break;
    }
    return k;
}

bool KeyLess(const SortKey& a, const SortKey& b) {
    if (a.unread != b.unread) return b.unread;
    if (a.number != b.number) return a.number < b.number;
    return a.text < b.text; // std::string compares its bytes as unsigned characters
}

} // namespace

bool RecordLess(const BaseRow& a, const BaseRow& b, int col) {
    return KeyLess(KeyOf(a, col), KeyOf(b, col));
}

bool SortRecordRows(std::vector<BaseRow>& rows, int col) {
    if (col < 1 || col > 8 || rows.size() < 2) return false;
    std::vector<std::pair<SortKey, std::size_t>> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) keys.emplace_back(KeyOf(rows[i], col), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return KeyLess(a.first, b.first); });
    std::vector<BaseRow> sorted;
    sorted.reserve(rows.size());
    for (const auto& k : keys) sorted.push_back(std::move(rows[k.second]));
    rows = std::move(sorted);
    return true;
}

CompositeChart CompositeOfMarked(const AstroDat& s, const std::vector<BaseRow>& rows) {
    CompositeChart c;
    double jdSum = 0, latSum = 0, cosSum = 0, sinSum = 0;
    int count = 0;
    for (const BaseRow& r : rows) {
        if (r[0] != "|") continue;
        const MomentParse m = ParseChartMoment(s, MomentTexts{r[2], r[3], r[4], r[6], r[7]});
        if (!m) {
            c.Problem = "\"" + r[1] + "\": " + m.Problem;
            return c;
        }
        c.Names += BarsToLineBreaks(r[1]) + ", ";
        jdSum += JulianDayUT(*m.Moment);
        latSum += m.Moment->Lat;
        cosSum += std::cos(m.Moment->Long);
        sinSum += std::sin(m.Moment->Long);
        ++count;
    }
    if (count == 0) {
        c.Problem = Lang(s, Cp("Ни одна запись не отмечена"), "No record is marked");
        return c;
    }
    // The mean moment to the whole second (the calendar carries a rounded 60 s on).
    const DateTimeRec t = CalendarFromJD(jdSum / count);
    ChartMoment& m = c.Moment;
    m.Year = t.Year;
    m.Month = t.Month;
    m.Day = static_cast<int>(std::floor(t.Day));
    m.Hour = t.Hour;
    m.Minute = t.Minute;
    m.Second = static_cast<int>(std::lround(t.Second));
    m.ZoneMinutes = 0;
    m.Lat = NormAngleSigned(latSum / count);
    m.Long = NormAngleSigned(ArcTan2Pos(sinSum / count, cosSum / count));
    c.Ok = true;
    return c;
}

// --- Pages ----------------------------------------------------------------------------------

PageStateFields ParsePageState(const std::string& text, int tabCount) {
    PageStateFields f;
    std::string rest = text;
    const auto tab = ParseWholeInteger(NextField(rest, ';'));
    f.Tab = tab && *tab >= 0 && *tab < tabCount ? static_cast<int>(*tab) : 0;
    for (int i = 0; i < tabCount; ++i) {
        std::string row = NextField(rest, ';');
        f.Rows.push_back(row.empty() ? "1" : row);
    }
    return f;
}

std::string FormatPageState(int tab, const std::vector<std::string>& rows) {
    std::string out = std::to_string(tab) + ";";
    for (const std::string& r : rows) out += r + ";";
    return out;
}

std::vector<std::string> NewPageFiles(const AstroDat& s, const std::vector<std::string>& tabs) {
    std::vector<std::string> found;
    std::error_code ec;
    const fs::path folder = s.DataPath("DBase");
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string name;
        if (!Utf8ToCp1251(it->path().filename().string(), name)) continue;
        if (name.size() <= 4 || UpperCaseCp(name.substr(name.size() - 4)) != ".QBS") continue;
        name.resize(name.size() - 4);
        const std::string upper = UpperCaseCp(name);
        const auto same = [&](const std::string& t) { return UpperCaseCp(t) == upper; };
        if (std::none_of(tabs.begin(), tabs.end(), same) &&
            std::none_of(found.begin(), found.end(), same))
            found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace qor::chart
