// The wave sounds of the program through Qt Multimedia. Where the system has no sound output
// the program stays silent (a sound effect would claim to be playing without one).
#pragma once

#include <filesystem>
#include <map>
#include <memory>

class QSoundEffect;

namespace qor::shell {

class SoundOutput {
public:
    SoundOutput();
    ~SoundOutput();
    // Whether the system has an audio output device.
    bool HasDevice() const;
    // Whether the file is a wave file the player can open (checked by its header).
    bool CanOpen(const std::filesystem::path& wav) const;
    // Plays the file; nothing when there is no device or the file cannot be opened.
    void Play(const std::filesystem::path& wav);
    int Played = 0; // sounds started (tests)

private:
    std::map<std::filesystem::path, std::unique_ptr<QSoundEffect>> effects_;
};

} // namespace qor::shell
