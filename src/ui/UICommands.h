// Command paths: a window's control addressed by the text "Form,Component" is set, clicked,
// read or sent keys and mouse events. The service form owns one UICommands; the command link,
// the time block and the settings windows go through it.
#pragma once

#include "ui/Forms.h"

#include "core/AstroDat.h"

#include <QTimer>

#include <functional>
#include <map>
#include <string>

namespace qor::ui {

class UICommands {
public:
    explicit UICommands(AstroDat& s, FormScreen& screen = Screen());

    // Performs `command` on the target; a missing form or component, a hidden form or an
    // unknown command does nothing. "Close" of a form name closes also a modal dialog of that
    // name (ModalWindowName).
    void RunUICommand(const std::string& target, const std::string& command);
    // The target's value as text, trailing blanks removed; a target found on no form puts
    // "Receive not found " and the target on the status line and answers "". The target ","
    // answers the name of the modal window that is up (ModalWindowName), empty when none.
    std::string QueryUIValue(const std::string& target, const std::string& request);
    // Runs the command 10 ms later from the message loop; a second post before then replaces
    // the first.
    void PostUICommand(const std::string& target, const std::string& command);
    // The form-level "Show[,placement or state]" command.
    void ShowFormPlaced(TForm& form, const std::string& command);

    // What an empty command does to a grid of the named form before it is repainted (the
    // shell registers the astronomical data table's row count and the aspect table's rebuild).
    void SetGridRefresh(const std::string& formName, std::function<void(TDrawGrid&)> refresh);

    QTimer& Timer2() { return timer2_; }

private:
    void RunOnComponent(TForm& form, const Component& c, const std::string& command);
    void PaintBoxMouse(TPaintBox& box, const std::string& command);
    void Glide(const QWidget* w);

    AstroDat& s_;
    FormScreen& screen_;
    std::map<std::string, std::function<void(TDrawGrid&)>> gridRefresh_;
    QTimer timer2_;
    std::string pendingTarget_, pendingCommand_;
};

// The key and shift state of a "KeyDown,<code>,<modifier>" command; false when the code is
// not a number in 0..65535.
bool ParseKeyDownCommand(const std::string& command, int& key, Shift& shift);

} // namespace qor::ui
