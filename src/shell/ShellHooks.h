// What the small windows of the shell need from the service form and the main window, as
// callbacks the shell fills in at start-up. An empty callback does nothing (a test sets the
// ones it watches).
#pragma once

#include "ui/Dialogs.h"

#include <functional>
#include <string>

namespace qor::shell {

struct ShellHooks {
    // The recompute hub; the second form recomputes the star positions too (hour-glass
    // pointer, star recomputation set around one pass).
    std::function<void()> RefreshAll;
    std::function<void()> RefreshAllWithStars;
    // Start-up has finished / the program is closing.
    std::function<bool()> Ready;
    std::function<bool()> Closing;

    // The service form's three fonts and the routine that saves them and re-applies them to
    // every window.
    std::function<ui::FontSpec()> WindowFont, TableFont, GraphFont;
    std::function<void(const ui::FontSpec&)> SetWindowFont, SetTableFont, SetGraphFont;
    std::function<void()> SaveFontSetting;

    // Shows a finished text file in the interpretation text window, word wrap off.
    std::function<void(const std::string& programName)> InterpShowFile;
    // The lunar day of the chart's day (the interpretation texts' rise and set search).
    std::function<int()> LunarDay;

    void Refresh() const {
        if (RefreshAll) RefreshAll();
    }
    bool IsReady() const { return !Ready || Ready(); }
    bool IsClosing() const { return Closing && Closing(); }
};

} // namespace qor::shell
