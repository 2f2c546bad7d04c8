#include "chart/Base.h"

#include "chart/BirthFields.h"
#include "chart/ChartWindows.h"
#include "chart/DataForm.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/PageNames.h"
#include "core/Text.h"
#include "shell/SetBase.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QCursor>
#include <QFontInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qor::chart {

using namespace ui;

namespace {

constexpr const char* kPagesRu[] = {"Клиенты", "События", "Личности", "Моё", "А", "Б", "В",
                                    "Г",       "Д",       "Е",        "Ж",   "З", "И", "Й",
                                    "К",       "Л",       "М",        "Н",   "О", "П", "Р",
                                    "С",       "Т",       "У",        "Ф",   "Х", "Ц", "Ч",
                                    "Ш",       "Щ",       "Э",        "Ю",   "Я"};
constexpr int kColWidths[kBaseCols] = {12, 150, 92, 64, 54, 170, 70, 76, 34, 220};

int RowNumber(const std::string& text) {
    const auto n = ParseWholeInteger(text);
    return n && *n > 0 && *n < 1000000000 ? static_cast<int>(*n) : 1;
}

} // namespace

std::vector<std::string> TBase::DefaultPages(bool english) {
    std::vector<std::string> pages;
    if (english) {
        for (const char* p : {"Clients", "Events", "People", "Mine"}) pages.emplace_back(p);
        for (char c = 'A'; c <= 'Z'; ++c) pages.emplace_back(1, c);
    } else {
        for (const char* p : kPagesRu) pages.push_back(Cp(p));
    }
    return pages;
}

