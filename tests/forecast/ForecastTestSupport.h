// What several forecast tests share: the built-in aspect table, the output lines of an oracle
// script, running a build of the ephemeris window to its end, and the state of the year tables.
#pragma once

#include "core/Aspects.h"
#include "core/Planets.h"
#include "forecast/TabForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace qor::forecast::test_support {

// A state for the year tables: the planet series of data/ loaded, the program folder `folder`
// with the message files of both languages, English texts, messages into `report`.
inline void PrepareTableState(AstroDat& s, const fs::path& folder, UserReport& report) {
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    s.ProgramFolder = data;
    for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
    for (const char* f : {"rtext.txt", "etext.txt"}) fs::copy_file(data / f, folder / f);
    s.ProgramFolder = folder;
    s.Report = &report;
    s.EnglishMode = true;
}

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
