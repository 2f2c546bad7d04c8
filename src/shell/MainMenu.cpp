// The main window's menus and tool buttons: one table of every item in menu order, each row
// with its caption and what it does (a window it opens or a routine), run by RunItem as a
// click would; the window opener, the ingress captions and "restore all settings".
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/Printing.h"
#include "shell/Tech.h"

#include "core/Files.h"
#include "core/Strings.h"
#include "core/Text.h"


namespace qor::shell {

using namespace ui;

namespace {

using ItemAction = void (*)(TForm1& f, Program& p);

// One item: a menu item (under a popup menu, or under a parent item for a submenu), a tool
// button or a key's command. It opens `window` (a tool window, restored when minimized) or
// runs `run`; an item with neither belongs to a subsystem (Services::MenuActions).
struct ItemDef {
    const char* menu; // nullptr: not a menu item
    const char* name;
    const char* caption; // UTF-8, converted to code page 1251; the hint of a tool button
    const char* window;
    ItemAction run;
};

void PopupUnder(TSpeedButton* button, TPopupMenu* menu) {
    const QPoint at = button->mapToGlobal(QPoint(0, button->height()));
    menu->Popup(at.x(), at.y());
}

// Clicks a button of another window (a push or a speed button) as the user would.
void ClickControl(const std::string& form, const std::string& control) {
    TForm* f = Screen().FindForm(form);
    const Component* c = f ? f->FindComponent(control) : nullptr;
    if (!c) return;
    if (c->kind == Kind::Button) c->as<TButton>()->Click();
    if (c->kind == Kind::SpeedButton) c->as<TSpeedButton>()->Click();
}

std::string ItemCaption(TForm1& f, const std::string& item) {
    auto* m = f.Find<TMenuItem>(item);
    return m ? m->Caption() : std::string();
}

// The table window of the Moon and the ingresses: its caption names the table.
void MoonTable(TForm1& f, const std::string& caption, bool periodEnabled) {
    TForm* w = f.OpenToolWindow("Moon");
    if (!w) return;
    if (w->Caption() != caption) {
        w->SetCaption(caption);
        if (auto* memo = w->Find<TMemo>("Memo")) memo->SetLines({});
    }
    if (auto* period = w->Find<TEdit>("PeriodEdit")) {
        if (!periodEnabled) period->SetText("1");
        period->setEnabled(periodEnabled);
    }
}

void MoonTableOfItem(TForm1& f, const char* item) {
    MoonTable(f, ItemCaption(f, item), false);
}

// An ingress table: the planet's item under "N102".
void IngressTable(TForm1& f, const char* item) {
    MoonTable(f, ItemCaption(f, "N102") + " " + Trim(ItemCaption(f, item)), true);
}

void Restored(TForm1& f, const char* window) {
    if (TForm* w = f.OpenToolWindow(window)) w->SetWindowState(WindowState::Normal);
}

void StopForWindow(Program& p) {
    p.Flags.RealTimeMode = false;
    if (p.Tech) p.Tech->StopDynamics();
}

void HelpPage(Program& p, const char* topic) {
    if (p.Tech) p.Tech->ShowHelpTopic(topic);
}

#define ACTION(...) [](TForm1& f, Program& p) { __VA_ARGS__; }

// Every item of the main window's menus in menu order, then the tool buttons and the items of
// the keys alone.
const ItemDef kItems[] = {
    {"ScreensMenu", "Nnatal", "Натальная карта", nullptr, ACTION(f.SwitchScreen('W'))},
    {"ScreensMenu", "Ncosmos", "Космос, планеты, орбиты", nullptr, ACTION(f.SwitchScreen('S'))},
    {"ScreensMenu", "Nsky", "Небесная сфера", nullptr, ACTION(f.SwitchScreen('C'))},
    {"ScreensMenu", "Ngeo", "Географическая карта", nullptr, ACTION(f.SwitchScreen('G'))},
    {"ScreensMenu", "Nstarastr", "Звёзды и астероиды", nullptr, ACTION(f.SwitchScreen('A'))},
    {"ScreensMenu", "Nvoid", "Пустой экран", nullptr, ACTION(f.SwitchScreen('V'))},
    {"TablMenu", "N99", "Таблицы эфемерид", nullptr, ACTION({
         // The ephemeris tables are geocentric, without parallax, the Black Moon the apogee.
         const std::pair<const char*, const char*> off[] = {
             {"KartForm", "HelioBox"}, {"GenSet", "MoonParall"}, {"KartForm", "SfocusButton"}};
         bool kept[3];
         for (int i = 0; i < 3; ++i) {
             kept[i] = p.Checked(off[i].first, off[i].second);
             p.SetChecked(off[i].first, off[i].second, false);
         }
         f.OpenToolWindow("Tab");
         for (int i = 0; i < 3; ++i) p.SetChecked(off[i].first, off[i].second, kept[i]);
     })},
    {"TablMenu", "N100", "Журнал Лунных дней", nullptr, ACTION(MoonTableOfItem(f, "N100"))},
    {"TablMenu", "N103", "Апогей и перигей Луны", nullptr, ACTION(MoonTableOfItem(f, "N103"))},
    {"TablMenu", "N101", "Восходы и заходы Солнца", nullptr, ACTION(MoonTableOfItem(f, "N101"))},
    {"TablMenu", "N1", "Календарь субботних свечей", nullptr, ACTION((void)f)},
    {"TablMenu", "N102", "Ингрессии планеты", nullptr, nullptr},
    {"N102", "Np1", "Солнце", nullptr, ACTION(IngressTable(f, "Np1"))},
    {"N102", "Np2", "Луна", nullptr, ACTION(IngressTable(f, "Np2"))},
    {"N102", "Np3", "Меркурий", nullptr, ACTION(IngressTable(f, "Np3"))},
    {"N102", "Np4", "Венера", nullptr, ACTION(IngressTable(f, "Np4"))},
    {"N102", "Np5", "Марс", nullptr, ACTION(IngressTable(f, "Np5"))},
    {"N102", "Np6", "Юпитер", nullptr, ACTION(IngressTable(f, "Np6"))},
    {"N102", "Np7", "Сатурн", nullptr, ACTION(IngressTable(f, "Np7"))},
    {"N102", "Np8", "Уран", nullptr, ACTION(IngressTable(f, "Np8"))},
    {"N102", "Np9", "Нептун", nullptr, ACTION(IngressTable(f, "Np9"))},
    {"N102", "Np10", "Плутон", nullptr, ACTION(IngressTable(f, "Np10"))},
    {"TablMenu", "N65", "Астрономические данные", "AstroForm", nullptr},
    {"TablMenu", "N66", "Таблица аспектов", nullptr, ACTION(Restored(f, "AspTabl"))},
    {"TablMenu", "N67", "Соединение со звёздами", "StarConj", nullptr},
    {"TablMenu", "N68", "Каталог звёзд", "Star", nullptr},
    {"TablMenu", "N69", "Каталог туманностей", "Deep", nullptr},
    {"TablMenu", "N70", "Каталог астероидов", "Asterid", nullptr},
    {"TablMenu", "N71", "Астероиды и фиктивные", "Asteroids", nullptr},
    {"TablMenu", "N72", "Парсы", nullptr, ACTION({
         // A heliocentric chart has no Arabic parts.
         p.ReadOptions();
         if (p.ChartOpt.HelioBox)
             Screen().Dlg().Message(MsgKind::Information, GetMsgText(p.s, 8), MsgButtons::Ok);
         else
             f.OpenToolWindow("Pars");
     })},
    {"TablMenu", "N73", "Созвездия", "Sozv", nullptr},
    {"MiscMenu", "N74", "Календарь-&Прогноз", "Calend", nullptr},
    {"MiscMenu", "N75", "Движение планет", "MovPln", nullptr},
    {"MiscMenu", "N76", "&Луна в знаках Зодиака", nullptr, ACTION({
         if (p.Checked("DataForm", "TwoButton") && p.ItemIndex("DataForm", "ComboBox", 0) != 0)
             Screen().Dlg().Message(MsgKind::Information, GetMsgText(p.s, 109), MsgButtons::Ok);
         else
             f.OpenToolWindow("MoonSgn");
     })},
    {"MiscMenu", "N77", "Астро-калькулятор", "AstrCalc", nullptr},
    {"MiscMenu", "N78", "Картинная галерея", nullptr, ACTION({
         StopForWindow(p);
         f.OpenToolWindow("Art");
     })},
    {"MiscMenu", "N80", "Копировать в буфер", nullptr, ACTION(f.CopyToClipboard())},
    {"MiscMenu", "BMP1", "Сохранить как BMP", nullptr, ACTION(f.SaveBitmapClick())},
    {"MiscMenu", "N81", "Печатать натальную карту", nullptr, ACTION(f.PrintClick())},
    {"MiscMenu", "N82", "Установка принтера", nullptr, ACTION(PrinterSetup(p, &f))},
    {"MiscMenu", "N84", "&Оракул", nullptr, ACTION({
         const std::string oracle = p.s.EnglishMode ? "oracle-eng.txt" : "oracle.txt";
         if (ProgramFileExists(p.s.ProgramFolder, oracle))
             f.OpenToolWindow("IZIN");
         else
             Screen().Dlg().Message(MsgKind::Information, GetMsgText(p.s, 157, oracle),
                                    MsgButtons::Ok);
     })},
    {"SetupMenu", "N85", "&Общие установки", "GenSet", nullptr},
    {"SetupMenu", "N86", "Установки &Натальной карты", "KartForm", nullptr},
    {"SetupMenu", "N87", "Установки планет и орбит", "OrbitSet", nullptr},
    {"SetupMenu", "N88", "Установки небесной сферы", "sky", nullptr},
    {"SetupMenu", "N89", "Установки &Географической карты", "GeoSet", nullptr},
    {"SetupMenu", "N90", "Восстановить все установки", nullptr, ACTION(f.RestoreDefaultsClick())},
    {"SetupMenu", "N92", "Моё местоположение", "QorLoc", nullptr},
    {"HelpMenu", "N93", "Справочное руководство", nullptr, ACTION(HelpPage(p, "index.html"))},
    {"HelpMenu", "Glossary1", "Glossary", nullptr, ACTION(HelpPage(p, "glossary.html"))},
    {"HelpMenu", "N96", "О программе...", nullptr, ACTION(f.OpenToolWindow("AboutBox", false))},
    {"HelpMenu", "N97", "Что нового?", nullptr, ACTION(HelpPage(p, "WhatsNew.html"))},
    {"HelpMenu", "N98", "Вопросы и ответы", nullptr, ACTION(HelpPage(p, "FAQ.html"))},
    {"HelpMenu", "Nscena", "Демонстрационный клип", nullptr, ACTION(f.Link->PlayClip())},
    // The screen menus: their windows; the screens' own commands come from their subsystems.
    {"OrbitesMenu", "N_Orbites", "Спутники", "SatData", nullptr},
    {"OrbitesMenu", "N_Find", "Найти", "Find", nullptr},
    {"OrbitesMenu", "N_OrbSetup", "Установки", "OrbitSet", nullptr},
    {"OrbitesMenu", "N13", "Дизайнер", "ImgDes", nullptr},
    {"OrbitesMenu", "N_Return", "К Солнцу", nullptr, nullptr},
    {"GeoMenu", "N_GeoSetup", "Установки", "GeoSet", nullptr},
    {"GeoMenu", "N_GeoLevel", "Пред.уровень", nullptr, nullptr},
    {"GeoMenu", "AtlasMenu", "Атлас", nullptr, ACTION({
         if (TForm* w = f.OpenToolWindow("Cities")) {
             if (auto* b = w->Find<TButton>("GetBtn")) b->setEnabled(false);
             if (auto* b = w->Find<TButton>("MapBtn")) b->setEnabled(true);
         }
     })},
    {"GeoMenu", "GetFromMap", "Взять данные", nullptr, ACTION(f.GetFromMap->setEnabled(false))},
    {"StarAstrMenu", "N53", "Свернуть", nullptr, nullptr},
    {"StarAstrMenu", "N46", "Найти...", "Find", nullptr},
    {"StarAstrMenu", "N47", "Каталог звёзд...", "Star", nullptr},
    {"StarAstrMenu", "N52", "Каталог туманностей...", "Deep", nullptr},
    {"StarAstrMenu", "N49", "Каталог астероидов...", "Asterid", nullptr},
    {"StarAstrMenu", "N54", "Все названия", nullptr, ACTION({
         // The check mark is the setting; the stars screen reads it when it draws.
         f.N54->SetChecked(!f.N54->Checked());
         f.RedrawScreen();
     })},
    // The wheel's menus of a point and of a sign: their actions and the captions of the point's
    // name, its motion and its aspects come from the wheel.
    {"ChartMenu", "NPlnName", "", nullptr, nullptr},
    {"ChartMenu", "Vel", "", nullptr, nullptr},
    {"ChartMenu", "NTablAsp", "Таблица аспектов", nullptr, nullptr},
    {"ChartMenu", "a1", "", nullptr, nullptr},
    {"ChartMenu", "a2", "", nullptr, nullptr},
    {"ChartMenu", "a3", "", nullptr, nullptr},
    {"ChartMenu", "a4", "", nullptr, nullptr},
    {"ChartMenu", "a5", "", nullptr, nullptr},
    {"ChartMenu", "a6", "", nullptr, nullptr},
    {"ChartMenu", "a7", "", nullptr, nullptr},
    {"ChartMenu", "a8", "", nullptr, nullptr},
    {"ChartMenu", "a9", "", nullptr, nullptr},
    {"ChartMenu", "N57", "Интерпретация...", nullptr, nullptr},
    {"ChartMenu", "Npicture", "Смотреть...", nullptr, nullptr},
    {"ChartMenu", "MoonMovie", "Лунный месяц...", nullptr, nullptr},
    {"ChartMenu", "NAstroData", "Астрономические данные", nullptr, nullptr},
    {"ChartZnakMenu", "N55", "Описание...", nullptr, nullptr},
    {"ChartZnakMenu", "N56", "Смотреть...", nullptr, nullptr},
    // The dictionary, made with the main window (hidden in English mode).
    {nullptr, "N94", "", "Dict", nullptr},
    // The tool buttons.
    {nullptr, "HistButton", "История", nullptr, ACTION(Restored(f, "CHist"))},
    {nullptr, "ScreenButton", "Экраны", nullptr, ACTION(PopupUnder(f.ScreenButton, f.ScreensMenu))},
    {nullptr, "DataButton", "Исходные данные", "DataForm", nullptr},
    {nullptr, "TextButton", "Тексты", nullptr, ACTION({
         p.Flags.InterpPoint = 0;
         StopForWindow(p);
         f.OpenToolWindow("Interp");
     })},
    {nullptr, "TableButton", "Таблицы", nullptr, ACTION(PopupUnder(f.TableButton, f.TablMenu))},
    {nullptr, "MiscButton", "Разное", nullptr, ACTION(PopupUnder(f.MiscButton, f.MiscMenu))},
    {nullptr, "DynButton", "Динамика времени", "Dinamic", nullptr},
    {nullptr, "SetupButton", "Установки, настройки", nullptr,
     ACTION(PopupUnder(f.SetupButton, f.SetupMenu))},
    {nullptr, "HelpButton", "Справка", nullptr, ACTION(PopupUnder(f.HelpButton, f.HelpMenu))},
    {nullptr, "ExitButton", "Выход", nullptr, ACTION({
         if (Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(p.s, 1), MsgButtons::YesNo) ==
             MsgResult::Yes)
             f.Close();
     })},
    {nullptr, "DBaseButton", "Базы данных", nullptr, ACTION(ClickControl("DataForm", "BaseBtn"))},
    // Items of the keys alone.
    {nullptr, "PosButton", "", nullptr, ACTION(ClickControl("GeoSet", "PosButton"))},
    {nullptr, "RealTime", "", nullptr, ACTION(f.ToggleRealTime())},
};

#undef ACTION

const ItemDef* FindItem(const std::string& name) {
    for (const ItemDef& d : kItems)
        if (name == d.name) return &d;
    return nullptr;
}

} // namespace