TBase::TBase(shell::Program& p) : TForm("Base"), p_(p) {
    SetCaption("Базы данных"_cp);
    SetToolWindow(true);
    SetHelpTopic("data_bases.html");
    SetStoresSettings(true);
    SetKeyPreview(true);
    // At the top left until the saved state places it.
    SetBounds(0, 0, 800, 440);

    TabControl = Add<TTabControl>("TabControl", {4, 4, 792, 24});
    // The default pages of the language (each language keeps its own window state).
    TabControl->SetTabs(DefaultPages(p.s.EnglishMode));
    SetTag(TabControl, 1); // the page list is part of the window's state
    StringGrid = Add<TDrawGrid>("StringGrid", {4, 30, 792, 406});
    StringGrid->SetColCount(kBaseCols);
    StringGrid->SetRowCount(2);
    StringGrid->SetFixed(1, 1);
    StringGrid->SetRowSelect(true);
    StringGrid->SetRowMoving(true);
    StringGrid->SetColSizing(true);
    for (int c = 0; c < kBaseCols; ++c) StringGrid->SetColWidth(c, kColWidths[c]);
    Edit = AddEdit("Edit", "0;1", {0, 0, 10, 10}, nullptr);
    Edit->hide();

    PopupMenu = Add<TPopupMenu>("PopupMenu");
    GetData = AddMenuItem("GetData", "Выбрать данные"_cp, PopupMenu);
    PopupMenu->setDefaultAction(GetData);
    QuickView = AddMenuItem("QuickView", "Быстрый просмотр"_cp, PopupMenu);
    QuickView->setCheckable(true);
    PopupMenu->addSeparator();
    AddRecord = AddMenuItem("AddRecord", "Добавить запись"_cp, PopupMenu);
    Replace = AddMenuItem("Replace", "Заменить"_cp, PopupMenu);
    NEdit = AddMenuItem("NEdit", "Корректировать"_cp, PopupMenu);
    DelRecord = AddMenuItem("DelRecord", "Удалить запись"_cp, PopupMenu);
    N7 = AddMenuItem("N7", "Копировать в буфер"_cp, PopupMenu);
    N8 = AddMenuItem("N8", "Вставить из буфера"_cp, PopupMenu);
    PopupMenu->addSeparator();
    Sort1 = AddMenuItem("Sort1", "Сортировать"_cp, PopupMenu);
    Sort2 = AddMenuItem("Sort2", "Сортировать по комментарию"_cp, PopupMenu);
    Sort2->setVisible(false);
    Nmark = AddMenuItem("Nmark", "Отметить"_cp, PopupMenu);
    Ncomp = AddMenuItem("Ncomp", "Построить композит"_cp, PopupMenu);
    PopupMenu->addSeparator();
    N3 = AddMenuItem("N3", "Добавить перед текущей"_cp, PopupMenu);
    N4 = AddMenuItem("N4", "Добавить после текущей"_cp, PopupMenu);
    N1 = AddMenuItem("N1", "Переименовать страницу"_cp, PopupMenu);
    N2 = AddMenuItem("N2", "Удалить страницу"_cp, PopupMenu);
    N6 = AddMenuItem("N6", "Искать новые файлы"_cp, PopupMenu);
    PopupMenu->addSeparator();
    Import = AddMenuItem("Import", "Импорт файла..."_cp, PopupMenu);

    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetInterval(100);
    Timer1->SetEnabled(true);

    GetData->OnClick = [this] { GetDataClick(); };
    // The tick flips once per choice, whether the menu ticked the item itself or not.
    QuickView->OnClick = [this] {
        quickView_ = !quickView_;
        QuickView->SetChecked(quickView_);
        QuickViewUpdate();
    };
    AddRecord->OnClick = [this] { InsertRecordFromDataForm(); };
    Replace->OnClick = [this] { ReplaceClick(); };
    NEdit->OnClick = [this] {
        if (CurRow > 0 && CurCol > 0) BeginCellEdit();
    };
    DelRecord->OnClick = [this] { DeleteSelectedRecords(); };
    N7->OnClick = [this] { N7Click(); };
    N8->OnClick = [this] { N8Click(); };
    Nmark->OnClick = [this] { NmarkClick(); };
    Sort1->OnClick = [this] { SortPage(); };
    Ncomp->OnClick = [this] { NcompClick(); };
    N1->OnClick = [this] { RenamePageClick(); };
    N2->OnClick = [this] { DeletePageClick(); };
    N3->OnClick = [this] { AddPage(false); };
    N4->OnClick = [this] { AddPage(true); };
    N6->OnClick = [this] { ScanPageFiles(); };
    Import->OnClick = [this] { ImportClick(); };
    QObject::connect(PopupMenu, &QMenu::aboutToShow, [this] { PopupMenuPopup(); });
    Timer1->OnTimer = [this] { Timer1Timer(); };

    StringGrid->OnDrawCell = [this](QPainter& g, int c, int r, const QRect& rc, int state) {
        DrawCell(g, c, r, rc, state);
    };
    StringGrid->OnMouseDown = [this](MouseButton b, Shift sh, int x, int y) {
        StringGridMouseDown(b, sh, x, y);
    };
    StringGrid->OnMouseUp = [this](MouseButton b, Shift sh, int x, int y) {
        StringGridMouseUp(b, sh, x, y);
    };
    StringGrid->OnClick = [this] { QuickViewUpdate(); };
    StringGrid->OnDblClick = [this] {
        if (CurRow > 0) GetDataClick();
    };
    StringGrid->OnKeyDown = [this](int& key, Shift) {
        if (key == vk::Return) {
            key = 0;
            GetDataClick();
        }
    };
    StringGrid->OnRowMoved = [this](int from, int to) { StringGridRowMoved(from, to); };
    Edit->OnKeyDown = [this](int& key, Shift sh) { EditKeyDown(key, sh); };
    TabControl->OnChange = [this] { TabControlChange(); };
    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction& a) {
        FormClose();
        a = CloseAction::Free;
    };
    OnResize = [this] {
        const int w = Client()->width(), h = Client()->height();
        ui::SetBounds(TabControl, 4, 4, std::max(w - 8, 40), 24);
        ui::SetBounds(StringGrid, 4, 30, std::max(w - 8, 40), std::max(h - 34, 40));
    };
    // The grid taking the focus ends a running cell edit.
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == StringGrid && CellEditing()) EndCellEdit();
    });
}

// --- Drawing ----------------------------------------------------------------------------------

