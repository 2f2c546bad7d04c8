// The main window's screens, tool buttons, menus, keys, mouse dispatch, layout, and the
// export of the screen (BMP file, clipboard, printer or PDF).
#include "shell/ClipForm.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/Printing.h"
#include "shell/ShellWindows.h"
#include "shell/Tech.h"

#include "core/Aspects.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace qor::shell {

using namespace ui;

namespace {

struct ItemDef {
    const char* menu; // popup menu, or a parent item for a submenu
    const char* name;
    const char* caption; // UTF-8, converted to code page 1251
};

// Every item of the main window's menus in menu order.
const ItemDef kItems[] = {
    {"ScreensMenu", "Nnatal", "Натальная карта"},
    {"ScreensMenu", "Ncosmos", "Космос, планеты, орбиты"},
    {"ScreensMenu", "Nsky", "Небесная сфера"},
    {"ScreensMenu", "Ngeo", "Географическая карта"},
    {"ScreensMenu", "Nstarastr", "Звёзды и астероиды"},
    {"ScreensMenu", "Nvoid", "Пустой экран"},
    {"TablMenu", "N99", "Таблицы эфемерид"},
    {"TablMenu", "N100", "Журнал Лунных дней"},
    {"TablMenu", "N103", "Апогей и перигей Луны"},
    {"TablMenu", "N101", "Восходы и заходы Солнца"},
    {"TablMenu", "N1", "Календарь субботних свечей"},
    {"TablMenu", "N102", "Ингрессии планеты"},
    {"N102", "Np1", "Солнце"},
    {"N102", "Np2", "Луна"},
    {"N102", "Np3", "Меркурий"},
    {"N102", "Np4", "Венера"},
    {"N102", "Np5", "Марс"},
    {"N102", "Np6", "Юпитер"},
    {"N102", "Np7", "Сатурн"},
    {"N102", "Np8", "Уран"},
    {"N102", "Np9", "Нептун"},
    {"N102", "Np10", "Плутон"},
    {"TablMenu", "N65", "Астрономические данные"},
    {"TablMenu", "N66", "Таблица аспектов"},
    {"TablMenu", "N67", "Соединение со звёздами"},
    {"TablMenu", "N68", "Каталог звёзд"},
    {"TablMenu", "N69", "Каталог туманностей"},
    {"TablMenu", "N70", "Каталог астероидов"},
    {"TablMenu", "N71", "Астероиды и фиктивные"},
    {"TablMenu", "N72", "Парсы"},
    {"TablMenu", "N73", "Созвездия"},
    {"MiscMenu", "N74", "Календарь-&Прогноз"},
    {"MiscMenu", "N75", "Движение планет"},
    {"MiscMenu", "N76", "&Луна в знаках Зодиака"},
    {"MiscMenu", "N77", "Астро-калькулятор"},
    {"MiscMenu", "N78", "Картинная галерея"},
    {"MiscMenu", "N80", "Копировать в буфер"},
    {"MiscMenu", "BMP1", "Сохранить как BMP"},
    {"MiscMenu", "N81", "Печатать натальную карту"},
    {"MiscMenu", "N82", "Установка принтера"},
    {"MiscMenu", "N84", "&Оракул"},
    {"SetupMenu", "N85", "&Общие установки"},
    {"SetupMenu", "N86", "Установки &Натальной карты"},
    {"SetupMenu", "N87", "Установки планет и орбит"},
    {"SetupMenu", "N88", "Установки небесной сферы"},
    {"SetupMenu", "N89", "Установки &Географической карты"},
    {"SetupMenu", "N90", "Восстановить все установки"},
    {"SetupMenu", "N92", "Моё местоположение"},
    {"HelpMenu", "N93", "Справочное руководство"},
    {"HelpMenu", "Glossary1", "Glossary"},
    {"HelpMenu", "N96", "О программе..."},
    {"HelpMenu", "N97", "Что нового?"},
    {"HelpMenu", "N98", "Вопросы и ответы"},
    {"HelpMenu", "Nscena", "Демонстрационный клип"},
    {"OrbitesMenu", "N_Orbites", "Спутники"},
    {"OrbitesMenu", "N_Find", "Найти"},
    {"OrbitesMenu", "N_OrbSetup", "Установки"},
    {"OrbitesMenu", "N13", "Дизайнер"},
    {"OrbitesMenu", "N_Return", "К Солнцу"},
    {"GeoMenu", "N_GeoSetup", "Установки"},
    {"GeoMenu", "N_GeoLevel", "Пред.уровень"},
    {"GeoMenu", "AtlasMenu", "Атлас"},
    {"GeoMenu", "GetFromMap", "Взять данные"},
    {"StarAstrMenu", "N53", "Свернуть"},
    {"StarAstrMenu", "N46", "Найти..."},
    {"StarAstrMenu", "N47", "Каталог звёзд..."},
    {"StarAstrMenu", "N52", "Каталог туманностей..."},
    {"StarAstrMenu", "N49", "Каталог астероидов..."},
    {"StarAstrMenu", "N54", "Все названия"},
};

struct ButtonDef {
    const char* name;
    const char* hint;
};
const ButtonDef kButtons[] = {
    {"HistButton", "История"},         {"ScreenButton", "Экраны"},
    {"DataButton", "Исходные данные"}, {"TextButton", "Тексты"},
    {"TableButton", "Таблицы"},        {"MiscButton", "Разное"},
    {"DynButton", "Динамика времени"}, {"SetupButton", "Установки, настройки"},
    {"HelpButton", "Справка"},         {"ExitButton", "Выход"},
    {"DBaseButton", "Базы данных"},
};

// Keys without Shift, Ctrl or Alt and the item or button each runs.
struct KeyRow {
    int key;
    const char* item;
};
const KeyRow kPlainKeys[] = {
    {'A', "Nsky"},
    {'B', "TextButton"},
    {'C', "HelpButton"},
    {'D', "DynButton"},
    {'E', "SetupButton"},
    {'F', "N66"},
    {'G', "N74"},
    {'H', "MiscButton"},
    {'J', "N84"},
    {'K', "N76"},
    {'L', "DataButton"},
    {'N', "TableButton"},
    {'P', "N68"},
    {'R', "Ncosmos"},
    {'U', "Ngeo"},
    {'V', "N65"},
    {'W', "PosButton"},
    {'X', "RealTime"},
    {'Y', "Nnatal"},
    {'Z', "N77"},
    {vk::Space, "Nvoid"},
    {vk::OemSemicolon, "N75"},
    {vk::OemOpenBracket, "HistButton"},
    {vk::OemComma, "DBaseButton"},
    {vk::OemQuote, "ScreenButton"},
};

const char* const kPanNames[] = {"LeftPan", "RightPan", "UpPan", "DownPan", "PanIn", "PanOut"};

// Records the buttons and menu items the user releases the mouse on, in every window, as the
// last item used (what a script's "Wait" waits for).
class UseRecorder : public QObject {
public:
    UseRecorder(QObject* parent, std::function<void(const std::string&)> record)
        : QObject(parent), record_(std::move(record)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonRelease) return false;
        const auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() != Qt::LeftButton) return false;
        if (auto* b = qobject_cast<QAbstractButton*>(watched)) {
            if (b->isEnabled() && b->rect().contains(m->position().toPoint()) &&
                !b->objectName().isEmpty())
                record_(b->objectName().toStdString());
        } else if (auto* menu = qobject_cast<QMenu*>(watched)) {
            if (QAction* a = menu->actionAt(m->position().toPoint());
                a && a->isEnabled() && !a->objectName().isEmpty())
                record_(a->objectName().toStdString());
        }
        return false;
    }

