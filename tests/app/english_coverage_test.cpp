// The shipped English texts against every window the program can make: each Russian caption,
// hint, item list, tab and menu item of every window has its English line, and every line of
// the file names a window and a component that exist.
#include "MainWindowFixture.h"

#include "ui/EnglishTexts.h"

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, EnglishTextsCoverEveryWindowOfTheProgram) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    // every window class the program registers (the long-lived windows, those made on demand,
    // the dialogs) besides the main window with its menus and pop-up menus
    EnsureEveryForm();
    std::vector<TForm*> forms;
    std::vector<std::string> stand_ins;
    for (TForm* f : Screen().Forms()) {
        // a window a later subsystem will make stands in as an empty window of its name
        if (dynamic_cast<PlaceholderForm*>(f))
            stand_ins.push_back(f->Name());
        else
            forms.push_back(f);
    }
    std::vector<std::string> problems = EnglishCoverageProblems(forms, lines);
    // the stand-ins' sections are the texts of windows not yet made: not errors of the file
    std::erase_if(problems, [&](const std::string& p) {
        for (const std::string& name : stand_ins)
            if (p == name + ": no such window") return true;
        return false;
    });
    // shown as data: the glossary is Russian, its tabs are the letters of its sections
    std::erase(problems, std::string("Dict,TabControl: no English text"));
    EXPECT_EQ(problems, std::vector<std::string>{});
    EXPECT_GT(forms.size(), 40u);
}

} // namespace
} // namespace qor::shell
