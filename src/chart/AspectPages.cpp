// The aspect pages of the natal-chart settings window: the page tabs and their files, the
// automatic page by chart kind, the grid of the page's aspects with its in-place orb editor, and
// the pop-up menu's aspect and page commands.
#include "chart/KartForm.h"

#include "chart/ChartWindows.h"
#include "chart/NewAsp.h"
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/PageNames.h"
#include "core/Text.h"
#include "shell/SetBase.h"
#include "shell/SettingsDialogs.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

namespace qor::chart {

using namespace ui;

namespace {

// The default pages in both languages, in their tab order: natal, transit, horary.
constexpr const char* kDefaultPagesRu[] = {"Натал", "Транзит", "Хорар"};
constexpr const char* kDefaultPagesEn[] = {"Natal", "Transit", "Horary"};

bool SamePageName(const std::string& a, const std::string& b) {
    return UpperCaseCp(a) == UpperCaseCp(b);
}

int TabOfName(const std::vector<std::string>& tabs, const std::string& name) {
    for (int i = 0; i < static_cast<int>(tabs.size()); ++i)
        if (SamePageName(tabs[i], name)) return i;
    return -1;
}

} // namespace

// --- Pages ------------------------------------------------------------------------------------

std::vector<std::string> TKartForm::DefaultAspectPages() const {
    std::vector<std::string> out;
    for (int k = 0; k < 3; ++k)
        out.push_back(p_.s.EnglishMode ? std::string(kDefaultPagesEn[k]) : Cp(kDefaultPagesRu[k]));
    return out;
}

std::string TKartForm::AspectFileName() const {
    return qor::AspectFileName(AspectLetterEdit->Text());
}

int TKartForm::AspectPageTab(const std::string& name, int defaultIndex) const {
    const std::vector<std::string> tabs = AspTabControl->Tabs();
    const std::vector<std::string> defaults = DefaultAspectPages();
    if (Trim(name).empty())
        return defaultIndex >= 0 && defaultIndex < 3 ? TabOfName(tabs, defaults[defaultIndex]) : -1;
    if (const int i = TabOfName(tabs, name); i >= 0) return i;
    // A default page named in the other language is the same page of this one.
    for (int k = 0; k < 3; ++k)
        if (SamePageName(name, Cp(kDefaultPagesRu[k])) || SamePageName(name, kDefaultPagesEn[k]))
            return TabOfName(tabs, defaults[k]);
    return -1;
}

void TKartForm::RefreshAspectGrid() {
    AspMemo->SetLines(p_.AspectLines);
    AspectGrid->SetRowCount(std::max(p_.AspTable.AspCount + 1, 2));
    AspectGrid->Invalidate();
}

void TKartForm::SetAspectPageTabs(const std::vector<std::string>& tabs, int current) {
    AspTabControl->SetTabs(tabs);
    AspTabControl->SetTabIndex(current);
}

bool TKartForm::LoadAspectPage() {
    const std::string page = AspectLetterEdit->Text();
    if (p_.AspectLines.empty()) p_.AspectLines = BuiltInAspectLines(p_.s.EnglishMode);
    const bool ok = qor::LoadAspectPage(p_.s, page, p_.AspTable, p_.AspectLines);
    if (ok) {
        loadedAspectPage_ = page;
        failedAutoPage_.clear();
        const int tab = TabOfName(AspTabControl->Tabs(), page);
        if (tab >= 0) AspTabControl->SetTabIndex(tab);
    }
    RefreshAspectGrid();
    return ok;
}

void TKartForm::StartAspectPage() {
    // A page kept from the other language's default names its page of this language.
    const int tab = AspectPageTab(AspectLetterEdit->Text(), 0);
    if (tab >= 0) AspectLetterEdit->SetText(AspTabControl->Tabs()[tab]);
    // So do the pages chosen by chart kind.
    for (const auto& [edit, kind] : {std::pair{NatalTabEdit, 0}, std::pair{TransTabEdit, 1}}) {
        if (Trim(edit->Text()).empty()) continue;
        if (const int t = AspectPageTab(edit->Text(), kind); t >= 0)
            edit->SetText(AspTabControl->Tabs()[t]);
    }
    LoadAspectPage();
}

bool TKartForm::SwitchAspectPage(const std::string& name) {
    const std::string before = AspectLetterEdit->Text();
    CommitOrbEdit(true);
    AspectLetterEdit->SetText(name);
    if (LoadAspectPage()) return true;
    // Not read (said why): the page shown before stays the current one.
    AspectLetterEdit->SetText(before);
    const int tab = TabOfName(AspTabControl->Tabs(), before);
    if (tab >= 0) AspTabControl->SetTabIndex(tab);
    return false;
}

void TKartForm::SelectAspectPageByKind(bool doubleChart) {
    if (!DfOrbBox->Checked()) return;
    const int kind = doubleChart ? 1 : 0;
    const std::string wanted = (doubleChart ? TransTabEdit : NatalTabEdit)->Text();
    const int tab = AspectPageTab(wanted, kind);
    if (tab < 0) return;
    const std::string name = AspTabControl->Tabs()[tab];
    if (tab == AspTabControl->TabIndex() && SamePageName(name, AspectLetterEdit->Text())) return;
    // A page that could not be read is not tried again at every drawing.
    if (SamePageName(name, failedAutoPage_)) return;
    const int before = AspTabControl->TabIndex();
    AspTabControl->SetTabIndex(tab);
    if (SwitchAspectPage(name)) return;
    failedAutoPage_ = name;
    AspTabControl->SetTabIndex(before);
}

void TKartForm::AspTabControlChange() {
    const std::vector<std::string> tabs = AspTabControl->Tabs();
    const int i = AspTabControl->TabIndex();
    if (i < 0 || i >= static_cast<int>(tabs.size())) return;
    if (DfOrbBox->Checked()) {
        DfOrbBox->SetChecked(false);
        TellUser(p_, MsgKind::Information, GetMsgText(p_.s, 31), false);
    }
    if (!SwitchAspectPage(tabs[i])) return;
    Recompute();
}

bool TKartForm::SaveLines(const std::vector<std::string>& before) {
    if (loadedAspectPage_.empty() || !SamePageName(loadedAspectPage_, AspectLetterEdit->Text())) {
        TellUser(p_, MsgKind::Warning,
                 Lang(p_.s, "Страница аспектов \""_cp + AspectLetterEdit->Text() +
                                "\" не прочитана: изменение не сохранено"_cp,
                      "The aspect page \"" + AspectLetterEdit->Text() +
                          "\" was not read: the change is not saved"),
                 true);
    } else if (qor::SaveAspectPage(p_.s, loadedAspectPage_, p_.AspectLines)) {
        ReadAspectTable(p_.AspTable, p_.AspectLines);
        RefreshAspectGrid();
        return true;
    }
    // Not saved (said why): the grid shows what the file holds.
    const auto held = loadedAspectPage_.empty() ? std::nullopt
                                                : ReadAspectPageFile(p_.s, loadedAspectPage_);
    p_.AspectLines = held ? *held : before;
    ReadAspectTable(p_.AspTable, p_.AspectLines);
    RefreshAspectGrid();
    return false;
}

bool TKartForm::SaveAspectPage() {
    const std::vector<std::string> before = p_.AspectLines;
    std::vector<std::string> lines;
    for (int a = 1; a <= p_.AspTable.AspCount; ++a) lines.push_back(WriteAspectTable(p_.AspTable, a));
    p_.AspectLines = std::move(lines);
    return SaveLines(before);
}

// --- The page-name dialog's commands ----------------------------------------------------------

void TKartForm::AddBeforePageClick() {
    AddAspectPage(false);
}

void TKartForm::AddAfterPageClick() {
    AddAspectPage(true);
}

void TKartForm::AddAspectPage(bool after) {
    shell::AskPageName(GetMsgText(p_.s, 32), "", [this, after](const std::string& name) {
        const std::vector<std::string> before = AspTabControl->Tabs();
        const int beforeTab = AspTabControl->TabIndex();
        if (const auto why = PageNameProblem(p_.s, name, before)) {
            TellUser(p_, MsgKind::Warning, *why, true);
            return false;
        }
        std::vector<std::string> tabs = before;
        const int at =
            std::clamp(beforeTab + (after ? 1 : 0), 0, static_cast<int>(tabs.size()));
        tabs.insert(tabs.begin() + at, name);
        SetAspectPageTabs(tabs, at);
        // A page whose file exists (one whose tab was deleted) is read; a new one starts as a
        // copy of the page shown.
        if (!SwitchAspectPage(name)) {
            SetAspectPageTabs(before, beforeTab);
            return false;
        }
        Redraw();
        return true;
    });
}

void TKartForm::RenamePageClick() {
    const int i = AspTabControl->TabIndex();
    if (i < 0 || i >= AspTabControl->TabCount()) return;
    const std::string old = AspTabControl->Tabs()[i];
    shell::AskPageName(GetMsgText(p_.s, 33), old, [this, i, old](const std::string& name) {
        std::vector<std::string> tabs = AspTabControl->Tabs();
        if (i >= static_cast<int>(tabs.size()) || tabs[i] != old) return true; // gone meanwhile
        if (name == old) return true;
        CommitOrbEdit(true);
        // A bad name and the name of another page's file are refused (said why); the file
        // moves with the name.
        if (!qor::RenamePage(p_.s, tabs, static_cast<std::size_t>(i), name,
                        [](const std::string& page) { return qor::AspectFileName(page); }))
            return false;
        AspTabControl->SetTab(i, name);
        if (SamePageName(AspectLetterEdit->Text(), old)) {
            AspectLetterEdit->SetText(name);
            if (SamePageName(loadedAspectPage_, old)) loadedAspectPage_ = name;
        }
        // The pages chosen by chart kind follow their page.
        for (TEdit* e : {NatalTabEdit, TransTabEdit})
            if (SamePageName(e->Text(), old)) e->SetText(name);
        return true;
    });
}

void TKartForm::DeletePageClick() {
    std::vector<std::string> tabs = AspTabControl->Tabs();
    const int i = AspTabControl->TabIndex();
    if (tabs.size() <= 1 || i < 0 || i >= static_cast<int>(tabs.size())) return;
    const std::string file = qor::AspectFileName(tabs[i]);
    std::error_code ec;
    const std::string arg =
        fs::exists(p_.s.DataPath(file), ec) ? GetMsgText(p_.s, 35, file) : file;
    if (!AskUser(p_, GetMsgText(p_.s, 34, arg))) return;
    const std::vector<std::string> before = tabs;
    tabs.erase(tabs.begin() + i);
    const int next = std::min(i, static_cast<int>(tabs.size()) - 1);
    SetAspectPageTabs(tabs, next);
    // The tab goes, the file stays.
    if (!SwitchAspectPage(tabs[next])) {
        SetAspectPageTabs(before, i);
        return;
    }
    Redraw();
}

// --- Aspects ----------------------------------------------------------------------------------

bool TKartForm::AddAspectRow(const std::string& line) {
    if (p_.AspTable.AspCount >= kMaxAspects) {
        TellUser(p_, MsgKind::Warning,
                 Lang(p_.s, "На странице уже "_cp + std::to_string(kMaxAspects) +
                                " аспектов: больше не помещается"_cp,
                      "The page holds " + std::to_string(kMaxAspects) +
                          " aspects already: no more fit"),
                 true);
        return false;
    }
    CommitOrbEdit(true);
    const std::vector<std::string> before = p_.AspectLines;
    p_.AspectLines.push_back(line);
    ReadAspectTable(p_.AspTable, p_.AspectLines);
    if (!SaveLines(before)) return false;
    AspectGrid->SetRow(p_.AspTable.AspCount);
    Recompute();
    return true;
}

bool TKartForm::ApplyAspectEdit(const std::string& line, int row) {
    if (row != AspectGrid->Row() || row < 1 || row > p_.AspTable.AspCount ||
        row > static_cast<int>(p_.AspectLines.size()))
        return false;
    CommitOrbEdit(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<std::string> before = p_.AspectLines;
    p_.AspectLines[row - 1] = line;
    ReadAspectTable(p_.AspTable, p_.AspectLines);
    const bool saved = SaveLines(before);
    if (saved) Recompute();
    QApplication::restoreOverrideCursor();
    return saved;
}

void TKartForm::DeleteAspectRow() {
    const int r = AspectGrid->Row();
    if (r < 1 || r > p_.AspTable.AspCount) return;
    if (r <= 14) {
        TellUser(p_, MsgKind::Information, GetMsgText(p_.s, 29), true);
        return;
    }
    if (!AskUser(p_, GetMsgText(p_.s, 30, Trim(p_.AspTable.Asp[r].AspName)))) return;
    CommitOrbEdit(true);
    const std::vector<std::string> before = p_.AspectLines;
    p_.AspectLines.erase(p_.AspectLines.begin() + (r - 1));
    ReadAspectTable(p_.AspTable, p_.AspectLines);
    if (!SaveLines(before)) return;
    AspectGrid->SetRow(std::min(r, p_.AspTable.AspCount));
    Recompute();
}

void TKartForm::DelAspectNClick() {
    DeleteAspectRow();
}

namespace {

TNewAsp* NewAspWindow(shell::Program& p) {
    if (auto* d = dynamic_cast<TNewAsp*>(Screen().FindForm("NewAsp"))) return d;
    if (Screen().HasFormClass("NewAsp")) return dynamic_cast<TNewAsp*>(Screen().Ensure("NewAsp"));
    return new TNewAsp(p);
}

} // namespace

void TKartForm::AddAspectNClick() {
    TNewAsp* d = NewAspWindow(p_);
    if (!d) return;
    d->NewAspEditMode = false;
    const int r = AspectGrid->Row();
    if (r >= 1 && r <= static_cast<int>(p_.AspectLines.size())) d->LoadAspectDialog(p_.AspectLines[r - 1]);
    d->show();
    d->FormShow();
    d->raise();
}

void TKartForm::EditAspectNClick() {
    const int r = AspectGrid->Row();
    if (r < 1 || r > p_.AspTable.AspCount || r > static_cast<int>(p_.AspectLines.size())) return;
    TNewAsp* d = NewAspWindow(p_);
    if (!d) return;
    d->NewAspEditMode = true;
    d->NewAspRow = r;
    d->LoadAspectDialog(p_.AspectLines[r - 1]);
    d->show();
    d->FormShow();
    d->raise();
}

// --- The grid ---------------------------------------------------------------------------------

uint32_t TKartForm::KartPaperColor() const {
    if (BlackButton->Checked()) return 0x000000;
    if (ColorButton->Checked()) return Colors.KartBck;
    return 0xFFFFFF;
}

void TKartForm::AspectGridDrawCell(QPainter& g, int col, int row, const QRect& r) {
    const AspDefTable& t = p_.AspTable;
    const QPalette& pal = AspectGrid->palette();
    const bool selected = row >= 1 && row == AspectGrid->Row();
    g.fillRect(r, row == 0 ? pal.button() : selected ? QBrush(QColor(0xDD, 0xE8, 0xF8)) : pal.base());
    g.setPen(pal.text().color());
    const int glyphY = r.y() + (r.height() - 16) / 2;
    const auto text = [&](const std::string& s, Qt::Alignment align) {
        g.drawText(r.adjusted(3, 0, -3, 0), align | Qt::AlignVCenter, ToQ(s));
    };
    if (row == 0) {
        if (col >= 4 && col <= 13) {
            const int x = r.x() + (r.width() - kFont16Advance) / 2;
            PaintFont16Text(g, p_.Font, x, glyphY, std::string(1, BodyGlyph(col - 3)), kBlack);
        } else if (col == 14) {
            text(Lang(p_.s, "др."_cp, "other"), Qt::AlignHCenter);
        }
        return;
    }
    if (row > t.AspCount) return;
    const AspDef& a = t.Asp[row];
    switch (col) {
    case 0:
        PaintFont16Text(g, p_.Font, r.x() + 3, glyphY, std::string(1, t.AspGlyph[row]), kBlack);
        break;
    case 1:
        text(AspectAngleText(a.AspAngle / kDegToRad), Qt::AlignRight);
        break;
    case 2:
        text(std::string(1, a.AspKind), Qt::AlignHCenter);
        break;
    case 3: {
        g.fillRect(r.adjusted(1, 1, -1, -1), ToQColor(KartPaperColor()));
        const uint32_t c = static_cast<uint32_t>(BlackButton->Checked() ? a.AspColorDark
                                                                         : a.AspColorLight);
        g.fillRect(QRect(r.x() + 4, r.center().y() - 1, r.width() - 8, 3), ToQColor(c & 0xFFFFFF));
        break;
    }
    default:
        if (col >= 4 && col <= 14) text(a.AspOrbText[col - 3], Qt::AlignHCenter);
        break;
    }
}

void TKartForm::AspectGridClick(int col, int row) {
    AspDefTable& t = p_.AspTable;
    if (row < 1 || row > t.AspCount) return;
    AspDef& a = t.Asp[row];
    if (col == 2) {
        a.AspKind = a.AspKind == 'M' ? ' ' : 'M';
        SaveAspectPage();
        Redraw();
    } else if (col == 3) {
        if (p_.Flags.LinkCommand) {
            AskUser(p_, Lang(p_.s, "Цвет аспекта"_cp, "The aspect's colour"));
            return;
        }
        const bool black = BlackButton->Checked();
        int32_t& colour = black ? a.AspColorDark : a.AspColorLight;
        const std::optional<uint32_t> chosen =
            AskColour ? AskColour(static_cast<uint32_t>(colour)) : std::nullopt;
        if (!chosen) return;
        colour = static_cast<int32_t>(*chosen);
        SaveAspectPage();
        Redraw();
    } else if (col >= 4 && col <= 14) {
        BeginOrbEdit(col, row);
    }
}

void TKartForm::AspectGridMouseDown(MouseButton b, Shift, int x, int y) {
    if (b != MouseButton::Right) return;
    const auto [row, col] = AspectGrid->CellAt(x, y);
    if (row >= 1 && col >= 0) AspectGrid->SetRow(row);
}

void TKartForm::AspectGridMouseUp(MouseButton b, Shift, int x, int y) {
    const auto [row, col] = AspectGrid->CellAt(x, y);
    if (b == MouseButton::Left) {
        if (row >= 1 && col >= 0) AspectGridClick(col, row);
        return;
    }
    if (b != MouseButton::Right) return;
    if (row >= 1) AspectGrid->SetRow(row);
    PopupMenu->Popup(AspectGrid->viewport()->mapToGlobal(QPoint(x, y)).x(),
                     AspectGrid->viewport()->mapToGlobal(QPoint(x, y)).y());
}

void TKartForm::AspectGridMouseMove(Shift shift, int x, int y) {
    const auto [row, col] = AspectGrid->CellAt(x, y);
    if ((shift & ssRight) && row >= 1) AspectGrid->SetRow(row);
    const bool onGlyph = col == 0 && row >= 1 && row <= p_.AspTable.AspCount;
    SetHint(AspectGrid, onGlyph ? Trim(p_.AspTable.Asp[row].AspName) + " " : std::string());
}

void TKartForm::AspectGridKeyDown(int& key, Shift) {
    if (key != vk::Return) return;
    const int col = AspectGrid->Col(), row = AspectGrid->Row();
    if (col <= 3 || row <= 0) return;
    // After the key has gone: the editor does not take the Enter that opened it.
    QTimer::singleShot(100, this, [this, col, row] { BeginOrbEdit(col, row); });
}

// --- The in-place orb editor ------------------------------------------------------------------

bool TKartForm::OrbEditing() const {
    return orbEditRow_ > 0;
}

void TKartForm::BeginOrbEdit(int col, int row) {
    if (col < 4 || col > 14 || row < 1 || row > p_.AspTable.AspCount) return;
    CommitOrbEdit(true);
    orbEditCol_ = col;
    orbEditRow_ = row;
    AspectGrid->SetRow(row);
    AspectGrid->SetCol(col);
    const QRect cell = AspectGrid->visualRect(AspectGrid->model()->index(row, col));
    const QPoint at = AspectGrid->viewport()->mapTo(AspectPanel, cell.topLeft());
    ui::SetBounds(Edit1, at.x() + 2, at.y() + 2, cell.width(), cell.height());
    Edit1->SetText(p_.AspTable.Asp[row].AspOrbText[col - 3]);
    OrbEditChanged = false;
    Edit1->show();
    Edit1->raise();
    Edit1->setFocus();
    Edit1->selectAll();
}

bool TKartForm::CommitOrbEdit(bool leaving) {
    if (!OrbEditing()) return false;
    const int row = orbEditRow_, cls = orbEditCol_ - 3;
    if (OrbEditChanged && row <= p_.AspTable.AspCount) {
        const std::optional<std::string> orb = OrbFieldText(Edit1->Text());
        if (!orb) {
            // Not an orb: the old one stays.
            SetStatus(p_.s, Lang(p_.s, " Ошибка! "_cp, " Error! "));
            PlayWav(p_.s, "Error.wav");
            if (!leaving) {
                Edit1->setFocus();
                return true;
            }
        } else {
            orbEditRow_ = 0; // the save below must not end this edit again
            p_.AspTable.Asp[row].AspOrbText[cls] = *orb;
            SaveAspectPage();
            Redraw();
        }
    }
    OrbEditChanged = false;
    orbEditRow_ = 0;
    Edit1->hide();
    if (!leaving) AspectGrid->setFocus();
    return true;
}

// --- Menu and messages ------------------------------------------------------------------------

void TKartForm::BuildAspectMenu() {
    AddAspectN = AddMenuItem("AddAspectN", "Добавить аспект"_cp, PopupMenu);
    EditAspectN = AddMenuItem("EditAspectN", "Корректировать аспект"_cp, PopupMenu);
    DelAspectN = AddMenuItem("DelAspectN", "Удалить аспект"_cp, PopupMenu);
    PopupMenu->addSeparator();
    AddBeforePage = AddMenuItem("AddBeforePage", "Добавить перед текущей"_cp, PopupMenu);
    AddAfterPage = AddMenuItem("AddAfterPage", "Добавить после текущей"_cp, PopupMenu);
    RenamePage = AddMenuItem("RenamePage", "Переименовать страницу"_cp, PopupMenu);
    DeletePage = AddMenuItem("DeletePage", "Удалить страницу"_cp, PopupMenu);
    ImportAspN = AddMenuItem("ImportAspN", "Импорт файла..."_cp, PopupMenu);
    ImportAspN->setVisible(false);
}

} // namespace qor::chart
