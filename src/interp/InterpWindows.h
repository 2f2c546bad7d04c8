// The interpretation windows in a program: the text window "Interp", the setup of the bases
// "IntSet", the section editor "Intxt", the Moon-in-sign window "MoonSgn", the oracle "IZIN",
// the glossary "Dict", the picture viewer "Picture" and the gallery "Art" as window classes, the text window's font at the start-up, the shell's way to show a finished text
// file (Hooks::InterpShowFile) and the day of the Moon of the day summary (Hooks::LunarDay).
#pragma once

#include "interp/Interp.h"
#include "shell/Program.h"

#include <functional>
#include <memory>
#include <string>

namespace qor::interp {

struct InterpServices {
    // Whether a catalogue star with a longitude has this name (the star bases' check).
    std::function<bool(const std::string&)> StarKnown;
    // The reports of the text window's menu (filled by the report code).
    std::shared_ptr<InterpReports> Reports = std::make_shared<InterpReports>();
};

void RegisterInterpWindows(shell::Program& p, InterpServices services);

} // namespace qor::interp
