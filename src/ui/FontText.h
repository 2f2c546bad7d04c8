// The saved form of a font: five ";"-separated fields, character set (0..255), colour
// ($00BBGGRR as a decimal number), name, size in points and style bits (1 bold, 2 italic,
// 4 underline, 8 strike-out), e.g. "204;0;Courier New;10;0".
#pragma once

#include "ui/Dialogs.h"

#include <string>

namespace qor::ui {

std::string EncodeFontText(const FontSpec& f);
// Reads the fields in order; a field that is not a number reads as 0 and the character set is
// held to 0..255. An empty text leaves `f` as it is and returns false.
bool DecodeFontText(const std::string& text, FontSpec& f);

} // namespace qor::ui
