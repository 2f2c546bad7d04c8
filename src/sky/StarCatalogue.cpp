#include "sky/StarCatalogue.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/SkyFiles.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace qor {

namespace {

// Greek letters 1..24: symbol-font letter, abbreviation, Russian name, English name.
const std::array<std::string, 25>& GreekLetters() {
    static const std::array<std::string, 25> t = [] {
        const char* rows[25][4] = {{" ", "   ", "", ""},
                                   {"A", "alf", "альфа", "alpha"},
                                   {"B", "bet", "бета", "beta"},
                                   {"G", "gam", "гамма", "gamma"},
                                   {"D", "dlt", "дельта", "delta"},
                                   {"E", "eps", "эпсилон", "epsilon"},
                                   {"Z", "zet", "дзета", "zeta"},
                                   {"H", "eta", "эта", "eta"},
                                   {"Q", "tht", "тета", "theta"},
                                   {"I", "iot", "йота", "iota"},
                                   {"K", "kap", "каппа", "kappa"},
                                   {"L", "lam", "лямбда", "lambda"},
                                   {"M", "mu ", "мю", "mu"},
                                   {"N", "nu ", "ню", "nu"},
                                   {"X", "xi ", "кси", "xi"},
                                   {"O", "omi", "омикрон", "omicron"},
                                   {"P", "pi ", "пи", "pi"},
                                   {"R", "rho", "ро", "rho"},
                                   {"S", "sig", "сигма", "sigma"},
                                   {"T", "tau", "тау", "tau"},
                                   {"U", "ups", "ипсилон", "upsilon"},
                                   {"J", "phi", "фи", "phi"},
                                   {"C", "chi", "хи", "chi"},
                                   {"Y", "psi", "пси", "psi"},
                                   {"W", "omg", "омега", "omega"}};
        std::array<std::string, 25> out;
        out[0] = std::string(21, ' ');
        for (int i = 1; i <= 24; ++i) {
            std::string rus = Cp(rows[i][2]);
            std::string eng = rows[i][3];
            rus.resize(7, ' ');
            eng.resize(7, ' ');
            out[i] = std::string(rows[i][0]) + " " + rows[i][1] + " " + rus + " " + eng;
        }
        return out;
    }();
    return t;
}

std::string CollapseBlanks(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (ch == ' ' && !out.empty() && out.back() == ' ') continue;
        out += ch;
    }
    return out;
}

char LowerAscii(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? char(ch - 'A' + 'a') : ch;
}

// What a star record can hold; a value beyond is a damaged file. Proper motions in
// arc-seconds a year (the fastest star, Barnard's, moves 10.4); magnitudes from the brightest
// star to far below the naked eye.
constexpr double kMaxStarProperMotion = 100;
constexpr double kMinStarMag = -30, kMaxStarMag = 30;

bool StarRecordInRange(float ra, float dec, float pmRA, float pmDec, float mag) {
    // Written so that NaN fails every comparison.
    return ra >= 0 && ra <= kTwoPi + 1e-6 && std::fabs(dec) <= kPi / 2 + 1e-6 &&
           std::fabs(pmRA) <= kMaxStarProperMotion && std::fabs(pmDec) <= kMaxStarProperMotion &&
           mag >= kMinStarMag && mag <= kMaxStarMag;
}

