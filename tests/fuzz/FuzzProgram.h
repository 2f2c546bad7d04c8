// The whole program for the targets that drive it: started once per process, offscreen, in a
// program folder under the scratch folder seeded with the shipped data, every window class
// made once (hidden), the main clock stopped. No question waits on a person (every dialog
// answers at once: cancel, or the default button), no page or address is opened.
//
// A target that needs it includes, besides this header, the headers of the libraries it
// drives ("app/Subsystems.h", "shell/...") so that its libFuzzer binary links them.
#pragma once

#include "FuzzTarget.h"

#include "app/Subsystems.h"
#include "core/Files.h"
#include "core/ProgramFolder.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/Program.h"
#include "shell/StartWindows.h"
#include "shell/Tech.h"

#include "support/QtApp.h"

#include <QCoreApplication>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace qor::fuzz {

// The started program's folder.
inline fs::path ProgramHome() {
    return Folder() / "home";
}

namespace detail {

inline ui::AnsweringDialogs& FuzzDialogs() {
    static ui::AnsweringDialogs dialogs;
    return dialogs;
}

inline std::unique_ptr<shell::Program>& ProgramSlot() {
    // never destroyed: tearing the program down from exit handlers outlives Qt's own state
    static auto* slot = new std::unique_ptr<shell::Program>;
    return *slot;
}

inline void StartProgram() {
    test::QtApp();
    ui::Screen().SetDialogs(&FuzzDialogs());
    ui::Screen().SetSize(1280, 1024);
    static const bool seeded =
        SeedProgramFolder(fs::path(QOR_SOURCE_DIR) / "data", ProgramHome()).ok();
    if (!seeded) std::abort();
    auto& slot = ProgramSlot();
    slot = std::make_unique<shell::Program>(ProgramHome());
    app::RegisterSubsystems(*slot);
    shell::EntryOptions o;
    o.runLoop = false;
    o.russianLocale = 1;
    if (shell::ProgramEntry(*slot, o) != 0 || !slot->Form1) std::abort();
    slot->Tech->MainClock->SetEnabled(false);
    slot->Tech->OpenUrl = [](const fs::path&) { return true; };
    shell::TAboutBox::OpenUrl = [](const std::string&) {};
    // every window class once, so that settings and commands find their forms
    for (const std::string& name : ui::Screen().FormClassNames())
        if (!ui::Screen().FindForm(name)) ui::Screen().Ensure(name);
}

} // namespace detail

// The started program, started again when an input closed its main window (the program would
// have ended there).
inline shell::Program& StartedProgram() {
    auto& slot = detail::ProgramSlot();
    if (slot && slot->Form1 && slot->Form1->isVisible()) return *slot;
    if (slot) {
        slot->Form1->SaveAndCloseAll();
        slot.reset();
    }
    detail::StartProgram();
    return *slot;
}

// Writes `bytes` as the program's file `name` (a program name such as "msg\receive.tmp").
inline void PutProgramFile(shell::Program& p, std::string_view name, std::string_view bytes) {
    std::ofstream out(p.s.DataPath(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The started program's command link on the plain screen (each input starts there, as a
// peer's script does), with `bytes` written as the program file `name`.
inline shell::CommLink& LinkWithFile(shell::Program& p, std::string_view name,
                                     std::string_view bytes) {
    shell::CommLink& link = *p.Form1->Link;
    link.ExecMsgCommand("InitScr");
    PutProgramFile(p, name, bytes);
    return link;
}

// Runs the commands waiting for the link as its polls do (the second takes an unfinished
// last line).
inline void PollTwice(shell::CommLink& link) {
    link.PollMsgReceive();
    link.PollMsgReceive();
}

// After an input: what it posted runs, what it asked is forgotten, its answers are taken.
inline void SettleProgram(shell::Program& p) {
    QCoreApplication::processEvents();
    detail::FuzzDialogs().asked.clear();
    std::error_code ec;
    fs::remove(p.s.DataPath("msg\\send.tmp"), ec);
}

} // namespace qor::fuzz
