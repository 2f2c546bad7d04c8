// The core's way out to the user over Qt: message boxes through the screen's dialogs, sounds
// through its sound output, the caption through a hook of the main window.
#pragma once

#include "core/UserReport.h"

#include <functional>

namespace qor::ui {

class QtReport : public UserReport {
public:
    void CaptionChanged(const std::string& caption) override;
    void ShowMessage(MsgKind kind, const std::string& text) override;
    void PlaySound(const std::filesystem::path& wavFile) override;
    void ProcessEvents() override;

    std::function<void(const std::string&)> OnCaption; // the main window sets its title
};

} // namespace qor::ui