void TBase::DrawCell(QPainter& g, int col, int row, const QRect& r, int state) {
    const QPalette& pal = StringGrid->palette();
    const bool fixed = state & TDrawGrid::gdFixed;
    const bool selected = (state & TDrawGrid::gdSelected) && !fixed;
    g.fillRect(r, fixed ? pal.button() : selected ? pal.highlight() : pal.base());
    g.setPen(pal.mid().color());
    g.drawLine(r.bottomLeft(), r.bottomRight());
    g.drawLine(r.topRight(), r.bottomRight());
    std::string text;
    if (row == 0)
        text = ColumnTitle(p_.s, col);
    else if (row - 1 < static_cast<int>(rows_.size()) && col >= 0 && col < kBaseCols)
        text = rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col)];
    g.setPen(selected ? pal.highlightedText().color() : pal.text().color());
    g.drawText(r.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, ToQ(text));
}

void TBase::ShowRows() {
    StringGrid->SetRowCount(static_cast<int>(rows_.size()) + 1);
    StringGrid->Invalidate();
}

int TBase::CurrentRecord() const {
    return std::clamp(StringGrid->Row(), 1, static_cast<int>(rows_.size()));
}

// --- Pages ------------------------------------------------------------------------------------

void TBase::LoadBasePage() {
    BasePageLoad load = ReadBasePage(p_.s, PageName);
    rows_ = std::move(load.rows);
    readOnly_ = load.state == PageRead::Unreadable;
    ShowRows();
    if (readOnly_) {
        const std::string file = PageFileName(PageName);
        TellUser(p_, MsgKind::Warning,
                 Lang(p_.s,
                      "Страница \""_cp + PageName + "\" не прочитана ("_cp + file + ": " +
                          std::strerror(load.io.error) +
                          "). Она открыта только для чтения: изменения не сохраняются, пока "
                          "страница не прочитается."_cp,
                      "The page \"" + PageName + "\" could not be read (" + file + ": " +
                          std::strerror(load.io.error) +
                          "). It is open read-only: no change is saved until the page reads."),
                 false);
    }
    QuickViewUpdate();
    CurRow = std::clamp(CurRow, 1, static_cast<int>(rows_.size()));
    StringGrid->SetRow(CurRow);
    if (isVisible()) StringGrid->setFocus();
}

bool TBase::MayChange() {
    if (!readOnly_) return true;
    TellUser(p_, MsgKind::Warning,
             Lang(p_.s,
                  "Страница \""_cp + PageName +
                      "\" открыта только для чтения: её файл не прочитан. Изменение не "
                      "сделано."_cp,
                  "The page \"" + PageName +
                      "\" is open read-only: its file could not be read. Nothing was changed."),
             true);
    return false;
}

bool TBase::SaveBasePage() {
    if (readOnly_) return false;
    const IoResult r = WriteBasePage(p_.s, PageName, rows_);
    if (!r.ok()) {
        // The old file stays as it was; the grid keeps the rows.
        if (p_.Flags.LinkCommand)
            TellUser(p_, MsgKind::Warning,
                     Lang(p_.s, "Страница не сохранена: "_cp, "The page was not saved: ") +
                         PageFileName(PageName) + ": " + std::strerror(r.error),
                     true);
        else
            IOCheck(p_.s, r, PageFileName(PageName));
        return false;
    }
    return true;
}

void TBase::ScanPageFiles() {
    std::vector<std::string> tabs = TabControl->Tabs();
    const int current = TabControl->TabIndex();
    for (const std::string& name : NewPageFiles(p_.s, tabs)) {
        // A name the tab list cannot keep (a ";", a bad character) is passed over.
        if (PageNameProblem(p_.s, name, tabs)) continue;
        tabs.push_back(name);
        PageRows.push_back("1");
    }
    TabControl->SetTabs(tabs);
    TabControl->SetTabIndex(current);
    TellUser(p_, MsgKind::Information, GetMsgText(p_.s, 10), false);
}

void TBase::RenamePageClick() {
    const int i = TabControl->TabIndex();
    if (i < 0 || i >= TabControl->TabCount()) return;
    const std::string old = TabControl->Tabs()[static_cast<std::size_t>(i)];
    shell::AskPageName(GetMsgText(p_.s, 33), old, [this, i, old](const std::string& name) {
        std::vector<std::string> tabs = TabControl->Tabs();
        if (i >= static_cast<int>(tabs.size()) || tabs[static_cast<std::size_t>(i)] != old)
            return true; // gone meanwhile
        if (name == old) return true;
        // A bad name and the name of another page's file are refused (said why); the file
        // moves with the name.
        if (!RenamePage(p_.s, tabs, static_cast<std::size_t>(i), name,
                        [](const std::string& page) { return PageFileName(page); }))
            return false;
        TabControl->SetTab(i, name);
        if (i == TabControl->TabIndex()) PageName = name;
        return true;
    });
}

