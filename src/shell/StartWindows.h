// The windows that frame the program's use: the splash window (Form2) shown during start-up,
// the start window (StartShow) with the summary of the day and the Moon's phase, and the
// about box (AboutBox).
//
// Start-up creates the splash window after its first step, puts each step's text into its
// caption (SetCaption) and closes it after the last step; the first main tick and Ctrl+Alt+S
// call ShowDayInfo; the help menu opens the about box:
//   p.FormClasses.Register("AboutBox", [&] { return new TAboutBox(dat); });
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "core/ChartState.h"
#include "shell/ShellHooks.h"
#include "ui/Forms.h"

#include <QImage>

#include <functional>
#include <string>

namespace qor::shell {

// The raster operation "merge paint": each destination pixel becomes the inverted source
// ORed with the destination, channel by channel, for the source placed at (x, y).
void MergePaint(QImage& dest, const QImage& src, int x, int y);

class TForm2 : public ui::TForm {
public:
    explicit TForm2(AstroDat& s);

    QImage Title;   // "ijtitul1.qor"
    QImage Overlay; // "ijtitul2.qor"

    // What the window shows: the title picture, the overlay merged over it and the version.
    QImage Picture() const;
};

// The dark part of the Moon over a picture of width x height pixels: a polygon of 60 points
// around (width / 2 − 1, height / 2), radius 84, between the terminator and the limb (1.03
// radii). `phaseAngle` is the signed phase angle (0 full Moon, ±π new Moon; negative while the
// Moon waxes, when the shadow is on the left, the eastern limb of the sky): the terminator
// stands at −cos(phase angle) of the radius, so that the shadow covers 1 − k of the disc.
void DrawMoonShadow(QPainter& p, int width, int height, double phaseAngle);

class TStartShow : public ui::TForm {
public:
    explicit TStartShow(AstroDat& s);

    ui::TPanel* Panel;
    ui::TPaintBox* PaintBox;

    std::string DayText; // lines separated by ";"
    QImage MoonBitmap;   // "JPG\Moon\Moon.bmp", 201 x 194
    double PhaseAngle = 0;
    double PhaseFraction = 1;

    // The picture of the paint box: the Moon and, at a fraction up to 0.99, its shadow.
    QImage MoonPicture() const;
    std::vector<std::string> Lines() const;

private:
    void FormShow();
    void PaintText(QPainter& p);
    AstroDat& s_;
};

// Builds the summary of the day the program started with (DatRecStart) and shows it in a new
// start window. The chart moment and the horizontal parallax are as before when it returns.
TStartShow* ShowDayInfo(AstroDat& s, ChartEngine& chart, const GeneralOptions& opt,
                        const ShellHooks& hooks);

class TAboutBox : public ui::TForm {
public:
    explicit TAboutBox(AstroDat& s);

    ui::TLabel* ProductName;
    ui::TLabel* Label1; // the version
    ui::TEdit* Edit1;   // mail address
    ui::TEdit* Edit2;   // web address and a language tag
    ui::TEdit* Edit3;

    // Opens an address with the desktop (tests replace it).
    static std::function<void(const std::string& url)> OpenUrl;

private:
    void OpenEdit(ui::TEdit* e);
    AstroDat& s_;
};

} // namespace qor::shell