// Reads the records of "yale.mdb" into the catalogue (steps 1-3 of the loading).
bool ReadYaleRecords(AstroDat& s, StarCatalogue& c) {
    const std::string fileName = "yale.mdb";
    c.StarCount = 0;
    std::string bytes;
    const auto none = [&c] {
        c.StarCount = 0;
        c.YaleStars.assign(1, {});
        c.StarRA2000.assign(1, 0);
        c.StarDec2000.assign(1, 0);
        return false;
    };
    const IoResult read = ReadFileBytes(s.DataPath(fileName), bytes, kYaleMaxBytes);
    if (read.error == EFBIG) {
        ReportDataFault(s, fileName, "файл слишком велик для каталога; каталог не загружен",
                        "the file is too large for the catalogue; the catalogue was not loaded");
        return none();
    }
    if (!read.ok()) return none();
    std::size_t records = bytes.size() / kYaleRecordSize;
    if (bytes.size() % kYaleRecordSize != 0)
        ReportDataFault(s, fileName, "неполная последняя запись не прочитана",
                        "an incomplete last record was not read");
    if (records > static_cast<std::size_t>(kMaxStars)) {
        ReportRecordsBeyondLimit(s, fileName, static_cast<long long>(records - kMaxStars),
                                 kMaxStars);
        records = kMaxStars;
    }
    const int n = static_cast<int>(records);
    c.YaleStars.assign(n + 1, {});
    c.StarRA2000.assign(n + 1, 0);
    c.StarDec2000.assign(n + 1, 0);
    LeReader r(bytes);
    for (int i = 1; i <= n; ++i) {
        YaleRec& y = c.YaleStars[i];
        y.HD = r.u32();
        y.BS = r.u16();
        y.NameOffset = r.u16();
        y.CommentOffset = r.u16();
        const std::string desig = r.bytes(8);
        y.Designation = desig.substr(1, std::min<std::size_t>((unsigned char)desig[0], 7));
        const std::string spec = r.bytes(8);
        y.Spectrum = spec.substr(1, std::min<std::size_t>((unsigned char)spec[0], 7));
        const float ra = r.f32(), dec = r.f32(), pmRA = r.f32(), pmDec = r.f32();
        y.Mag = r.f32();
        r.skip(4);
        y.Distance = r.i32();
        if (!StarRecordInRange(ra, dec, pmRA, pmDec, y.Mag)) {
            ReportDataFault(s, fileName,
                            "значение вне допустимых пределов в записи " + std::to_string(i) +
                                "; каталог не загружен",
                            "a value out of range in record " + std::to_string(i) +
                                "; the catalogue was not loaded");
            return none();
        }
        c.StarRA2000[i] = ra;
        c.StarDec2000[i] = dec;
        y.PmRA = pmRA * kStarPmToRadPerCentury;
        y.PmDec = pmDec * kStarPmToRadPerCentury;
        if (s.EnglishMode) y.NameOffset = y.CommentOffset;
    }
    c.StarCount = n;
    return n > 0;
}

// Reads a names text whole; a text beyond the addressable size is cut and reported.
bool ReadStarText(AstroDat& s, const std::string& fileName, std::string& out) {
    out.clear();
    const IoResult r = ReadFileBytes(s.DataPath(fileName), out, kYaleMaxBytes);
    if (r.error == EFBIG)
        ReportDataFault(s, fileName, "файл слишком велик; названия не прочитаны",
                        "the file is too large; the names were not read");
    if (!r.ok()) {
        out.clear();
        return false;
    }
    if (out.size() > kStarTextMaxBytes) {
        ReportDataFault(s, fileName, "текст длиннее 65535 байт обрезан",
                        "the text is longer than 65535 bytes and was cut");
        out.resize(kStarTextMaxBytes);
    }
    return true;
}

void AllocatePerStarTables(StarCatalogue& c) {
    const std::size_t n = static_cast<std::size_t>(c.StarCount) + 1;
    c.StarRADate = c.StarRA2000;
    c.StarDecDate = c.StarDec2000;
    c.StarLon.assign(n, 0);
    c.StarLat.assign(n, 0);
    c.StarAzimuth.assign(n, 0);
    c.StarAltitude.assign(n, 0);
}

} // namespace

bool LoadYaleCatalogue(AstroDat& s, StarCatalogue& c) {
    const bool any = ReadYaleRecords(s, c);
    AllocatePerStarTables(c);
    if (!any) return false;
    if (c.ShortStarCatalogue) LoadShortCatalogue(s, c);
    c.StarNames.clear();
    c.StarComments.clear();
    if (s.EnglishMode) {
        ReadStarText(s, "yale.cmm", c.StarNames);
    } else if (ReadStarText(s, "yale.nme", c.StarNames)) {
        ReadStarText(s, "yale.cmm", c.StarComments);
    }
    return true;
}

void LoadShortCatalogue(AstroDat& s, StarCatalogue& c) {
    if (!c.ShortStarCatalogue) {
        ReadYaleRecords(s, c);
        AllocatePerStarTables(c);
        return;
    }
    std::vector<int> order(1, 0);
    for (int i = 1; i <= c.StarCount; ++i)
        if (c.YaleStars[i].NameOffset != 0) order.push_back(i);
    const int kept = static_cast<int>(order.size()) - 1;
    auto compact = [&](auto& v) {
        for (int k = 1; k <= kept; ++k) v[k] = v[order[k]];
        v.resize(kept + 1);
    };
    compact(c.YaleStars);
    compact(c.StarRA2000);
    compact(c.StarDec2000);
    compact(c.StarRADate);
    compact(c.StarDecDate);
    compact(c.StarLon);
    compact(c.StarLat);
    compact(c.StarAzimuth);
    compact(c.StarAltitude);
    c.StarCount = kept;
}