private:
    std::function<void(const std::string&)> record_;
};

} // namespace

// --- Building -------------------------------------------------------------------------------

void TForm1::BuildMainControls() {
    for (const ButtonDef& b : kButtons)
        if (auto* button = Find<TSpeedButton>(b.name)) {
            SetHint(button, Cp(b.hint));
            const std::string name = b.name;
            button->OnClick = [this, name] { RunItem(name); };
        }
    AddMenus();
    GetFromMap = Find<TMenuItem>("GetFromMap");
    if (GetFromMap) GetFromMap->setEnabled(false);
    N54 = Find<TMenuItem>("N54");
    if (N54) {
        N54->setCheckable(true);
        N54->SetChecked(true);
    }

    PanTimer = Add<TTimer>("PanTimer");
    PanTimer->SetInterval(10);
    PanTimer->OnTimer = [this] {
        if (PanHeld) PanStep(HeldPan);
    };
    for (const char* pan : kPanNames)
        if (auto* panel = Find<TPanel>(pan)) {
            const std::string name = pan;
            panel->OnMouseDown = [this, name](MouseButton, Shift, int, int) { PanPress(name); };
            panel->OnMouseUp = [this](MouseButton, Shift, int, int) { PanRelease(); };
        }
    PrecessPanel->OnMouseDown = [this](MouseButton, Shift, int, int) { PrecessBtnClick(); };
    PrecessPanel->OnMouseMove = [this](Shift, int, int) { PrecessPanelMouseMove(); };
    Label1->OnMouseDown = [this](MouseButton, Shift, int, int) {
        MItemClick("Label1");
        ToggleRealTime();
    };
    GeoNameLabel->OnMouseDown = [this](MouseButton, Shift, int, int) {
        SetVisible(GeoNameLabel, false);
    };
    GeoNameLabel->OnMouseMove = [this](Shift, int x, int y) {
        if (!(y < 8 && GeoNameLabel->height() - x < 8)) SetVisible(GeoNameLabel, false);
    };

    PaintBox->OnPaint = [this](QPainter& painter) { PaintBoxPaint(painter); };
    PaintBox->OnMouseDown = [this](MouseButton b, Shift sh, int x, int y) {
        PaintBoxMouseDown(b, sh, x, y);
    };
    PaintBox->OnMouseMove = [this](Shift sh, int x, int y) { PaintBoxMouseMove(sh, x, y); };
    PaintBox->OnMouseUp = [this](MouseButton b, Shift sh, int x, int y) {
        PaintBoxMouseUp(b, sh, x, y);
    };
    PaintBox->OnDblClick = [this] {
        const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
        if (screen && screen->DblClick) screen->DblClick();
    };
    PaintBox->setMouseTracking(true);

    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    OnResize = [this] { FormResize(); };
    RealTimer->OnTimer = [this] { RealTimerTimer(); };
    RealTimer->SetEnabled(true);
    PaintTimer->OnTimer = [this] { PaintTimerTimer(); };
    MainClockTick = [this] { MainClockTickRun(); };

    Link = std::make_unique<CommLink>(p_);
    p_.FormClasses.Register("ClipForm", [] { return new TClipForm; });
    // On a desktop the glides move the real pointer (where the platform lets a program).
    if (QGuiApplication::platformName() != "offscreen") Screen().Cursor().MoveReal = true;
    qApp->installEventFilter(
        new UseRecorder(this, [this](const std::string& name) { MItemClick(name); }));
}

