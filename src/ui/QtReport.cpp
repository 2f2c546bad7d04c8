#include "ui/QtReport.h"

#include "ui/Forms.h"

#include <QCoreApplication>

namespace qor::ui {

void QtReport::CaptionChanged(const std::string& caption) {
    if (OnCaption) OnCaption(caption);
}

void QtReport::ShowMessage(MsgKind kind, const std::string& text) {
    Screen().Dlg().Message(kind, text, MsgButtons::Ok);
}

void QtReport::PlaySound(const std::filesystem::path& wavFile) {
    if (Screen().PlaySound) Screen().PlaySound(wavFile);
}

void QtReport::ProcessEvents() {
    QCoreApplication::processEvents();
}

} // namespace qor::ui
