// The Moon-in-sign window "MoonSgn": the text of the Moon in one sign from the base of the
// setup window's MoonMedEdit. It opens at the sign of the chart's Moon (the background
// chart's in a double chart) and follows the chart after each recompute while it is visible;
// its scroll bar steps through the twelve signs.
//
// The base is read once and kept until its name or its file (time, size) changes; a name
// that is empty or "nofile", or a file that does not open, leaves the shown text as it was
// (a failed open is told once for that name).
#pragma once

#include "core/AstroDat.h"
#include "core/Files.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <filesystem>
#include <string>
#include <vector>

namespace qor::interp {

// The sign 1..12 of a longitude (radians): 0 .. 30° Aries 1, up to 2π itself Pisces 12.
int MoonSignOf(double lon);

// One base kept in memory.
class MoonSignBase {
public:
    enum class Load { Off, Failed, Read };
    // The base of program name `name` (resolved against the program folder): read when it
    // was not read yet or its name or file changed; `error` gets what a failed read says.
    Load Use(const AstroDat& s, const std::string& name, IoResult& error);
    // The text of sign 1..12: the lines after the header whose characters 2 and 3 read as
    // that number ("[01]"), up to the next header; empty lines and comments left out.
    std::vector<std::string> SignText(int sign) const;
    // How often the file was read (the tests count it).
    int Reads = 0;

private:
    std::filesystem::path path_;
    std::filesystem::file_time_type time_{};
    std::uintmax_t size_ = 0;
    bool loaded_ = false;
    std::string bytes_;
    std::filesystem::path failed_; // the file whose failure was told
};

class TMoonSgn : public ui::TForm {
public:
    explicit TMoonSgn(shell::Program& p);

    ui::TMemo* Memo;  // the text shown
    ui::TMemo* Memo1; // the work memo, filled first (hidden)
    ui::TPanel* Panel;
    ui::TScrollBar* ScrollBar; // signs 0..11
    // The caption at creation: the sign's name follows it.
    std::string BaseCaption;

    // The chart's Moon: its sign in the scroll bar and its text.
    void ShowMoonInSign();
    // The text of sign 1..12.
    void ShowMoonSignText(int sign);
    const MoonSignBase& Base() const { return base_; }

private:
    shell::Program& p_;
    MoonSignBase base_;
};

// Registers the window class and its refresh after each recompute.
void RegisterMoonSgn(shell::Program& p);

} // namespace qor::interp
