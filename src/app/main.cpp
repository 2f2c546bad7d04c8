// The program's entry: chooses the program folder, seeds it with the shipped data files and
// opens the main window.
#include "core/ProgramFolder.h"

#include <QApplication>
#include <QMainWindow>
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

    QMainWindow window;
    window.setObjectName("Form1");
    window.setWindowTitle("QOR 5.12");
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