void TForm1::SetIngressMenuCaptions() {
    AstroDat& s = p_.s;
    const bool glyphs = s.GlyphNames;
    s.GlyphNames = false;
    for (int i = 1; i <= 10; ++i)
        if (auto* item = Find<TMenuItem>("Np" + std::to_string(i))) item->SetCaption(BodyName(s, i));
    s.GlyphNames = glyphs;
}

void TForm1::AddMenus() {
    for (const ItemDef& d : kItems) {
        QObject* under = nullptr;
        if (const Component* c = FindComponent(d.menu)) under = c->object;
        if (!under) continue;
        TMenuItem* item =
            d.name == std::string("N94") ? N94 : AddMenuItem(d.name, Cp(d.caption), under);
        const std::string name = d.name;
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

// --- Items ----------------------------------------------------------------------------------

void TForm1::MItemClick(const std::string& name) {
    LastMenuItem = name;
}

TForm* TForm1::OpenToolWindow(const std::string& name, bool restore) {
    FormScreen& scr = Screen();
    TForm* f = scr.FindForm(name);
    if (!f && scr.HasFormClass(name)) f = scr.Ensure(name);
    if (!f) {
        SetStatus(p_.s, Lang(p_.s, Cp(" Окно «") + name + Cp("» недоступно"),
                             " The window \"" + name + "\" is not available"));
        return nullptr;
    }
    if (restore && f->State() == WindowState::Minimized) f->SetWindowState(WindowState::Normal);
    f->show();
    f->raise();
    return f;
}

namespace {
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
} // namespace

bool TForm1::RunItem(const std::string& name) {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    Services& svc = p_.Svc;
    MItemClick(name);
    if (auto it = svc.MenuActions.find(name); it != svc.MenuActions.end() && it->second) {
        it->second();
        return true;
    }
    auto show = [this](const std::string& w) { OpenToolWindow(w); };
    auto moonTable = [this](const std::string& caption, bool periodEnabled) {
        TForm* w = OpenToolWindow("Moon");
        if (!w) return;
        if (w->Caption() != caption) {
            w->SetCaption(caption);
            if (auto* memo = w->Find<TMemo>("Memo")) memo->SetLines({});
        }
        if (auto* period = w->Find<TEdit>("PeriodEdit")) {
            if (!periodEnabled) period->SetText("1");
            period->setEnabled(periodEnabled);
        }
    };
    auto itemCaption = [this](const std::string& item) {
        auto* m = Find<TMenuItem>(item);
        return m ? m->Caption() : std::string();
    };

    // Screens.
    static const std::pair<const char*, char> screens[] = {{"Nnatal", 'W'},    {"Ncosmos", 'S'},
                                                           {"Nsky", 'C'},      {"Ngeo", 'G'},
                                                           {"Nstarastr", 'A'}, {"Nvoid", 'V'}};
    for (const auto& [item, mode] : screens)
        if (name == item) {
            SwitchScreen(mode);
            return true;
        }
    // Tool buttons.
    if (name == "HistButton") {
        if (TForm* w = OpenToolWindow("CHist")) w->SetWindowState(WindowState::Normal);
    } else if (name == "ScreenButton") {
        PopupUnder(ScreenButton, ScreensMenu);
    } else if (name == "DataButton") {
        show("DataForm");
    } else if (name == "TextButton") {
        f.InterpPoint = 0;
        f.RealTimeMode = false;
        if (p_.Tech) p_.Tech->StopDynamics();
        show("Interp");
    } else if (name == "TableButton") {
        PopupUnder(TableButton, TablMenu);
    } else if (name == "MiscButton") {
        PopupUnder(MiscButton, MiscMenu);
    } else if (name == "DynButton") {
        show("Dinamic");
    } else if (name == "SetupButton") {
        PopupUnder(SetupButton, SetupMenu);
    } else if (name == "HelpButton") {
        PopupUnder(HelpButton, HelpMenu);
    } else if (name == "ExitButton") {
        if (Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(s, 1), MsgButtons::YesNo) ==
            MsgResult::Yes)
            Close();
    } else if (name == "DBaseButton") {
        ClickControl("DataForm", "BaseBtn");
    } else if (name == "PosButton") {
        ClickControl("GeoSet", "PosButton");
    } else if (name == "RealTime") {
        ToggleRealTime();
    }
    // Tables.
    else if (name == "N99") {
        const std::pair<const char*, const char*> off[] = {
            {"KartForm", "HelioBox"}, {"GenSet", "MoonParall"}, {"KartForm", "SfocusButton"}};
        bool kept[3];
        for (int i = 0; i < 3; ++i) {
            kept[i] = p_.Checked(off[i].first, off[i].second);
            p_.SetChecked(off[i].first, off[i].second, false);
        }
        show("Tab");
        for (int i = 0; i < 3; ++i) p_.SetChecked(off[i].first, off[i].second, kept[i]);
    } else if (name == "N100" || name == "N103" || name == "N101") {
        moonTable(itemCaption(name), false);
    } else if (name.size() > 2 && name.rfind("Np", 0) == 0) {
        moonTable(itemCaption("N102") + " " + Trim(itemCaption(name)), true);
    } else if (name == "N1") {
        // no action
    } else if (name == "N65") {
        show("AstroForm");
    } else if (name == "N66") {
        if (TForm* w = OpenToolWindow("AspTabl")) w->SetWindowState(WindowState::Normal);
    } else if (name == "N67") {
        show("StarConj");
    } else if (name == "N68" || name == "N47") {
        show("Star");
    } else if (name == "N69" || name == "N52") {
        show("Deep");
    } else if (name == "N70" || name == "N49") {
        show("Asterid");
    } else if (name == "N71") {
        show("Asteroids");
    } else if (name == "N72") {
        p_.ReadOptions();
        if (p_.ChartOpt.HelioBox)
            Screen().Dlg().Message(MsgKind::Information, GetMsgText(s, 8), MsgButtons::Ok);
        else
            show("Pars");
    } else if (name == "N73") {
        show("Sozv");
    }
    // Miscellany.
    else if (name == "N74") {
        show("Calend");
    } else if (name == "N75") {
        show("MovPln");
    } else if (name == "N76") {
        if (p_.Checked("DataForm", "TwoButton") && p_.ItemIndex("DataForm", "ComboBox", 0) != 0)
            Screen().Dlg().Message(MsgKind::Information, GetMsgText(s, 109), MsgButtons::Ok);
        else
            show("MoonSgn");
    } else if (name == "N77") {
        show("AstrCalc");
    } else if (name == "N78") {
        f.RealTimeMode = false;
        if (p_.Tech) p_.Tech->StopDynamics();
        show("Art");
    } else if (name == "N80") {
        CopyToClipboard();
    } else if (name == "BMP1") {
        SaveBitmapClick();
    } else if (name == "N81") {
        PrintClick();
    } else if (name == "N82") {
        PrinterSetup(p_, this);
    } else if (name == "N84") {
        const std::string oracle = s.EnglishMode ? "oracle-eng.txt" : "oracle.txt";
        if (ProgramFileExists(s.ProgramFolder, oracle))
            show("IZIN");
        else
            Screen().Dlg().Message(MsgKind::Information, GetMsgText(s, 157, oracle),
                                   MsgButtons::Ok);
    }
    // Settings.
    else if (name == "N85") {
        show("GenSet");
    } else if (name == "N86") {
        show("KartForm");
    } else if (name == "N87" || name == "N_OrbSetup") {
        show("OrbitSet");
    } else if (name == "N88") {
        show("sky");
    } else if (name == "N89" || name == "N_GeoSetup") {
        show("GeoSet");
    } else if (name == "N90") {
        RestoreDefaultsClick();
    } else if (name == "N92") {
        show("QorLoc");
    }
    // Help.
    else if (name == "N93") {
        const fs::path page =
            s.DataPath(s.EnglishMode ? "EManual\\index.html" : "Manual\\index.html");
        if (p_.Tech && p_.Tech->OpenUrl) p_.Tech->OpenUrl(page);
    } else if (name == "N94") {
        show("Dict");
    } else if (name == "Glossary1") {
        if (p_.Tech) p_.Tech->ShowHelpTopic("glossary.html");
    } else if (name == "N96") {
        OpenToolWindow("AboutBox", false);
    } else if (name == "N97") {
        if (p_.Tech) p_.Tech->ShowHelpTopic("WhatsNew.html");
    } else if (name == "N98") {
        if (p_.Tech) p_.Tech->ShowHelpTopic("FAQ.html");
    } else if (name == "Nscena") {
        Link->PlayClip();
    }
    // Screen menus: the windows; the screens' own commands come from their subsystems.
    else if (name == "N_Orbites") {
        show("SatData");
    } else if (name == "N_Find" || name == "N46") {
        show("Find");
    } else if (name == "N13") {
        show("ImgDes");
    } else if (name == "AtlasMenu") {
        if (TForm* w = OpenToolWindow("Cities")) {
            if (auto* b = w->Find<TButton>("GetBtn")) b->setEnabled(false);
            if (auto* b = w->Find<TButton>("MapBtn")) b->setEnabled(true);
        }
    } else if (name == "GetFromMap") {
        GetFromMap->setEnabled(false);
    } else if (name == "N54") {
        // The check mark is the setting; the stars screen reads it when it draws.
        N54->SetChecked(!N54->Checked());
        RedrawScreen();
    } else if (name == "N_Return" || name == "N_GeoLevel" || name == "N53") {
        // belongs to the screen's subsystem (MenuActions)
    } else {
        return false;
    }
    return true;
}

// --- Screens --------------------------------------------------------------------------------

void TForm1::SwitchScreen(char mode) {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    auto clear = [this](uint32_t bgr) {
        if (p_.BufBitmap) ClearBuffer(*p_.BufBitmap, Colour(bgr));
        SetColor(bgr);
        PaintBox->update();
    };
    switch (mode) {
    case 'W': {
        HelpContext = 200;
        if (TForm* data = Screen().FindForm("DataForm"))
            if (auto* e = data->Find<TEdit>("NameEdit")) s.ChartName = e->Text();
        if (p_.Tech) p_.Tech->SetMainTitle();
        f.ScreenMode = ' ';
        const ScreenHandler* wheel = p_.Svc.ScreenOf('W');
        clear(wheel && wheel->Background ? wheel->Background() : 0xFFFFFF);
        Delay(s, 100);
        p_.CalcCurrentAspects();
        f.ScreenMode = 'W';
        RedrawNatal();
        break;
    }
    case 'S':
        f.ScreenMode = ' ';
        clear(0);
        Delay(s, 100);
        f.ScreenMode = 'S';
        HelpContext = 300;
        p_.DrawScreen('S');
        break;
    case 'C':
        f.ScreenMode = ' ';
        clear(0);
        Delay(s, 100);
        f.ScreenMode = 'C';
        HelpContext = 400;
        p_.SetChecked("sky", "SunBox", false);
        p_.DrawScreen('C');
        break;
    case 'G':
        f.ScreenMode = ' ';
        clear(p_.Checked("GeoSet", "ConturBox") ? 0xFFFFFF : 0x804000);
        Delay(s, 10);
        f.ScreenMode = 'G';
        HelpContext = 500;
        p_.DrawScreen('G');
        break;
    case 'A':
        f.ScreenMode = ' ';
        clear(0xFFFFFF);
        Delay(s, 100);
        f.ScreenMode = 'A';
        HelpContext = 0;
        if (p_.Tech) p_.Tech->RefreshAll();
        break;
    case 'V':
        f.ScreenMode = 'V';
        SetColor(0xC0C0C0);
        PaintBox->update();
        break;
    default:
        break;
    }
}

void TForm1::RedrawNatal() {
    p_.DrawScreen('W');
}

void TForm1::RedrawScreen() {
    const char mode = p_.Flags.ScreenMode;
    if (mode == 'V')
        PaintBox->update();
    else
        p_.DrawScreen(mode);
}

std::string TForm1::HelpTopicOfScreen(char mode) {
    switch (mode) {
    case 'W':
        return "natal_chart.html";
    case 'S':
        return "cosmos.html";
    case 'C':
        return "celestial_sphere.html";
    case 'G':
        return "geographical_map.html";
    case 'A':
        return "stars_and_asteroids.html";
    case 'M':
        return "movement_of_planets.html";
    default:
        return {};
    }
}

void TForm1::ShowScreenHelp() {
    if (p_.Tech) p_.Tech->ShowHelpTopic(HelpTopicOfScreen(p_.Flags.ScreenMode));
}

// --- Keys -----------------------------------------------------------------------------------

void TForm1::FormKeyDown(int& key, Shift shift) {
    AstroDat& s = p_.s;
    if (key == vk::ShiftKey || key == vk::Control || key == vk::Menu) return;
    if (!KeysEnabled) return;
    KeysEnabled = false;
    struct Reenable {
        bool& on;
        ~Reenable() { on = true; }
    } reenable{KeysEnabled};
    const bool ctrl = shift & ssCtrl, alt = shift & ssAlt, sh = shift & ssShift;
    const char mode = p_.Flags.ScreenMode;

    if (key == vk::Escape) {
        for (TForm* w : Screen().Forms())
            if (w->isVisible() && w->Name() != "Form1") {
                w->Close();
                break;
            }
        return;
    }
    if (ctrl && alt && key == 'S') ShowDayInfo(p_);
    if (key == vk::F1) {
        ShowScreenHelp();
        return;
    }
    if (key == vk::F12) {
        const QPoint centre(width() / 2, height() / 2 + PaintBox->y());
        const ScreenHandler* screen = p_.Svc.ScreenOf(mode);
        if (screen && screen->SettingsKey) {
            screen->SettingsKey(centre.x(), centre.y());
        } else if (mode == 'W') {
            OpenToolWindow("KartForm");
        } else if (mode == 'C') {
            OpenToolWindow("sky");
        } else if (mode == 'G' || mode == 'S') {
            const QPoint at = mapToGlobal(centre);
            (mode == 'G' ? GeoMenu : OrbitesMenu)->Popup(at.x(), at.y());
        }
        return;
    }
    if (ctrl && !alt && key == 'T') {
        if (p_.Tech) p_.Tech->show();
        return;
    }
    if (ctrl && !alt && key == 'Z') {
        s.DatRec1 = s.DatRec1Applied;
        s.DatRec2 = s.DatRec2Applied;
        if (p_.Svc.DatRecToDataForm) p_.Svc.DatRecToDataForm();
        if (p_.Svc.DataFormToMoment)
            p_.Svc.DataFormToMoment();
        else
            UnpackDatRecToChart(s, s.DatRec1);
        if (p_.Tech) p_.Tech->RefreshAll();
        return;
    }
    if (alt && !ctrl && key == 'M') {
        OpenToolWindow("mStar");
        return;
    }
    if (alt && !ctrl && key == 'F') {
        auto* ed = Screen().Ensure("FontEd");
        if (ed && ed->ShowModal() == mrOk && p_.Tech) p_.Tech->RefreshAll();
        return;
    }
    if (alt && !ctrl && key == 'G') {
        p_.ReadOptions();
        CalcChart(s, p_.ChartOpt, p_.GeneralOpt, 0);
        RedrawNatal();
        return;
    }
    if (alt && !ctrl && key == 'P') {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        p_.Flags.StarsRecalc = true;
        if (p_.Tech) p_.Tech->RefreshAll();
        p_.Flags.StarsRecalc = false;
        QGuiApplication::restoreOverrideCursor();
        return;
    }
    if (ctrl && !alt && key == 'C') {
        RunItem("N80");
        return;
    }
    if (!ctrl && !alt && !sh)
        for (const KeyRow& row : kPlainKeys)
            if (row.key == key) {
                RunItem(row.item);
                return;
            }
    const ScreenHandler* screen = p_.Svc.ScreenOf(mode);
    if (screen && screen->NavKey) screen->NavKey(key, shift);
}

// --- Pan and zoom buttons -------------------------------------------------------------------

void TForm1::PanPress(const std::string& button) {
    MItemClick(button);
    PanHeld = true;
    HeldPan = button;
    PanStep(button);
    PanTimer->SetEnabled(true);
}

void TForm1::PanRelease() {
    PanHeld = false;
    PanTimer->SetEnabled(false);
}

void TForm1::PanStep(const std::string& button) {
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->Pan) screen->Pan(button);
}

