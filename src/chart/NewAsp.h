// The new-aspect dialog "NewAsp": adds an aspect to the current aspect page or changes one. It
// is opened from the aspect grid's pop-up menu of the natal-chart settings, filled from the
// selected aspect's line, and hands a finished line back to that window.
//
// It is shown, never run in a loop of its own, so the command paths (and the command link)
// fill it and press its buttons like a user: "NewAsp,NameEdit", "NewAsp,ValEdit",
// "NewAsp,AddButton".
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qor::chart {

class TNewAsp : public ui::TForm {
public:
    explicit TNewAsp(shell::Program& p);

    ui::TLabel *NameLabel, *GlyphLabel, *ValLabel, *ColorLabel;
    ui::TEdit* NameEdit;
    ui::TPanel* GlyphPanel;
    ui::TPaintBox* PaintBox; // the glyph
    ui::TEdit* ValEdit;      // the angle
    ui::TPanel* DegreePanel; // "°"
    ui::TPanel *LightPanel, *DarkPanel;
    ui::TPaintBox* PaintBox1; // the colour on light backgrounds, on the white panel
    ui::TPaintBox* PaintBox2; // the colour on a black background, on the black panel
    ui::TButton *AddButton, *NoButton;

    uint8_t NewAspGlyph = 0;
    char NewAspKind = ' ';
    std::string NewAspOrbs;                 // eleven orbs, each followed by ";"
    uint32_t NewAspColorDark = 0xFFFFFF;    // on a black chart background
    uint32_t NewAspColorLight = 0x0000FF;   // on white and coloured backgrounds
    int NewAspRow = 0;                      // the aspect edited
    bool NewAspEditMode = false;            // false: a new aspect

    // Fills the dialog from an aspect page line.
    void LoadAspectDialog(const std::string& line);
    // The angle of the first 14 aspects cannot be changed.
    void FormShow();
    void PaintBoxClick();
    void PaintBox1Click();
    void PaintBox2Click();
    // Checks the angle, builds the line and hands it to the settings window; closes when it
    // was taken.
    void AddButtonClick();
    void NoButtonClick();

    // The glyph picker and the colour dialog (tests answer them); by default the program's
    // symbol-font window and "Colorf", both modal. From the command link they are refused.
    std::function<std::optional<int>(int)> AskGlyph;
    std::function<std::optional<uint32_t>(uint32_t)> AskColour;

private:
    // False when a person is needed and a command of the link runs (refused).
    bool ForAPerson(const std::string& what);
    shell::Program& p_;
};

} // namespace qor::chart
