#include "shell/ParsWindow.h"

#include "shell/SetBase.h"

#include "core/Files.h"
#include "core/PageNames.h"
#include "core/Text.h"

#include <QApplication>
#include <QHeaderView>

#include <array>
#include <cmath>

namespace qor::shell {

using namespace ui;

namespace {

constexpr int kColumnWidths[5] = {24, 128, 221, 185, 363};
const char* const kExportFile = "Wrk\\Pars.txt";

} // namespace

TPars::TPars(AstroDat& s, ShellHooks& hooks) : TForm("Pars"), s_(s), hooks_(hooks) {
    SetCaption("Арабские части"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("parses.html");
    SetStoresSettings(true);
    SetBounds(120, 120, 760, 360);

    TabControl = Add<TTabControl>("TabControl", {0, 0, 760, 360});
    TabControl->SetTabs(ParsDefaultPages());
    DrawGrid = Add<TDrawGrid>("DrawGrid", {4, 30, 752, 326});
    DrawGrid->SetColCount(5);
    DrawGrid->SetFixed(0, 1);
    DrawGrid->SetRowCount(2);
    DrawGrid->SetDefaultRowHeight(18);
    for (int c = 0; c < 5; ++c) DrawGrid->SetColWidth(c, kColumnWidths[c]);
    Memo = Add<TMemo>("Memo", {0, 0, 10, 10});
    SetVisible(Memo, false);
    Active = Add<TMemo>("Active", {0, 0, 10, 10});
    SetVisible(Active, false);
    Edit = Add<TEdit>("Edit", {0, 0, 100, 18});
    SetVisible(Edit, false);

    ParsMenu = Add<TPopupMenu>("ParsMenu");
    CorrItem = AddMenuItem("CorrItem", "Корректировать"_cp, ParsMenu);
    ParsMenu->setDefaultAction(CorrItem);
    DelItem = AddMenuItem("DelItem", "Удалить Парс"_cp, ParsMenu);
    AddItem = AddMenuItem("AddItem", "Добавить Парс"_cp, ParsMenu);
    ParsMenu->addSeparator();
    SaveChanges = AddMenuItem("SaveChanges", "Сохранить изменения"_cp, ParsMenu);
    ParsMenu->addSeparator();
    RenamePage = AddMenuItem("RenamePage", "Переименовать страницу"_cp, ParsMenu);
    DeletePage = AddMenuItem("DeletePage", "Удалить страницу"_cp, ParsMenu);
    AddPageBefor = AddMenuItem("AddPageBefor", "Добавить перед текущей"_cp, ParsMenu);
    AddPageAfter = AddMenuItem("AddPageAfter", "Добавить после текущей"_cp, ParsMenu);
    ParsMenu->addSeparator();
    SetActiveParses = AddMenuItem("SetActiveParses", "Установить активные Парсы"_cp, ParsMenu);
    NParstxt = AddMenuItem("NParstxt", "Создать Pars.txt"_cp, ParsMenu);
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetInterval(100);

    CorrItem->OnClick = [this] { CorrItemClick(); };
    DelItem->OnClick = [this] { DelItemClick(); };
    AddItem->OnClick = [this] { AddItemClick(); };
    SaveChanges->OnClick = [this] { ParsSaveIfModified(); };
    RenamePage->OnClick = [this] { RenamePageClick(); };
    DeletePage->OnClick = [this] { DeletePageClick(); };
    AddPageBefor->OnClick = [this] { ParsAddPage(false); };
    AddPageAfter->OnClick = [this] { ParsAddPage(true); };
    SetActiveParses->OnClick = [this] { SetActiveParsesClick(); };
    NParstxt->OnClick = [this] { NParstxtClick(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
    TabControl->OnChange = [this] { TabControlChange(); };
    DrawGrid->OnMouseDown = [this](MouseButton b, ui::Shift, int x, int y) {
        const QModelIndex i = DrawGrid->indexAt(QPoint(x, y));
        if (!i.isValid()) return;
        EditCol = i.column();
        EditRow = i.row();
        if (b == MouseButton::Right) {
            SelectCell(std::max(1, EditCol), std::max(1, EditRow));
            const QPoint at = DrawGrid->viewport()->mapToGlobal(QPoint(x, y));
            ParsMenu->Popup(at.x(), at.y());
        }
    };
    DrawGrid->OnDblClick = [this] { CorrItemClick(); };
    Edit->OnExit = [this] {
        if (Editing()) CommitEdit();
    };
    OnShow = [this] { FormShow(); };
    OnKeyDown = [this](int& key, ui::Shift sh) { FormKeyDown(key, sh); };
    OnClose = [this](CloseAction&) { ParsSaveIfModified(); };
}

ParsInputs TPars::Inputs() const {
    ParsInputs in;
    in.SunAltitude = s_.Bodies[1][kBodyAltitude];
    in.NExtra = s_.NExtra;
    in.SignRuler = s_.SignRuler;
    return in;
}

std::vector<std::string> TPars::PageNames() const {
    return TabControl->Tabs();
}

namespace {

// The five texts of one page line: glyph, value, name, formula, calculation. The formula is
// evaluated once for both the value and its trace.
std::array<std::string, 5> LineCells(AstroDat& s, const std::string& line, const ParsInputs& in) {
    const ParsLine p = ParsSplitLine(line);
    std::array<std::string, 5> cells{p.glyph, {}, p.name, p.formula, {}};
    if (!p.comment) {
        cells[1] = ParsEvalFormula(s, p.formula, s.PlanetLon, in);
        if (!p.formula.empty()) cells[4] = s.ParsTrace;
    }
    return cells;
}

} // namespace

std::string TPars::ParsCellText(int col, int row) {
    const std::vector<std::string> lines = Memo->Lines();
    if (row < 1 || row > static_cast<int>(lines.size()) || col < 0 || col > 4) return {};
    return LineCells(s_, lines[row - 1], Inputs())[static_cast<std::size_t>(col)];
}

void TPars::RefreshGrid() {
    // The page is read from the memo once per refresh, not once per cell.
    const std::vector<std::string> lines = Memo->Lines();
    const int count = static_cast<int>(lines.size());
    DrawGrid->SetRowCount(std::max(2, count + 1));
    DrawGrid->SetCell(0, 0, "");
    for (int c = 1; c <= 4; ++c) DrawGrid->SetCell(c, 0, GetMsgText(s_, 52 + c));
    const ParsInputs in = Inputs();
    for (int r = 1; r < DrawGrid->RowCount(); ++r) {
        const std::array<std::string, 5> cells =
            r <= count ? LineCells(s_, lines[r - 1], in) : std::array<std::string, 5>{};
        for (int c = 0; c < 5; ++c) DrawGrid->SetCell(c, r, cells[static_cast<std::size_t>(c)]);
    }
    DrawGrid->Invalidate();
}

void TPars::ParsLoadPage() {
    std::vector<std::string> lines;
    const IoResult r = ReadParsPage(s_, ParsPage, lines);
    // A page not yet saved has no file: it is empty.
    if (!r.ok() && fs::exists(s_.DataPath(ParsPageFile(s_, ParsPage))))
        IOCheck(s_, r, ParsPageFile(s_, ParsPage));
    Memo->SetLines(lines);
    RefreshGrid();
    DrawGrid->setFocus();
    ParsModified = false;
}

bool TPars::ParsSavePage() {
    const IoResult r = WriteParsPage(s_, ParsPage, Memo->Lines());
    if (IOCheck(s_, r, ParsPageFile(s_, ParsPage))) return false;
    ParsModified = false;
    return true;
}

void TPars::ParsSaveIfModified() {
    if (Editing()) CommitEdit();
    if (ParsModified) ParsSavePage();
}

void TPars::ParsSetCell(int col, int row, const std::string& text) {
    std::vector<std::string> lines = Memo->Lines();
    if (row < 1 || row > static_cast<int>(lines.size())) return;
    ParsLine p = ParsSplitLine(lines[row - 1]);
    if (col == 0) p.glyph = text;
    if (col == 2) p.name = text;
    if (col == 3) p.formula = text;
    lines[row - 1] = ParsJoinLine(p);
    Memo->SetLines(lines);
}

std::string TPars::ParsCaption() {
    const std::vector<std::string> active = Active->Lines();
    if (active.empty()) return GetMsgText(s_, 46) + GetMsgText(s_, 47);
    return GetMsgText(s_, 46) + std::to_string(s_.ParsCount) + GetMsgText(s_, 48, active[0]);
}

void TPars::RestoreActive() {
    s_.ParsActive = Active->Lines();
    ParsCountActive(s_);
    SetCaption(ParsCaption());
}

void TPars::FormShow() {
    const double points = font().pointSizeF() > 0 ? font().pointSizeF() : 8.0;
    DrawGrid->SetDefaultRowHeight(static_cast<int>(std::lround(points * logicalDpiY() / 72.0)) + 3);
    if (ParsPage.empty()) {
        const std::vector<std::string> pages = PageNames();
        if (!pages.empty()) {
            TabControl->SetTabIndex(0);
            ParsPage = pages[0];
        }
        ParsLoadPage();
    } else {
        RefreshGrid();
    }
    SetCaption(ParsCaption());
}

void TPars::TabControlChange() {
    ParsSaveIfModified();
    const std::vector<std::string> pages = PageNames();
    const int i = TabControl->TabIndex();
    if (i < 0 || i >= static_cast<int>(pages.size())) return;
    ParsPage = pages[i];
    ParsLoadPage();
}

// --- In-place editing ---------------------------------------------------------------------

bool TPars::Editing() const {
    return IsVisible(Edit);
}

void TPars::SelectCell(int col, int row) {
    DrawGrid->SetCol(col);
    DrawGrid->SetRow(row);
}

void TPars::CorrItemClick() {
    if (EditCol == 1) EditCol = 0; // the value is edited as the glyph
    if (EditRow <= 0 || EditRow >= DrawGrid->RowCount() || EditCol == 4) return;
    const QRect cell = DrawGrid->visualRect(DrawGrid->model()->index(EditRow, EditCol));
    const QPoint at = DrawGrid->viewport()->mapTo(Client(), cell.topLeft());
    ui::SetBounds(Edit, at.x(), at.y(), cell.width(), cell.height());
    Edit->SetText(ParsCellText(EditCol, EditRow));
    SetVisible(Edit, true);
    Edit->raise();
    Edit->setFocus();
    Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
    lastCaret_ = Edit->cursorPosition();
    if (EditCol == 0) SetStatus(s_, GetMsgText(s_, 50));
}

void TPars::CommitEdit() {
    if (committing_ || !Editing()) return;
    committing_ = true;
    const std::string text = Edit->Text();
    SetVisible(Edit, false);
    if (text != ParsCellText(EditCol, EditRow)) {
        ParsModified = true;
        ParsSetCell(EditCol, EditRow, text);
        RefreshGrid();
        if (EditCol == 0) ActivateAndRecompute();
    }
    committing_ = false;
}

void TPars::CancelEdit() {
    committing_ = true;
    Edit->SetText(ParsCellText(EditCol, EditRow));
    SetVisible(Edit, false);
    committing_ = false;
    DrawGrid->setFocus();
}

void TPars::EditKeyDown(int& key, ui::Shift) {
    switch (key) {
    case vk::Return:
        CommitEdit();
        DrawGrid->setFocus();
        key = 0;
        break;
    case vk::Escape:
        CancelEdit();
        key = 0;
        break;
    case vk::Up:
    case vk::Down: {
        CommitEdit();
        const int row = EditRow + (key == vk::Up ? -1 : 1);
        if (row >= 1 && row < DrawGrid->RowCount()) EditRow = row;
        SelectCell(EditCol, EditRow);
        CorrItemClick();
        key = 0;
        break;
    }
    case vk::Left:
        if (EditCol > 1) {
            pendingMove_ = -1;
            lastCaret_ = Edit->cursorPosition();
            Timer1->SetEnabled(true);
        }
        break;
    case vk::Right:
        if (EditCol < 3) {
            pendingMove_ = 1;
            lastCaret_ = Edit->cursorPosition();
            Timer1->SetEnabled(true);
        }
        break;
    default:
        break;
    }
}

// A Left or Right key that did not move the caret (it stood at the edge of the text) moves
// the editor to the next column of the part.
void TPars::Timer1Timer() {
    Timer1->SetEnabled(false);
    const int move = pendingMove_;
    pendingMove_ = 0;
    if (!move || !Editing() || Edit->cursorPosition() != lastCaret_) return;
    CommitEdit();
    if (move < 0)
        EditCol = EditCol == 2 ? 0 : 2;
    else
        EditCol = EditCol == 0 ? 2 : 3;
    SelectCell(EditCol, EditRow);
    CorrItemClick();
}

void TPars::FormKeyDown(int& key, ui::Shift shift) {
    if (key == 'W' && !(shift & (ssCtrl | ssAlt))) ParsSavePage();
    if (Editing()) {
        EditKeyDown(key, shift);
        return;
    }
    switch (key) {
    case vk::Return:
        EditCol = DrawGrid->Col();
        EditRow = DrawGrid->Row();
        CorrItemClick();
        key = 0;
        break;
    case vk::F12: {
        const QPoint c = mapToGlobal(rect().center());
        ParsMenu->Popup(c.x(), c.y());
        key = 0;
        break;
    }
    default:
        break;
    }
}

// --- Lines and pages ------------------------------------------------------------------------

void TPars::DelItemClick() {
    const int row = DrawGrid->Row();
    std::vector<std::string> lines = Memo->Lines();
    if (row < 1 || row > static_cast<int>(lines.size())) return;
    const std::string name = ParsCellText(2, row);
    if (Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(s_, 44, name),
                               MsgButtons::YesNo) != MsgResult::Yes)
        return;
    lines.erase(lines.begin() + (row - 1));
    Memo->SetLines(lines);
    RefreshGrid();
    ParsModified = true;
}

void TPars::AddItemClick() {
    std::vector<std::string> lines = Memo->Lines();
    const int row = std::clamp(DrawGrid->Row(), 0, static_cast<int>(lines.size()));
    lines.insert(lines.begin() + row, std::string());
    Memo->SetLines(lines);
    RefreshGrid();
    ParsModified = true;
}

void TPars::ParsAddPage(bool after) {
    ParsSaveIfModified();
    AskPageName(GetMsgText(s_, 32), "", [this, after](const std::string& name) {
        std::vector<std::string> pages = PageNames();
        if (const auto why = PageNameProblem(s_, name, pages)) {
            Screen().Dlg().Message(MsgKind::Warning, *why, MsgButtons::Ok);
            return false;
        }
        const int at = std::clamp(TabControl->TabIndex() + (after ? 1 : 0), 0,
                                  static_cast<int>(pages.size()));
        pages.insert(pages.begin() + at, name);
        TabControl->SetTabs(pages);
        TabControl->SetTabIndex(at);
        ParsPage = name;
        ParsLoadPage();
        return true;
    });
}

void TPars::RenamePageClick() {
    ParsSaveIfModified();
    const int i = TabControl->TabIndex();
    if (i < 0 || i >= TabControl->TabCount()) return;
    AskPageName(GetMsgText(s_, 33), PageNames()[i], [this, i](const std::string& name) {
        std::vector<std::string> pages = PageNames();
        if (i >= static_cast<int>(pages.size())) return true; // the page is gone meanwhile
        if (name == pages[i]) return true;
        // A bad name or the name of another page's file is refused with a message.
        if (!RenameParsPage(s_, pages, static_cast<std::size_t>(i), name)) return false;
        TabControl->SetTab(i, name);
        if (TabControl->TabIndex() == i) ParsPage = name;
        return true;
    });
}

void TPars::DeletePageClick() {
    std::vector<std::string> pages = PageNames();
    const int i = TabControl->TabIndex();
    if (pages.size() <= 1 || i < 0 || i >= static_cast<int>(pages.size())) return;
    const std::string file = ParsPageFile(s_, pages[i]);
    const std::string arg = fs::exists(s_.DataPath(file)) ? GetMsgText(s_, 35, file) : file;
    if (Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(s_, 34, arg), MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    ParsModified = false; // the page leaves the list; its file stays as last saved
    pages.erase(pages.begin() + i);
    TabControl->SetTabs(pages);
    const int next = std::min(i, static_cast<int>(pages.size()) - 1);
    TabControl->SetTabIndex(next);
    ParsPage = pages[next];
    ParsLoadPage();
}

void TPars::ActivateAndRecompute() {
    ParsSetActive(s_, ParsPage, Memo->Lines(), s_.NExtra);
    Active->SetLines(s_.ParsActive);
    // The natal-chart settings show the points: their grid is repainted.
    if (TForm* k = Screen().FindForm("KartForm"))
        if (TDrawGrid* g = k->Find<TDrawGrid>("PlnGrid")) g->Invalidate();
    SetCaption(ParsCaption());
    hooks_.Refresh();
}

void TPars::SetActiveParsesClick() {
    ActivateAndRecompute();
    RefreshGrid();
}

void TPars::NParstxtClick() {
    RefreshGrid();
    std::vector<std::string> out;
    for (int r = 0; r < DrawGrid->RowCount(); ++r)
        out.push_back(DrawGrid->Cell(1, r) + "; " + DrawGrid->Cell(2, r) + "; " +
                      DrawGrid->Cell(3, r));
    const fs::path path = s_.DataPath(kExportFile);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (IOCheck(s_, WriteTextFileAtomic(path, out), kExportFile)) return;
    SetStatus(s_, GetMsgText(s_, 57, kExportFile));
    if (hooks_.InterpShowFile) hooks_.InterpShowFile(kExportFile);
}

} // namespace qor::shell