// --- Mouse ----------------------------------------------------------------------------------

QPoint TForm1::PaintBoxToScreen(int x, int y) const {
    return PaintBox->mapToGlobal(QPoint(x, y));
}

void TForm1::PaintBoxMouseDown(MouseButton b, Shift shift, int x, int y) {
    const char mode = p_.Flags.ScreenMode;
    if (mode == 'G' && b == MouseButton::Left) GeoDragging = true;
    const ScreenHandler* screen = p_.Svc.ScreenOf(mode);
    if (screen && screen->MouseDown) screen->MouseDown(b, shift, x, y);
}

void TForm1::PaintBoxMouseMove(Shift shift, int x, int y) {
    if (p_.Checked("GenSet", "ToolCheckBox") && !(shift & (ssLeft | ssRight | ssMiddle)))
        SetVisible(ToolPanel, y <= 27);
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->MouseMove) screen->MouseMove(shift, x, y);
}

void TForm1::PaintBoxMouseUp(MouseButton b, Shift shift, int x, int y) {
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->MouseUp) screen->MouseUp(b, shift, x, y);
    GeoDragging = false;
}

// --- Layout ---------------------------------------------------------------------------------

void TForm1::FormResize(bool showSize) {
    if (!Started || !p_.Flags.Ready) return;
    AstroDat& s = p_.s;
    const int cw = Client()->width(), ch = Client()->height();
    ToolPanel->resize(std::max(cw - 8, 16), ToolPanel->height());
    const int top = ToolPanel->isVisible() ? ToolPanel->height() : 0;
    ui::SetBounds(PaintBox, 0, top, std::max(cw, 16), std::max(ch - top, 16));
    ui::SetBounds(GeoPanel, GeoPanel->x(), ch - GeoPanel->height() - 4, GeoPanel->width(),
                  GeoPanel->height());
    PlacePanButtons();
    if (p_.BufBitmap) {
        p_.BufBitmap->Resize(PaintBox->width(), PaintBox->height());
        ScrLeft = 0;
        ScrTop = 0;
        ScrWidth = p_.BufBitmap->Width() - 5;
        ScrHeight = p_.BufBitmap->Height();
    }
    if (showSize)
        SetStatus(s, std::to_string(PaintBox->width()) + "x" + std::to_string(PaintBox->height()));
    PaintTimer->SetEnabled(true);
}