void TBase::DeletePageClick() {
    std::vector<std::string> tabs = TabControl->Tabs();
    const int i = TabControl->TabIndex();
    if (tabs.size() <= 1 || i < 0 || i >= static_cast<int>(tabs.size())) return;
    const std::string file = PageFileName(tabs[static_cast<std::size_t>(i)]);
    std::error_code ec;
    const std::string arg =
        fs::exists(p_.s.DataPath(file), ec) ? GetMsgText(p_.s, 35, file) : std::string();
    if (!AskUser(p_, GetMsgText(p_.s, 34, arg))) return;
    if (i < static_cast<int>(PageRows.size())) PageRows.erase(PageRows.begin() + i);
    tabs.erase(tabs.begin() + i);
    const int next = std::min(i, static_cast<int>(tabs.size()) - 1);
    TabControl->SetTabs(tabs);
    TabControl->SetTabIndex(next);
    shownTab_ = next;
    // The tab goes, the file stays.
    PageName = tabs[static_cast<std::size_t>(next)];
    CurRow = next < static_cast<int>(PageRows.size()) ? RowNumber(PageRows[next]) : 1;
    LoadBasePage();
    StringGrid->Invalidate();
}

void TBase::AddPage(bool after) {
    shell::AskPageName(GetMsgText(p_.s, 32), "", [this, after](const std::string& name) {
        std::vector<std::string> tabs = TabControl->Tabs();
        if (const auto why = PageNameProblem(p_.s, name, tabs)) {
            TellUser(p_, MsgKind::Warning, *why, true);
            return false;
        }
        const int cur = TabControl->TabIndex();
        RememberRow();
        const int at = std::clamp(cur + (after ? 1 : 0), 0, static_cast<int>(tabs.size()));
        tabs.insert(tabs.begin() + at, name);
        PageRows.resize(tabs.size() - 1, "1");
        PageRows.insert(PageRows.begin() + at, "1");
        TabControl->SetTabs(tabs);
        TabControl->SetTabIndex(at);
        shownTab_ = at;
        PageName = name;
        CurRow = 1;
        // A page file of that name that exists already (a page whose tab was deleted) is shown.
        LoadBasePage();
        StringGrid->Invalidate();
        return true;
    });
}

void TBase::TabControlChange() {
    const int now = TabControl->TabIndex();
    const std::vector<std::string> tabs = TabControl->Tabs();
    if (now < 0 || now >= static_cast<int>(tabs.size())) return;
    if (CellEditing()) EndCellEdit();
    RememberRow();
    shownTab_ = now;
    PageName = tabs[static_cast<std::size_t>(now)];
    CurRow = now < static_cast<int>(PageRows.size()) ? RowNumber(PageRows[now]) : 1;
    LoadBasePage();
    StringGrid->Invalidate();
}

// The page shown keeps the row the user is on (the grid's current row, however it got there).
void TBase::RememberRow() {
    if (shownTab_ < 0 || shownTab_ >= static_cast<int>(PageRows.size())) return;
    CurRow = CurrentRecord();
    PageRows[static_cast<std::size_t>(shownTab_)] = std::to_string(CurRow);
}

// --- Window life ------------------------------------------------------------------------------

void TBase::FormShow() {
    if (shown_) return;
    shown_ = true;
    const QFontInfo fi(StringGrid->font());
    StringGrid->SetDefaultRowHeight(fi.pixelSize() + 6);
    const PageStateFields st = ParsePageState(Edit->Text(), TabControl->TabCount());
    PageRows = st.Rows;
    TabControl->SetTabIndex(st.Tab);
    shownTab_ = st.Tab;
    CurRow = st.Tab < static_cast<int>(PageRows.size()) ? RowNumber(PageRows[st.Tab]) : 1;
    PageName = TabControl->TabCount() > 0 ? TabControl->Tabs()[static_cast<std::size_t>(st.Tab)]
                                          : std::string();
    Edit->SetText("");
    LoadBasePage();
}

