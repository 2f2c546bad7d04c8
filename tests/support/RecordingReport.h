// A UserReport for tests: keeps everything the core says to the user.
#pragma once

#include "core/UserReport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace qor::test {

class RecordingReport : public UserReport {
public:
    struct Message {
        MsgKind kind;
        std::string text;
    };
    std::vector<std::string> captions;
    std::vector<Message> messages;
    std::vector<std::filesystem::path> sounds;
    int eventPumps = 0;

    void CaptionChanged(const std::string& caption) override { captions.push_back(caption); }
    void ShowMessage(MsgKind kind, const std::string& text) override {
        messages.push_back({kind, text});
    }
    void PlaySound(const std::filesystem::path& wav) override { sounds.push_back(wav); }
    void ProcessEvents() override { ++eventPumps; }
};

} // namespace qor::test