void ReorderStars(StarCatalogue& c, const std::vector<int>& order) {
    // An order that takes every star once (a sort's) moves the records along their cycles in
    // place; any other copies from a snapshot of the tables.
    const int n = c.StarCount;
    std::vector<char> seen(static_cast<std::size_t>(n) + 1, 0);
    bool permutation = true;
    for (int k = 1; k <= n && permutation; ++k) {
        const int from = order[k];
        permutation = from >= 1 && from <= n && !seen[from];
        if (permutation) seen[from] = 1;
    }
    auto apply = [&](auto& v) {
        if (!permutation) {
            auto old = v;
            for (int k = 1; k <= n; ++k) v[k] = old[order[k]];
            return;
        }
        std::fill(seen.begin(), seen.end(), 0);
        for (int start = 1; start <= n; ++start) {
            if (seen[start]) continue;
            auto held = std::move(v[start]);
            int k = start;
            for (;;) {
                seen[k] = 1;
                const int from = order[k];
                if (from == start) break;
                v[k] = std::move(v[from]);
                k = from;
            }
            v[k] = std::move(held);
        }
    };
    apply(c.YaleStars);
    apply(c.StarRA2000);
    apply(c.StarDec2000);
    apply(c.StarRADate);
    apply(c.StarDecDate);
    apply(c.StarLon);
    apply(c.StarLat);
    apply(c.StarAzimuth);
    apply(c.StarAltitude);
}

// --- Names ---------------------------------------------------------------------------------------

std::string NameHead(std::string_view text) {
    std::string s = Trim(text.substr(0, text.find('.')));
    s = Trim(std::string_view(s).substr(0, s.find(',')));
    return Trim(std::string_view(s).substr(0, s.find(';')));
}

std::string NameTail(std::string_view text) {
    const std::size_t p = text.find_first_of(",.;");
    if (p == std::string_view::npos) return Trim(text);
    return Trim(text.substr(p + 1));
}

std::string StarTextEntry(const std::string& text, int offset) {
    if (offset < 1 || offset > kStarTextMaxOffset || static_cast<std::size_t>(offset) > text.size())
        return {};
    const std::size_t len = static_cast<unsigned char>(text[offset - 1]);
    const std::size_t end = std::min(text.size(), static_cast<std::size_t>(offset) + len);
    return text.substr(offset, end - offset);
}

namespace {
bool ValidStar(const StarCatalogue& c, int n) {
    return n >= 1 && n <= c.StarCount;
}
} // namespace

std::string StarName(const StarCatalogue& c, int n) {
    if (!ValidStar(c, n) || c.YaleStars[n].NameOffset == 0) return {};
    return NameHead(StarTextEntry(c.StarNames, c.YaleStars[n].NameOffset));
}

std::string StarOtherNames(const StarCatalogue& c, int n) {
    if (!ValidStar(c, n) || c.YaleStars[n].NameOffset == 0) return {};
    return NameTail(StarTextEntry(c.StarNames, c.YaleStars[n].NameOffset));
}

const std::string& GreekLetterName(int n) {
    return GreekLetters()[(n < 1 || n > 24) ? 0 : n];
}

std::string GreekLetterLocal(const AstroDat& s, int n) {
    if (n < 1 || n > 24) return {};
    const std::string& row = GreekLetters()[n];
    return Trim(s.EnglishMode ? row.substr(14, 7) : row.substr(6, 7));
}

