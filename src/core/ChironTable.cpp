#include "core/ChironTable.h"

#include "core/AstroMath.h"
#include "core/Text.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace qor {

bool ReadChironTable(AstroDat& s, ChironTable& table) {
    const std::string fileName = "chiron.dat";
    table = ChironTable{};
    auto refuse = [&](const char* russian, const char* english) {
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                fileName + ": " +
                                    (s.EnglishMode ? std::string(english) : Cp(russian)));
        return false;
    };
    constexpr std::size_t kSize = kChironEntries * sizeof(double);
    std::string bytes;
    // A larger file is damaged as well: it is not read at all.
    const IoResult read = ReadFileBytes(s.DataPath(fileName), bytes, kSize);
    if (read.error != EFBIG && IOCheck(s, read, fileName)) return false;
    if (read.error == EFBIG || bytes.size() != kSize)
        return refuse(
            "файл повреждён: нужно 852 значения по 8 байт; поправки Хирона не применяются",
            "the file is damaged: 852 values of 8 bytes are needed; Chiron is not "
            "corrected");
    LeReader r(bytes);
    ChironTable loaded;
    for (double& v : loaded.Values) {
        v = r.f64();
        if (!std::isfinite(v) || std::abs(v) > 2 * 3.141592653589793)
            return refuse("файл повреждён: значение вне допустимых пределов; поправки Хирона не "
                          "применяются",
                          "the file is damaged: a value is out of range; Chiron is not corrected");
    }
    loaded.Loaded = true;
    table = loaded;
    return true;
}

double ChironCorrection(const ChironTable& table, int year, int month) {
    if (!table.Loaded || year < kChironFirstYear || year > kChironLastYear || month < 1 ||
        month > 12)
        return 0;
    return table.Values[(year - kChironFirstYear) * 12 + (month - 1)];
}

namespace {

double TableDayJD(int k) {
    DateTimeRec rec;
    rec.Year = kChironFirstYear + k / 12;
    rec.Month = k % 12 + 1;
    rec.Day = kChironTableDay;
    return JulianDayOf(rec);
}

} // namespace

double ChironCorrectionAt(const ChironTable& table, double jd) {
    if (!table.Loaded) return 0;
    const DateTimeRec date = CalendarFromJD(jd);
    if (date.Year < kChironFirstYear || date.Year > kChironLastYear) return 0;
    // The month whose table day is the last one not after jd.
    int k = (date.Year - kChironFirstYear) * 12 + (date.Month - 1);
    if (jd < TableDayJD(k)) --k;
    // Cubic through the table days k-1 .. k+2 (the window kept inside the table at its ends).
    const int first = std::clamp(k - 1, 0, kChironEntries - 4);
    double sum = 0;
    for (int i = first; i < first + 4; ++i) {
        double w = 1;
        for (int j = first; j < first + 4; ++j)
            if (j != i) w *= (jd - TableDayJD(j)) / (TableDayJD(i) - TableDayJD(j));
        sum += w * table.Values[i];
    }
    return sum;
}

} // namespace qor
