#include "geo/ZoneWindow.h"

#include "core/Text.h"

#include <QTimer>

namespace qor {

using namespace ui;

TZone::TZone() : TForm("Zone") {
    SetHelpTopic("atlas_of_cities.html");
    SetCaption("Временная зона  dT"_cp);
    SetToolWindow(true); // Esc closes it
    SetBorderStyle(BorderStyle::Dialog);
    SetStoresSettings(true);
    SetBounds(300, 240, 236, 132);
    const char* captions[] = {"Временной пояс", "Летнее время", "dT=Тмест-UTC", "Тмест-Тмск"};
    TLabel** labels[] = {&Label1, &Label2, &Label3, &Label4};
    TEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4};
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        *labels[i] = Add<TLabel>("Label" + n, {10, 12 + 28 * i, 120, 18});
        (*labels[i])->SetCaption(Cp(captions[i]));
        *edits[i] = Add<TEdit>("Edit" + n, {140, 10 + 28 * i, 84, 22});
        (*edits[i])->setReadOnly(true);
        SetTag(*edits[i], 9); // a look-up, never a setting
    }
    // The first edit keeps the focus while the window is open.
    Edit1->OnExit = [this] {
        if (isVisible()) QTimer::singleShot(0, Edit1, [e = Edit1] { e->setFocus(); });
    };
    OnShow = [this] { Edit1->setFocus(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TZone::ShowZone(const ZoneLookup& zone) {
    const ZoneWindowTexts t = ZoneEditTexts(zone);
    Edit1->SetText(t.edit1);
    Edit2->SetText(t.edit2);
    Edit3->SetText(t.edit3);
    Edit4->SetText(t.edit4);
}

void TZone::mousePressEvent(QMouseEvent*) {
    Close();
}

} // namespace qor
