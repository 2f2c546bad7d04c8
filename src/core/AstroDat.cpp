#include "core/AstroDat.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <cstring>

namespace qor {

namespace {

using Names13 = std::array<std::string, 13>;

const Names13& SignNamesEng() {
    static const Names13 t = {"         ",  " Aries   ", " Taurus  ", " Gemini  ", " Cancer  ",
                              " Leo     ",  " Virgo   ", " Libra   ", " Scorpio ", " Sagittarius",
                              " Capricorn", " Aquarius", " Pisces  "};
    return t;
}

const Names13& SignNamesRus() {
    static const Names13 t = {"         ",     Cp(" Овен    "), Cp(" Телец   "), Cp(" Близнецы"),
                              Cp(" Рак     "), Cp(" Лев     "), Cp(" Дева    "), Cp(" Весы    "),
                              Cp(" Скорпион"), Cp(" Стрелец "), Cp(" Козерог "), Cp(" Водолей "),
                              Cp(" Рыбы    ")};
    return t;
}

const Names13& SignAbbrTable() {
    static const Names13 t = {"   ", "Ari", "Tau", "Gem", "Cnc", "Leo", "Vir",
                              "Lib", "Sco", "Sgr", "Cap", "Aqr", "Psc"};
    return t;
}

// Symbol-font characters of the signs: "@" then "A".."K".
char SignGlyph(int n) {
    return n == 0 ? ' ' : static_cast<char>(63 + n);
}

// Blank-padded to 10, as the body-name tables store them.
std::string Pad10(const std::string& s) {
    return s.size() >= 10 ? s : s + std::string(10 - s.size(), ' ');
}

const std::array<std::string, 21>& BodyNames(bool english) {
    static const std::array<std::string, 21> eng = [] {
        const char* n[] = {"Earth",   "Sun",    "Moon",   "Mercury",    "Venus",  "Mars",
                           "Jupiter", "Saturn", "Uranus", "Neptune",    "Pluto",  "R.Node",
                           "S.Node",  "Lilit",  "Selena", "Proserpine", "Chiron", "Skyship",
                           "",        "",       ""};
        std::array<std::string, 21> t;
        for (int i = 0; i < 21; ++i) t[i] = Pad10(n[i]);
        return t;
    }();
    static const std::array<std::string, 21> rus = [] {
        const char* n[] = {"Земля",  "Солнце",     "Луна",   "Меркурий", "Венера", "Марс", "Юпитер",
                           "Сатурн", "Уран",       "Нептун", "Плутон",   "Раху",   "Кету", "Лилит",
                           "Селена", "Прозерпина", "Хирон",  "Корабль",  "",       "",     ""};
        std::array<std::string, 21> t;
        for (int i = 0; i < 21; ++i) t[i] = Pad10(Cp(n[i]));
        return t;
    }();
    return english ? eng : rus;
}


// Rows 1..19 of required data files: Russian name, English name (empty: not required).
const std::array<std::array<const char*, 2>, 21> kDataFiles = {{
    {"", ""},
    {"planets.ndx", "planets.ndx"},
    {"planets.dat", "planets.dat"},
    {"planets.mdb", "planets.mdb"},
    {"yale.mdb", "yale.mdb"},
    {"yale.nme", "yale.nme"},
    {"coast.dat", "coast.dat"},
    {"coast.ptr", "coast.ptr"},
    {"chiron.dat", "chiron.dat"},
    {"font16.fnt", "font16.fnt"},
    {"ijtitul1.qor", "ijtitul1.qor"},
    {"ijtitul2.qor", "ijtitul2.qor"},
    {"codreg.ctm", ""},
    {"correc.ctm", ""},
    {"variat.ctm", ""},
    {"geocr.atl", "geoc.atl"},
    {"geonr.atl", "geon.atl"},
    {"yale.cmm", "yale.cmm"}, // the star comments, and the star names in English mode
    {"rtext.txt", "etext.txt"},
    {"", "country.atl"},
    {"", ""},
}};

// Parses a message file into number key (its first three characters) -> text (column 5 on).
// The first line with a key wins.
std::map<std::string, std::string> ParseMessageLines(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> m;
    for (const std::string& line : lines) {
        if (line.size() < 3) continue;
        m.emplace(line.substr(0, 3), line.size() > 4 ? line.substr(4) : std::string());
    }
    return m;
}

} // namespace

// Symbol-font characters of the chart points 0..26.
char BodyGlyph(int n) {
    if (n == 0) return 16;
    if (n <= 16) return static_cast<char>(31 + n);
    return '/';
}

UserReport& ReportOf(const AstroDat& s) {
    static NullReport none; // holds no state
    return s.Report ? *s.Report : none;
}

const std::string& Lang(const AstroDat& s, const std::string& russian, const std::string& english) {
    return s.EnglishMode ? english : russian;
}

std::string MonthName(const AstroDat& s, int m) {
    static const std::array<std::string, 12> eng = {
        "January ", "February", "March   ",  "April   ", "May     ", "June    ",
        "July    ", "August  ", "September", "October ", "November", "December"};
    static const std::array<std::string, 12> rus = [] {
        const char* n[] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                           "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
        std::array<std::string, 12> t;
        for (int i = 0; i < 12; ++i) t[i] = FitTextLeft(Cp(n[i]), 8);
        return t;
    }();
    if (m < 1 || m > 12) return {};
    return s.EnglishMode ? eng[m - 1] : rus[m - 1];
}

std::string WeekDayShortName(const AstroDat& s, int d) {
    static const std::array<std::string, 7> eng = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    static const std::array<std::string, 7> rus = {Cp("Вс"), Cp("Пн"), Cp("Вт"), Cp("Ср"),
                                                   Cp("Чт"), Cp("Пт"), Cp("Сб")};
    if (d < 0 || d > 6) return {};
    return s.EnglishMode ? eng[d] : rus[d];
}

std::string WeekDayName(const AstroDat& s, int d) {
    static const std::array<std::string, 7> eng = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};
    static const std::array<std::string, 7> rus = {
        Cp("Воскресенье"), Cp("Понедельник"), Cp("Вторник"), Cp("Среда"),
        Cp("Четверг"),     Cp("Пятница"),     Cp("Суббота")};
    if (d < 0 || d > 6) return {};
    return s.EnglishMode ? eng[d] : rus[d];
}

