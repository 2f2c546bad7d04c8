#include "ui/GlyphFonts.h"

#include "core/AstroDat.h"
#include "core/GlyphFaces.h"
#include "core/Text.h"

#include <QFontDatabase>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>

namespace qor::ui {

namespace {

std::atomic<unsigned> gFontGeneration{0};

struct FamilyAnswers {
    std::mutex lock;
    unsigned generation = 0;
    std::map<QString, bool> installed;
};

FamilyAnswers& Answers() {
    static FamilyAnswers answers;
    return answers;
}

} // namespace

int AddApplicationFontFile(const std::filesystem::path& file) {
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(file.string()));
    ++gFontGeneration;
    return id;
}

unsigned FontDatabaseGeneration() {
    return gFontGeneration.load();
}

bool FontFamilyInstalled(const QString& family) {
    FamilyAnswers& a = Answers();
    const std::lock_guard<std::mutex> hold(a.lock);
    const unsigned now = gFontGeneration.load();
    if (a.generation != now) {
        a.installed.clear();
        a.generation = now;
    }
    const auto it = a.installed.find(family);
    if (it != a.installed.end()) return it->second;
    const bool has = QFontDatabase::hasFamily(family);
    a.installed.emplace(family, has);
    return has;
}

bool RegisterGlyphFonts(AstroDat& s) {
    const std::string name(kQorGlyphFace.fileName);
    const fs::path path = s.DataPath(name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        IOCheck(s, ENOENT, name);
        return false;
    }
    if (GlyphFaceAvailable(std::string(kQorGlyphFace.faceName))) return true;
    const int id = AddApplicationFontFile(path);
    if (id < 0) {
        ReportOf(s).ShowMessage(MsgKind::Warning, Lang(s, Cp("Не удалось загрузить шрифт ") + name,
                                                       "Could not load the font " + name));
        return false;
    }
    return GlyphFaceAvailable(std::string(kQorGlyphFace.faceName));
}

bool GlyphFaceAvailable(const std::string& faceName) {
    return FontFamilyInstalled(QString::fromStdString(faceName));
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
