#include "chart/HistoryFile.h"

#include "chart/BirthFields.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <climits>

namespace qor::chart {

namespace {

// The data set's fields in the order of a history line (name first, sex and comment last).
constexpr int kRecOrder[10] = {kRecName, kRecDate, kRecTime,    kRecZone, kRecLat,
                               kRecLong, kRecCity, kRecCountry, kRecSex,  kRecComment};

void AppendSet(std::string& line, const AstroDat& s, const DatRec& rec) {
    for (const int k : kRecOrder) {
        line += HistoryField(k == kRecSex ? SexCodeToLetter(s, rec[k]) : rec[k]);
        line += ';';
    }
}

} // namespace

std::string HistoryKindWord(HistoryKind kind, int method) {
    switch (kind) {
    case HistoryKind::Natal:
        return "Натал"_cp;
    case HistoryKind::Horary:
        return "Хорар"_cp;
    case HistoryKind::Double:
        break;
    }
    const auto& items = MethodItems();
    return items[method >= 0 && method < static_cast<int>(items.size()) ? method : 0];
}

std::optional<HistoryKindOf> ReadHistoryKind(std::string_view word,
                                             const std::vector<std::string>& englishMethods) {
    const std::string w = Trim(word);
    if (w.empty()) return std::nullopt;
    if (w == "Натал"_cp || w == "Natal") return HistoryKindOf{HistoryKind::Natal, -1};
    if (w == "Хорар"_cp || w == "Horar") return HistoryKindOf{HistoryKind::Horary, -1};
    const auto& ru = MethodItems();
    for (std::size_t i = 0; i < ru.size(); ++i)
        if (w == ru[i] || (i < englishMethods.size() && w == Trim(englishMethods[i])))
            return HistoryKindOf{HistoryKind::Double, static_cast<int>(i)};
    return std::nullopt;
}

std::vector<std::string> EnglishListOf(const std::vector<std::string>& lines, std::string_view form,
                                       std::string_view component) {
    bool inForm = false;
    for (const std::string& line : lines) {
        if (Trim(line).empty()) continue;
        const bool formLine = line[0] != ' ' && line[0] != '\t';
        const std::string name = CutField(line, ';', 0);
        if (formLine) {
            inForm = name == form;
            continue;
        }
        if (!inForm || name != component) continue;
        return NextFields(CutField(CutFieldRaw(line, ';', 1), ';', 0), ',');
    }
    return {};
}

std::vector<std::string> EnglishMethodItems(const AstroDat& s) {
    std::vector<std::string> lines;
    if (!ReadTextLines(s.DataPath("English.txt"), lines).ok()) return {};
    return EnglishListOf(lines, "DataForm", "ComboBox");
}

std::string HistoryKindCaption(const AstroDat& s, std::string_view word,
                               const std::vector<std::string>& englishMethods) {
    const auto kind = ReadHistoryKind(word, englishMethods);
    if (!kind) return std::string(word);
    switch (kind->Kind) {
    case HistoryKind::Natal:
        return Lang(s, "Натал"_cp, "Natal");
    case HistoryKind::Horary:
        return Lang(s, "Хорар"_cp, "Horar");
    case HistoryKind::Double:
        break;
    }
    const auto i = static_cast<std::size_t>(kind->Method);
    if (s.EnglishMode && i < englishMethods.size()) return englishMethods[i];
    return MethodItems()[i];
}

std::string HistoryField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';') continue;
        if (c == '\r') {
            out += '|';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += '|';
        } else {
            out += c;
        }
    }
    return out;
}

std::string FormatHistoryLine(const AstroDat& s, const HistoryEntry& e) {
    std::string line = HistoryField(HistoryKindWord(e.Kind.Kind, e.Kind.Method)) + ';';
    AppendSet(line, s, e.Main);
    if (e.Kind.Kind == HistoryKind::Double && e.HasBack)
        AppendSet(line, s, e.Back);
    else
        line.append(10, ';');
    return line;
}

HistoryFields SplitHistoryLine(std::string_view line) {
    HistoryFields f;
    std::size_t start = 0;
    for (int k = 0; k < kHistoryFields && start < line.size(); ++k) {
        std::size_t end = line.find(';', start);
        if (end == std::string_view::npos) end = line.size();
        f[static_cast<std::size_t>(k)] = std::string(line.substr(start, end - start));
        start = end + 1;
    }
    return f;
}

DatRec HistoryFieldsToRec(const HistoryFields& f, int first) {
    DatRec rec{};
    for (int i = 0; i < 10; ++i) {
        const std::string& field = f[static_cast<std::size_t>(first + i)];
        const int k = kRecOrder[i];
        if (k == kRecSex)
            rec[k] = SexLetterToCode(field);
        else if (k == kRecName || k == kRecComment)
            rec[k] = BarsToLineBreaks(field);
        else
            rec[k] = field;
    }
    return rec;
}

bool HasBackFields(const HistoryFields& f) {
    for (int k = 11; k < kHistoryFields; ++k)
        if (!Trim(f[static_cast<std::size_t>(k)]).empty()) return true;
    return false;
}

HistoryMax HistoryMaximum(std::string_view text) {
    const auto n = ParseWholeInteger(text);
    if (!n || *n <= 0) return {kHistoryDefaultMax, true};
    return {*n > INT_MAX ? INT_MAX : static_cast<int>(*n), false};
}

void AppendHistoryLine(std::vector<std::string>& lines, std::string line, int max) {
    const std::size_t keep = static_cast<std::size_t>(max > 0 ? max : 1);
    if (lines.size() >= keep) lines.erase(lines.begin(), lines.end() - (keep - 1));
    lines.push_back(std::move(line));
}

std::optional<std::size_t> HistoryIndexOfRow(std::size_t count, int row) {
    if (row <= 0 || static_cast<std::size_t>(row) > count) return std::nullopt;
    return count - static_cast<std::size_t>(row);
}

bool DeleteHistoryRow(std::vector<std::string>& lines, int& row) {
    const auto at = HistoryIndexOfRow(lines.size(), row);
    if (!at) return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
    if (lines.size() < static_cast<std::size_t>(row)) --row;
    return true;
}

std::array<std::string, 7> HistoryGridCells(std::string_view line) {
    const HistoryFields f = SplitHistoryLine(line);
    return {f[0], f[1], f[2], f[3], f[11], f[12], f[13]};
}

IoResult ReadHistory(const AstroDat& s, std::vector<std::string>& lines) {
    lines.clear();
    const fs::path path = s.DataPath(kHistoryFileName);
    std::error_code ec;
    if (!fs::exists(path, ec)) return IoResult::Ok();
    return ReadTextLines(path, lines, kHistoryMaxBytes);
}

IoResult WriteHistory(const AstroDat& s, const std::vector<std::string>& lines) {
    return WriteTextFileAtomic(s.DataPath(kHistoryFileName), lines);
}

IoResult EnsureHistoryFile(const AstroDat& s) {
    const fs::path path = s.DataPath(kHistoryFileName);
    std::error_code ec;
    if (fs::exists(path, ec)) return IoResult::Ok();
    return SaveFileAtomic(path, "");
}

} // namespace qor::chart
