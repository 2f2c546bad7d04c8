#include "shell/Sound.h"

#include "core/Files.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace qor::shell {

SoundOutput::SoundOutput() = default;
SoundOutput::~SoundOutput() = default;

bool SoundOutput::HasDevice() const {
    return !QMediaDevices::audioOutputs().isEmpty();
}

bool SoundOutput::CanOpen(const std::filesystem::path& wav) const {
    // the header alone: the RIFF and WAVE tags and the format chunk that follows
    std::string bytes;
    if (!ReadFileHead(wav, 44, bytes).ok() || bytes.size() < 44) return false;
    return bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0;
}

void SoundOutput::Play(const std::filesystem::path& wav) {
    if (!HasDevice() || !CanOpen(wav)) return;
    auto& effect = effects_[wav];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(QString::fromStdString(wav.string())));
    }
    effect->play();
    ++Played;
}

} // namespace qor::shell
