#include "shell/FontEd.h"

#include "core/Formats.h"
#include "core/Text.h"

#include <QApplication>
#include <QEventLoop>
#include <QPainter>
#include <QPalette>
#include <QPointer>

namespace qor::shell {

using namespace ui;

namespace {

constexpr int kZoom = 4; // pixels per glyph pixel in the enlarged view

QImage WhitePicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

Colour ButtonFace() {
    return FromQColor(QApplication::palette().color(QPalette::Button));
}

} // namespace

// --- TFontEd ------------------------------------------------------------------------------------

TFontEd::TFontEd(AstroDat& s, Font16State& font) : TForm("FontEd"), s_(s), font_(font) {
    SetHelpTopic("font_editor.html");
    SetCaption("Редактор шрифта"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);
    SetBounds(200, 120, 470, 300);

    Panel1 = Add<TPanel>("Panel1", {8, 8, 260, 260});
    ui::SetColor(Panel1, kWhite);
    PaintBox1 = Add<TPaintBox>("PaintBox1", {2, 2, 256, 256}, Panel1);
    PaintBox2 = Add<TPaintBox>("PaintBox2", {280, 8, 16 * kZoom, 16 * kZoom});
    Label1 = Add<TLabel>("Label1", {352, 8, 60, 20});
    CutButton = Add<TButton>("CutButton", {280, 80, 85, 25});
    CutButton->SetCaption("Вырезать"_cp);
    InsButton = Add<TButton>("InsButton", {370, 80, 85, 25});
    InsButton->SetCaption("Вставить"_cp);
    UpButton = Add<TButton>("UpButton", {330, 112, 30, 25});
    UpButton->SetCaption("^");
    LeftButton = Add<TButton>("LeftButton", {296, 140, 30, 25});
    LeftButton->SetCaption("<");
    RightButton = Add<TButton>("RightButton", {364, 140, 30, 25});
    RightButton->SetCaption(">");
    DownButton = Add<TButton>("DownButton", {330, 168, 30, 25});
    DownButton->SetCaption("v");
    SaveButton = Add<TButton>("SaveButton", {280, 204, 85, 25});
    SaveButton->SetCaption("Сохранить"_cp);
    FileButton = Add<TButton>("FileButton", {370, 204, 85, 25});
    FileButton->SetCaption("Файл..."_cp);
    OkButton = Add<TButton>("OkButton", {280, 240, 85, 25});
    OkButton->SetCaption("Этот"_cp);
    Button1 = Add<TButton>("Button1", {370, 240, 85, 25});
    Button1->SetCaption("Button1");
    RadioButton1 = Add<TRadioButton>("RadioButton1", {402, 112, 66, 20});
    RadioButton1->SetCaption("16x16");
    RadioButton1->SetChecked(true);
    RadioButton2 = Add<TRadioButton>("RadioButton2", {402, 134, 66, 20});
    RadioButton2->SetCaption("32x32");
    SetVisible(RadioButton2, false);
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetInterval(100);
    Timer1->SetEnabled(false);

    table_ = WhitePicture(256, 256);
    big_ = WhitePicture(16 * kZoom, 16 * kZoom);
    PaintBox1->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, table_); };
    PaintBox2->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, big_); };
    PaintBox1->OnMouseDown = [this](MouseButton, ui::Shift, int x, int y) { TableMouseDown(x, y); };
    PaintBox2->OnMouseDown = [this](MouseButton b, ui::Shift, int x, int y) {
        if (b == MouseButton::Left) GlyphMouseDown(x, y);
    };
    PaintBox2->OnMouseMove = [this](ui::Shift sh, int x, int y) { GlyphMouseMove(sh, x, y); };
    CutButton->OnClick = [this] { Cut(); };
    InsButton->OnClick = [this] { Insert(); };
    UpButton->OnClick = [this] { Shift(GlyphShift::Up); };
    DownButton->OnClick = [this] { Shift(GlyphShift::Down); };
    RightButton->OnClick = [this] { Shift(GlyphShift::Right); };
    LeftButton->OnClick = [this] { Shift(GlyphShift::Left); };
    SaveButton->OnClick = [this] {
        if (CellSize == 16 && SaveSymbolFont(s_, font_.Glyphs)) FontModified = false;
    };
    FileButton->OnClick = [this] { OpenViewer(); };
    OkButton->OnClick = [this] {
        modalOk_ = true;
        if (InModalLoop())
            SetModalResult(mrOk);
        else
            Close();
    };
    Timer1->OnTimer = [this] {
        Timer1->SetEnabled(false);
        if (HasGlyph()) DrawEnlarged(CurrentGlyph);
    };
    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool& can) { FormCloseQuery(can); };
    OnClose = [](CloseAction& action) { action = CloseAction::Free; };
    PaintTable();
}

