#include "sky/DeepSky.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/SkyFiles.h"

#include <cmath>

namespace qor {

namespace {

std::string Cut(const std::string& text, std::size_t width) {
    return text.substr(0, width);
}

// A decimal number with "." or "," as the point, a leading "+" allowed; 0 when it does not
// convert.
double ReadDecimal(std::string text) {
    text = Trim(text);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    return StrToFloatHM(text);
}

} // namespace

double ParseDeepAngle(std::string_view input) {
    std::string text = Trim(input);
    const std::size_t deg = text.find(kDegreeSign);
    const std::size_t min = deg == std::string::npos ? std::string::npos : text.find('\'', deg + 1);
    if (deg == std::string::npos || min == std::string::npos) return ReadDecimal(text) * kDegToRad;
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t secEnd = text.find('"', min + 1);
    const double d = std::abs(ReadDecimal(text.substr(0, deg)));
    const double m = std::abs(ReadDecimal(text.substr(deg + 1, min - deg - 1)));
    const double sec = std::abs(ReadDecimal(
        text.substr(min + 1, secEnd == std::string::npos ? std::string::npos : secEnd - min - 1)));
    const double arcsec = (d * 60 + m) * 60 + sec;
    return (negative ? -arcsec : arcsec) * kArcsecToRad;
}

bool LoadDeepObj(AstroDat& s, DeepCatalogue& d) {
    const std::string fileName = "Deepobj.txt";
    d.DeepCount = 0;
    d.DeepObjs.assign(1, {});
    std::vector<std::string> lines;
    if (IOCheck(s, ReadTextLines(s.DataPath(fileName), lines), fileName)) return false;
    long long beyond = 0;
    for (const std::string& raw : lines) {
        std::string line = Trim(raw);
        if (line.empty()) continue;
        if (d.DeepCount == kMaxDeepObjects) {
            ++beyond;
            continue;
        }
        DeepRec r;
        r.NameRus = Cut(NextField(line, ';'), 15);
        r.NameEng = Cut(NextField(line, ';'), 15);
        r.Code = Cut(NextField(line, ';'), 15);
        r.RA2000 = ParseDeepAngle(NextField(line, ';')) * 15;
        r.Dec2000 = ParseDeepAngle(NextField(line, ';'));
        r.Distance = Cut(NextField(line, ';'), 7);
        r.Size = Cut(NextField(line, ';'), 7);
        r.Mag = StrToFloatHM(NextField(line, ';'));
        r.Constellation = Cut(NextField(line, ';'), 3);
        r.Comment = Cut(NextField(line, ';'), 39);
        r.RA = r.RA2000;
        r.Dec = r.Dec2000;
        d.DeepObjs.push_back(std::move(r));
        ++d.DeepCount;
    }
    if (beyond > 0) ReportRecordsBeyondLimit(s, fileName, beyond, kMaxDeepObjects);
    return d.DeepCount > 0;
}

void ComputeDeepHorizon(const AstroDat& s, DeepCatalogue& d) {
    const double lst = s.SiderealTime * 15 * kArcsecToRad;
    for (int j = 1; j <= d.DeepCount; ++j) {
        DeepRec& r = d.DeepObjs[j];
        const HorPos h = EquToHorizon(s.ChartLat, lst, r.Dec, r.RA);
        r.Azimuth = h.az;
        r.Altitude = h.alt;
    }
}

std::string DeepObjText(AstroDat& s, const DeepCatalogue& d, int n, int column) {
    if (n < 1 || n > d.DeepCount) return {};
    const DeepRec& r = d.DeepObjs[n];
    std::string text;
    auto declination = [&](double dec) {
        const int saved = s.DMSFormat;
        s.DMSFormat = 0;
        text = FormatDMS(s, NormAngleSigned(dec) * kRadToArcSec);
        s.DMSFormat = saved;
    };
    switch (column) {
    case 0:
        text = s.EnglishMode ? r.NameEng : r.NameRus;
        break;
    case 1:
        text = r.Code;
        break;
    case 2: {
        const bool saved = s.ShortNames;
        s.ShortNames = true;
        text = FormatZodiacDMS(s, r.Lon * kRadToArcSec);
        s.ShortNames = saved;
        break;
    }
    case 3:
        text = FormatDMS(s, NormAngleSigned(r.Lat) * kRadToArcSec);
        break;
    case 4:
        text = FormatHMSRad(true, r.RA);
        break;
    case 5:
        declination(r.Dec);
        break;
    case 6:
        text = FormatDMS(s, r.Azimuth * kRadToArcSec);
        break;
    case 7:
        text = FormatDMS(s, r.Altitude * kRadToArcSec);
        break;
    case 8:
        text = FormatHMSRad(true, r.RA2000);
        break;
    case 9:
        declination(r.Dec2000);
        break;
    case 10:
        text = FitTextRight(r.Distance, 7);
        break;
    case 11:
        text = FitTextRight(r.Size, 7);
        break;
    case 12:
        text = FloatToStrWD(5, 1, r.Mag);
        break;
    case 13:
        text = FitTextRight(r.Constellation, 5);
        break;
    case 14:
        text = r.Comment;
        break;
    default:
        return {};
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string DeepColumnTitle(const AstroDat& s, int column) {
    static const char* const titles[15][2] = {{"Название", "Name"},
                                              {"Код", "Code"},
                                              {"Долгота", "Longitude"},
                                              {"Широта", "Latitude"},
                                              {"Прямое|восхождение", "Right|Ascention"},
                                              {"Склонение", "Declination"},
                                              {"Азимут", "Azimuth"},
                                              {"Высота", "Altitude"},
                                              {"RA|(2000.0)", "RA|(2000.0)"},
                                              {"Decl|(2000.0)", "Decl|(2000.0)"},
                                              {"Расстояние|(тыс.св.лет)", "Distance|(kly)"},
                                              {"Видимый|размер(')", "Dimension|(')"},
                                              {"Яркость", "Magnitude"},
                                              {"Созвездие", "Constellation"},
                                              {"Комментарий", "Comment"}};
    if (column < 0 || column > 14) return {};
    return s.EnglishMode ? std::string(titles[column][1]) : Cp(titles[column][0]);
}

int DeepCatalogue::BrightestNear(double lon, double limit, double brighterThan) const {
    int found = 0;
    double best = brighterThan;
    for (int n = 1; n <= DeepCount && n < static_cast<int>(DeepObjs.size()); ++n) {
        const DeepRec& r = DeepObjs[n];
        if (r.Lon == 0) continue;
        if (std::fabs(ReduceAngle(r.Lon - lon)) < limit && r.Mag < best) {
            found = n;
            best = r.Mag;
        }
    }
    return found;
}

} // namespace qor