void TForm1::BuildItems() {
    for (const ItemDef& d : kItems) {
        const std::string name = d.name;
        if (!d.menu) {
            if (auto* button = Find<TSpeedButton>(d.name)) {
                SetHint(button, Cp(d.caption));
                button->OnClick = [this, name] { RunItem(name); };
            }
            continue;
        }
        QObject* under = nullptr;
        if (const Component* c = FindComponent(d.menu)) under = c->object;
        if (!under) continue;
        TMenuItem* item = AddMenuItem(d.name, Cp(d.caption), under);
        item->OnClick = [this, name] { RunItem(name); };
    }
    // The dictionary sits after the manual, as it was made at construction.
    if (N94) {
        HelpMenu->removeAction(N94);
        QAction* before = Find<TMenuItem>("Glossary1");
        HelpMenu->insertAction(before, N94);
        N94->OnClick = [this] { RunItem("N94"); };
    }
    // Menus of the tool buttons prepare their items before they open.
    QObject::connect(TablMenu, &QMenu::aboutToShow, [this] {
        p_.ReadOptions();
        if (auto* n102 = Find<TMenuItem>("N102")) n102->setEnabled(!p_.ChartOpt.HorizontalBox);
    });
}

void TForm1::MItemClick(const std::string& name) {
    LastMenuItem = name;
}

