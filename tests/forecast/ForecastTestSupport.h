// What several forecast tests share: the built-in aspect table, the output lines of an oracle
// script, and running a build of the ephemeris window to its end.
#pragma once

#include "core/Aspects.h"
#include "forecast/TabForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace qor::forecast::test_support {

// The 14 aspects a new page starts from (1 conjunction .. 14 opposition).
inline AspDefTable DefaultAspects() {
    AspDefTable t;
    std::vector<std::string> lines = BuiltInAspectLines();
    ReadAspectTable(t, lines);
    EXPECT_EQ(t.AspCount, 14);
    return t;
}

// The lines printed by tests/forecast/<script> run with Debian's Python and the arguments.
inline std::vector<std::string> OracleLines(const std::string& script, const std::string& args) {
    const std::string command =
        "/usr/bin/python3 '" +
        (std::filesystem::path(QOR_SOURCE_DIR) / "tests/forecast" / script).string() + "' " + args;
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return lines;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) lines.emplace_back(line);
    pclose(pipe);
    return lines;
}

inline void PumpEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs the ephemeris window's build (started by a request) to its end.
inline void RunEphemerisBuild() {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        auto* tab = dynamic_cast<TTab*>(ui::Screen().FindForm("Tab"));
        if (!tab || !(tab->Building() || tab->Timer1->Enabled())) break;
        if (tab->Timer1->Enabled()) tab->Timer1->OnTimer();
        PumpEvents();
        ASSERT_LT(clock.elapsed(), 60000);
    }
    PumpEvents();
}

} // namespace qor::forecast::test_support
