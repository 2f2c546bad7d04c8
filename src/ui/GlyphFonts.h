// The glyph font files of the program, registered with the application's font database at
// start-up (not installed on the system).
#pragma once

#include <string>

namespace qor {
struct AstroDat;
}

namespace qor::ui {

// Registers "qor.ttf" of the program folder (the face "QOR511"). A file that is missing or
// that the font database refuses is reported; returns whether the face is now available.
bool RegisterGlyphFonts(AstroDat& s);

// Whether a face of that name can be drawn (registered or installed).
bool GlyphFaceAvailable(const std::string& faceName);

// For the printer's glyph-face choice: true when the face exists; otherwise tells the user that
// the face is not on this system and that the page prints with the program's own face, and
// returns false.
bool CheckGlyphFace(AstroDat& s, const std::string& faceName);

} // namespace qor::ui
