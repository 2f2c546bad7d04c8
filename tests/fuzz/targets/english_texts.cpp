// English.txt, the English window texts: read and laid over the windows (none open here), its
// lists looked up, its coverage checked.
#include "FuzzTarget.h"

#include "chart/HistoryFile.h"
#include "ui/EnglishTexts.h"

#include "support/QtApp.h"

namespace qor::fuzz {
namespace {

using namespace chart;

void Run(std::string_view bytes) {
    test::QtApp();
    Put("English.txt", bytes);
    AstroDat s;
    Reset(s);
    ui::EnglishTexts texts(s);
    texts.LoadEnglishTexts();
    texts.ApplyEnglishToForm("DataForm");
    const std::vector<std::string>* lines = nullptr;
    if (!texts.Lines(lines)) return;
    EnglishListOf(*lines, "DataForm", "MethodBox");
    EnglishMethodItems(s);
    ui::EnglishCoverageProblems({}, *lines, true);
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/English.txt")};
}

} // namespace
QOR_FUZZ_TARGET(english_texts, Run, Seeds, "text.dict")
} // namespace qor::fuzz
