// English window texts: "English.txt" in the program folder (code page 1251) lays English
// captions, hints and item lists over the windows, which are designed in Russian.
//
//   FormName;Caption                 a form line (first character not a blank) opens a section
//    ComponentName;Text              a component line (first character a blank)
//    ComponentName\Hint;Text         the hint of a label or speed button
//
// Fields are trimmed and end at the next ";"; list texts (combo-box items, radio-group items
// after the group's caption, tabs) hold their items separated by ",". Empty lines are ignored.
#pragma once

#include "ui/Forms.h"

#include "core/AstroDat.h"

#include <string>
#include <vector>

namespace qor::ui {

class EnglishTexts {
public:
    explicit EnglishTexts(AstroDat& s, FormScreen& screen = Screen());

    // Applies every entry to the windows that exist; sets EnglishMode and returns true when
    // the file was read. A missing file is reported once and the windows keep their texts.
    bool LoadEnglishTexts();
    // Applies the section of one window (windows created later).
    void ApplyEnglishToForm(const std::string& formName);
    // key: "Form," (the caption), "Form,Component" or "Form,Component\Hint".
    void SetComponentText(const std::string& key, const std::string& text);

    // The file's lines, read once; false when it cannot be read.
    bool Lines(const std::vector<std::string>*& lines);

private:
    AstroDat& s_;
    FormScreen& screen_;
    bool read_ = false, ok_ = false;
    std::vector<std::string> lines_;
};

// What is missing or wrong between windows and English lines: every Russian caption, hint and
// list item of the forms needs a line, and every line must name a form and a component that
// exist. Each problem is one text, e.g. "DataForm,OKBtn: no English caption".
std::vector<std::string> EnglishCoverageProblems(const std::vector<TForm*>& forms,
                                                 const std::vector<std::string>& lines);

} // namespace qor::ui