void TBase::FormClose() {
    if (CellEditing()) EndCellEdit();
    Timer1->SetEnabled(false);
    Edit->hide();
    RememberRow();
    Edit->SetText(FormatPageState(std::max(TabControl->TabIndex(), 0), PageRows));
    p_.Commands.RunUICommand("DataForm,", "SetFocus");
}

void TBase::FormKeyDown(int& key, Shift) {
    if (CellEditing()) {
        if (key == vk::Escape) {
            key = 0;
            Edit->hide();
            StringGrid->setFocus();
        } else if (key == vk::Return) {
            key = 0;
            EndCellEdit();
        }
        return;
    }
    if (key == vk::F12) {
        key = 0;
        CurCol = 1;
        CurRow = StringGrid->Row();
        const QPoint c = mapToGlobal(QPoint(width() / 2, height() / 2));
        PopupAt(c.x(), c.y());
    }
}

void TBase::PopupAt(int x, int y) {
    PopupMenu->Popup(x, y);
}

// --- Records ----------------------------------------------------------------------------------

bool TBase::RowToDataForm(bool close) {
    TDataForm* d = DataFormOf();
    if (!d || rows_.empty()) return false;
    const BaseRow& row = rows_[static_cast<std::size_t>(CurrentRecord() - 1)];
    d->Memo->SetText(BarsToLineBreaks(row[9]));
    d->NameEdit->SetText(BarsToLineBreaks(row[1]));
    // Each text in the window's own form; a text that does not read is shown as it stands, so
    // that the window refuses it by name and the chart stays.
    if (const auto date = ParseMomentDate(row[2])) {
        ChartMoment m;
        m.Year = date->Year, m.Month = date->Month, m.Day = date->Day;
        const DateField f = MomentDateField(m);
        d->DateEdit->SetText(f.Text);
        d->EraCheckBox->SetChecked(f.BeforeEra);
    } else {
        const bool era = !row[2].empty() && row[2].back() == 'B';
        d->DateEdit->SetText(era ? row[2].substr(0, row[2].size() - 1) : row[2]);
        d->EraCheckBox->SetChecked(era);
    }
    if (const auto t = ParseMomentTime(row[3])) {
        ChartMoment m;
        m.Hour = t->Hour, m.Minute = t->Minute, m.Second = t->Second;
        d->TimeEdit->SetText(MomentTimeText(m));
    } else {
        d->TimeEdit->SetText(row[3]);
    }
    const auto zone = ParseMomentZone(row[4]);
    d->dTEdit->SetText(zone ? MomentZoneText(*zone) : row[4]);
    const std::size_t comma = row[5].find(',');
    d->CityEdit->SetText(Trim(row[5].substr(0, comma)));
    d->CountryEdit->SetText(comma == std::string::npos ? std::string()
                                                       : Trim(row[5].substr(comma + 1)));
    const auto lat = ParseLatitude(row[6]);
    d->LatEdit->SetText(lat ? FormatLatitude(*lat) : row[6]);
    const auto lon = ParseLongitude(row[7]);
    d->LongEdit->SetText(lon ? FormatLongitude(*lon) : row[7]);
    const std::string sex = SexLetterToCode(row[8].empty() ? " " : row[8].substr(0, 1));
    d->SexGroup->SetItemIndex(StrToIntDef0(sex));
    if (close) Close();
    return true;
}

void TBase::GetDataClick() {
    TDataForm* d = DataFormOf();
    if (!d || !RowToDataForm(true)) return;
    if (d->isVisible()) {
        d->OKBtn->setDefault(true);
        d->OKBtn->setFocus();
        return;
    }
    p_.Flags.RealTimeMode = false;
    d->OKBtnClick();
}

void TBase::QuickViewUpdate() {
    if (!quickView_) return;
    TDataForm* d = DataFormOf();
    if (!d) return;
    p_.Flags.RealTimeMode = false;
    if (d->ShowsBackSet()) d->TempBtnClick();
    RowToDataForm(false);
    d->ApplyData();
}