TFontEd::~TFontEd() = default;

uint16_t TFontEd::Row(int c, int r) const {
    return CellSize == 16 ? GlyphRow(font_.Glyphs, c, r) : 0;
}

void TFontEd::SetRow(int c, int r, uint16_t word) {
    if (CellSize == 16) SetGlyphRow(font_.Glyphs, c, r, word);
}

void TFontEd::Beep() {
    ++Beeps;
    QApplication::beep();
}

void TFontEd::Changed() {
    FontModified = true;
    if (HasGlyph()) {
        DrawEnlarged(CurrentGlyph);
        PaintTableCell(CurrentGlyph);
    }
    if (OnFontChanged) OnFontChanged();
}

void TFontEd::FormShow() {
    CellSize = RadioButton2->Checked() ? 32 : 16;
    Label1->SetCaption(std::to_string(CurrentGlyph));
    Timer1->SetEnabled(true);
}

void TFontEd::PaintTable() {
    table_.fill(Qt::white);
    {
        Canvas c(table_);
        for (int line = 0; line < 16; ++line) {
            std::string text;
            for (int k = 0; k < 16; ++k) text += static_cast<char>(line * 16 + k);
            DrawGlyphText(font_.Glyphs, 0, 16 * line, false, c, text);
        }
    }
    PaintBox1->Invalidate();
}

void TFontEd::PaintTableCell(int glyph) {
    {
        Canvas c(table_);
        DrawGlyphText(font_.Glyphs, (glyph % 16) * 16, (glyph / 16) * 16, true, c,
                      std::string(1, static_cast<char>(glyph)));
    }
    PaintBox1->Invalidate();
}

void TFontEd::DrawEnlarged(int glyph) {
    if (glyph < 0 || glyph >= kFont16Glyphs) return;
    ShownGlyph = static_cast<uint8_t>(glyph);
    {
        Canvas c(big_);
        c.SetPenStyle(PenStyle::Clear);
        for (int r = 1; r <= 16; ++r) {
            const uint16_t word = Row(glyph, r);
            for (int col = 0; col < 16; ++col) {
                c.SetBrushColor(word & (0x8000u >> col) ? kBlack : kWhite);
                c.FillRect(col * kZoom, (r - 1) * kZoom, (col + 1) * kZoom, r * kZoom);
            }
        }
    }
    PaintBox2->Invalidate();
}

void TFontEd::TableMouseDown(int x, int y) {
    if (x < 0 || y < 0) return;
    const int glyph = (y / CellSize) * 16 + x / CellSize;
    if (glyph >= kFont16Glyphs) return; // below the table: no glyph there
    CurrentGlyph = glyph;
    Label1->SetCaption(std::to_string(glyph));
    DrawEnlarged(glyph);
}

void TFontEd::ToggleCell(int x, int y) {
    const int col = x / kZoom, row = y / kZoom;
    if (!HasGlyph() || x < 0 || y < 0 || col > CellSize - 1 || row > CellSize - 1) return;
    if (CellSize != 16) return;
    LastCellX = col;
    LastCellY = row;
    SetRow(CurrentGlyph, row + 1,
           static_cast<uint16_t>(Row(CurrentGlyph, row + 1) ^ (0x8000u >> col)));
    Changed();
}

void TFontEd::GlyphMouseDown(int x, int y) {
    ToggleCell(x, y);
}

void TFontEd::GlyphMouseMove(ui::Shift shift, int x, int y) {
    if (!(shift & ssLeft) || x < 0 || y < 0) return;
    if (x / kZoom == LastCellX && y / kZoom == LastCellY) return;
    ToggleCell(x, y);
}

void TFontEd::Cut() {
    if (!HasGlyph() || CellSize != 16) return Beep();
    ClipRows = GlyphRowsOf(font_.Glyphs, CurrentGlyph);
    ClipSize = static_cast<uint8_t>(CellSize);
    ClearGlyph(font_.Glyphs, CurrentGlyph);
    Changed();
}

void TFontEd::Insert() {
    if (!HasGlyph() || ClipSize == 0 || CellSize != 16) return Beep();
    SetGlyphRows(font_.Glyphs, CurrentGlyph, ClipRows);
    Changed();
}

void TFontEd::Shift(GlyphShift direction) {
    if (!HasGlyph() || CellSize != 16) return Beep();
    ShiftGlyph(font_.Glyphs, CurrentGlyph, direction);
    Changed();
}

void TFontEd::FontEdPutGlyph(const GlyphRows& rows, int) {
    ClipRows = rows;
    ClipSize = 16;
    if (HasGlyph()) DrawEnlarged(CurrentGlyph);
}