// --- Export ---------------------------------------------------------------------------------

bool TForm1::SaveBitmapClick() {
    AstroDat& s = p_.s;
    if (!p_.BufBitmap) return false;
    const fs::path wrk = s.DataPath("Wrk");
    std::error_code ec;
    fs::create_directories(wrk, ec);
    if (!fs::is_directory(wrk, ec)) {
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 70, wrk.string()), MsgButtons::Ok);
        return false;
    }
    SaveDialog->Filter = GetMsgText(s, 134, "(*.bmp)|*.BMP");
    SaveDialog->FileName = wrk / "noname.bmp";
    if (!SaveDialog->Execute()) return false;
    fs::path file = SaveDialog->FileName;
    std::string leaf = Trim(file.filename().string());
    if (leaf.find('.') == std::string::npos) leaf += ".bmp";
    file = file.parent_path() / leaf;
    if (fs::exists(file, ec) &&
        Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(s, 69, file.string()),
                               MsgButtons::YesNoCancel) != MsgResult::Yes)
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!p_.BufBitmap->image().save(&buffer, "BMP")) return false;
    return !IOCheck(s, SaveFileAtomic(file, std::string_view(bytes.constData(), bytes.size())),
                    file.string());
}

void TForm1::CopyToClipboard() {
    if (p_.BufBitmap) QGuiApplication::clipboard()->setImage(p_.BufBitmap->image());
    SetStatus(p_.s, GetMsgText(p_.s, 10));
}

bool TForm1::PrintClick() {
    PrintRequest r;
    r.title = p_.s.MainTitle.empty() ? "QOR 5.12" : p_.s.MainTitle;
    r.landscape = true;
    r.onePage = true;
    r.pdfName = "chart.pdf";
    r.render = [this](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) return false;
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRect area(0, 0, page.width(), page.height());
        const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
        if (screen && screen->Print) {
            screen->Print(painter, area);
        } else if (p_.BufBitmap) {
            const QImage& img = p_.BufBitmap->image();
            const QSize size = img.size().scaled(area.size(), Qt::KeepAspectRatio);
            painter.drawImage(QRect(QPoint(0, 0), size), img);
        }
        return painter.end();
    };
    return PrintDocument(p_, this, r);
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
    if (TForm* viewer = OpenToolWindow("Picture")) viewer->SetCaption(name);
}

} // namespace qor::shell
