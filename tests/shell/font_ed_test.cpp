// The symbol-font editor and viewer driven through their controls: picking, pixel toggling,
// dragging, the glyph clipboard, shifts, saving, closing with changes, the viewer's files and
// the modal glyph picker.
#include "shell/FontEd.h"

#include "core/Text.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::shell {
namespace {

using namespace ui;

const std::filesystem::path kData = std::filesystem::path(QOR_SOURCE_DIR) / "data";

class FontEdTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"font16.fnt", "rtext.txt", "etext.txt"})
            std::filesystem::copy_file(kData / f, dir / f);
        s.ProgramFolder = dir.path();
        s.Report = &report;
        ASSERT_TRUE(LoadSymbolFont(s, font.Glyphs));
        Screen().SetDialogs(&dialogs);
        Screen().RegisterFormClass("FontEd", [this] { return new TFontEd(s, font); });
        Screen().RegisterFormClass("ViewFont", [this] { return new TViewFont(s); });
        ed = new TFontEd(s, font);
    }
    void TearDown() override {
        delete ed.data();
        if (TForm* v = Screen().FindForm("ViewFont")) delete v;
        Screen().SetDialogs(nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::string FileBytes() { return test::TempDir::Read(dir / "font16.fnt"); }
    // A click in the table on the cell of glyph c.
    void PickInTable(int c) {
        ed->PaintBox1->OnMouseDown(MouseButton::Left, 0, (c % 16) * 16 + 5, (c / 16) * 16 + 9);
    }
    // Pixel (col 0..15, row 1..16) of the enlarged view.
    void PressBig(int col, int row) {
        ed->PaintBox2->OnMouseDown(MouseButton::Left, ssLeft, col * 4 + 1, (row - 1) * 4 + 2);
    }
    void DragBig(int x, int y) { ed->PaintBox2->OnMouseMove(ssLeft, x, y); }

    test::TempDir dir;
    test::RecordingReport report;
    AnsweringDialogs dialogs;
    AstroDat s;
    Font16State font;
    QPointer<TFontEd> ed;
};

TEST_F(FontEdTest, TableClickPicksTheGlyphAndShowsItEnlarged) {
    EXPECT_EQ(ed->objectName(), "FontEd");
    EXPECT_EQ(ed->Caption(), "Редактор шрифта"_cp);
    EXPECT_EQ(ed->FindComponent("OkButton")->as<TButton>()->Caption(), "Этот"_cp);
    PickInTable(65);
    EXPECT_EQ(ed->CurrentGlyph, 65);
    EXPECT_EQ(ed->Label1->Caption(), "65");
    EXPECT_EQ(ed->ShownGlyph, 65);
    const QImage& big = ed->GlyphPicture();
    for (int r = 1; r <= 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            const bool set = GlyphRow(font.Glyphs, 65, r) & (0x8000 >> c);
            for (int dy = 0; dy < 4; ++dy) {
                for (int dx = 0; dx < 4; ++dx) {
                    ASSERT_EQ(big.pixel(c * 4 + dx, (r - 1) * 4 + dy) & 0xFFFFFF,
                              set ? 0u : 0xFFFFFFu)
                        << r << "," << c;
                }
            }
        }
    }
    // The table shows every glyph in its 16 x 16 cell (the Sun, code 32, on line 2).
    const QImage& table = ed->TablePicture();
    for (int r = 1; r <= 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            const bool set = GlyphRow(font.Glyphs, 32, r) & (0x8000 >> c);
            ASSERT_EQ(table.pixel(c, 32 + r - 1) & 0xFFFFFF, set ? 0u : 0xFFFFFFu);
        }
    }
}

TEST_F(FontEdTest, TogglingColumnZeroRowOneOfGlyph65FlipsBit8000AtByte2080) {
    const std::string before = FileBytes();
    PickInTable(65);
    PressBig(0, 1);
    EXPECT_TRUE(ed->FontModified);
    ed->SaveButton->Click();
    EXPECT_FALSE(ed->FontModified);
    const std::string after = FileBytes();
    ASSERT_EQ(after.size(), 8192u);
    for (std::size_t i = 0; i < after.size(); ++i) {
        const int expected = static_cast<unsigned char>(before[i]) ^ (i == 2081 ? 0x80 : 0);
        ASSERT_EQ(static_cast<unsigned char>(after[i]), expected) << "byte " << i;
    }
    // The table's cell is redrawn from the new glyph.
    EXPECT_EQ(ed->TablePicture().pixel((65 % 16) * 16, (65 / 16) * 16) & 0xFFFFFF,
              (GlyphRow(font.Glyphs, 65, 1) & 0x8000) ? 0u : 0xFFFFFFu);
}

