#include "interp/IntSet.h"

#include "core/Text.h"
#include "interp/Intxt.h"

namespace qor::interp {

using namespace ui;

namespace {

// The captions of the bases without a switch (UTF-8).
const char* UnswitchedCaption(BaseId id) {
    switch (id) {
    case BaseId::MoonMed:
        return "Луна в знаках";
    case BaseId::Moon:
        return "Дни Луны";
    case BaseId::Totem:
        return "Тотем года";
    case BaseId::TotemMes:
        return "Тотем месяца";
    case BaseId::TotemDay:
        return "Тотем дня";
    default:
        return "";
    }
}

constexpr int kRow = 26, kGroupTop = 24, kGroupBottom = 8, kGap = 6, kColumnWidth = 430;
constexpr int kBoxWidth = 206, kEditWidth = 204;

} // namespace

TIntSet::TIntSet(shell::Program& p) : TForm("IntSet"), p_(p) {
    SetCaption("Интерпретационные файлы"_cp);
    SetToolWindow(true);
    SetHelpTopic("text-files.html");
    SetStoresSettings(true);

    const bool english = p_.s.EnglishMode;
    // Groups 0..3 in the left column, 4..8 in the right one.
    std::array<int, kBaseGroups> rows{};
    for (const BaseInfo& b : Bases()) ++rows[static_cast<std::size_t>(b.group)];
    int top[2] = {8, 8};
    std::array<int, kBaseGroups> rowOfGroup{};
    for (std::size_t g = 0; g < kBaseGroups; ++g) {
        const int col = g < 4 ? 0 : 1;
        const int height = kGroupTop + rows[g] * kRow + kGroupBottom;
        Groups[g] = Add<TGroupBox>("GroupBox" + std::to_string(g + 1),
                                   {8 + col * (kColumnWidth + 8), top[col], kColumnWidth, height});
        Groups[g]->SetCaption(Cp(BaseGroupCaptions()[g]));
        top[col] += height + kGap;
    }
    int labels = 0;
    for (const BaseInfo& b : Bases()) {
        const std::size_t i = static_cast<std::size_t>(b.id);
        const std::size_t g = static_cast<std::size_t>(b.group);
        const int y = kGroupTop + rowOfGroup[g]++ * kRow;
        if (b.box) {
            Switches[i] = Add<TCheckBox>(b.box, {10, y, kBoxWidth, 22}, Groups[g]);
            Switches[i]->SetCaption(Cp(b.caption));
            Switches[i]->SetChecked(b.on);
        } else {
            Labels[i] = Add<TLabel>("Label" + std::to_string(++labels), {12, y + 3, kBoxWidth, 20},
                                    Groups[g]);
            Labels[i]->SetCaption(Cp(UnswitchedCaption(b.id)));
        }
        Edits[i] = Add<TEdit>(b.edit, {12 + kBoxWidth, y, kEditWidth, 22}, Groups[g]);
        Edits[i]->SetText(DefaultBaseFile(b.id, english));
        const BaseId id = b.id;
        Edits[i]->OnDblClick = [this, id] { EditDblClick(id); };
    }
    const int bottom = std::max(top[0], top[1]);
    OKButton = Add<TButton>("OKButton", {2 * kColumnWidth + 24 - 100, bottom + 2, 92, 28});
    OKButton->SetCaption("OK");
    OKButton->OnClick = [this] { Close(); };
    SetBounds(120, 80, 2 * kColumnWidth + 24, bottom + 40);
    SetBorderStyle(BorderStyle::Single);

    OnClose = [this](CloseAction&) {
        TForm* interp = Screen().FindForm("Interp");
        if (!interp || !interp->isVisible()) return;
        if (const Component* memo = interp->FindComponent("Memo"))
            if (QWidget* w = memo->widget()) w->setFocus();
    };
}

TextBaseSettings TIntSet::Settings() const {
    TextBaseSettings t;
    for (const BaseInfo& b : Bases()) {
        const std::size_t i = static_cast<std::size_t>(b.id);
        t[b.id] = {Edits[i]->Text(), Switches[i] ? Switches[i]->Checked() : true};
    }
    return t;
}

void TIntSet::EditDblClick(BaseId id) {
    // the synastry bases and the house rulers' base are not for the section editor
    if (id == BaseId::SynPH || id == BaseId::SynPAP || id == BaseId::UD) return;
    if (auto* editor = Screen().Ensure<TIntxt>("Intxt"))
        editor->ShowIntText(Edits[static_cast<std::size_t>(id)]->Text());
}

TextBaseSettings BaseSettingsOf(const shell::Program& p) {
    if (const auto* set = dynamic_cast<const TIntSet*>(Screen().FindForm("IntSet")))
        return set->Settings();
    return TextBaseSettings::Defaults(p.s.EnglishMode);
}

} // namespace qor::interp
