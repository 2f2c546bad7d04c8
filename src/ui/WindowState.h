// Window state between runs: the settings are the states of the windows' controls, saved as
// lines "Form,Component,Value" (code page 1251).
//
//   - A value line is split at its first two commas; the value is the rest of the line.
//   - A line whose value is empty opens a block that ends at a line "//": a memo's lines, or
//     nothing at all for a control whose value is empty (an emptied edit stays empty next run).
//     A memo line made of slashes only ("//", "///" ...) is written with one slash more and
//     read with one less, so no memo text ends its block.
//   - "Form,Size,left;top;width;height;" places a window; "ScreenSize,width,height" (first line
//     of the main file) scales the main file's places to this screen.
//
// Two files: the main file "main.ini" ("main-e.ini" in English mode), written at shutdown
// with every window that exists and read once at start-up; and the per-window file "Form.ini"
// ("Form-e.ini"), kept in memory: a window takes its lines out when it is created and puts
// them back, replacing any older ones, when it closes.
#pragma once

#include "ui/Forms.h"

#include "core/AstroDat.h"

#include <functional>
#include <string>
#include <vector>

namespace qor::ui {

class EnglishTexts;

// One setting of a state file: a value line, or a block (a line with an empty value and the
// lines up to "//", unescaped). `first` and `count` locate it in the lines it was read from.
struct StateEntry {
    std::string form, component, value;
    bool block = false;
    std::vector<std::string> lines;
    std::size_t first = 0, count = 0;
};
std::vector<StateEntry> ParseStateLines(const std::vector<std::string>& lines);

class WindowStateFiles {
public:
    explicit WindowStateFiles(AstroDat& s, FormScreen& screen = Screen());

    // The lines of one component (none for kinds that keep nothing), added to `lines` after
    // clearing it.
    static void EncodeComponentState(const std::string& formName, const Component& c,
                                     std::vector<std::string>& lines);
    // Applies one value; returns the plain memo when the component is one (the caller fills
    // it).
    TMemo* ApplyComponentState(TForm& form, const std::string& componentName,
                               const std::string& value);

    bool LoadMainIni();
    bool SaveMainIni();
    void LoadFormIni();
    bool SaveFormIni();
    void ApplyFormSettings(TForm& form);
    void StoreFormSettings(TForm& form);
    // Copies the default copies ("main.dfl", "form.dfl", "-e" in English mode) over the files.
    bool RestoreDefaultFiles();
    // Writes the windows' state as it stands as the default copies of this language, each only
    // where it does not exist yet (a start without saved state calls it). False when a copy
    // could not be written (said why).
    bool WriteDefaultCopies();

    std::string MainIniName() const;
    // The lines of the main state file for the windows as they stand.
    std::vector<std::string> MainIniLines() const;
    std::string FormIniName() const;

    double WidthRatio = 1.0, HeightRatio = 1.0;
    std::vector<std::string> FormIniList;

    // English texts for windows created in English mode.
    EnglishTexts* English = nullptr;
    // The service form's window font (before the saved lines) and font settings (after them).
    std::function<void(TForm&)> ApplyWindowFont, ApplyFormFonts;

    // The lines of a whole form: its size line, then its components in creation order.
    static std::vector<std::string> EncodeForm(const TForm& form);

private:
    void ApplyEntry(TForm& form, const StateEntry& e);
    AstroDat& s_;
    FormScreen& screen_;
};

} // namespace qor::ui