std::string WindowMissingText(const AstroDat& s, const std::string& name) {
    return Lang(s, Cp(" Окно «") + name + Cp("» недоступно"),
                " The window \"" + name + "\" is not available");
}

TForm* TForm1::OpenToolWindow(const std::string& name, bool restore) {
    FormScreen& scr = Screen();
    TForm* f = scr.FindForm(name);
    if (!f && scr.HasFormClass(name)) f = scr.Ensure(name);
    if (!f) {
        SetStatus(p_.s, WindowMissingText(p_.s, name));
        return nullptr;
    }
    if (restore && f->State() == WindowState::Minimized) f->SetWindowState(WindowState::Normal);
    f->show();
    f->raise();
    return f;
}

bool TForm1::RunItem(const std::string& name) {
    MItemClick(name);
    Services& svc = p_.Svc;
    if (auto it = svc.MenuActions.find(name); it != svc.MenuActions.end() && it->second) {
        it->second();
        return true;
    }
    const ItemDef* d = FindItem(name);
    if (!d) return false;
    if (d->window) {
        OpenToolWindow(d->window);
    } else if (d->run) {
        d->run(*this, p_);
    } else {
        // A submenu's parent runs nothing; the other items belong to their screen's
        // subsystem (MenuActions).
        for (const ItemDef& sub : kItems)
            if (sub.menu && name == sub.menu) return false;
    }
    return true;
}

