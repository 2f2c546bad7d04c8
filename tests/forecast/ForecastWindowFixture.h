// The forecast windows in a program of their own: a fresh program folder with the message
// texts, the error sound and the English texts, the planet series loaded, the ephemeris window
// and the year-tables window registered; sounds recorded, dialogs answered by the test.
#pragma once

#include "core/Planets.h"
#include "forecast/MoonForm.h"
#include "forecast/TabForm.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qor::forecast {

inline const std::filesystem::path kShippedData = std::filesystem::path(QOR_SOURCE_DIR) / "data";

class ForecastWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        test::QtApp();
        for (const char* f : {"rtext.txt", "etext.txt", "Error.wav", "English.txt"})
            fs::copy_file(kShippedData / f, dir / f);
        ui::Screen().SetDialogs(&dialogs);
        p = std::make_unique<shell::Program>(dir.path());
        p->s.ProgramFolder = kShippedData;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(p->s, i).ok);
        p->s.ProgramFolder = dir.path();
        jobs = &RegisterEphemeris(*p);
        RegisterYearTables(*p, *jobs);
        ui::Screen().PlaySound = [this](const fs::path& wav) {
            sounds.push_back(wav.filename().string());
        };
    }
    void TearDown() override {
        for (const char* name : {"Moon", "Tab"}) {
            delete ui::Screen().FindForm(name);
            ui::Screen().RegisterFormClass(name, [] { return static_cast<ui::TForm*>(nullptr); });
        }
        p.reset();
        ui::Screen().SetDialogs(nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TTab* Tab() { return dynamic_cast<TTab*>(ui::Screen().FindForm("Tab")); }
    TMoon* Moon() { return dynamic_cast<TMoon*>(ui::Screen().FindForm("Moon")); }
    // Runs the message loop's queued work and deletes closed windows.
    void Pump() {
        QCoreApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::filesystem::path File(const std::string& programName) {
        return p->s.DataPath(programName);
    }
    std::string Msg(int n, const std::string& argument = {}) {
        return GetMsgText(p->s, n, argument);
    }

    test::TempDir dir;
    ui::AnsweringDialogs dialogs;
    std::unique_ptr<shell::Program> p;
    EphemerisJobs* jobs = nullptr;
    std::vector<std::string> sounds;
};

} // namespace qor::forecast
