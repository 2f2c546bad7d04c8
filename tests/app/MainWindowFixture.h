// The whole program started offscreen in a seeded temporary home, with the tool windows of
// later subsystems as plain windows of their names; the main clock is stopped (tests tick by
// hand) and help pages are recorded instead of opened.
#pragma once

#include "app/Subsystems.h"
#include "core/Files.h"
#include "core/ProgramFolder.h"
#include "shell/MainForm.h"
#include "shell/StartForms.h"
#include "shell/Tech.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <QMenu>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qor::shell {

using namespace ui;
namespace fs = std::filesystem;

inline const fs::path kShippedData = fs::path(QOR_SOURCE_DIR) / "data";

// Tool windows of later subsystems, as plain windows of their names (a subsystem's own window
// class stays).
inline const char* const kToolWindows[] = {
    "AspTabl", "Star", "AstroForm", "AstrCalc", "MoonSgn", "Tab", "Moon",
    "Deep",    "Asterid", "Asteroids", "StarConj", "Art",     "AboutBox", "Dict"};

inline void RegisterToolWindows(Program& p) {
    for (const char* name : kToolWindows)
        if (!p.FormClasses.Has(name))
            p.FormClasses.Register(name, [name] { return new PlaceholderForm(name, name); });
}

// Every window class the program registers, made once (the long-lived windows, those made on
// demand, the dialogs).
inline void EnsureEveryForm() {
    for (const std::string& name : Screen().FormClassNames()) Screen().Ensure(name);
}

// Clicks a menu item or a button of the main window's own (printing, the printer set-up, the
// bitmap file and the demonstration clip left out: they ask the desktop); false for any other
// component.
inline bool ClickMainItem(const Component& c) {
    const std::string name = c.Name();
    if (name == "N82" || name == "N81" || name == "BMP1" || name == "Nscena") return false;
    if (c.kind == Kind::MenuItem)
        c.as<TMenuItem>()->Click();
    else if (c.kind == Kind::SpeedButton)
        c.as<TSpeedButton>()->Click();
    else
        return false;
    return true;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        Screen().SetDialogs(&dialogs);
        Screen().SetSize(1280, 1024);
        ASSERT_TRUE(SeedProgramFolder(kShippedData, dir.path()).ok());
        Start();
    }
    void TearDown() override {
        Stop();
        Screen().SetDialogs(nullptr);
        Screen().SetSize(0, 0);
    }
    void Start() {
        Stop();
        program = std::make_unique<Program>(dir.path());
        app::RegisterSubsystems(*program);
        RegisterToolWindows(*program);
        EntryOptions o;
        o.args = args;
        o.runLoop = false;
        o.russianLocale = 1;
        ASSERT_EQ(ProgramEntry(*program, o), 0);
        form1 = program->Form1;
        ASSERT_TRUE(form1 && form1->Started);
        program->Tech->MainClock->SetEnabled(false); // the tests tick by hand
        program->Tech->OpenUrl = [this](const fs::path& page) {
            opened.push_back(page.filename().string());
            return true;
        };
    }
    // Starts again in English mode ("/e").
    void StartInEnglish() {
        Stop();
        program = std::make_unique<Program>(dir.path());
        app::RegisterSubsystems(*program);
        RegisterToolWindows(*program);
        EntryOptions o;
        o.runLoop = false;
        o.args = {"/e"};
        ASSERT_EQ(ProgramEntry(*program, o), 0);
        form1 = program->Form1;
    }
    void Stop() {
        if (program && program->Form1) program->Form1->SaveAndCloseAll();
        program.reset();
        form1 = nullptr;
    }
    bool Visible(const std::string& name) {
        TForm* f = Screen().FindForm(name);
        return f && f->isVisible();
    }
    void CloseTools() {
        for (TForm* f : std::vector<TForm*>(Screen().Forms()))
            if (f->Name() != "Form1" && f->isVisible()) f->Close();
        for (QMenu* m : form1->findChildren<QMenu*>()) m->hide();
    }
    std::vector<std::string> SendLines() {
        std::vector<std::string> lines;
        ReadTextLines(dir / "msg" / "send.tmp", lines);
        return lines;
    }

    test::TempDir dir;
    std::vector<std::string> args; // the command line of the next Start ("/e": English)
    AnsweringDialogs dialogs;
    std::unique_ptr<Program> program;
    TForm1* form1 = nullptr;
    std::vector<std::string> opened;
};

} // namespace qor::shell