std::string DataFileName(const AstroDat& s, int i) {
    if (i < 1 || i > 20) return {};
    return kDataFiles[i][s.EnglishMode ? 1 : 0];
}

const std::string& SignAbbr(int n) {
    return SignAbbrTable()[(n < 0 || n > 12) ? 0 : n];
}

std::string SignNameWord(const AstroDat& s, int n) {
    if (n < 0 || n > 12) n = 1;
    return s.EnglishMode ? SignNamesEng()[n] : SignNamesRus()[n];
}

std::string SignName(const AstroDat& s, int n) {
    if (n < 0 || n > 12) n = 1;
    if (s.ShortNames) return SignAbbrTable()[n];
    if (s.GlyphNames) return std::string(1, SignGlyph(n));
    return SignNameWord(s, n);
}

std::string BodyName(const AstroDat& s, int n) {
    if (s.GlyphNames) {
        if (n >= 0 && n <= 26) return std::string(1, BodyGlyph(n));
        return "5";
    }
    const auto& t = BodyNames(s.EnglishMode);
    if (n >= 0 && n <= 16) return t[n];
    if (n >= 17 && n <= 19) return std::string(10, ' ');
    if (n == 20) return t[18];
    if (n == 23) return t[19];
    if (n == 26) return t[20];
    return s.EnglishMode ? "cusp of " + RomanNumeral(n - 26) + " house"
                         : Cp("куспид ") + RomanNumeral(n - 26) + Cp("-го дома");
}

