#include "ui/FontText.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>

namespace qor::ui {

std::string EncodeFontText(const FontSpec& f) {
    return std::to_string(f.charset) + ";" + std::to_string(f.color) + ";" + f.name + ";" +
           std::to_string(f.size) + ";" + std::to_string(f.style);
}

bool DecodeFontText(const std::string& text, FontSpec& f) {
    if (Trim(text).empty()) return false;
    std::string rest = text;
    f.charset = std::clamp(StrToIntDef0(NextField(rest, ';')), 0, 255);
    f.color = static_cast<uint32_t>(StrToIntDef0(NextField(rest, ';')));
    f.name = NextField(rest, ';');
    f.size = StrToIntDef0(NextField(rest, ';'));
    f.style = StrToIntDef0(NextField(rest, ';'));
    return true;
}

} // namespace qor::ui