BaseRow TBase::RowFromDataForm(bool replace) const {
    const TDataForm* d = DataFormOf();
    BaseRow row;
    const std::string name = d->NameEdit->Text();
    row[1] = WithoutSemicolons(replace ? LineBreaksToBars(name) : name);
    // A "|" in the name field would read back as the start of a comment.
    std::replace(row[1].begin(), row[1].end(), '|', '/');
    row[2] = d->DateEdit->Text() + (d->EraCheckBox->Checked() ? "B" : "");
    row[3] = d->TimeEdit->Text();
    row[4] = d->dTEdit->Text();
    row[5] = d->CityEdit->Text();
    if (!d->CountryEdit->Text().empty()) row[5] += ", " + d->CountryEdit->Text();
    row[5] = WithoutSemicolons(row[5]);
    row[6] = d->LatEdit->Text();
    row[7] = d->LongEdit->Text();
    row[8] = SexCodeToLetter(p_.s, std::to_string(d->SexGroup->ItemIndex()));
    row[9] = LineBreaksToBars(d->Memo->Text());
    // The memo's text ends every line with a line break: the last one is no part of it.
    while (!row[9].empty() && row[9].back() == '|') row[9].pop_back();
    return row;
}

void TBase::InsertRecordFromDataForm() {
    TDataForm* d = DataFormOf();
    if (!d || !d->isVisible()) {
        TellUser(p_, MsgKind::Warning,
                 Lang(p_.s, "Окно данных не открыто: добавить нечего"_cp,
                      "The birth-data window is not open: nothing to add"),
                 true);
        return;
    }
    if (!MayChange()) return;
    const std::size_t at = OpenRecordRow(rows_, static_cast<std::size_t>(CurrentRecord() - 1));
    rows_[at] = RowFromDataForm(false);
    ShowRows();
    StringGrid->SetRow(static_cast<int>(at) + 1);
    SaveBasePage();
}

void TBase::ReplaceClick() {
    TDataForm* d = DataFormOf();
    if (!d || !d->isVisible()) {
        TellUser(p_, MsgKind::Warning,
                 Lang(p_.s, "Окно данных не открыто: заменить нечем"_cp,
                      "The birth-data window is not open: nothing to replace with"),
                 true);
        return;
    }
    if (!MayChange()) return;
    BaseRow& row = rows_[static_cast<std::size_t>(CurrentRecord() - 1)];
    const std::string mark = row[0];
    row = RowFromDataForm(true);
    row[0] = mark;
    StringGrid->Invalidate();
    SaveBasePage();
}

void TBase::DeleteSelectedRecords() {
    if (rows_.size() == 1 && IsEmptyRow(rows_[0])) return;
    if (!MayChange()) return;
    auto [top, bottom] = StringGrid->Selection();
    const int last = static_cast<int>(rows_.size());
    top = std::clamp(top, 1, last);
    bottom = std::clamp(bottom, 1, last);
    const std::string question =
        top == bottom ? GetMsgText(p_.s, 44, rows_[static_cast<std::size_t>(top - 1)][1])
                      : GetMsgText(p_.s, 45, std::to_string(bottom - top + 1));
    if (!AskUser(p_, question)) return;
    DeleteRecordRows(rows_, static_cast<std::size_t>(top - 1), static_cast<std::size_t>(bottom - 1));
    ShowRows();
    StringGrid->SetRow(std::min(top, static_cast<int>(rows_.size())));
    SaveBasePage();
}

void TBase::N7Click() {
    RecordClipboard.clear();
    const auto [top, bottom] = StringGrid->Selection();
    for (int r = std::max(top, 1); r <= bottom && r <= static_cast<int>(rows_.size()); ++r)
        RecordClipboard.push_back(RowToClipboardEntry(rows_[static_cast<std::size_t>(r - 1)]));
}

void TBase::N8Click() {
    if (RecordClipboard.empty()) return;
    if (!MayChange()) return;
    const int at = CurrentRecord();
    PasteRecordRows(rows_, static_cast<std::size_t>(at - 1), RecordClipboard);
    ShowRows();
    StringGrid->SetRow(std::min(at, static_cast<int>(rows_.size())));
    SaveBasePage();
}

