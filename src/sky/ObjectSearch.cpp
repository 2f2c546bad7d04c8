#include "sky/ObjectSearch.h"

#include "core/Text.h"
#include "sky/DeepSky.h"

#include <algorithm>

namespace qor {

int SearchedBS(const std::string& name) {
    if (name.empty() || name[0] != '*') return -1;
    // leading blanks are no part of the number: the star table sends it right-aligned
    std::string digits = name.substr(1, 4);
    digits.erase(0, digits.find_first_not_of(' '));
    long long n = 0;
    for (char ch : digits) {
        if (ch < '0' || ch > '9') return 0;
        n = n * 10 + (ch - '0');
    }
    return n >= 65536 ? -1 : static_cast<int>(n);
}

namespace {

std::string WithoutBlanks(std::string t) {
    t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
    return t;
}

FoundObject CommonSearch(AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                         const std::string& name) {
    FoundObject f;
    {
        NamesAs words(s, false, s.ShortNames);
        for (int i = 1; i <= 10; ++i)
            if (WithoutBlanks(BodyName(s, i)) == name) f = {FoundKind::Body, i};
    }
    if (f.kind != FoundKind::None) return f;
    for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i)
        if (Trim(d.DeepObjs[i].Code) == name || DeepObjText(s, d, i, 0) == name)
            return {FoundKind::Deep, i};
    if (name.empty()) return f;
    const int bs = SearchedBS(name);
    for (int i = 1; i <= c.StarCount; ++i) {
        const bool match =
            name[0] == '*' ? bs >= 0 && c.YaleStars[i].BS == bs : StarName(c, i) == name;
        if (match) return {FoundKind::Star, i};
    }
    return f;
}

} // namespace

FoundObject FindSkyObject(AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                          const std::string& name) {
    return CommonSearch(s, c, d, name);
}

FoundObject FindStripObject(AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                            const AsteroidCatalogue& a, const std::string& name) {
    if (name.empty()) return {};
    FoundObject f = CommonSearch(s, c, d, name);
    if (f.kind != FoundKind::None) return f;
    for (int i = 1; i <= a.AstCount && i < static_cast<int>(a.AstCatalogue.size()); ++i)
        if (GetCatalogueName(a, i).rfind(name, 0) == 0) return {FoundKind::Asteroid, i};
    return f;
}

std::string SearchText(std::string text) {
    const std::size_t u = text.find('_');
    if (u != std::string::npos) text[u] = ' ';
    return text;
}

std::string SearchLine(const std::vector<std::string>& lines, int line) {
    if (line < 0 || line >= static_cast<int>(lines.size())) return {};
    return SearchText(lines[line]);
}

} // namespace qor
