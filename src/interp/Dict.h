// The astrological glossary "Dict": the entries of "spr.txt" letter by letter. A line "_" + a
// letter starts that letter's section (the marker belongs to it and is shown); the section
// runs to the next marker of another letter. A line "_" alone continues the current section.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <string>
#include <vector>

namespace qor::interp {

// The 29 initial letters of the tabs, А..Я without Ё Ъ Ы Ь (code page 1251).
std::vector<std::string> DictLetters();

// The lines of the section of `letter` (code page 1251) in the glossary's lines: from its
// first marker to the first marker of another letter or the end; none when it has no marker.
std::vector<std::string> DictSection(const std::vector<std::string>& file, char letter);

class TDict : public ui::TForm {
public:
    explicit TDict(shell::Program& p);

    ui::TTabControl* TabControl;
    ui::TMemo* Memo;
    char Letter = '\xC0'; // "А"

    // Fills the memo with the current letter's section; a glossary that does not open is
    // reported and the memo keeps its text.
    void DictShowLetter();

private:
    shell::Program& p_;
};

} // namespace qor::interp