void TBase::ImportClick() {
    if (!MayChange()) return;
    fs::path chosen = p_.s.DataPath("DBase");
    if (!Screen().Dlg().OpenFile(Lang(p_.s, "Импорт файла"_cp, "Import a file"),
                                 GetMsgText(p_.s, 49) + " QOR 5.07 (*.qbs)|*.QBS", chosen))
        return;
    ImportFile(chosen);
}

bool TBase::ImportFile(const fs::path& path) {
    if (!MayChange()) return false;
    const BasePageLoad load = ReadBaseFile(path);
    if (load.state == PageRead::Unreadable) {
        std::string name;
        if (!Utf8ToCp1251(path.filename().string(), name)) name = "?";
        IOCheck(p_.s, load.io, name);
        return false;
    }
    ImportRecordRows(rows_, load.rows);
    ShowRows();
    return SaveBasePage();
}

void TBase::NmarkClick() {
    if (CurRow < 1 || CurRow > static_cast<int>(rows_.size())) return;
    std::string& mark = rows_[static_cast<std::size_t>(CurRow - 1)][0];
    mark = mark.empty() ? "|" : "";
    StringGrid->Invalidate();
}

void TBase::StringGridRowMoved(int from, int to) {
    if (!MayChange()) return;
    MoveRecordRow(rows_, static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - 1));
    StringGrid->SetRow(to);
    StringGrid->Invalidate();
    SaveBasePage();
}

// --- The cell editor --------------------------------------------------------------------------

bool TBase::CellEditing() const {
    return Edit->isVisible();
}

void TBase::BeginCellEdit() {
    if (CurRow < 1 || CurRow > static_cast<int>(rows_.size()) || CurCol < 1 ||
        CurCol >= kBaseCols)
        return;
    if (readOnly_) {
        MayChange();
        return;
    }
    StringGrid->SetRow(CurRow);
    StringGrid->SetCol(CurCol);
    StringGrid->scrollTo(StringGrid->model()->index(CurRow, CurCol));
    const QRect cell = StringGrid->visualRect(StringGrid->model()->index(CurRow, CurCol));
    const QPoint at = StringGrid->viewport()->mapTo(Client(), cell.topLeft());
    ui::SetBounds(Edit, at.x() + 2, at.y() + 2, cell.width(), cell.height());
    Edit->SetText(rows_[static_cast<std::size_t>(CurRow - 1)][static_cast<std::size_t>(CurCol)]);
    Edit->show();
    Edit->raise();
    Edit->setFocus();
    Edit->end(false);
    EditMovePending = false;
    EditLastCaretX = Edit->cursorPosition();
}

bool TBase::EndCellEdit() {
    if (!CellEditing()) return true;
    std::string text;
    if (!FromQ(Edit->text(), text)) {
        TellUser(p_, MsgKind::Warning,
                 Lang(p_.s, "В тексте есть знак, которого нет в кодировке 1251: исправьте его"_cp,
                      "The text holds a character code page 1251 does not have: mend it"),
                 true);
        Edit->setFocus();
        return false;
    }
    Edit->hide();
    StringGrid->setFocus();
    if (CurRow < 1 || CurRow > static_cast<int>(rows_.size()) || CurCol < 1 ||
        CurCol >= kBaseCols || !MayChange())
        return true;
    // ";" separates the fields of the page file and of the copied rows.
    rows_[static_cast<std::size_t>(CurRow - 1)][static_cast<std::size_t>(CurCol)] =
        WithoutSemicolons(text);
    StringGrid->Invalidate();
    SaveBasePage();
    return true;
}

void TBase::EditKeyDown(int& key, Shift) {
    EditLastKey = key;
    if (key == vk::Left) {
        if (CurCol > 1) EditMovePending = true;
    } else if (key == vk::Right) {
        EditMovePending = true;
    } else if (key == vk::Up || key == vk::Down) {
        const int row = std::clamp(CurRow + (key == vk::Up ? -1 : 1), 1,
                                   static_cast<int>(rows_.size()));
        key = 0;
        if (!EndCellEdit()) return;
        CurRow = row;
        StringGrid->SetRow(CurRow);
        BeginCellEdit();
    }
}

