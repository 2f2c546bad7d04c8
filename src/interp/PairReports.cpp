#include "interp/PairReports.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <functional>

namespace qor::interp {

namespace {

constexpr int kRadixPoints = 16;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// Every section of an aspect base whose key `take` accepts (keys of aspects the page lacks
// are passed by), in file order; a header that is no aspect key stops the reading and is put
// into `bad`.
std::vector<Section> AspectSections(const std::string& bytes, const AspDefTable& page,
                                    const std::function<bool(const AspKey&)>& take,
                                    std::string& bad) {
    return ReadSections(
        bytes,
        [&](std::string_view h) {
            AspKey key;
            const AspKeyResult r = ParseAspKey(h, page, key);
            if (r == AspKeyResult::Bad) {
                bad = std::string(h);
                return Verdict::Stop;
            }
            return r == AspKeyResult::Ok && take(key) ? Verdict::Take : Verdict::Skip;
        },
        SectionScan{true, false});
}

} // namespace

std::string PairChartLine(int year, int month, int day, int hour, int minute, int second,
                          const std::string& zone, const std::string& city) {
    return IntToStrW(day, 3) + "-" + IntToStrZ(month, 2) + "-" + IntToStrW(year, 4) + "   " +
           IntToStrW(hour, 3) + ":" + IntToStrZ(minute, 2) + ":" + IntToStrZ(second, 2) + " (" +
           zone + ")   " + city;
}

PairReports::PairReports(ReportWriter& w, const PairChart& c) : w_(w), c_(c) {}

std::string PairReports::Word(int key) {
    NamesAs words(w_.State(), false, false);
    return Trim(BodyName(w_.State(), key));
}

void PairReports::TellOnce(const std::string& text) {
    if (keyErrorShown_) return;
    keyErrorShown_ = true;
    w_.Tell(MsgKind::Error, text);
}

std::string PairReports::PointKeyError(const std::string& header, const PlnKey& k) {
    return Lang(w_.State(), "Ошибка: "_cp, "Error: ") + header + " (" + std::to_string(k.first) +
           "," + std::to_string(k.second) + ")";
}

void PairReports::IntCrossAspects(BaseId base, bool reverse) {
    if (!c_.radix.page) return;
    std::string bytes;
    if (w_.OpenBase(base, bytes) != BaseOpen::Read) return;
    const AspDefTable& page = *c_.radix.page;
    AstroDat& s = w_.State();
    for (int k = 1; k <= kRadixPoints; ++k) {
        std::string bad;
        const auto sections = AspectSections(
            bytes, page,
            [&](const AspKey& key) {
                const int radixKey = reverse ? key.p1 : key.p2;
                const int inner = c_.radix.PointOfKey(radixKey);
                const int outer = c_.radix.PointOfKey(reverse ? key.p2 : key.p1);
                return radixKey == k && inner && outer &&
                       c_.cross[At(inner)][At(outer)] == key.aspect;
            },
            bad);
        for (const Section& sec : sections) {
            std::string heading = HeaderTitle(sec.header);
            if (heading.empty()) {
                AspKey key;
                ParseAspKey(sec.header, page, key);
                const int radixKey = reverse ? key.p1 : key.p2;
                const int outerKey = reverse ? key.p2 : key.p1;
                heading = Word(outerKey) + "(T) - " +
                          AspectDisplayName(s, page.Asp[At(key.aspect)].AspName.substr(0, 16)) +
                          " - " + Word(radixKey) + "(R)";
            }
            w_.AddLine("");
            w_.AddLine("* " + heading);
            for (const auto& l : sec.lines) w_.AddLine(l);
        }
        if (!bad.empty()) {
            // Every block tells its own bad key and ends there.
            w_.Tell(MsgKind::Error, AspKeyErrorText(s, bad, page));
            return;
        }
    }
    w_.AddLine("");
}

void PairReports::Header(const std::string& title, const std::string& backLabel) {
    w_.AddLine("");
    w_.AddLine(title);
    w_.AddLine(c_.radix.name);
    w_.AddLine(c_.mainLine);
    w_.AddLine(backLabel);
    w_.AddLine(c_.backLine);
}

void PairReports::Transits() {
    AstroDat& s = w_.State();
    w_.AddLine(GetMsgText(s, 146));
    w_.AddLine(c_.radix.name);
    w_.AddLine(c_.mainLine);
    w_.AddLine(GetMsgText(s, 147));
    w_.AddLine(c_.backLine);
    struct Block {
        BaseId base;
        const char* russian;
        const char* english;
        const char* rule;
    };
    static const Block kBlocks[] = {
        {BaseId::B, "БИЗНЕС", "BUSINESS", " ------------------"},
        {BaseId::H, "ЗДОРОВЬЕ", "HEALTH", " ----------------"},
        {BaseId::L, "ЛЮБОВЬ, СЕМЬЯ", "LOVE, FAMILY", " -----------"},
    };
    for (const Block& b : kBlocks) {
        if (!w_.Settings[b.base].on) continue;
        w_.AddLine("");
        w_.AddLine("------------- " + Lang(s, Cp(b.russian), b.english) + b.rule);
        IntCrossAspects(b.base, true);
    }
}

void PairReports::Return(bool solar) {
    AstroDat& s = w_.State();
    Header(solar ? Lang(s, "Компьютерное описание Соляра"_cp, "Computer's Interpretation of Solar")
                 : Lang(s, "Компьютерное описание Лунара"_cp, "Computer's Interpretation of Lunar"),
           solar ? Lang(s, "Дата Соляра:"_cp, "Date of Solar:")
                 : Lang(s, "Дата Лунара:"_cp, "Date of Lunar:"));
    ReturnHousesInRadix(solar ? BaseId::SHHR : BaseId::LHHR);
    ReturnAspects(solar ? BaseId::SPA : BaseId::LPA, false);
    if (!solar) ReturnAspects(BaseId::LPAR, true);
    ReturnPointsInHouses(solar ? BaseId::SPH : BaseId::LPH, solar);
}

void PairReports::Synastry(bool reverse) {
    AstroDat& s = w_.State();
    w_.AddLine("");
    w_.AddLine(
        Lang(s, "Компьютерное описание Синастрии"_cp, "Computer's Interpretation of Synastry"));
    w_.AddLine(c_.radix.name);
    w_.AddLine(c_.mainLine);
    w_.AddLine("");
    w_.AddLine(c_.backLine);
    PartnerPointsInHouses();
    IntCrossAspects(BaseId::SynPAP, reverse);
}

void PairReports::ReturnHousesInRadix(BaseId base) {
    std::string bytes;
    if (w_.OpenBase(base, bytes) != BaseOpen::Read) return;
    const AstroDat& s = w_.State();
    for (int h = 1; h <= 12; ++h) {
        const int k = HouseOfLongitude(s.PlanetLon, s.PlanetLonBck[At(26 + h)]);
        std::string bad;
        PlnKey badKey;
        const auto sections = ReadSections(
            bytes,
            [&](std::string_view hd) {
                PlnKey key;
                if (!ParsePlnKey(hd, key)) {
                    bad = std::string(hd);
                    badKey = key;
                    return Verdict::Stop;
                }
                return key.first == 100 + h && key.second == k ? Verdict::Take : Verdict::Skip;
            },
            SectionScan{true, false});
        if (sections.empty() && bad.empty())
            Misses.push_back("ReturnHouses " + std::to_string(100 + h) + "." + std::to_string(k));
        for (const Section& sec : sections) {
            w_.SectionHeading(sec.header);
            for (const auto& l : sec.lines) w_.AddLine(l);
        }
        if (!bad.empty()) {
            TellOnce(PointKeyError(bad, badKey));
            return;
        }
    }
    w_.AddLine("");
}

void PairReports::ReturnAspects(BaseId base, bool cross) {
    if (!c_.radix.page) return;
    std::string bytes;
    if (w_.OpenBase(base, bytes) != BaseOpen::Read) return;
    const AspDefTable& page = *c_.radix.page;
    for (int k = 1; k <= kRadixPoints; ++k) {
        std::string bad;
        const PairMatrix& m = cross ? c_.cross : c_.outer;
        const auto sections = AspectSections(
            bytes, page,
            [&](const AspKey& key) {
                const int q1 = c_.radix.PointOfKey(key.p1), q2 = c_.radix.PointOfKey(key.p2);
                return key.p1 == k && q1 && q2 && m[At(q1)][At(q2)] == key.aspect;
            },
            bad);
        for (const Section& sec : sections) {
            w_.SectionHeading(sec.header);
            for (const auto& l : sec.lines) w_.AddLine(l);
        }
        if (!bad.empty()) {
            // Told once a report; the base is read no further.
            TellOnce(AspKeyErrorText(w_.State(), bad, page));
            return;
        }
    }
    w_.AddLine("");
}

void PairReports::ReturnPointsInHouses(BaseId base, bool solar) {
    std::string bytes;
    if (w_.OpenBase(base, bytes) != BaseOpen::Read) return;
    AstroDat& s = w_.State();
    for (int p = 1; p <= kRadixPoints; ++p) {
        const int key = c_.radix.keyOf[At(p)];
        if (!key || !c_.radix.Shown(p)) continue;
        const int h = HouseOfLongitude(s.PlanetLonBck, s.PlanetLonBck[At(p)]);
        if (!h) continue;
        std::string bad;
        PlnKey badKey;
        const auto sections = ReadSections(bytes, [&](std::string_view hd) {
            PlnKey k;
            if (!ParsePlnKey(hd, k)) {
                bad = std::string(hd);
                badKey = k;
                return Verdict::Stop;
            }
            return k.first == key && k.second == h ? Verdict::Take : Verdict::Skip;
        });
        if (!sections.empty()) {
            const std::string of =
                solar ? Lang(s, " Соляра"_cp, " of Solar") : Lang(s, " Лунара"_cp, " of Lunar");
            const std::string heading =
                s.EnglishMode ? Word(key) + of + " in " + RomanNumeral(h) + "-th House" + of
                              : Word(key) + of + " в "_cp + RomanNumeral(h) + "-м доме"_cp + of;
            w_.AddLine("");
            w_.AddLine("* " + UpperCaseCp(heading));
            for (const auto& l : sections.front().lines) w_.AddLine(l);
        } else if (bad.empty()) {
            Misses.push_back("ReturnPoints " + std::to_string(key) + "." + std::to_string(h));
        }
        if (!bad.empty()) {
            TellOnce(PointKeyError(bad, badKey));
            return;
        }
    }
}

void PairReports::PartnerPointsInHouses() {
    std::string bytes;
    if (w_.OpenBase(BaseId::SynPH, bytes) != BaseOpen::Read) return;
    const AstroDat& s = w_.State();
    for (int h = 1; h <= 12; ++h)
        for (int p = 1; p <= kRadixPoints; ++p) {
            const int key = c_.radix.keyOf[At(p)];
            if (!key || !c_.radix.Shown(p)) continue;
            if (HouseOfLongitude(s.PlanetLon, s.PlanetLonBck[At(p)]) != h) continue;
            const auto sections = ReadSections(bytes, [&](std::string_view hd) {
                PlnKey k;
                return ParsePlnKey(hd, k) && k.first == key && k.second == h ? Verdict::Take
                                                                             : Verdict::Skip;
            });
            if (sections.empty()) {
                Misses.push_back("PartnerPoints " + std::to_string(key) + "." + std::to_string(h));
                continue;
            }
            w_.SectionHeading(sections.front().header);
            for (const auto& l : sections.front().lines) w_.AddLine(l);
        }
}

} // namespace qor::interp
