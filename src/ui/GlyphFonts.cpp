#include "ui/GlyphFonts.h"

#include "core/AstroDat.h"
#include "core/GlyphFaces.h"
#include "core/Text.h"

#include <QFontDatabase>
#include <QString>

namespace qor::ui {

bool RegisterGlyphFonts(AstroDat& s) {
    const std::string name(kQorGlyphFace.fileName);
    const fs::path path = s.DataPath(name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        IOCheck(s, ENOENT, name);
        return false;
    }
    if (GlyphFaceAvailable(std::string(kQorGlyphFace.faceName))) return true;
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(path.string()));
    if (id < 0) {
        ReportOf(s).ShowMessage(MsgKind::Warning, Lang(s, Cp("Не удалось загрузить шрифт ") + name,
                                                       "Could not load the font " + name));
        return false;
    }
    return GlyphFaceAvailable(std::string(kQorGlyphFace.faceName));
}

bool GlyphFaceAvailable(const std::string& faceName) {
    return QFontDatabase::hasFamily(QString::fromStdString(faceName));
}

bool CheckGlyphFace(AstroDat& s, const std::string& faceName) {
    if (GlyphFaceAvailable(faceName)) return true;
    ReportOf(s).ShowMessage(
        MsgKind::Information,
        Lang(s,
             Cp("Шрифт ") + faceName +
                 Cp(" не установлен; символы будут напечатаны шрифтом программы QOR511"),
             "The font " + faceName +
                 " is not installed; the glyphs will print in the program's font QOR511"));
    return false;
}

} // namespace qor::ui
