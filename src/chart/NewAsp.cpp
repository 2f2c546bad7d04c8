#include "chart/NewAsp.h"

#include "chart/ChartWindows.h"
#include "chart/KartForm.h"
#include "core/Aspects.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "shell/FontEd.h"
#include "shell/SettingsDialogs.h"

namespace qor::chart {

using namespace ui;

TNewAsp::TNewAsp(shell::Program& p) : TForm("NewAsp"), p_(p) {
    SetHelpTopic("natal_chart_setup.html");
    SetCaption("Аспект"_cp);
    SetToolWindow(true);
    SetBorderStyle(BorderStyle::Dialog);
    SetStoresSettings(true);
    SetBounds(220, 160, 300, 200);
    NewAspOrbs = "1;1;1;1;1;1;1;1;1;1;1;";

    NameLabel = AddLabel("NameLabel", "Название"_cp, {10, 12, 80, 18}, nullptr);
    NameEdit = AddEdit("NameEdit", "Аспект"_cp, {96, 10, 190, 24}, nullptr);
    GlyphLabel = AddLabel("GlyphLabel", "Символ"_cp, {10, 48, 80, 18}, nullptr);
    GlyphPanel = Add<TPanel>("GlyphPanel", {96, 42, 32, 28});
    ui::SetColor(GlyphPanel, 0xFFFFFF);
    PaintBox = Add<TPaintBox>("PaintBox", {2, 2, 28, 24}, GlyphPanel);
    ValLabel = AddLabel("ValLabel", "Значение"_cp, {10, 84, 80, 18}, nullptr);
    ValEdit = AddEdit("ValEdit", "100", {96, 82, 70, 24}, nullptr);
    DegreePanel = Add<TPanel>("DegreePanel", {168, 82, 16, 24});
    DegreePanel->SetCaption("\xB0");
    ColorLabel = AddLabel("ColorLabel", "Цвет"_cp, {10, 120, 80, 18}, nullptr);
    LightPanel = Add<TPanel>("LightPanel", {96, 116, 60, 26});
    ui::SetColor(LightPanel, 0xFFFFFF);
    PaintBox1 = Add<TPaintBox>("PaintBox1", {2, 2, 56, 22}, LightPanel);
    DarkPanel = Add<TPanel>("DarkPanel", {162, 116, 60, 26});
    ui::SetColor(DarkPanel, 0x000000);
    PaintBox2 = Add<TPaintBox>("PaintBox2", {2, 2, 56, 22}, DarkPanel);
    AddButton = TForm::AddButton("AddButton", "Да"_cp, {60, 158, 84, 28}, nullptr);
    NoButton = TForm::AddButton("NoButton", "Отменить"_cp, {156, 158, 84, 28}, nullptr);

    PaintBox->OnPaint = [this](QPainter& g) {
        PaintFont16Text(g, p_.Font, 7, 4, std::string(1, static_cast<char>(NewAspGlyph)), kBlack);
    };
    const auto swatch = [](TPaintBox* box, const uint32_t& colour) {
        box->OnPaint = [box, &colour](QPainter& g) {
            g.fillRect(QRect(2, box->height() / 2 - 1, box->width() - 4, 3), ToQColor(colour));
        };
    };
    swatch(PaintBox1, NewAspColorLight);
    swatch(PaintBox2, NewAspColorDark);
    PaintBox->OnClick = [this] { PaintBoxClick(); };
    PaintBox1->OnClick = [this] { PaintBox1Click(); };
    PaintBox2->OnClick = [this] { PaintBox2Click(); };
    AddButton->OnClick = [this] { AddButtonClick(); };
    NoButton->OnClick = [this] { NoButtonClick(); };
    OnShow = [this] { FormShow(); };
    AskGlyph = [](int glyph) { return shell::PickGlyph(glyph); };
    AskColour = [](uint32_t colour) { return shell::ChooseColorValue(colour); };
}

void TNewAsp::LoadAspectDialog(const std::string& line) {
    NameEdit->SetText(CutField(line, ';', 0));
    const auto glyph = ParseWholeInteger(CutField(line, ';', 1));
    NewAspGlyph = glyph && *glyph >= 0 && *glyph <= 255 ? static_cast<uint8_t>(*glyph) : 0;
    const std::string kind = CutFieldRaw(line, ';', 2);
    NewAspKind = kind.empty() ? ' ' : kind[0];
    ValEdit->SetText(CutField(line, ';', 3));
    NewAspOrbs.clear();
    for (int c = 0; c < kPointClasses; ++c) NewAspOrbs += CutField(line, ';', 4 + c) + ";";
    NewAspColorDark = static_cast<uint32_t>(StrToIntDef0(CutField(line, ';', 15)));
    NewAspColorLight = static_cast<uint32_t>(StrToIntDef0(CutField(line, ';', 16)));
    for (TPaintBox* b : {PaintBox, PaintBox1, PaintBox2}) b->Invalidate();
}

void TNewAsp::FormShow() {
    ValEdit->setEnabled(!(NewAspEditMode && NewAspRow <= 14));
}

bool TNewAsp::ForAPerson(const std::string& what) {
    return !p_.Flags.LinkCommand || AskUser(p_, what);
}

void TNewAsp::PaintBoxClick() {
    if (!ForAPerson(Lang(p_.s, "Символ аспекта"_cp, "The aspect's glyph")) || !AskGlyph) return;
    if (const std::optional<int> g = AskGlyph(NewAspGlyph); g && *g >= 0 && *g <= 255) {
        NewAspGlyph = static_cast<uint8_t>(*g);
        PaintBox->Invalidate();
    }
}

void TNewAsp::PaintBox1Click() {
    if (!ForAPerson(Lang(p_.s, "Цвет аспекта"_cp, "The aspect's colour")) || !AskColour) return;
    if (const auto c = AskColour(NewAspColorLight)) {
        NewAspColorLight = *c;
        PaintBox1->Invalidate();
    }
}

void TNewAsp::PaintBox2Click() {
    if (!ForAPerson(Lang(p_.s, "Цвет аспекта"_cp, "The aspect's colour")) || !AskColour) return;
    if (const auto c = AskColour(NewAspColorDark)) {
        NewAspColorDark = *c;
        PaintBox2->Invalidate();
    }
}

void TNewAsp::AddButtonClick() {
    const std::string text = Trim(ValEdit->Text());
    const std::optional<double> v = ParseDecimalText(text);
    if (!v || *v < 0 || *v > 180) {
        TellUser(p_, MsgKind::Information, Lang(p_.s, "Неправильное значение "_cp, "Wrong value ") + "\"" + text + "\"", true);
        return;
    }
    TKartForm* kart = KartFormOf();
    if (!kart) return;
    if (!NewAspEditMode && AspectAtAngle(p_.AspTable, *v) != 0) {
        TellUser(p_, MsgKind::Information, Lang(p_.s, "Такой аспект уже есть"_cp, "Aspect already exists"), true);
        return;
    }
    AspectLineFields f;
    f.name = NameEdit->Text();
    f.glyph = NewAspGlyph;
    f.kind = NewAspKind;
    f.angle = *v;
    f.orbs = NewAspOrbs;
    f.dark = static_cast<int32_t>(NewAspColorDark);
    f.light = static_cast<int32_t>(NewAspColorLight);
    const std::string line = BuildAspectLine(f);
    const bool taken =
        NewAspEditMode ? kart->ApplyAspectEdit(line, NewAspRow) : kart->AddAspectRow(line);
    if (taken) Close();
}

void TNewAsp::NoButtonClick() {
    Close();
}

} // namespace qor::chart