void TBase::Timer1Timer() {
    Timer1->SetEnabled(false);
    const int caret = Edit->cursorPosition();
    if (EditMovePending && CellEditing()) {
        EditMovePending = false;
        if (caret == EditLastCaretX && (EditLastKey == vk::Left || EditLastKey == vk::Right)) {
            const int col = EditLastKey == vk::Left ? std::max(CurCol - 1, 1)
                                                    : std::min(CurCol + 1, kBaseCols - 1);
            if (col != CurCol && EndCellEdit()) {
                CurCol = col;
                StringGrid->SetCol(CurCol);
                BeginCellEdit();
            }
        }
    }
    EditLastCaretX = Edit->cursorPosition();
    Timer1->SetEnabled(true);
}

// --- Mouse and menu ---------------------------------------------------------------------------

void TBase::StringGridMouseDown(MouseButton b, Shift, int x, int y) {
    const auto [row, col] = StringGrid->CellAt(x, y);
    CurCol = col;
    CurRow = row;
    if (CurRow <= 0) return;
    const auto [top, bottom] = StringGrid->Selection();
    if (top == bottom) StringGrid->SetRow(CurRow);
    if (b == MouseButton::Right) {
        if (CurCol > 0) {
            const QPoint at = StringGrid->viewport()->mapToGlobal(QPoint(x, y));
            PopupAt(at.x(), at.y());
        } else if (CurCol == 0) {
            NmarkClick();
        }
    } else if (CurCol == 0) {
        StringGrid->viewport()->setCursor(Qt::SizeVerCursor);
    }
}

void TBase::StringGridMouseUp(MouseButton b, Shift, int, int) {
    StringGrid->viewport()->unsetCursor();
    // A click on a column's title sorts the page by it.
    if (b == MouseButton::Left && CurRow == 0 && CurCol > 0) SortPage();
}

void TBase::SortPage() {
    if (CurCol < 1 || CurCol > 8 || rows_.size() < 2) return;
    if (!MayChange()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SortRecordRows(rows_, CurCol);
    StringGrid->Invalidate();
    SaveBasePage();
    QApplication::restoreOverrideCursor();
}

void TBase::NcompClick() {
    TDataForm* d = DataFormOf();
    if (!d) return;
    const CompositeChart c = CompositeOfMarked(p_.s, rows_);
    if (!c.Ok) {
        TellUser(p_, MsgKind::Warning, c.Problem, true);
        return;
    }
    if (d->ShowsBackSet()) d->TempBtnClick();
    const DateField date = MomentDateField(c.Moment);
    d->DateEdit->SetText(date.Text);
    d->EraCheckBox->SetChecked(date.BeforeEra);
    d->TimeEdit->SetText(MomentTimeText(c.Moment));
    d->dTEdit->SetText(MomentZoneText(0));
    d->LatEdit->SetText(FormatLatitude(c.Moment.Lat));
    d->LongEdit->SetText(FormatLongitude(c.Moment.Long));
    d->Memo->Clear();
    d->CityEdit->SetText("");
    d->CountryEdit->SetText("");
    d->NameEdit->SetText(Lang(p_.s, "Композит: "_cp, "Composite: ") + c.Names);
    d->SexGroup->SetItemIndex(2);
    d->show();
    d->raise();
}

void TBase::PopupMenuPopup() {
    const std::string title = ColumnTitle(p_.s, CurCol);
    Sort1->SetCaption(Lang(p_.s, "Сортировать по "_cp, "Sort by ") + "\"" +
                      title.substr(0, title.find(',')) + "\"");
    Ncomp->setEnabled(std::any_of(rows_.begin(), rows_.end(),
                                  [](const BaseRow& r) { return r[0] == "|"; }));
    const TDataForm* d = DataFormOf();
    const bool dataShown = d && d->isVisible();
    AddRecord->setEnabled(dataShown);
    Replace->setEnabled(dataShown);
    N8->setEnabled(!RecordClipboard.empty());
}

void RegisterBaseWindow(shell::Program& p) {
    p.FormClasses.Register("Base", [&p] { return new TBase(p); });
}

} // namespace qor::chart
