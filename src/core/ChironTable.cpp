#include "core/ChironTable.h"

#include "core/Text.h"

#include <cmath>

namespace qor {

bool ReadChironTable(AstroDat& s, ChironTable& table) {
    const std::string fileName = "chiron.dat";
    table = ChironTable{};
    std::string bytes;
    if (IOCheck(s, ReadFileBytes(s.DataPath(fileName), bytes), fileName)) return false;
    auto refuse = [&](const char* russian, const char* english) {
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                fileName + ": " +
                                    (s.EnglishMode ? std::string(english) : Cp(russian)));
        return false;
    };
    if (bytes.size() != kChironEntries * sizeof(double))
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

} // namespace qor
