// The program's entry: chooses the program folder, seeds it with the shipped data files, plugs
// the subsystems into the shell and runs the start-up and the message loop.
#include "app/Subsystems.h"
#include "core/ProgramFolder.h"
#include "shell/MainForm.h"
#include "shell/Program.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>
#include <filesystem>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    const auto home = qor::ChooseProgramFolder(args, std::getenv("QOR_HOME"), std::getenv("HOME"));
    const auto shipped = qor::ShippedDataDir(
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
    const qor::IoResult seeded = qor::SeedProgramFolder(shipped, home);
    if (!seeded.ok()) {
        QMessageBox::critical(
            nullptr, "QOR 5.12",
            QString::fromStdString("Cannot prepare the program folder: " + seeded.message));
        return 1;
    }

    qor::ui::QtDialogs dialogs;
    qor::ui::Screen().SetDialogs(&dialogs);
    int status = 0;
    {
        qor::shell::Program program(home);
        qor::app::RegisterSubsystems(program);
        qor::shell::EntryOptions options;
        options.args = args;
        status = qor::shell::ProgramEntry(program, options);
    }
    qor::ui::Screen().SetDialogs(nullptr);
    return status;
}
