// The own-place window "QorLoc": the user's home place (city, country, latitude, longitude and
// dT) and the computer's clock and time zone, with a warning when the computer's offset from
// UTC differs from the home dT. The start-up checks the zone through it and logs the place.
#pragma once

#include "chart/BirthFields.h"
#include "geo/ComputerZone.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <functional>
#include <map>
#include <string>

namespace qor::geo {

class TQorLoc : public ui::TForm {
public:
    explicit TQorLoc(shell::Program& p);

    ui::TLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    ui::TEdit *astCity, *astCountry, *astLat, *astLong, *astdT;
    ui::TGroupBox* GroupBox1;
    ui::TLabel *Label6, *Label7, *Label8, *Label9; // captions of the computer's values
    ui::TLabel *Label10, *Label13;                 // local time, UTC
    ui::TLabel *Label11, *Label12;                 // standard zone, summer-time shift
    ui::TPanel* Panel1;
    ui::TLabel *ErrTLabel, *ErrFLabel, *ErrCLabel;
    ui::TCheckBox* TimeCheckBox;
    ui::TButton *Button1, *Button2, *Button3;
    ui::TTimer* Timer1;

    // The computer's clock and zone (tests put a fixed instant and zone in).
    std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTimeUtc(); };
    std::function<QTimeZone()> ComputerZone = [] { return QTimeZone::systemTimeZone(); };

    // Refreshes the computer panel and the warnings; true when no warning is shown.
    bool CheckComputerZone();
    // The home place and the clock check as the lines of the start log.
    std::vector<std::string> UserLocationLines();

    void FormShow();
    void Button1Click();
    void Button2Click();
    // A home field left: a value that is no latitude, longitude or zone is refused, named on
    // the status line with the error sound, the field gets its last good value back and keeps
    // the focus. True when the value is good.
    bool FieldExit(ui::TEdit* e);

private:
    chart::FieldShape ShapeOf(const ui::TEdit* e) const;
    void FieldKeyDown(ui::TEdit* e, int& key);
    void PlaceCaret(ui::TEdit* e);
    shell::Program& p_;
    int caret_ = 1;
    std::map<const ui::TEdit*, std::string> accepted_; // the last good value of each field
};

// The start log's lines of the home place (nothing when the log could not be written).
void LogUserLocation(shell::Program& p);

} // namespace qor::geo
