// Rich text files (RTF) of the text window: a small writer and a minimal reader of our own.
//
// The writer puts out what the text holds: per paragraph its left, right and first-line
// indents (\li \ri \fi, twips), per run its font (\f, from the font table, every font of
// character set 204), size (\fs, half points), colour (\cf, from the colour table) and
// styles (\b \i \ul \strike); characters of code page 1251 as \'xx (\ansicpg1251), others as
// \uN with "?" for readers that do not know it.
//
// The reader takes groups, \par, \line, \tab, \'xx, \uN (\ucN), those words and the font and
// colour tables; other destinations ({\*...}, the style sheet, pictures, headers, the
// information group ...) are skipped, unknown words ignored.
#pragma once

#include "ui/Dialogs.h"

#include <string>
#include <string_view>

class QTextDocument;

namespace qor::ui {

// Pixels of the text's indents per twip: the screen's 96 pixels per inch, 1440 twips.
constexpr int kTwipsPerPixel = 15;

// The document as RTF. `base` gives what a run does not say itself: font, size and colour.
std::string DocumentToRtf(const QTextDocument& doc, const FontSpec& base);

// True when the bytes begin as RTF does ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);

// Replaces the document's contents with the RTF text; false (the document untouched) when the
// bytes are not RTF.
bool RtfToDocument(std::string_view rtf, QTextDocument& doc);

} // namespace qor::ui
