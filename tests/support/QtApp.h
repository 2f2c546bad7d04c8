// One QApplication for the GUI tests of a test program (offscreen, as ctest runs them).
#pragma once

#include <QApplication>

#include <cstdlib>

namespace qor::test {

inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "qor-test";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // the offscreen platform's note on every window shown says nothing to a test
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.contains("propagateSizeHints")) return;
            if (previous) previous(type, context, text);
        });
    // never destroyed: tearing Qt down from exit handlers crashes in its input devices
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace qor::test
