// The long-lived windows created at start-up, as the shell knows them until their own code
// replaces them: each is an empty window of its name and caption, so that every command path
// and the window-state files already work. A subsystem that builds one of them registers its
// own class under the same name in Program::FormClasses, which replaces the one here.
#pragma once

#include "ui/Forms.h"

#include <string>
#include <string_view>

namespace qor::shell {

class PlaceholderForm : public ui::TForm {
public:
    PlaceholderForm(std::string_view name, const std::string& caption) : TForm(name) {
        SetCaption(caption);
        SetBounds(160, 120, 420, 300);
    }
};

// Registers an empty window for every long-lived window's name.
void RegisterPlaceholderForms(ui::FormClasses& classes);

} // namespace qor::shell
