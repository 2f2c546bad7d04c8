// The interpretation windows in a program of their own (the shell's windows and these three,
// no start-up): a temporary program folder with the message texts, dialogs that tests answer.
#pragma once

#include "InterpTestSupport.h"
#include "interp/IntSet.h"
#include "interp/Interp.h"
#include "interp/Intxt.h"
#include "interp/InterpWindows.h"
#include "shell/Program.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace qor::interp {

namespace fs = std::filesystem;

class InterpWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"rtext.txt", "etext.txt", "English.txt", "Ding.wav"})
            fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
        ui::Screen().SetDialogs(&dialogs);
        Make(false);
    }
    void TearDown() override {
        program.reset();
        ui::Screen().SetDialogs(nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A new program in the language given, its windows made as the start-up makes them.
    void Make(bool english) {
        program.reset();
        program = std::make_unique<shell::Program>(dir.path());
        program->s.EnglishMode = english;
        program->s.Report = &report;
        InterpServices services;
        services.StarKnown = [this](const std::string& name) { return knownStars.count(name) > 0; };
        reports = services.Reports;
        RegisterInterpWindows(*program, services);
        interp = ui::Screen().Ensure<TInterp>("Interp");
        intSet = ui::Screen().Ensure<TIntSet>("IntSet");
        intxt = ui::Screen().Ensure<TIntxt>("Intxt");
        ASSERT_TRUE(interp && intSet && intxt);
        if (english) program->English.LoadEnglishTexts();
        interp->show();
    }
    shell::Program& P() { return *program; }
    AstroDat& S() { return program->s; }
    void Cmd(const std::string& target, const std::string& command) {
        program->Commands.RunUICommand(target, command);
    }
    std::string Value(const std::string& target) {
        return program->Commands.QueryUIValue(target, "");
    }

    test::TempDir dir;
    test::RecordingReport report;
    ui::AnsweringDialogs dialogs;
    std::set<std::string> knownStars;
    std::shared_ptr<InterpReports> reports;
    std::unique_ptr<shell::Program> program;
    TInterp* interp = nullptr;
    TIntSet* intSet = nullptr;
    TIntxt* intxt = nullptr;
};

} // namespace qor::interp