TEST_F(FontEdTest, DraggingAcrossACellTogglesItOnce) {
    PickInTable(200);
    const GlyphRows start = GlyphRowsOf(font.Glyphs, 200);
    PressBig(3, 5);                // toggles (3, 5)
    DragBig(3 * 4 + 2, 4 * 4 + 1); // still in (3, 5)
    DragBig(3 * 4 + 3, 4 * 4 + 3); // still in (3, 5)
    EXPECT_EQ(GlyphRow(font.Glyphs, 200, 5), start[4] ^ (0x8000 >> 3));
    DragBig(4 * 4 + 1, 4 * 4 + 1); // enters (4, 5)
    EXPECT_EQ(GlyphRow(font.Glyphs, 200, 5), start[4] ^ (0x8000 >> 3) ^ (0x8000 >> 4));
    ed->PaintBox2->OnMouseMove(0, 5 * 4 + 1, 4 * 4 + 1); // no button held: nothing
    EXPECT_EQ(GlyphRow(font.Glyphs, 200, 5), start[4] ^ (0x8000 >> 3) ^ (0x8000 >> 4));
    PressBig(0, 17); // below the glyph: nothing
    EXPECT_EQ(GlyphRowsOf(font.Glyphs, 200)[15], start[15]);
}

TEST_F(FontEdTest, CutThenInsertMovesAGlyphAndEmptyActionsAreRefused) {
    const GlyphRows sun = GlyphRowsOf(font.Glyphs, 32);
    // Nothing chosen yet: cut, insert and shifts are refused with a beep, the font unchanged.
    const Font16Glyphs untouched = font.Glyphs;
    for (TButton* b : {ed->CutButton, ed->InsButton, ed->UpButton, ed->DownButton, ed->LeftButton,
                       ed->RightButton})
        b->Click();
    EXPECT_EQ(ed->Beeps, 6);
    EXPECT_EQ(font.Glyphs, untouched);
    EXPECT_FALSE(ed->FontModified);
    PickInTable(32);
    ed->InsButton->Click(); // empty clipboard
    EXPECT_EQ(ed->Beeps, 7);
    ed->CutButton->Click();
    EXPECT_EQ(GlyphRowsOf(font.Glyphs, 32), GlyphRows{});
    EXPECT_EQ(ed->ClipSize, 16);
    PickInTable(250);
    ed->InsButton->Click();
    EXPECT_EQ(GlyphRowsOf(font.Glyphs, 250), sun);
    EXPECT_TRUE(ed->FontModified);
}

TEST_F(FontEdTest, ShiftButtonsMoveTheGlyphAndLoseItsEdge) {
    PickInTable(7);
    GlyphRows rows{};
    rows[0] = 0x0001;
    rows[15] = 0x8000;
    SetGlyphRows(font.Glyphs, 7, rows);
    ed->RightButton->Click();
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 1), 0x0000);
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 16), 0x4000);
    ed->LeftButton->Click();
    ed->LeftButton->Click();
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 16), 0x0000);
    SetGlyphRows(font.Glyphs, 7, rows);
    ed->UpButton->Click();
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 1), 0x0000);
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 15), 0x8000);
    ed->DownButton->Click();
    ed->DownButton->Click();
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 16), 0x0000);
    EXPECT_EQ(GlyphRow(font.Glyphs, 7, 2), 0x0000);
}

TEST_F(FontEdTest, ClosingWithChangesAsksAndSavesOrDrops) {
    const std::string original = FileBytes();
    // "Yes": saved.
    PickInTable(65);
    PressBig(0, 1);
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    ed->Close();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, GetMsgText(s, 155));
    EXPECT_NE(FileBytes(), original);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(ed.isNull()); // released

    // "No": the file is read again and the change is gone from memory.
    const std::string saved = FileBytes();
    ed = new TFontEd(s, font);
    PickInTable(66);
    PressBig(5, 5);
    dialogs.messageAnswers.push_back(MsgResult::No);
    ed->Close();
    EXPECT_EQ(FileBytes(), saved);
    EXPECT_EQ(SymbolFontBytes(font.Glyphs), saved);
}

