#include "chart/BirthFields.h"

#include "core/AstroMath.h"
#include "core/ChartMoment.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "ui/Keys.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

namespace qor::chart {

namespace vk = ui::vk;

int MaskLength(FieldShape f) {
    switch (f) {
    case FieldShape::Date:
        return 10;
    case FieldShape::Time:
        return 8;
    case FieldShape::Zone:
        return 6;
    case FieldShape::Latitude:
        return 7;
    case FieldShape::Longitude:
        return 8;
    }
    return 0;
}

namespace {

// The digit of a key of the main keyboard or the numeric pad, else -1.
int DigitOfKey(int key) {
    if (key >= '0' && key <= '9') return key - '0';
    if (key >= vk::Numpad0 && key <= vk::Numpad0 + 9) return key - vk::Numpad0;
    return -1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number of 1..n columns: digits with blanks before them only; nothing when empty or when
// anything else is there (a letter never reads as 0).
std::optional<int> Columns(std::string_view text, std::size_t from, std::size_t count) {
    if (text.size() < from + count) return std::nullopt;
    int value = 0;
    bool digits = false;
    for (std::size_t i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c == ' ' && !digits) continue;
        if (!IsDigit(c)) return std::nullopt;
        digits = true;
        value = value * 10 + (c - '0');
    }
    if (!digits) return std::nullopt;
    return value;
}

// Leading zeros of the text that stand before another digit become blanks.
std::string BlankLeadingZeros(std::string text) {
    for (std::size_t i = 0; i + 1 < text.size() && (text[i] == '0' || text[i] == ' '); ++i)
        if (text[i] == '0' && IsDigit(text[i + 1])) text[i] = ' ';
    return text;
}

FieldCheck CheckDate(std::string_view text, bool beforeEra) {
    FieldCheck r;
    if (text.size() != 10 || text[2] != '.' || text[5] != '.') return r;
    const auto d = Columns(text, 0, 2), m = Columns(text, 3, 2), y = Columns(text, 6, 4);
    if (!d || !m || !y) return r;
    if (!ParseMomentDate(std::string(text) + (beforeEra ? "B" : ""))) return r;
    std::string out(text);
    if (*y == 0) out.replace(6, 4, "0001");
    r.ok = true;
    r.text = BlankLeadingZeros(out);
    return r;
}

FieldCheck CheckTime(std::string_view text) {
    FieldCheck r;
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return r;
    const auto h = Columns(text, 0, 2), m = Columns(text, 3, 2), s = Columns(text, 6, 2);
    if (!h || !m || !s || !ParseMomentTime(text)) return r;
    r.ok = true;
    r.text = BlankLeadingZeros(std::string(text));
    return r;
}

FieldCheck CheckCoordinate(std::string_view text, bool latitude) {
    FieldCheck r;
    const std::size_t w = latitude ? 2 : 3; // degree columns
    const int maxDeg = latitude ? 90 : 180;
    if (text.size() != w + 5 || text[w] != kDegreeSign || text[w + 3] != '\'') return r;
    const char hemi = text[w + 4];
    if (latitude ? (hemi != 'N' && hemi != 'S') : (hemi != 'E' && hemi != 'W')) return r;
    const auto d = Columns(text, 0, w), m = Columns(text, w + 1, 2);
    if (!d || !m || *d > maxDeg || *m > 59 || (*d == maxDeg && *m != 0)) return r;
    r.ok = true;
    r.text = BlankLeadingZeros(std::string(text));
    return r;
}

FieldCheck CheckZone(std::string_view text) {
    FieldCheck r;
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return r;
    const auto h = Columns(text, 1, 2), m = Columns(text, 4, 2);
    if (!h || !m || *m > 59) return r;
    if (!ParseMomentZone(text)) return r;
    r.ok = true;
    r.text = std::string(text);
    return r;
}

} // namespace

bool OvertypeKey(FieldShape f, FieldEdit& e, int key) {
    const int len = MaskLength(f);
    e.caret = std::clamp(e.caret, 1, len + 1);
    switch (key) {
    case vk::Left:
        e.caret = std::max(1, e.caret - 1);
        return true;
    case vk::Right:
    case vk::Space:
        e.caret = std::min(len + 1, e.caret + 1);
        return true;
    case vk::Home:
        e.caret = 1;
        return true;
    case vk::End:
        e.caret = len + 1;
        return true;
    default:
        break;
    }
    const int digit = DigitOfKey(key);
    if (e.caret > len) return digit >= 0 || (key >= 'A' && key <= 'Z');
    if (e.text.size() < static_cast<std::size_t>(len)) e.text.resize(len, ' ');
    char& at = e.text[e.caret - 1];
    switch (f) {
    case FieldShape::Date:
    case FieldShape::Time: {
        if (digit < 0) return key >= 'A' && key <= 'Z';
        const char sep = f == FieldShape::Date ? '.' : ':';
        if (at != sep) at = static_cast<char>('0' + digit);
        ++e.caret;
        return true;
    }
    case FieldShape::Latitude:
    case FieldShape::Longitude: {
        if (digit >= 0) {
            if (at == ' ' || IsDigit(at)) at = static_cast<char>('0' + digit);
            ++e.caret;
            return true;
        }
        if (key < 'A' || key > 'Z') return false;
        const char k = static_cast<char>(key);
        const bool lat = f == FieldShape::Latitude;
        if ((lat && ((at == 'N' && k == 'S') || (at == 'S' && k == 'N'))) ||
            (!lat && ((at == 'E' && k == 'W') || (at == 'W' && k == 'E')))) {
            at = k;
            ++e.caret;
        }
        return true;
    }
    case FieldShape::Zone: {
        const bool plus = key == vk::OemPlus || key == vk::Add;
        const bool minus = key == vk::OemMinus || key == vk::Subtract;
        char typed = 0;
        if (e.caret == 1 && (plus || minus))
            typed = plus ? '+' : '-';
        else if (e.caret == 2 && (digit == 0 || digit == 1))
            typed = static_cast<char>('0' + digit);
        else if ((e.caret == 3 || e.caret == 5 || e.caret == 6) && digit >= 0)
            typed = static_cast<char>('0' + digit);
        if (typed) {
            at = typed;
            ++e.caret;
        }
        return digit >= 0 || plus || minus || (key >= 'A' && key <= 'Z');
    }
    }
    return false;
}

FieldCheck CheckField(FieldShape f, std::string_view text, bool beforeEra) {
    switch (f) {
    case FieldShape::Date:
        return CheckDate(text, beforeEra);
    case FieldShape::Time:
        return CheckTime(text);
    case FieldShape::Zone:
        return CheckZone(text);
    case FieldShape::Latitude:
        return CheckCoordinate(text, true);
    case FieldShape::Longitude:
        return CheckCoordinate(text, false);
    }
    return {};
}

std::string RecordSafeText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';')
            out += ',';
        else if ((c == '\r' || c == '\n') && !keepLineBreaks) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += ' ';
        } else
            out += c;
    }
    return out;
}

const std::vector<std::string>& MethodItems() {
    static const std::vector<std::string> items = {
        "Транзит"_cp,
        "Синастрия"_cp,
        "Дирекция экваториальная: 1градус/год"_cp,
        "Дирекция зодиакальная: 1градус/год"_cp,
        "Дирекция солнечной дуги экваториальная"_cp,
        "Дирекция солнечной дуги зодиакальная"_cp,
        "Дирекция персидская: 1градус/год (дома неподвижны)"_cp,
        "Прогрессия: 1день=1году"_cp,
        "Прогрессия MC: 1день=1году"_cp,
        "Соляр"_cp,
        "Лунар"_cp,
        "Фазовый лунар"_cp,
        "Фазовая прогрессия: 1синодический месяц=1году"_cp,
        "Прогрессия лунара: 1сидерический месяц=1году"_cp};
    return items;
}

char MethodLetter(int i) {
    static const char letters[] = "  DZEAzPpSLFfl";
    return i >= 0 && i < 14 ? letters[i] : 0;
}

} // namespace qor::chart