const std::vector<std::string>& Constellations() {
    static const std::vector<std::string> t = [] {
        const char* rows[88][3] = {{"And", "Андромеды", "Andromeda"},
                                   {"Ant", "Насоса", "Antlia"},
                                   {"Aps", "Райской Птицы", "Apus"},
                                   {"Aqr", "Водолея", "Aquarius"},
                                   {"Aql", "Орла", "Aquila"},
                                   {"Ari", "Овна", "Aries"},
                                   {"Ara", "Жертвенника", "Ara"},
                                   {"Aur", "Возничего", "Auriga"},
                                   {"Boo", "Волопаса", "Bootes"},
                                   {"Cae", "Резца", "Caelum"},
                                   {"Cam", "Жирафа", "Camelopardalis"},
                                   {"Cnc", "Рака", "Cancer"},
                                   {"CMa", "Большого Пса", "Canis Major"},
                                   {"CMi", "Малого Пса", "Canis Minor"},
                                   {"Cap", "Козерога", "Capricornus"},
                                   {"Car", "Киля", "Carina"},
                                   {"Cas", "Кассиопеи", "Cassiopeia"},
                                   {"Cen", "Центавра", "Centaurus"},
                                   {"Cep", "Цефея", "Cepheus"},
                                   {"Cet", "Кита", "Cetus"},
                                   {"Cha", "Хамелеона", "Chamaeleon"},
                                   {"Cir", "Циркуля", "Circinus"},
                                   {"Col", "Голубя", "Columba"},
                                   {"Com", "Волос Вероники", "Coma Berenices"},
                                   {"CrA", "Южной Короны", "Corona Australis"},
                                   {"CrB", "Северной Короны", "Corona Borealis"},
                                   {"Cru", "Южного Креста", "Crux"},
                                   {"Crv", "Ворона", "Corvus"},
                                   {"Crt", "Чаши", "Crater"},
                                   {"CVn", "Гончих Псов", "Canes Venatici"},
                                   {"Cyg", "Лебедя", "Cygnus"},
                                   {"Del", "Дельфина", "Delphinus"},
                                   {"Dor", "Золотой Рыбы", "Dorado"},
                                   {"Dra", "Дракона", "Draco"},
                                   {"Equ", "Малого Коня", "Equuleus"},
                                   {"Eri", "Эридана", "Eridanus"},
                                   {"For", "Печи", "Fornax"},
                                   {"Gem", "Близнецов", "Gemini"},
                                   {"Gru", "Журавля", "Grus"},
                                   {"Her", "Геркулеса", "Hercules"},
                                   {"Hor", "Часов", "Horologium"},
                                   {"Hyi", "Южной Гидры", "Hydrus"},
                                   {"Hya", "Гидры", "Hydra"},
                                   {"Ind", "Индейца", "Indus"},
                                   {"Lac", "Ящерицы", "Lacerta"},
                                   {"Leo", "Льва", "Leo"},
                                   {"LMi", "Малого Льва", "Leo Minor"},
                                   {"Lep", "Зайца", "Lepus"},
                                   {"Lib", "Весов", "Libra"},
                                   {"Lup", "Волка", "Lupus"},
                                   {"Lyn", "Рыси", "Lynx"},
                                   {"Lyr", "Лиры", "Lyra"},
                                   {"Men", "Столовой Горы", "Mensa"},
                                   {"Mic", "Микроскопа", "Microscopium"},
                                   {"Mon", "Единорога", "Monoceros"},
                                   {"Mus", "Мухи", "Musca"},
                                   {"Nor", "Наугольника", "Norma"},
                                   {"Oct", "Октанта", "Octans"},
                                   {"Oph", "Змееносца", "Ophiuchus"},
                                   {"Ori", "Ориона", "Orion"},
                                   {"Pav", "Павлина", "Pavo"},
                                   {"Peg", "Пегаса", "Pegasus"},
                                   {"Per", "Персея", "Perseus"},
                                   {"Phe", "Феникса", "Phoenix"},
                                   {"Pic", "Живописца", "Pictor"},
                                   {"Psc", "Рыб", "Pisces"},
                                   {"PsA", "Южной Рыбы", "Piscis Austrinus"},
                                   {"Pup", "Кормы", "Puppis"},
                                   {"Pyx", "Компаса", "Pyxis"},
                                   {"Ret", "Сетки", "Reticulum"},
                                   {"Sco", "Скорпиона", "Scorpius"},
                                   {"Scl", "Скульптора", "Sculptor"},
                                   {"Sct", "Щита", "Scutum"},
                                   {"Ser", "Змеи", "Serpens"},
                                   {"Sge", "Стрелы", "Sagitta"},
                                   {"Sgr", "Стрельца", "Sagittarius"},
                                   {"Sex", "Секстана", "Sextans"},
                                   {"Tau", "Тельца", "Taurus"},
                                   {"Tel", "Телескопа", "Telescopium"},
                                   {"TrA", "Южн.Треугольника", "Triangulum Australe"},
                                   {"Tri", "Треугольника", "Triangulum"},
                                   {"Tuc", "Тукана", "Tucana"},
                                   {"UMa", "Б.Медведицы", "Ursa Major"},
                                   {"UMi", "М.Медведицы", "Ursa Minor"},
                                   {"Vel", "Парусов", "Vela"},
                                   {"Vir", "Девы", "Virgo"},
                                   {"Vol", "Летучей Рыбы", "Volans"},
                                   {"Vul", "Лисички", "Vulpecula"}};
        std::vector<std::string> out;
        for (const auto& row : rows) {
            std::string rus = Cp(row[1]);
            rus.resize(19, ' ');
            out.push_back(std::string(row[0]) + " " + rus + row[2]);
        }
        return out;
    }();
    return t;
}

