// The glyph font files of the program, registered with the application's font database at
// start-up (not installed on the system).
#pragma once

#include <filesystem>
#include <string>

class QString;

namespace qor {
struct AstroDat;
}

namespace qor::ui {

// Registers "qor.ttf" of the program folder (the face "QOR511"). A file that is missing or
// that the font database refuses is reported; returns whether the face is now available.
bool RegisterGlyphFonts(AstroDat& s);

// Whether a face of that name can be drawn (registered or installed).
bool GlyphFaceAvailable(const std::string& faceName);

// Adds a font file to the application's font database; returns its id (negative when the file
// is refused). Every font the program adds goes through here, so that FontFamilyInstalled
// knows when its answers may have changed.
int AddApplicationFontFile(const std::filesystem::path& file);
// Whether the font database has the family. Asking the database resolves aliases through
// the system's font configuration, which costs more than drawing a glyph; the answers are
// kept until a font is added.
bool FontFamilyInstalled(const QString& family);
// Counts the fonts added so far: a drawing cache keyed on it knows when to look again.
unsigned FontDatabaseGeneration();

// For the printer's glyph-face choice: true when the face exists; otherwise tells the user that
// the face is not on this system and that the page prints with the program's own face, and
// returns false.
bool CheckGlyphFace(AstroDat& s, const std::string& faceName);

} // namespace qor::ui
