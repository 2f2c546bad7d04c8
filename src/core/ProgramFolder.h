// The program folder: the one writable folder that holds the program's data files.
#pragma once

#include "core/Files.h"

#include <optional>
#include <string>
#include <vector>

namespace qor {

// Chooses the program folder: "--home DIR" (or "--home=DIR") among the arguments, else
// $QOR_HOME, else $HOME/.local/share/qor. The chosen argument pair is removed from `args`.
fs::path ChooseProgramFolder(std::vector<std::string>& args, const char* envQorHome,
                             const char* envHome);

// The folder of the shipped data files for an executable in `exeDir`: "data" beside it, or
// "../share/qor" of an installed program. Empty when neither exists.
fs::path ShippedDataDir(const fs::path& exeDir);

// Creates `home` and copies into it every shipped file it does not have yet, folders included;
// files the user already has are never overwritten. `copied` counts the files copied.
IoResult SeedProgramFolder(const fs::path& shipped, const fs::path& home, int* copied = nullptr);

} // namespace qor
