// The setup window of the text bases "IntSet": one edit with the file of each base and, for
// most, a check box that switches it on, in nine groups. A double click on a file name opens
// that base in the section editor "Intxt". Each language keeps its own file names (the
// window's state is kept per language); the English defaults are the Russian names with "-e"
// before ".txt".
#pragma once

#include "interp/TextBases.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <array>

namespace qor::interp {

class TIntSet : public ui::TForm {
public:
    explicit TIntSet(shell::Program& p);

    std::array<ui::TGroupBox*, kBaseGroups> Groups{};
    std::array<ui::TEdit*, kBaseCount> Edits{};        // by BaseId
    std::array<ui::TCheckBox*, kBaseCount> Switches{}; // by BaseId; nullptr without a switch
    std::array<ui::TLabel*, kBaseCount> Labels{};      // the captions of the bases without one
    ui::TButton* OKButton;

    // The bases as the controls hold them.
    TextBaseSettings Settings() const;
    // A double click on a base's file name: the base in the section editor.
    void EditDblClick(BaseId id);

private:
    shell::Program& p_;
};

// The bases of the setup window when it exists, else its defaults for the language.
TextBaseSettings BaseSettingsOf(const shell::Program& p);

} // namespace qor::interp
