// A program with the service form and the two chart windows, offscreen, for the window checks.
#pragma once

#include "chart/DataForm.h"
#include "chart/KartForm.h"
#include "core/Planets.h"
#include "shell/Tech.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace qor::chart {

class ChartWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        const std::filesystem::path src = std::filesystem::path(QOR_SOURCE_DIR) / "data";
        for (const char* f : {"PLANETS.NDX", "PLANETS.DAT", "rtext.txt", "etext.txt", "Error.wav"})
            std::filesystem::copy_file(src / f, dir / f);
        ui::Screen().SetDialogs(&dialogs);
        p = std::make_unique<shell::Program>(dir.path());
        ui::Screen().PlaySound = [this](const std::filesystem::path& wav) {
            sounds.push_back(wav.filename().string());
        };
        for (int i = 0; i <= 9; ++i) ASSERT_TRUE(LoadPlanetTerms(p->s, i).ok);
        tech = dynamic_cast<shell::TTech*>(ui::Screen().CreateForm("Tech"));
        ASSERT_NE(tech, nullptr);
        p->Tech = tech;
        kart = new TKartForm(*p);
        data = new TDataForm(*p);
        data->LoadDataCaptions();
        p->Flags.Ready = true;
        p->Flags.ScreenMode = 'V';
    }
    void TearDown() override {
        p.reset();
        ui::Screen().SetDialogs(nullptr);
    }

    test::TempDir dir;
    ui::AnsweringDialogs dialogs;
    std::unique_ptr<shell::Program> p;
    std::vector<std::string> sounds;
    shell::TTech* tech = nullptr;
    TKartForm* kart = nullptr;
    TDataForm* data = nullptr;
};

} // namespace qor::chart