std::string ConstellationName(const AstroDat& s, const std::string& code) {
    for (const std::string& row : Constellations()) {
        if (row.compare(0, 3, code) != 0 || code.size() != 3) continue;
        return Trim(s.EnglishMode ? row.substr(23, 19) : row.substr(4, 19));
    }
    return {};
}

std::string StarDesignation(const AstroDat& s, const StarCatalogue& c, int n, bool whole) {
    if (!ValidStar(c, n)) return {};
    const YaleRec& y = c.YaleStars[n];
    if (y.Designation.empty()) return {};
    const int f = y.Flamsteed();
    const int g = y.Bayer();
    const int sup = y.Superscript();
    const std::string code = y.ConstellationCode();

    const std::string flamsteed = f != 0 ? IntToStrW(f, 3) : std::string();
    std::string greek, superscript;
    if (g != 0) {
        greek = GreekLetterLocal(s, g);
        if (sup != 0) superscript = std::to_string(sup);
    }
    const std::string constellation = ConstellationName(s, code);
    std::string namePart;
    if (y.NameOffset != 0) {
        namePart = ": " + StarTextEntry(c.StarNames, y.NameOffset);
        if (!whole) namePart = NameHead(namePart);
    }
    return CollapseBlanks(flamsteed + " " + greek + " " + superscript + " " + constellation +
                          namePart);
}

std::string StarMapLabel(const StarCatalogue& c, int n, bool whole) {
    if (!ValidStar(c, n)) return {};
    const YaleRec& y = c.YaleStars[n];
    if (y.Designation.empty()) return {};
    std::string label;
    if (const int g = y.Bayer(); g != 0) {
        label = std::string(1, LowerAscii(GreekLetterName(g)[0]));
        if (y.Superscript() != 0) label += std::to_string(y.Superscript());
    } else if (y.Flamsteed() != 0) {
        label = std::to_string(y.Flamsteed());
    }
    label += " " + y.ConstellationCode();
    if (y.NameOffset != 0) {
        label += " " + StarTextEntry(c.StarNames, y.NameOffset);
        if (!whole) label = NameHead(label);
    }
    return label;
}

int StarCatalogue::BrightestNear(double lon, double limit, double brighterThan) const {
    int found = 0;
    double best = brighterThan;
    const int count = std::min<int>(StarCount, static_cast<int>(StarLon.size()) - 1);
    for (int n = 1; n <= count && n < static_cast<int>(YaleStars.size()); ++n) {
        // The place first: it is in a table of its own, and rejects nearly every star.
        if (StarLon[n] == 0 || !(std::fabs(ReduceAngle(StarLon[n] - lon)) < limit)) continue;
        if (YaleStars[n].NameOffset != 0 && YaleStars[n].Mag < best) {
            found = n;
            best = YaleStars[n].Mag;
        }
    }
    return found;
}

std::string StarCatalogueCode(const std::string& d) {
    if (d.empty()) return {};
    const int f = static_cast<unsigned char>(d[0]);
    const int g = d.size() > 1 ? static_cast<unsigned char>(d[1]) : 0;
    const int sup = d.size() > 2 ? static_cast<unsigned char>(d[2]) : 0;
    const std::string code = d.size() > 3 ? d.substr(3, 3) : std::string();
    const std::string flamsteed = f != 0 ? IntToStrW(f, 3) : std::string(3, ' ');
    const std::string abbr = (g >= 1 && g <= 24) ? GreekLetterName(g).substr(2, 3) : "   ";
    const std::string digit = sup != 0 ? std::to_string(sup) : std::string(" ");
    return flamsteed + " " + abbr + digit + " " + code;
}

} // namespace qor
