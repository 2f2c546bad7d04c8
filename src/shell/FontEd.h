// The symbol-font editor (FontEd) and the font-file viewer (ViewFont).
//
// The editor edits the program's 16 x 16 symbol font pixel by pixel; changes show at once in
// everything drawn with the font and become permanent when saved. It doubles as the glyph
// picker of other windows (PickGlyph). The viewer shows another font file of the same format
// and hands single glyphs to the editor's glyph clipboard.
//
// The shell registers both classes with the screen:
//   p.FormClasses.Register("FontEd", [&] { return new TFontEd(dat, font); });
//   p.FormClasses.Register("ViewFont", [&] { return new TViewFont(dat); });
#pragma once

#include "core/AstroDat.h"
#include "core/SymbolFont.h"
#include "ui/Forms.h"
#include "ui/SymbolPainter.h"

#include <QImage>

#include <functional>

class QEventLoop;
#include <optional>

namespace qor::shell {

class TFontEd : public ui::TForm {
public:
    TFontEd(AstroDat& s, ui::Font16State& font);
    ~TFontEd() override;

    // Glyph size of the grids: 16 ("16x16") or 32 ("32x32", hidden); glyph rows exist at 16 only.
    int CellSize = 16;
    int CurrentGlyph = -1;  // the glyph being edited; outside 0..255 none
    uint8_t ShownGlyph = 0; // the glyph last drawn enlarged: the picker's answer
    GlyphRows ClipRows{};
    uint8_t ClipSize = 0; // 0: the glyph clipboard is empty
    bool FontModified = false;
    int LastCellX = -1, LastCellY = -1;

    ui::TPanel* Panel1;
    ui::TPaintBox* PaintBox1; // all 256 glyphs, 16 a line
    ui::TPaintBox* PaintBox2; // the current glyph, each pixel 4 x 4
    ui::TLabel* Label1;
    ui::TButton* CutButton;
    ui::TButton* InsButton;
    ui::TButton* SaveButton;
    ui::TButton* UpButton;
    ui::TButton* DownButton;
    ui::TButton* RightButton;
    ui::TButton* LeftButton;
    ui::TButton* OkButton;
    ui::TButton* FileButton;
    ui::TButton* Button1;
    ui::TRadioButton* RadioButton1; // "16x16"
    ui::TRadioButton* RadioButton2; // "32x32"
    ui::TTimer* Timer1;

    // Shows the editor modally; the glyph taken with "Этот", or nothing when the window was
    // closed another way.
    std::optional<int> ShowModalPick();
    // Puts 16 rows into the glyph clipboard (from the viewer) and redraws the enlarged glyph.
    void FontEdPutGlyph(const GlyphRows& rows, int glyph);

    // What the two paint boxes show.
    const QImage& TablePicture() const { return table_; }
    const QImage& GlyphPicture() const { return big_; }
    // Warning beeps given so far (a refused action).
    int Beeps = 0;
    // Called after every change of the glyphs, so that the screens can be redrawn.
    std::function<void()> OnFontChanged;

private:
    uint16_t Row(int c, int r) const;
    void SetRow(int c, int r, uint16_t word);
    bool HasGlyph() const { return CurrentGlyph >= 0 && CurrentGlyph < kFont16Glyphs; }
    void Beep();
    void Changed();
    void PaintTable();
    void PaintTableCell(int glyph);
    void DrawEnlarged(int glyph);
    void ToggleCell(int x, int y);
    void FormShow();
    void TableMouseDown(int x, int y);
    void GlyphMouseDown(int x, int y);
    void GlyphMouseMove(ui::Shift shift, int x, int y);
    void Cut();
    void Insert();
    void Shift(GlyphShift direction);
    void OpenViewer();
    void FormCloseQuery(bool& canClose);

    AstroDat& s_;
    ui::Font16State& font_;
    QImage table_, big_;
    bool modalOk_ = false;
};

class TViewFont : public ui::TForm {
public:
    explicit TViewFont(AstroDat& s);

    ui::TPaintBox* PaintBox; // 256 x 256: the glyphs of the loaded file, 16 a line
    ui::TLabel* Label1;      // the selected glyph, three digits
    ui::TButton* Button1;    // "Загрузить файл"
    ui::TButton* Button2;    // "Копировать символ"

    Font16Glyphs Glyphs; // the loaded file
    int SelectedGlyph = 0;

    const QImage& Picture() const { return picture_; }
    // Reads a font file: exactly 8192 bytes, otherwise "Неверный размер файла" and the font
    // shown stays.
    bool LoadFile(const fs::path& path);

private:
    void Repaint();
    void PaintCell(int glyph, ui::Colour background);
    void Select(int x, int y);
    void CopyGlyph();

    AstroDat& s_;
    QImage picture_;
};

// The glyph picker of other windows: the editor (created with its settings when there is none)
// shown modally with `glyph` as its current glyph; the glyph chosen with "Этот", else nothing.
std::optional<int> PickGlyph(int glyph);

} // namespace qor::shell