void TForm1::SetIngressMenuCaptions() {
    AstroDat& s = p_.s;
    const bool glyphs = s.GlyphNames;
    s.GlyphNames = false;
    for (int i = 1; i <= 10; ++i)
        if (auto* item = Find<TMenuItem>("Np" + std::to_string(i)))
            item->SetCaption(BodyName(s, i));
    s.GlyphNames = glyphs;
}

// --- Restoring the defaults -----------------------------------------------------------------

namespace {
std::string RestoreMarkName(const AstroDat& s) {
    return s.EnglishMode ? "restore-e.flg" : "restore.flg";
}
} // namespace

void TForm1::RestoreDefaultsClick() {
    AstroDat& s = p_.s;
    if (Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(s, 158), MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    const std::string suffix = s.EnglishMode ? "-e" : "";
    if (!ProgramFileExists(s.ProgramFolder, "main" + suffix + ".dfl")) {
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 7), MsgButtons::Ok);
        return;
    }
    if (!ProgramFileExists(s.ProgramFolder, "form" + suffix + ".dfl")) {
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 6), MsgButtons::Ok);
        return;
    }
    // The copies go in place at the next start, after this run has written its state.
    const std::string mark = RestoreMarkName(s);
    if (IOCheck(s, SaveFileAtomic(s.DataPath(mark), "restore\r\n"), mark)) return;
    Screen().Dlg().Message(MsgKind::Information, GetMsgText(s, 5), MsgButtons::Ok);
}

bool TForm1::ApplyPendingRestore(AstroDat& s, WindowStateFiles& files) {
    const std::string mark = RestoreMarkName(s);
    if (!ProgramFileExists(s.ProgramFolder, mark)) return false;
    const bool ok = files.RestoreDefaultFiles();
    std::error_code ec;
    if (ok) fs::remove(s.DataPath(mark), ec);
    return ok;
}

// --- Pictures -------------------------------------------------------------------------------

void TForm1::ShowPictureByName(const std::string& name) {
    if (!p_.Tech || !p_.Tech->FindPictureFile(name)) return;
    PlayWav(p_.s, "Short.wav");
    p_.Tech->PictureCaption = name;
    // A viewer already shown takes the new picture as a new one would.
    TForm* shown = Screen().FindForm("Picture");
    if (shown && !shown->isVisible()) shown = nullptr;
    TForm* viewer = OpenToolWindow("Picture");
    if (!viewer) return;
    if (viewer == shown && viewer->OnShow) viewer->OnShow();
    viewer->SetCaption(name);
}

} // namespace qor::shell