TEST_F(FontEdTest, FailedSaveOnCloseKeepsTheWindowAndTheChanges) {
    PickInTable(65);
    PressBig(0, 1);
    std::filesystem::create_directories(dir / "font16.fnt.tmp" / "x"); // the save cannot write
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    ed->Close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(ed.isNull());
    EXPECT_TRUE(ed->FontModified);
    EXPECT_EQ(report.messages.size(), 1u); // the failure was reported
}

TEST_F(FontEdTest, ViewerRefusesWrongSizedFilesAndHandsGlyphsToTheEditor) {
    TFontEd* editor = ed;
    editor->show();
    editor->FileButton->Click();
    auto* view = dynamic_cast<TViewFont*>(Screen().FindForm("ViewFont"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Caption(), "Файл шрифта"_cp);
    EXPECT_EQ(view->Label1->Caption(), "000");

    // A file of another size: refused, the font shown stays.
    const auto bad = dir.Write("bad.fnt", std::string(8000, '\xFF'));
    dialogs.fileAnswers.push_back(bad);
    view->Button1->Click();
    ASSERT_FALSE(dialogs.Messages().empty());
    EXPECT_EQ(dialogs.Messages().back(), "Неверный размер файла"_cp);
    EXPECT_EQ(view->Glyphs, Font16Glyphs{});

    // A good file; a click on glyph 65 selects it; Button2 hands it to the editor.
    Font16Glyphs other;
    for (int r = 1; r <= 16; ++r) SetGlyphRow(other, 65, r, static_cast<uint16_t>(0x0101 * r));
    dialogs.fileAnswers.push_back(dir.Write("other.fnt", SymbolFontBytes(other)));
    view->Button1->Click();
    EXPECT_EQ(view->Glyphs, other);
    view->PaintBox->OnMouseDown(MouseButton::Left, 0, 1 * 16 + 3, 4 * 16 + 3);
    EXPECT_EQ(view->SelectedGlyph, 65);
    EXPECT_EQ(view->Label1->Caption(), "065");
    EXPECT_EQ(view->Picture().pixel(16 + 15, 64 + 15) & 0xFFFFFF, 0xFFFFFFu); // selected: white
    view->Button2->Click();
    EXPECT_EQ(editor->ClipSize, 16);
    PickInTable(100);
    editor->InsButton->Click();
    EXPECT_EQ(GlyphRowsOf(font.Glyphs, 100), GlyphRowsOf(other, 65));
}

TEST_F(FontEdTest, ModalPickerAnswersTheGlyphTakenWithThisButton) {
    delete ed.data();
    QTimer::singleShot(0, [] {
        auto* e = dynamic_cast<TFontEd*>(Screen().FindForm("FontEd"));
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->isVisible());
        e->PaintBox1->OnMouseDown(MouseButton::Left, 0, 9 * 16 + 1, 2 * 16 + 1); // glyph 41
        e->OkButton->Click();
    });
    EXPECT_EQ(PickGlyph(32), std::optional<int>(41));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QTimer::singleShot(0, [] { Screen().FindForm("FontEd")->Close(); });
    EXPECT_EQ(PickGlyph(32), std::nullopt);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(FontEdTest, TimerDrawsTheCurrentGlyphAfterShowing) {
    ed->CurrentGlyph = 33;
    ed->show();
    EXPECT_TRUE(ed->Timer1->Enabled());
    EXPECT_EQ(ed->Label1->Caption(), "33");
    ed->Timer1->OnTimer();
    EXPECT_FALSE(ed->Timer1->Enabled());
    EXPECT_EQ(ed->ShownGlyph, 33);
    // A negative glyph (none) is never drawn.
    ed->CurrentGlyph = -1;
    ed->ShownGlyph = 0;
    ed->Timer1->OnTimer();
    EXPECT_EQ(ed->ShownGlyph, 0);
}

} // namespace
} // namespace qor::shell
