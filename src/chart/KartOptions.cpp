#include "chart/KartOptions.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <cstdlib>

namespace qor::chart {

bool FlagAt(std::string_view flags, int p, bool otherwise) {
    if (p < 1 || p > static_cast<int>(flags.size())) return otherwise;
    return flags[p - 1] == kFlagOn;
}

std::string FlagsOfLength(std::string_view flags, int n, char pad) {
    std::string out;
    for (char c : flags)
        if (c != '\r' && c != '\n') out += c;
    out.resize(n, pad);
    return out;
}

std::string DefaultPointFlags(bool on) {
    return std::string(16, on ? kFlagOn : kFlagOff);
}

std::string DefaultHouseFlags() {
    return std::string(kFlagHouses, kFlagOn);
}

bool KartOptions::PointShown(int p, bool outer) const {
    return FlagAt(outer ? Existing2 : Existing, p, true);
}
bool KartOptions::PointAspected(int p, bool outer) const {
    return FlagAt(outer ? Aspecting2 : Aspecting, p, true);
}
bool KartOptions::PointInTable(int p, bool outer) const {
    return FlagAt(outer ? TablAsp2 : TablAsp, p, false);
}
bool KartOptions::PointElements(int p) const {
    return FlagAt(Elements, p, false);
}
bool KartOptions::HouseShown(int h) const {
    return FlagAt(DomShow, h, true);
}
bool KartOptions::HouseAspected(int h) const {
    return FlagAt(DomAspecting, h, true);
}
bool KartOptions::HouseInTable(int h) const {
    return FlagAt(DomTablAsp, h, true);
}

// --- Colours ------------------------------------------------------------------------------------

namespace {

// A colour field: a decimal integer, or hexadecimal after "$"; 0 when not a number.
uint32_t ColorField(std::string_view field) {
    const std::string t = Trim(field);
    if (t.empty()) return 0;
    if (t[0] == '$') {
        if (t.size() == 1 || t.size() > 9) return 0;
        char* end = nullptr;
        const unsigned long v = std::strtoul(t.c_str() + 1, &end, 16);
        return *end ? 0 : static_cast<uint32_t>(v);
    }
    const auto v = ParseWholeInteger(t);
    if (!v || *v < 0 || *v > 0xFFFFFFFFLL) return 0;
    return static_cast<uint32_t>(*v);
}

// The ";"-separated fields after the first ":" of a line.
std::vector<std::string> ColorFields(const std::string& line) {
    std::vector<std::string> out;
    const std::size_t colon = line.find(':');
    std::string rest = colon == std::string::npos ? std::string() : line.substr(colon + 1);
    std::size_t start = 0;
    while (true) {
        const std::size_t semi = rest.find(';', start);
        out.push_back(
            rest.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return out;
}

std::string Color8(uint32_t c) {
    return IntToStrZ(c, 8);
}

} // namespace

ChartColors DecodeColorMemo(const std::vector<std::string>& lines, ChartColors c) {
    auto field = [&](std::size_t line, std::size_t k, uint32_t& out) {
        if (line >= lines.size()) return;
        const std::vector<std::string> f = ColorFields(lines[line]);
        out = k < f.size() ? ColorField(f[k]) : 0;
    };
    field(0, 0, c.HouseBelt);
    field(1, 0, c.ZodiacContour);
    field(1, 1, c.Fire);
    field(1, 2, c.Earth);
    field(1, 3, c.Air);
    field(1, 4, c.Water);
    field(2, 0, c.KartBck);
    field(3, 0, c.HouseContour);
    return c;
}

std::vector<std::string> EncodeColorMemo(const ChartColors& c) {
    return {"HouseBelt:" + Color8(c.HouseBelt),
            "ZodiacBelt:" + Color8(c.ZodiacContour) + ";" + Color8(c.Fire) + ";" + Color8(c.Earth) +
                ";" + Color8(c.Air) + ";" + Color8(c.Water),
            "BckGround:" + Color8(c.KartBck), "Contur:" + Color8(c.HouseContour)};
}

std::vector<std::string> DefaultColorMemo() {
    return {"HouseBelt:16777183", "ZodiacBelt:16766886;13545727;12910532;12582911;16770560",
            "BckGround:15925247", "Contur:0"};
}

// --- Dignities
// ------------------------------------------------------------------------------------

bool Dignities::InRange(int status, int sign, int body) {
    return status >= 1 && status <= 4 && sign >= 1 && sign <= 12 && body >= 1 &&
           body <= kDignityBodies;
}

bool Dignities::Has(int status, int sign, int body) const {
    return InRange(status, sign, body) && t_[status][sign][body];
}

void Dignities::Set(int status, int sign, int body, bool on) {
    if (InRange(status, sign, body)) t_[status][sign][body] = on;
}

std::array<int, 13> Dignities::SignRulers() const {
    std::array<int, 13> r{};
    for (int sign = 1; sign <= 12; ++sign)
        for (int body = 1; body <= kDignityBodies && !r[sign]; ++body)
            if (Has(kRulership, sign, body)) r[sign] = body;
    return r;
}

Dignities DecodeStatusMemo(const std::vector<std::string>& lines) {
    Dignities d;
    for (int body = 1; body <= kDignityBodies && body <= static_cast<int>(lines.size()); ++body) {
        const std::string& line = lines[body - 1];
        for (int status = 1; status <= 4; ++status)
            for (int sign = 1; sign <= 12; ++sign) {
                const std::size_t i = (status - 1) * 12 + sign - 1;
                if (i < line.size() && line[i] == '1') d.Set(status, sign, body, true);
            }
    }
    return d;
}

std::vector<std::string> EncodeStatusMemo(const Dignities& d) {
    std::vector<std::string> lines;
    for (int body = 1; body <= kDignityBodies; ++body) {
        std::string line;
        for (int status = 1; status <= 4; ++status)
            for (int sign = 1; sign <= 12; ++sign) line += d.Has(status, sign, body) ? '1' : '0';
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> DefaultStatusMemo() {
    std::vector<std::string> lines = {"000010000000000000000010100000000000000000100000",
                                      "000100000000000000000100010000000000000000010000",
                                      "001001000000000000001001000001000000000000000001",
                                      "010000100000100000010000000000000001000001000000",
                                      "100000010000010000100000000000000100000100000000",
                                      "000000001001001001000000000100000000000000000100",
                                      "000000000110000110000000000000100000100000000000"};
    lines.resize(kDignityBodies, std::string(48, '0'));
    return lines;
}

} // namespace qor::chart
