// The core's way out to the user: status texts, message dialogs, sounds and event pumping.
// The UI implements it; tests record what arrives. All texts are code page 1251.
#pragma once

#include <filesystem>
#include <string>

namespace qor {

enum class MsgKind { Information, Warning, Error, Confirmation };

class UserReport {
public:
    virtual ~UserReport() = default;
    // The main window's caption changed (status text, three blanks, title).
    virtual void CaptionChanged(const std::string& caption) = 0;
    // A message dialog with an OK button; returns when the user has closed it.
    virtual void ShowMessage(MsgKind kind, const std::string& text) = 0;
    // Plays a wave file that exists.
    virtual void PlaySound(const std::filesystem::path& wavFile) = 0;
    // Processes the user interface's pending events (used while waiting).
    virtual void ProcessEvents() {}
};

// Reports nowhere: the core's default until a UI or a test installs its own.
class NullReport : public UserReport {
public:
    void CaptionChanged(const std::string&) override {}
    void ShowMessage(MsgKind, const std::string&) override {}
    void PlaySound(const std::filesystem::path&) override {}
};

} // namespace qor
