#include "ui/QtText.h"

#include "core/Text.h"

namespace qor::ui {

QString ToQ(std::string_view cp1251) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1251.size()));
    for (char c : cp1251)
        out += QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c))));
    return out;
}

bool FromQ(const QString& text, std::string& cp1251) {
    cp1251.clear();
    cp1251.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const int b = UnicodeToCp1251(ch.unicode());
        if (b < 0) return false;
        cp1251 += static_cast<char>(b);
    }
    return true;
}

} // namespace qor::ui
