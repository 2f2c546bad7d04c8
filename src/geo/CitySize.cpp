#include "geo/CitySize.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "geo/AtlasText.h"
#include "shell/MainForm.h"

namespace qor::geo {

using namespace ui;

TCitySiz::TCitySiz(shell::Program& p, Atlas& atlas) : TForm("CitySiz"), p_(p), a_(atlas) {
    SetHelpTopic("geographical_map.html");
    SetCaption("Размер города"_cp);
    SetToolWindow(true);
    SetBorderStyle(BorderStyle::Dialog);
    SetStoresSettings(true);
    SetBounds(320, 260, 262, 120);
    Label1 = Add<TLabel>("Label1", {12, 12, 40, 24});
    QFont big = Label1->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    Label1->setFont(big);
    Label1->SetCaption("05");
    auto button = [this](const char* name, const std::string& caption, int tag, QRect r) {
        auto* b = Add<TButton>(name, r);
        b->SetCaption(caption);
        SetTag(b, tag);
        return b;
    };
    TButton** sides[] = {&Button1, &Button2, &Button3, &Button4};
    for (int k = 0; k < 4; ++k) {
        const std::string name = "Button" + std::to_string(k + 1);
        *sides[k] = button(name.c_str(), std::to_string(k), k, {70 + 46 * k, 10, 40, 26});
        TButton* b = *sides[k];
        b->OnClick = [this, b] { SetSid(TagOf(b)); };
    }
    const struct {
        TButton** button;
        const char* name;
        const char* caption;
        int tag;
    } classes[] = {{&Button5, "Button5", "|||", 1}, {&Button6, "Button6", "||", 2},
                   {&Button7, "Button7", "|", 3},   {&Button8, "Button8", "4", 4},
                   {&Button11, "Button11", "5", 5}, {&Button12, "Button12", "6", 6},
                   {&Button9, "Button9", "\x97", 9}};
    int x = 12;
    for (const auto& c : classes) {
        *c.button = button(c.name, c.caption, c.tag, {x, 46, 30, 26});
        TButton* b = *c.button;
        b->OnClick = [this, b] { SetCod(TagOf(b)); };
        x += 34;
    }
    Button10 = button("Button10", "OK", 0, {170, 82, 80, 28});
    Button10->OnClick = [this] { Button10Click(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

bool TCitySiz::SetCity(int cityIndex) {
    if (cityIndex < 1 || static_cast<std::size_t>(cityIndex) > a_.coords.size()) return false;
    CityIndex = cityIndex;
    const CityCoordRec& c = a_.coords[static_cast<std::size_t>(cityIndex) - 1];
    Code = CitySizeOf(c.mapCode);
    Label1->SetCaption(Code.Label());
    std::vector<CityNameRec> names;
    if (LoadAllCityNames(p_.s, a_, names) && c.nameIndex >= 1 && c.nameIndex <= names.size())
        SetCaption(CityShortName(names[c.nameIndex - 1u].Name()));
    return true;
}

void TCitySiz::SetSid(int side) {
    Code.side = side;
    Label1->SetCaption(Code.Label());
}

void TCitySiz::SetCod(int sizeClass) {
    Code.sizeClass = sizeClass;
    Label1->SetCaption(Code.Label());
}

void TCitySiz::Button10Click() {
    // A failed save is reported and leaves the old code in the atlas and in its file.
    const bool saved = SetCityMapCode(p_.s, a_, CityIndex, Code.Code());
    Close();
    if (saved && p_.Flags.ScreenMode == 'G' && p_.Form1) p_.Form1->RedrawScreen();
}

bool OpenCitySize(shell::Program& p, Atlas& atlas, int cityIndex) {
    if (cityIndex < 1 || static_cast<std::size_t>(cityIndex) > atlas.coords.size()) return false;
    auto* w = dynamic_cast<TCitySiz*>(Screen().Ensure("CitySiz"));
    if (!w || !w->SetCity(cityIndex)) return false;
    if (w->State() == WindowState::Minimized) w->SetWindowState(WindowState::Normal);
    w->show();
    w->raise();
    return true;
}

} // namespace qor::geo