std::string CuspTitle(const AstroDat& s, int n, bool longForm) {
    static const std::array<std::string, 4> shortAngles = {"Asc", "IC", "Dsc", "MC"};
    static const std::array<std::string, 4> longRus = {Cp("Асцендент"), Cp("Имум Цели"),
                                                       Cp("Десцендент"), Cp("Медиум Цели")};
    static const std::array<std::string, 4> longEng = {"Ascendent", "Imum Coeli", "Descendent",
                                                       "Medium Coeli"};
    if (n == 1 || n == 4 || n == 7 || n == 10) {
        const int k = (n - 1) / 3;
        return longForm ? Lang(s, longRus[k], longEng[k]) : shortAngles[k];
    }
    const std::string num = std::to_string(n);
    return s.EnglishMode ? "Cusp of " + num + " house" : Cp("Куспид ") + num + Cp("-го дома");
}

std::string FillMsgText(std::string text, const std::string& argument) {
    const std::size_t p = text.find('%');
    if (p != std::string::npos) text.replace(p, 1, argument);
    if (!text.empty() && text.back() == '_') text.back() = ' ';
    return text;
}

std::string GetMsgText(AstroDat& s, int n, const std::string& argument) {
    const std::string fileName = s.EnglishMode ? "etext.txt" : "rtext.txt";
    auto& cache = s.Messages.byFile;
    auto file = cache.find(fileName);
    if (file == cache.end()) {
        std::vector<std::string> lines;
        const IoResult r = ReadTextLines(s.DataPath(fileName), lines);
        if (IOCheck(s, r, fileName)) return {};
        file = cache.emplace(fileName, ParseMessageLines(lines)).first;
    }
    const std::string key = IntToStrW(n, 3);
    const auto it = key.size() == 3 ? file->second.find(key) : file->second.end();
    if (it == file->second.end()) {
        if (s.Messages.reportedMissing.insert({fileName, n}).second)
            ReportOf(s).ShowMessage(
                MsgKind::Warning,
                Lang(s, Cp("В файле ") + fileName + Cp(" нет сообщения номер ") + std::to_string(n),
                     "Message " + std::to_string(n) + " is missing from " + fileName));
        return {};
    }
    return FillMsgText(it->second, argument);
}

std::string BuiltInMsgText(const AstroDat& s, int n, const std::string& argument) {
    std::string text;
    if (n == 1) {
        text = Lang(s,
                    Cp("Похоже, часть файлов программы повреждена. Если ошибка повторится, "
                       "установите QOR заново; если и это не поможет, сообщите разработчику."),
                    "Some program files seem to be damaged. If the error happens again, install "
                    "QOR anew; if that does not help, please tell the developer.");
    } else if (n == 2) {
        text = Lang(s, Cp("Отсутствуют следующие файлы: "), "There are no following files: ") +
               "\r\n%\r\n" + Lang(s, Cp("Запуск QOR невозможен"), "Impossible to run QOR");
    }
    return FillMsgText(text, argument);
}

void UpdateMainCaption(AstroDat& s) {
    ReportOf(s).CaptionChanged(s.StatusText + "   " + s.MainTitle);
}

void SetStatus(AstroDat& s, const std::string& text) {
    s.StatusText = text;
    s.StatusStamp = std::chrono::system_clock::now();
    UpdateMainCaption(s);
}

void SetChartName(AstroDat& s, const std::string& text) {
    s.ChartName = text;
    UpdateMainCaption(s);
}

bool IOCheck(AstroDat& s, int error, const std::string& fileName) {
    if (error == 0) return false;
    ReportOf(s).ShowMessage(MsgKind::Information,
                            std::string(std::strerror(error)) + ": " + fileName);
    return true;
}

bool IOCheck(AstroDat& s, const IoResult& r, const std::string& fileName) {
    if (!r.readOnly) return IOCheck(s, r.error, fileName);
    ReportOf(s).ShowMessage(
        MsgKind::Information,
        Lang(s, Cp("Файл ") + fileName + Cp(" только для чтения"), fileName + " is read-only"));
    return true;
}

void PlayWav(AstroDat& s, const std::string& fileName) {
    if (!s.SoundOn) return;
    const fs::path p = s.DataPath(fileName);
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) ReportOf(s).PlaySound(p);
}

} // namespace qor
