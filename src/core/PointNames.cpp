#include "core/PointNames.h"

#include "core/Parses.h"
#include "core/Text.h"

namespace qor {

std::string PointName(AstroDat& s, int n, bool helioMode,
                      const std::function<std::string(int)>& bodyTableName) {
    if (helioMode && n == 1) n = 0;
    // Names in words for this call; the flags are the caller's again afterwards.
    struct Words {
        AstroDat& s;
        bool glyph, shortNames;
        ~Words() {
            s.GlyphNames = glyph;
            s.ShortNames = shortNames;
        }
    } words{s, s.GlyphNames, s.ShortNames};
    s.GlyphNames = false;
    s.ShortNames = false;
    if (n <= 14) return Trim(BodyName(s, n));
    if (n <= 26) {
        const int k = n - 14 - s.NExtra;
        if (k >= 1 && k <= s.ParsCount && k < static_cast<int>(s.ParsGlyphs.size())) {
            const std::string part = ParsFindByGlyph(s, s.ParsGlyphs[k]);
            if (!part.empty()) return Trim(part);
        }
        const std::string name = bodyTableName ? Trim(bodyTableName(n + 57)) : std::string();
        return name.empty() ? Trim(BodyName(s, n)) : name;
    }
    return Trim(CuspTitle(s, n - 26, true));
}

} // namespace qor
