#include "interp/ChartReports.h"

#include "core/AstroMath.h"
#include "core/DegreeTexts.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "interp/TextBase.h"

#include <cmath>

namespace qor::interp {

namespace {

// A star or deep-sky object counts as joined with a point within one degree.
constexpr double kConjunctionArcsec = 3600;

std::string Magnitude(double mag) {
    return FloatToStrComma(0, 2, mag);
}

// "Name (designation  m 1,25)": the designation up to its first ":".
std::string StarTitle(const AstroDat& s, const StarCatalogue& stars, int i) {
    const std::string designation = StarDesignation(s, stars, i, false);
    return StarName(stars, i) + " (" + Trim(designation.substr(0, designation.find(':'))) +
           "  m " + Magnitude(stars.YaleStars[static_cast<std::size_t>(i)].Mag) + ")";
}

std::string DeepTitle(AstroDat& s, const DeepCatalogue& deep, int i) {
    const DeepRec& d = deep.DeepObjs[static_cast<std::size_t>(i)];
    return DeepObjText(s, deep, i, 0) + " (" + Trim(d.Code) + "  m " + Magnitude(d.Mag) + ")";
}

bool ValidStar(const StarCatalogue* stars, int i) {
    return stars && i >= 1 && i <= stars->StarCount &&
           static_cast<std::size_t>(i) < stars->YaleStars.size() &&
           static_cast<std::size_t>(i) < stars->StarLon.size();
}

bool ValidDeep(const DeepCatalogue* deep, int i) {
    return deep && i >= 1 && i <= deep->DeepCount &&
           static_cast<std::size_t>(i) < deep->DeepObjs.size();
}

// The lines of the first section whose header the rule takes.
std::vector<std::string> FirstLines(std::string_view bytes,
                                    const std::function<bool(std::string_view)>& take) {
    const auto sections = ReadSections(bytes, [&](std::string_view h) {
        return take(h) ? Verdict::Take : Verdict::Skip;
    });
    return sections.empty() ? std::vector<std::string>{} : sections.front().lines;
}

} // namespace

// --- The chart --------------------------------------------------------------------------------

int ReportChart::PointOfKey(int key) const {
    if (key <= 0) return 0;
    for (int p = 1; p <= 40; ++p)
        if (keyOf[static_cast<std::size_t>(p)] == key) return p;
    return 0;
}

bool ReportChart::Shown(int point) const {
    if (point < 1) return false;
    const std::size_t i = static_cast<std::size_t>(point - 1);
    return i >= shown.size() || shown[i] == '|';
}

std::array<int, 41> TextKeys(AstroDat& s, const std::function<std::string(int point)>& extraName) {
    std::array<int, 41> keys{};
    for (int p = 1; p <= 14; ++p) keys[static_cast<std::size_t>(p)] = p;
    for (int p = 27; p <= 38; ++p) keys[static_cast<std::size_t>(p)] = p;
    // The names bodies 15 and 16 have in either language.
    std::string names[2][2];
    {
        NamesAs words(s, false, false);
        const bool english = s.EnglishMode;
        for (int lang = 0; lang < 2; ++lang) {
            s.EnglishMode = lang == 1;
            for (int k = 0; k < 2; ++k) names[k][lang] = UpperCaseCp(Trim(BodyName(s, 15 + k)));
        }
        s.EnglishMode = english;
    }
    const int lastExtra = std::min(26, 14 + s.NExtra);
    for (int p = 15; p <= lastExtra && extraName; ++p) {
        const std::string name = UpperCaseCp(Trim(extraName(p)));
        if (name.empty()) continue;
        for (int k = 0; k < 2; ++k)
            if (name == names[k][0] || name == names[k][1]) keys[static_cast<std::size_t>(p)] = 15 + k;
    }
    return keys;
}

std::string AspKeyErrorText(const AstroDat& s, const std::string& header, const AspDefTable& page) {
    const AspKey k = AspKeyFieldsRead(header, page);
    return Lang(s, "Ошибка: "_cp, "Error: ") + header + " (" + std::to_string(k.p1) + "," +
           std::to_string(k.aspect) + "," + std::to_string(k.p2) + ")";
}

int SignOfLongitude(double lon) {
    return (DegreeOfLongitude(lon) - 1) / 30 + 1;
}

// --- The readers ------------------------------------------------------------------------------

ChartReports::ChartReports(ReportWriter& w, const ReportChart& c) : w_(w), c_(c) {}

std::string ChartReports::Word(int key) {
    NamesAs words(w_.State(), false, false);
    return Trim(BodyName(w_.State(), key));
}

std::string ChartReports::SignWord(int sign) {
    return Trim(SignNameWord(w_.State(), sign));
}

int ChartReports::HouseOf(int p) const {
    if (p < 1 || p > 40) return 0;
    const AstroDat& s = w_.State();
    return HouseOfLongitude(s.PlanetLon, s.PlanetLon[static_cast<std::size_t>(p)]);
}

void ChartReports::WriteSection(const std::string& heading, const std::vector<std::string>& lines) {
    w_.AddLine("");
    w_.AddLine(heading);
    for (const auto& l : lines) w_.AddLine(l);
}

void ChartReports::PointKeyReader(BaseId base, const char* reader, int first, int second,
                                  const std::function<std::string(const Section&)>& heading) {
    std::string bytes;
    if (w_.OpenBase(base, bytes) != BaseOpen::Read) return;
    const auto sections = ReadSections(bytes, [&](std::string_view h) {
        PlnKey k;
        return ParsePlnKey(h, k) && k.first == first && k.second == second ? Verdict::Take
                                                                          : Verdict::Skip;
    });
    if (sections.empty()) {
        Misses.push_back(std::string(reader) + " " + std::to_string(first) + "." +
                         std::to_string(second));
        return;
    }
    const Section& sec = sections.front();
    if (heading)
        WriteSection(heading(sec), sec.lines);
    else {
        w_.SectionHeading(sec.header);
        for (const auto& l : sec.lines) w_.AddLine(l);
    }
}

void ChartReports::IntHouseSign(int h) {
    if (h < 1 || h > 12) return;
    const int sign = SignOfLongitude(w_.State().PlanetLon[static_cast<std::size_t>(26 + h)]);
    PointKeyReader(BaseId::Hsign, "HouseSign", 100 + h, sign, nullptr);
}

void ChartReports::IntSunAsc() {
    const AstroDat& s = w_.State();
    const int sun = SignOfLongitude(s.PlanetLon[1]);
    const int asc = SignOfLongitude(s.PlanetLon[27]);
    std::string bytes;
    if (w_.OpenBase(BaseId::SunAsc, bytes) != BaseOpen::Read) return;
    SectionScan scan;
    scan.endAtGroup = true;
    const auto sections = ReadSections(
        bytes,
        [&](std::string_view h) {
            PlnKey k;
            return ParsePlnKey(h, k) && k.first == sun && k.second == asc ? Verdict::Take
                                                                         : Verdict::Skip;
        },
        scan);
    if (sections.empty()) {
        Misses.push_back("SunAsc " + std::to_string(sun) + "." + std::to_string(asc));
        return;
    }
    const Section& sec = sections.front();
    WriteSection(TrimRight("* " + HeaderTitle(sec.header) + " " + sec.group), sec.lines);
}

void ChartReports::IntPlanetHouse(int p, int h) {
    const int key = c_.keyOf[static_cast<std::size_t>(p)];
    if (!key) return;
    const std::string heading =
        w_.State().EnglishMode
            ? "* " + Word(key) + " in " + RomanNumeral(h) + "-th House"
            : "* " + Word(key) + " в "_cp + RomanNumeral(h) + "-м доме"_cp;
    PointKeyReader(BaseId::House, "PlanetHouse", key, h,
                   [&](const Section&) { return heading; });
}

void ChartReports::IntPlanetSign(int p) {
    const int key = c_.keyOf[static_cast<std::size_t>(p)];
    if (!key) return;
    const int sign = SignOfLongitude(w_.State().PlanetLon[static_cast<std::size_t>(p)]);
    const std::string heading =
        "* " + Word(key) + Lang(w_.State(), " в знаке "_cp, " in ") + SignWord(sign);
    PointKeyReader(BaseId::Sign, "PlanetSign", key, sign, [&](const Section&) { return heading; });
}

void ChartReports::IntCombination(int p, int h) {
    const int key = c_.keyOf[static_cast<std::size_t>(p)];
    if (!key) return;
    const int sign = SignOfLongitude(w_.State().PlanetLon[static_cast<std::size_t>(p)]);
    std::string bytes;
    if (w_.OpenBase(BaseId::Combin, bytes) != BaseOpen::Read) return;
    const auto sections = ReadSections(bytes, [&](std::string_view hd) {
        CombKey k;
        return ParseCombKey(hd, k) && k.a == key && k.b == sign && k.c == h ? Verdict::Take
                                                                            : Verdict::Skip;
    });
    if (sections.empty()) {
        Misses.push_back("Combination " + std::to_string(key) + "." + std::to_string(sign) + "." +
                         std::to_string(h));
        return;
    }
    w_.SectionHeading(sections.front().header);
    for (const auto& l : sections.front().lines) w_.AddLine(l);
}

void ChartReports::ReadAspects(const std::function<bool(int key1, int key2)>& want,
                               std::vector<std::string>& out, bool switched) {
    if (!c_.page) return;
    std::string bytes;
    BaseSetting base = w_.Settings[BaseId::Aspect];
    if (!switched) base.on = true;
    if (w_.OpenBaseFile(base, bytes) != BaseOpen::Read) return;
    aspectBaseRead_ = true;
    AstroDat& s = w_.State();
    std::string badHeader;
    const auto sections = ReadSections(
        bytes,
        [&](std::string_view h) {
            AspKey k;
            const AspKeyResult r = ParseAspKey(h, *c_.page, k);
            if (r == AspKeyResult::Bad) {
                badHeader = std::string(h);
                return Verdict::Stop;
            }
            if (r != AspKeyResult::Ok || !want(k.p1, k.p2)) return Verdict::Skip;
            const int q1 = c_.PointOfKey(k.p1), q2 = c_.PointOfKey(k.p2);
            if (!q1 || !q2) return Verdict::Skip;
            return c_.aspects[static_cast<std::size_t>(q1)][static_cast<std::size_t>(q2)] ==
                           k.aspect
                       ? Verdict::Take
                       : Verdict::Skip;
        },
        SectionScan{true, false});
    for (const Section& sec : sections) {
        AspKey k;
        ParseAspKey(sec.header, *c_.page, k);
        const int q1 = c_.PointOfKey(k.p1), q2 = c_.PointOfKey(k.p2);
        aspectsFound_.insert({std::min(q1, q2), std::max(q1, q2)});
        const std::string& name = c_.page->Asp[static_cast<std::size_t>(k.aspect)].AspName;
        out.push_back("");
        out.push_back("* " + Trim(name.substr(0, 16)) + " " + Word(k.p1) + " - " + Word(k.p2) +
                      "   (" +
                      SeparationText(s.PlanetLon[static_cast<std::size_t>(q1)],
                                     s.PlanetLon[static_cast<std::size_t>(q2)]) +
                      ")");
        out.insert(out.end(), sec.lines.begin(), sec.lines.end());
    }
    // A key that is no aspect key ends the base here; the user hears of it once a report.
    if (!badHeader.empty() && !aspectErrorShown_) {
        aspectErrorShown_ = true;
        w_.Tell(MsgKind::Error, AspKeyErrorText(s, badHeader, *c_.page));
    }
}

void ChartReports::IntAspects(int p, bool either) {
    const int key = c_.keyOf[static_cast<std::size_t>(p)];
    if (!key) return;
    std::vector<std::string> lines;
    ReadAspects([&](int k1, int k2) { return k1 == key || (either && k2 == key); }, lines, true);
    for (const auto& l : lines) w_.AddLine(l);
}

std::vector<std::string> ChartReports::AspectText(int p, int q) {
    std::vector<std::string> lines;
    if (p < 1 || p > 40 || q < 1 || q > 40) return lines;
    const int kp = c_.keyOf[static_cast<std::size_t>(p)], kq = c_.keyOf[static_cast<std::size_t>(q)];
    if (!kp || !kq) return lines;
    ReadAspects(
        [&](int k1, int k2) { return (k1 == kp && k2 == kq) || (k1 == kq && k2 == kp); }, lines,
        false);
    return lines;
}

std::vector<std::string>
ChartReports::FirstSectionLines(const std::string& bytes,
                                const std::function<bool(const std::string&)>& key) {
    return FirstLines(bytes, [&](std::string_view h) { return key(StarBaseKey(h)); });
}

void ChartReports::IntStarConj(int p) {
    const int key = c_.keyOf[static_cast<std::size_t>(p)];
    if (!key) return;
    std::string bytes;
    if (w_.OpenBase(BaseId::Stars, bytes) != BaseOpen::Read) return;
    AstroDat& s = w_.State();
    const double lon = s.PlanetLon[static_cast<std::size_t>(p)];
    const std::string conjunction = Lang(s, "* Соединение: "_cp, "* Conjunction: ");
    const auto orbText = [&](double sep) {
        return Word(key) + Lang(s, " (орбис "_cp, " (orb ") +
               RemoveBlanks(FormatDMS(s, sep * kRadToArcSec)) + "), ";
    };
    if (c_.stars) {
        const StarCatalogue& stars = *c_.stars;
        for (int i = 1; i <= stars.StarCount; ++i) {
            if (!ValidStar(&stars, i)) break;
            const double starLon = stars.StarLon[static_cast<std::size_t>(i)];
            const YaleRec& y = stars.YaleStars[static_cast<std::size_t>(i)];
            if (starLon == 0 || y.NameOffset == 0) continue;
            const double sep = NormAngleSigned2(starLon - lon);
            if (std::fabs(sep) * kRadToArcSec >= kConjunctionArcsec) continue;
            const auto lines = FirstSectionLines(
                bytes, [&](const std::string& k) { return StarKeyLists(k, y.BS); });
            if (!lines.empty())
                WriteSection(conjunction + StarTitle(s, stars, i) + " - " + orbText(sep), lines);
        }
    }
    if (c_.deep) {
        const DeepCatalogue& deep = *c_.deep;
        for (int i = 1; i <= deep.DeepCount; ++i) {
            if (!ValidDeep(&deep, i)) break;
            const DeepRec& d = deep.DeepObjs[static_cast<std::size_t>(i)];
            const std::string code = Trim(d.Code);
            if (d.Lon == 0 || code.empty() || DeepObjText(s, deep, i, 0).empty()) continue;
            const double sep = NormAngleSigned2(d.Lon - lon);
            if (std::fabs(sep) * kRadToArcSec >= kConjunctionArcsec) continue;
            const auto lines =
                FirstSectionLines(bytes, [&](const std::string& k) { return k == code; });
            if (!lines.empty())
                WriteSection(conjunction + DeepTitle(s, deep, i) + " - " + orbText(sep), lines);
        }
    }
}

void ChartReports::IntHouseRuler(int h) {
    if (h < 1 || h > 12) return;
    const AstroDat& s = w_.State();
    const int sign = SignOfLongitude(s.PlanetLon[static_cast<std::size_t>(26 + h)]);
    for (int j = 1; j <= kReportPoints; ++j) {
        const bool rules = c_.rules ? c_.rules(sign, j) : s.SignRuler[static_cast<std::size_t>(sign)] == j;
        if (!rules) continue;
        const int point = c_.PointOfKey(j);
        const int k = HouseOf(point);
        if (!point || !k) continue;
        std::string bytes;
        if (w_.OpenBase(BaseId::UD, bytes) != BaseOpen::Read) return;
        const auto column = [](std::string_view line, std::size_t from) {
            return line.size() > from ? StrToIntDef0(line.substr(from, 2)) : 0;
        };
        const auto sections = ReadSections(
            bytes,
            [&](std::string_view hd) {
                return column(hd, 2) == h && column(hd, 6) == k ? Verdict::Take : Verdict::Skip;
            },
            SectionScan{true, false});
        if (sections.empty()) {
            Misses.push_back("HouseRuler " + std::to_string(h) + "." + std::to_string(k));
            continue;
        }
        const std::string ruler = UpperCaseCp(Word(j));
        for (const Section& sec : sections) {
            const std::string title = sec.header.size() > 10 ? sec.header.substr(10, 71) : "";
            WriteSection("* " + ruler + " - " + title, sec.lines);
        }
    }
}

// --- The reports ------------------------------------------------------------------------------

void ChartReports::Natal() {
    AstroDat& s = w_.State();
    w_.AddLine(GetMsgText(s, 126));
    w_.AddLine(GetMsgText(s, 127, c_.name));
    const std::string date = IntToStrW(s.ChartDay, 3) + "-" + IntToStrZ(s.ChartMonth, 2) + "-" +
                             IntToStrW(s.ChartYear, 4);
    const std::string time = IntToStrW(s.ChartHour, 3) + ":" + IntToStrZ(s.ChartMinute, 2) + ":" +
                             IntToStrZ(s.ChartSecond, 2);
    w_.AddLine(GetMsgText(s, 128, date) + GetMsgText(s, 129, time));
    w_.AddLine(GetMsgText(s, 130, c_.city));

    std::vector<int> walked;
    for (int h = 1; h <= 12; ++h) {
        w_.AddLine("");
        w_.AddLine(RomanNumeral(h) + Lang(s, " ДОМ"_cp, " HOUSE"));
        w_.DegreeMark(26 + h);
        IntHouseSign(h);
        if (h == 1) IntSunAsc();
        for (int p = 1; p <= kReportPoints; ++p) {
            const int key = c_.keyOf[static_cast<std::size_t>(p)];
            if (!key || !c_.Shown(p) || HouseOf(p) != h) continue;
            walked.push_back(p);
            w_.AddLine("");
            w_.AddLine(UpperCaseCp(Word(key)));
            w_.DegreeMark(p);
            IntPlanetHouse(p, h);
            IntPlanetSign(p);
            IntCombination(p, h);
            IntAspects(p, false);
            IntStarConj(p);
        }
        IntHouseRuler(h);
    }
    // Aspects between walked points that no section told of.
    if (!aspectBaseRead_) return;
    for (int a : walked)
        for (int b : walked) {
            const int aspect = c_.aspects[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
            if (a < b && aspect != 0 && !aspectsFound_.count({a, b}))
                Misses.push_back("Aspects " + std::to_string(c_.keyOf[static_cast<std::size_t>(a)]) +
                                 "." + std::to_string(aspect) + "." +
                                 std::to_string(c_.keyOf[static_cast<std::size_t>(b)]));
        }
}

bool ChartReports::PlanetReport(int n) {
    if (n < 1 || n > 26) return false;
    const int key = c_.keyOf[static_cast<std::size_t>(n)];
    if (!key) return false;
    w_.AddLine(UpperCaseCp(Word(key)));
    const int h = HouseOf(n);
    IntPlanetHouse(n, h);
    IntPlanetSign(n);
    IntCombination(n, h);
    IntAspects(n, true);
    return true;
}

void ChartReports::HouseReport(int h) {
    IntHouseSign(h);
}

// --- Texts of single objects ------------------------------------------------------------------

std::string StarBaseKey(std::string_view header) {
    if (header.empty() || header[0] != '[') return {};
    const std::size_t close = header.find(']');
    if (close == std::string_view::npos) return {};
    return Trim(header.substr(1, close - 1));
}

bool StarKeyLists(std::string_view key, int bs) {
    if (bs <= 0) return false;
    std::size_t from = 0;
    while (from <= key.size()) {
        const std::size_t comma = key.find(',', from);
        const std::string_view piece =
            key.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from);
        const auto n = ParseWholeInteger(piece);
        if (n && *n == bs) return true;
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    return false;
}

namespace {
// The star base with its switch not asked.
BaseOpen OpenStarBase(ReportWriter& w, std::string& bytes) {
    BaseSetting base = w.Settings[BaseId::Stars];
    base.on = true;
    return w.OpenBaseFile(base, bytes);
}

std::vector<std::string> WithHeading(std::string heading, std::vector<std::string> lines) {
    if (lines.empty()) return lines;
    lines.insert(lines.begin(), std::move(heading));
    return lines;
}
} // namespace

std::vector<std::string> StarText(ReportWriter& w, const StarCatalogue& stars, int i) {
    if (!ValidStar(&stars, i)) return {};
    std::string bytes;
    if (OpenStarBase(w, bytes) != BaseOpen::Read) return {};
    const int bs = stars.YaleStars[static_cast<std::size_t>(i)].BS;
    auto lines = FirstLines(bytes, [&](std::string_view h) {
        return StarKeyLists(StarBaseKey(h), bs);
    });
    return WithHeading(StarTitle(w.State(), stars, i), std::move(lines));
}

std::vector<std::string> DeepSkyText(ReportWriter& w, const DeepCatalogue& deep, int i) {
    if (!ValidDeep(&deep, i)) return {};
    const std::string code = Trim(deep.DeepObjs[static_cast<std::size_t>(i)].Code);
    if (code.empty()) return {};
    std::string bytes;
    if (OpenStarBase(w, bytes) != BaseOpen::Read) return {};
    auto lines = FirstLines(bytes, [&](std::string_view h) { return StarBaseKey(h) == code; });
    return WithHeading(DeepTitle(w.State(), deep, i), std::move(lines));
}

std::vector<std::string> NumberedText(ReportWriter& w, const std::string& file, int n) {
    std::string bytes;
    if (w.OpenBaseFile(BaseSetting{file, true}, bytes) != BaseOpen::Read) return {};
    return FirstLines(bytes, [&](std::string_view h) {
        const std::string key = StarBaseKey(h);
        return !key.empty() && StrToIntDef0(key) == n;
    });
}

std::string PlanetTextFile(bool english) {
    return english ? "Txt\\Planet-e.txt" : "Txt\\Planet.txt";
}

std::string SignTextFile(bool english) {
    return english ? "Txt\\Sign-e.txt" : "Txt\\Sign.txt";
}

} // namespace qor::interp
