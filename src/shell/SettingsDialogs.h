// The small settings dialogs of the shell: the general settings (GenSet), the colour picker
// (Colorf) and the paragraph format of the interpretation text (Paragr).
//
// The shell registers the classes with the screen:
//   p.FormClasses.Register("GenSet", [&] { return new TGenSet(dat, hooks); });
//   p.FormClasses.Register("Colorf", [] { return new TColorf; });
//   p.FormClasses.Register("Paragr", [] { return new TParagr; });
#pragma once

#include "core/AstroDat.h"
#include "core/ChartState.h"
#include "shell/ShellHooks.h"
#include "ui/Forms.h"

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace qor::shell {

// --- General settings -------------------------------------------------------------------

// The glyph font of the printed chart.
enum class PrinterGlyphFont { Qor = 0, WinStar = 1 };

// Precession of the star catalogue.
enum class StarPrecession { None = 0, OnDateSet = 1, Dynamic = 2 };

class TGenSet : public ui::TForm {
public:
    TGenSet(AstroDat& s, ShellHooks& hooks);

    ui::TTabControl* TabControl;
    ui::TPanel* Panel;     // page 0 "Общие"
    ui::TPanel* FontPanel; // page 1 "Шрифты"
    ui::TCheckBox* LightSpeed;
    ui::TCheckBox* MoonParall;
    ui::TRadioGroup* RiseGroup;
    ui::TCheckBox* SoundCheckBox;
    ui::TCheckBox* EEBox;
    ui::TCheckBox* NodeCheckBox;
    ui::TRadioGroup* PrecessGroup;
    ui::TCheckBox* ToolCheckBox;
    ui::TCheckBox* StartAsClock;
    ui::TCheckBox* LastChartRunBox;
    ui::TCheckBox* BckRealStartBox;
    ui::TButton* FontButton;
    ui::TButton* CourierButton;
    ui::TButton* GraphButton;
    ui::TRadioGroup* PrinterFontRadioGroup;

    // The options of these controls that the chart computation reads (the others it takes
    // from the natal-chart settings).
    void CopyTo(GeneralOptions& opt) const;
    StarPrecession Precession() const;
    PrinterGlyphFont PrinterFont() const;

    // Sets the hint of BckRealStartBox (message 149); the shell calls it once the message
    // texts can be read.
    void SetHints();

private:
    void TabControlChange();
    void ToolCheckBoxClick();
    void ChooseTableFont();
    void Changed();

    AstroDat& s_;
    ShellHooks& hooks_;
};

// True when "." and "W" are equally wide in the font (a fixed-pitch font).
bool IsFixedPitchFont(const ui::FontSpec& font);

// --- Colour dialog ----------------------------------------------------------------------

// Colours are $00BBGGRR: red in the low byte.
struct RgbParts {
    int red = 0, green = 0, blue = 0;
};
RgbParts SplitColorValue(uint32_t colorValue);
uint32_t JoinColorValue(const RgbParts& rgb);

class TColorf : public ui::TForm {
public:
    TColorf();

    ui::TSpinEdit* SpinEdit1; // red
    ui::TSpinEdit* SpinEdit2; // green
    ui::TSpinEdit* SpinEdit3; // blue
    ui::TTrackBar* TrackBar1;
    ui::TTrackBar* TrackBar2;
    ui::TTrackBar* TrackBar3;
    ui::TLabel* Label1;
    ui::TLabel* Label2;
    ui::TLabel* Label3;
    ui::TPaintBox* PaintBox1;
    ui::TButton* Button1;
    ui::TSpeedButton* SaveButton;
    ui::TSpeedButton* ResButton;
    ui::TTimer* Timer1;

    // The colour in and out; the remembered colour is kept for the whole run.
    static uint32_t ColorValue;
    static uint32_t SavedColor;

    // Puts ColorValue into the spin edits and track bars. The three parts are taken from the
    // colour first and set with the handlers quiet, so no half-loaded colour is ever computed.
    void LoadControls();
    // ColorValue from the spin edits, and the swatch redrawn.
    void RecomputeColor();

private:
    void SpinChanged(ui::TSpinEdit* spin, ui::TTrackBar* bar);
    bool loading_ = false;
};

// Creates the colour dialog unless one exists.
TColorf* CreateColorForm();
// The colour dialog shown modally, starting from `color`: the colour chosen with "Этот", or
// nothing when it was closed another way.
std::optional<uint32_t> ChooseColorValue(uint32_t color);

// --- Paragraph dialog -------------------------------------------------------------------

// Indents in millimetres: the left and right margins and the first line's extra indent.
struct ParagraphIndents {
    int left = 0, right = 0, first = 0;
};
// The indents of the hidden edit "left;right;first"; a field that is no number counts 0.
ParagraphIndents ParseIndentText(const std::string& text);
std::string IndentText(const ParagraphIndents& mm);

// Millimetres to pixels at `dpi` pixels per inch (25.4 millimetres), rounded.
int MillimetresToPixels(int mm, double dpi);

// The paragraph format of a text control (QTextEdit or QPlainTextEdit): every paragraph gets
// the left and right margins and the first-line indent (pixels) and the word wrap.
struct ParagraphPixels {
    int left = 0, right = 0, first = 0;
    bool wrap = false;
};
ParagraphPixels ParagraphPixelsOf(const ParagraphIndents& mm, bool wrap, double dpi);
void ApplyParagraphFormat(QWidget* textControl, const ParagraphPixels& px);
ParagraphPixels ParagraphFormatOf(QWidget* textControl); // of the first paragraph
bool WordWrapOf(QWidget* textControl);

class TParagr : public ui::TForm {
public:
    TParagr();

    ui::TGroupBox* GroupBox1; // "Отступ (мм)"
    ui::TSpinEdit* LeftSpin;
    ui::TSpinEdit* RightSpin;
    ui::TSpinEdit* FirstSpin;
    ui::TLabel* Label1;
    ui::TLabel* Label2;
    ui::TLabel* Label3;
    ui::TCheckBox* WrapBox;
    ui::TButton* Button1;
    ui::TButton* Button2;
    ui::TEdit* Edit; // hidden: "left;right;first", saved with the window

    // Pixels per inch of the text; 0: the text control's own.
    double Dpi = 0;

    // The interpretation window's text control ("Interp,Memo"), or null.
    static QWidget* TextControl();

private:
    ParagraphIndents Spins() const;
    double DpiOf(QWidget* text) const;
    void Button1Click();
    void Button2Click();
    void WrapBoxClick();

    friend void ApplyParagraphSettings(TParagr& p);
};

// Gives the interpretation text its saved paragraph format (start-up).
void ApplyParagraphSettings(TParagr& p);

} // namespace qor::shell