void TFontEd::OpenViewer() {
    if (TForm* v = Screen().Ensure("ViewFont")) v->show();
}

void TFontEd::FormCloseQuery(bool& canClose) {
    if (!FontModified) return;
    const MsgResult answer =
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s_, 155), MsgButtons::YesNo);
    if (answer == MsgResult::Yes) {
        // A failed save keeps the window and the changes: the user has been told and may
        // try again or drop them.
        if (!SaveSymbolFont(s_, font_.Glyphs)) {
            canClose = false;
            return;
        }
    } else {
        LoadSymbolFont(s_, font_.Glyphs);
        PaintTable();
        if (OnFontChanged) OnFontChanged();
    }
    FontModified = false;
}

std::optional<int> TFontEd::ShowModalPick() {
    modalOk_ = false;
    QPointer<TFontEd> self(this);
    ShowModal();
    if (!self || !modalOk_) return std::nullopt;
    return ShownGlyph;
}

std::optional<int> PickGlyph(int glyph) {
    auto* ed = Screen().Ensure<TFontEd>("FontEd");
    if (!ed) return std::nullopt;
    ed->CurrentGlyph = glyph;
    return ed->ShowModalPick();
}

// --- TViewFont ----------------------------------------------------------------------------------

TViewFont::TViewFont(AstroDat& s) : TForm("ViewFont"), s_(s) {
    SetHelpTopic("font_editor.html");
    SetCaption("Файл шрифта"_cp);
    SetStoresSettings(true);
    SetBounds(240, 160, 300, 330);
    PaintBox = Add<TPaintBox>("PaintBox", {8, 8, 256, 256});
    Label1 = Add<TLabel>("Label1", {8, 272, 40, 20});
    Label1->SetCaption("000");
    Button1 = Add<TButton>("Button1", {48, 268, 110, 25});
    Button1->SetCaption("Загрузить файл"_cp);
    Button2 = Add<TButton>("Button2", {162, 268, 130, 25});
    Button2->SetCaption("Копировать символ"_cp);
    picture_ = WhitePicture(256, 256);
    PaintBox->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, picture_); };
    PaintBox->OnMouseDown = [this](MouseButton, ui::Shift, int x, int y) { Select(x, y); };
    PaintBox->OnDblClick = [this] { CopyGlyph(); };
    Button2->OnClick = [this] { CopyGlyph(); };
    Button1->OnClick = [this] {
        fs::path file = s_.ProgramFolder;
        if (Screen().Dlg().OpenFile("", Lang(s_, "Файлы шрифтов QOR (*.fnt)|*.FNT|"_cp,
                                             "QOR font files (*.fnt)|*.FNT|"),
                                    file))
            LoadFile(file);
        Repaint();
    };
    OnClose = [](CloseAction& action) { action = CloseAction::Free; };
    Repaint();
}

bool TViewFont::LoadFile(const fs::path& path) {
    const IoResult r = ReadSymbolFontFile(path, Glyphs);
    if (r.error == EINVAL) {
        Screen().Dlg().Message(MsgKind::Error, "Неверный размер файла"_cp, MsgButtons::Ok);
        return false;
    }
    if (IOCheck(s_, r, path.filename().string())) return false;
    Repaint();
    return true;
}

void TViewFont::PaintCell(int glyph, Colour background) {
    {
        Canvas c(picture_);
        c.SetPenStyle(PenStyle::Clear);
        c.SetBrushColor(background);
        const int x = (glyph % 16) * 16, y = (glyph / 16) * 16;
        c.FillRect(x, y, x + 16, y + 16);
        DrawGlyphText(Glyphs, x, y, false, c, std::string(1, static_cast<char>(glyph)));
    }
    PaintBox->Invalidate();
}

void TViewFont::Repaint() {
    picture_.fill(ToQColor(ButtonFace()));
    for (int g = 0; g < kFont16Glyphs; ++g)
        PaintCell(g, g == SelectedGlyph ? kWhite : ButtonFace());
}

void TViewFont::Select(int x, int y) {
    if (x < 0 || y < 0 || x >= 256 || y >= 256) return;
    PaintCell(SelectedGlyph, ButtonFace());
    SelectedGlyph = (y / 16) * 16 + x / 16;
    Label1->SetCaption(IntToStrZ(SelectedGlyph, 3));
    PaintCell(SelectedGlyph, kWhite);
}

void TViewFont::CopyGlyph() {
    if (auto* ed = dynamic_cast<TFontEd*>(Screen().FindForm("FontEd")))
        ed->FontEdPutGlyph(GlyphRowsOf(Glyphs, SelectedGlyph), SelectedGlyph);
}

} // namespace qor::shell
