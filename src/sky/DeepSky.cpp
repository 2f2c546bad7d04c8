#include "sky/DeepSky.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/SkyFiles.h"

#include <cmath>
#include <optional>

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

namespace {

// Whether an angle text reads as ParseDeepAngle takes it: degrees, "°", minutes, "'",
// seconds and an optional '"', or one decimal number of degrees; arc-seconds in `arcsec`.
bool DeepAngleReads(std::string_view input, double& arcsec) {
    const std::string text = Trim(input);
    const std::size_t deg = text.find(kDegreeSign);
    const std::size_t min = deg == std::string::npos ? std::string::npos : text.find('\'', deg + 1);
    if (deg == std::string::npos || min == std::string::npos) {
        const auto v = ParseDecimalText(text);
        if (!v) return false;
        arcsec = *v * 3600;
        return true;
    }
    const std::size_t secEnd = text.find('"', min + 1);
    const auto d = ParseDecimalText(text.substr(0, deg));
    const auto m = ParseDecimalText(text.substr(deg + 1, min - deg - 1));
    const std::string secText =
        text.substr(min + 1, secEnd == std::string::npos ? std::string::npos : secEnd - min - 1);
    const auto sec = Trim(secText).empty() ? std::optional<double>(0) : ParseDecimalText(secText);
    if (!d || !m || !sec || *m < 0 || *m >= 60 || *sec < 0 || *sec >= 60) return false;
    if (secEnd != std::string::npos && !Trim(text.substr(secEnd + 1)).empty()) return false;
    arcsec = (std::abs(*d) * 60 + *m) * 60 + *sec;
    return true;
}

// A line of the catalogue is an object when its right ascension (0..24 hours) and its
// declination (-90..90 degrees) read.
bool DeepObjectLine(std::string line) {
    for (int k = 0; k < 3; ++k) NextField(line, ';');
    double ra = 0, dec = 0;
    return DeepAngleReads(NextField(line, ';'), ra) && ra <= 24 * 3600.0 &&
           DeepAngleReads(NextField(line, ';'), dec) && dec <= 90 * 3600.0;
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
    const IoResult r = ReadTextLines(s.DataPath(fileName), lines, kDeepObjMaxBytes);
    if (r.error == EFBIG) {
        ReportDataFault(s, fileName, "файл слишком велик для каталога; каталог не загружен",
                        "the file is too large for the catalogue; the catalogue was not loaded");
        return false;
    }
    if (IOCheck(s, r, fileName)) return false;
    long long beyond = 0, notObjects = 0;
    std::size_t firstNotObject = 0;
    for (std::size_t ln = 0; ln < lines.size(); ++ln) {
        std::string line = Trim(lines[ln]);
        if (line.empty()) continue;
        if (!DeepObjectLine(line)) {
            if (notObjects++ == 0) firstNotObject = ln + 1;
            continue;
        }
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
    if (notObjects > 0)
        ReportDataFault(
            s, fileName,
            "строк без прямого восхождения и склонения пропущено: " + std::to_string(notObjects) +
                " (первая: " + std::to_string(firstNotObject) + ")",
            "lines without a right ascension and declination left out: " +
                std::to_string(notObjects) + " (the first: line " + std::to_string(firstNotObject) +
                ")");
    if (beyond > 0) ReportRecordsBeyondLimit(s, fileName, beyond, kMaxDeepObjects);
    if (d.DeepCount == 0)
        ReportDataFault(s, fileName, "в каталоге нет ни одного объекта",
                        "the catalogue holds no object");
    return d.DeepCount > 0;
}

void ComputeDeepHorizon(const AstroDat& s, DeepCatalogue& d) {
    const double lst = s.SiderealTimeSec * 15 * kArcsecToRad;
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
