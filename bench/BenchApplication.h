// The Qt application the drawing benchmarks need, offscreen unless the environment chooses a
// platform; made once for the whole benchmark program.
#pragma once

#include <QApplication>

#include <cstdlib>

namespace qor::bench {

inline void EnsureOffscreenApplication() {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!QApplication::instance()) new QApplication(argc, argv);
}

} // namespace qor::bench
