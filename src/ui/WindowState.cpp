#include "ui/WindowState.h"

#include "ui/EnglishTexts.h"

#include "core/Files.h"
#include "core/Formats.h"
#include "core/Strings.h"

#include <cmath>

namespace qor::ui {

namespace {

constexpr const char* kBlockEnd = "//";

bool AllSlashes(const std::string& line) {
    return !line.empty() && line.find_first_not_of('/') == std::string::npos;
}

// A memo line on its way into a file and back.
std::string EscapeMemoLine(const std::string& line) {
    return AllSlashes(line) && line.size() >= 2 ? "/" + line : line;
}
std::string UnescapeMemoLine(const std::string& line) {
    return AllSlashes(line) && line.size() >= 3 ? line.substr(1) : line;
}

void AddValue(std::vector<std::string>& lines, const std::string& formName,
              const std::string& componentName, const std::string& value) {
    lines.push_back(formName + "," + componentName + "," + value);
    if (value.empty()) lines.push_back(kBlockEnd);
}

int RoundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

std::vector<StateEntry> ParseStateLines(const std::vector<std::string>& lines) {
    std::vector<StateEntry> out;
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i];
        const auto c1 = line.find(',');
        const auto c2 = c1 == std::string::npos ? c1 : line.find(',', c1 + 1);
        if (line.empty() || c2 == std::string::npos) {
            ++i;
            continue;
        }
        StateEntry e;
        e.form = line.substr(0, c1);
        e.component = line.substr(c1 + 1, c2 - c1 - 1);
        e.value = line.substr(c2 + 1);
        e.first = i++;
        if (e.value.empty()) {
            e.block = true;
            while (i < lines.size() && lines[i] != kBlockEnd)
                e.lines.push_back(UnescapeMemoLine(lines[i++]));
            if (i < lines.size()) ++i; // the "//"
        }
        e.count = i - e.first;
        out.push_back(std::move(e));
    }
    return out;
}

WindowStateFiles::WindowStateFiles(AstroDat& s, FormScreen& screen) : s_(s), screen_(screen) {}

std::string WindowStateFiles::MainIniName() const {
    return s_.EnglishMode ? "main-e.ini" : "main.ini";
}
std::string WindowStateFiles::FormIniName() const {
    return s_.EnglishMode ? "Form-e.ini" : "Form.ini";
}

void WindowStateFiles::EncodeComponentState(const std::string& formName, const Component& c,
                                            std::vector<std::string>& lines) {
    lines.clear();
    const std::string name = c.Name();
    const bool tagClear = (TagOf(c.object) & 7) == 0;
    switch (c.kind) {
    case Kind::Memo:
        if (!tagClear) break;
        lines.push_back(formName + "," + name + ",");
        if (const MemoAccess* m = MemoOf(c))
            for (const auto& l : m->Lines()) lines.push_back(EscapeMemoLine(l));
        lines.push_back(kBlockEnd);
        break;
    case Kind::RadioGroup:
        AddValue(lines, formName, name, std::to_string(c.as<TRadioGroup>()->ItemIndex()));
        break;
    case Kind::ComboBox:
        AddValue(lines, formName, name, c.as<TComboBox>()->Text());
        break;
    case Kind::Edit:
        if (tagClear) AddValue(lines, formName, name, c.as<TEdit>()->Text());
        break;
    case Kind::SpinEdit:
        AddValue(lines, formName, name, std::to_string(c.as<TSpinEdit>()->Value()));
        break;
    case Kind::TrackBar:
        if (tagClear)
            AddValue(lines, formName, name, std::to_string(c.as<TTrackBar>()->Position()));
        break;
    case Kind::RadioButton:
        AddValue(lines, formName, name, c.as<TRadioButton>()->Checked() ? "True" : "False");
        break;
    case Kind::CheckBox:
        AddValue(lines, formName, name, c.as<TCheckBox>()->Checked() ? "True" : "False");
        break;
    case Kind::DrawGrid: {
        const auto* g = c.as<TDrawGrid>();
        std::string v;
        for (int i = 0; i < g->ColCount(); ++i) v += std::to_string(g->ColWidth(i)) + ";";
        AddValue(lines, formName, name, v);
        break;
    }
    case Kind::TabControl: {
        if (tagClear) break;
        std::string v;
        for (const auto& t : c.as<TTabControl>()->Tabs()) v += t + ";";
        AddValue(lines, formName, name, v);
        break;
    }
    default:
        break;
    }
}

std::vector<std::string> WindowStateFiles::EncodeForm(const TForm& form) {
    const std::string name = form.Name();
    std::vector<std::string> out;
    out.push_back(name + ",Size," + std::to_string(form.Left()) + ";" + std::to_string(form.Top()) +
                  ";" + std::to_string(form.Width()) + ";" + std::to_string(form.Height()) + ";");
    std::vector<std::string> scratch;
    for (const auto& c : form.Components()) {
        EncodeComponentState(name, c, scratch);
        out.insert(out.end(), scratch.begin(), scratch.end());
    }
    return out;
}

namespace {

// One value into a component of a window; the plain memo when the component is one (the
// caller fills it).
TMemo* ApplyValue(const Component& component, const std::string& value) {
    const Component* c = &component;
    const int number = StrToIntDef0(value);
    switch (c->kind) {
    case Kind::Memo:
        return dynamic_cast<TMemo*>(c->object);
    case Kind::RadioGroup:
        c->as<TRadioGroup>()->SetItemIndex(number);
        break;
    case Kind::ComboBox:
        c->as<TComboBox>()->SetText(value);
        break;
    case Kind::Edit:
        c->as<TEdit>()->SetText(value);
        break;
    case Kind::SpinEdit:
        c->as<TSpinEdit>()->SetValue(number);
        break;
    case Kind::TrackBar:
        c->as<TTrackBar>()->SetPosition(number);
        break;
    case Kind::RadioButton:
        c->as<TRadioButton>()->SetChecked(value == "True");
        break;
    case Kind::CheckBox:
        c->as<TCheckBox>()->SetChecked(value == "True");
        break;
    case Kind::DrawGrid: {
        auto* g = c->as<TDrawGrid>();
        const std::vector<std::string> widths = NextFields(value, ';');
        for (int i = 0; i < static_cast<int>(widths.size()) && i < g->ColCount(); ++i) {
            const int w = StrToIntDef0(widths[static_cast<std::size_t>(i)]);
            if (w >= 1 && w < 400) g->SetColWidth(i, w);
        }
        break;
    }
    case Kind::TabControl: {
        c->as<TTabControl>()->SetTabs(NextFields(value, ';'));
        break;
    }
    default:
        break;
    }
    return nullptr;
}

} // namespace

TMemo* WindowStateFiles::ApplyComponentState(TForm& form, const std::string& componentName,
                                             const std::string& value) {
    if (componentName == "Size") {
        std::string rest = value;
        const int n1 = StrToIntDef0(NextField(rest, ';'));
        const int n2 = StrToIntDef0(NextField(rest, ';'));
        const int n3 = StrToIntDef0(NextField(rest, ';'));
        const int n4 = StrToIntDef0(NextField(rest, ';'));
        const int sw = screen_.Width(), sh = screen_.Height();
        int left = form.Left(), top = form.Top(), width = form.Width(), height = form.Height();
        const int l = RoundHalfEven(n1 * WidthRatio), t = RoundHalfEven(n2 * HeightRatio);
        if (l > -5 && l < sw - 100) left = l;
        if (t > -5 && t < sh - 100) top = t;
        if (form.Border() == BorderStyle::Sizeable || form.Border() == BorderStyle::None) {
            const int w = RoundHalfEven(n3 * WidthRatio), h = RoundHalfEven(n4 * HeightRatio);
            if (w > 100 && w < sw + 100) width = w;
            if (h > 100 && h < sh + 100) height = h;
        }
        // The main window comes back where it was left; it is centred only when the saved
        // place would put part of it off the screen (saved on a larger screen, say).
        if (form.Name() == "Form1" &&
            !(l >= 0 && t >= 0 && l + width <= sw && t + height <= sh && l == left && t == top)) {
            left = (sw - width) / 2;
            top = (sh - height) / 2;
        }
        form.SetBounds(left, top, width, height);
        return nullptr;
    }
    const Component* c = form.FindComponent(componentName);
    return c ? ApplyValue(*c, value) : nullptr;
}

void WindowStateFiles::ApplyEntry(TForm& form, const StateEntry& e) {
    if (e.component == "Size") ApplyComponentState(form, e.component, e.value);
    // One look-up for the value and a memo's lines (a large window has hundreds of parts). A
    // memo takes no value, so nothing runs between the look-up and its lines.
    const Component* found = form.FindComponent(e.component);
    if (!found) return;
    const Component c = *found;
    if (e.component != "Size") ApplyValue(c, e.value);
    if (MemoAccess* memo = MemoOf(c)) memo->SetLines(e.lines);
}

bool WindowStateFiles::LoadMainIni() {
    std::vector<std::string> lines;
    if (!ReadTextLines(s_.DataPath(MainIniName()), lines).ok()) return false;
    for (const auto& e : ParseStateLines(lines)) {
        if (e.form == "ScreenSize") {
            // a screen of no size says nothing about this one: no scaling then
            const int w = StrToIntDef0(e.component), h = StrToIntDef0(e.value);
            if (w > 0 && h > 0) {
                WidthRatio = static_cast<double>(screen_.Width()) / w;
                HeightRatio = static_cast<double>(screen_.Height()) / h;
            }
            continue;
        }
        if (TForm* f = screen_.FindForm(e.form)) ApplyEntry(*f, e);
    }
    WidthRatio = HeightRatio = 1.0;
    return true;
}

std::vector<std::string> WindowStateFiles::MainIniLines() const {
    std::vector<std::string> lines;
    lines.push_back("ScreenSize," + std::to_string(screen_.Width()) + "," +
                    std::to_string(screen_.Height()));
    for (const TForm* f : screen_.Forms()) {
        auto formLines = EncodeForm(*f);
        if (f->Name() == "Form2") formLines.erase(formLines.begin()); // the splash keeps its place
        lines.insert(lines.end(), formLines.begin(), formLines.end());
    }
    return lines;
}

bool WindowStateFiles::SaveMainIni() {
    return !IOCheck(s_, WriteTextFileAtomic(s_.DataPath(MainIniName()), MainIniLines()),
                    MainIniName());
}

bool WindowStateFiles::WriteDefaultCopies() {
    const std::string suffix = s_.EnglishMode ? "-e" : "";
    bool ok = true;
    for (const auto& [name, lines] : {std::pair{"main" + suffix + ".dfl", MainIniLines()},
                                      std::pair{"form" + suffix + ".dfl", FormIniList}}) {
        std::error_code ec;
        if (std::filesystem::exists(s_.DataPath(name), ec)) continue;
        if (IOCheck(s_, WriteTextFileAtomic(s_.DataPath(name), lines), name)) ok = false;
    }
    return ok;
}

void WindowStateFiles::LoadFormIni() {
    FormIniList.clear();
    const auto path = s_.DataPath(FormIniName());
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        IOCheck(s_, ReadTextLines(path, FormIniList), FormIniName());
}

bool WindowStateFiles::SaveFormIni() {
    return !IOCheck(s_, WriteTextFileAtomic(s_.DataPath(FormIniName()), FormIniList),
                    FormIniName());
}

void WindowStateFiles::ApplyFormSettings(TForm& form) {
    if (ApplyWindowFont) ApplyWindowFont(form);
    if (s_.EnglishMode && English) English->ApplyEnglishToForm(form.Name());
    // the window's lines leave the list: later ones override earlier ones
    const auto entries = ParseStateLines(FormIniList);
    std::vector<bool> taken(FormIniList.size(), false);
    const std::string name = form.Name();
    for (const auto& e : entries) {
        if (e.form != name) continue;
        ApplyEntry(form, e);
        for (std::size_t i = e.first; i < e.first + e.count; ++i) taken[i] = true;
    }
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < FormIniList.size(); ++i)
        if (!taken[i]) kept.push_back(std::move(FormIniList[i]));
    FormIniList = std::move(kept);
    if (ApplyFormFonts) ApplyFormFonts(form);
}

void WindowStateFiles::StoreFormSettings(TForm& form) {
    // the window's current lines replace any it left in the list before
    const auto entries = ParseStateLines(FormIniList);
    std::vector<bool> old(FormIniList.size(), false);
    for (const auto& e : entries)
        if (e.form == form.Name())
            for (std::size_t i = e.first; i < e.first + e.count; ++i) old[i] = true;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < FormIniList.size(); ++i)
        if (!old[i]) kept.push_back(std::move(FormIniList[i]));
    FormIniList = std::move(kept);
    const auto lines = EncodeForm(form);
    FormIniList.insert(FormIniList.end(), lines.begin(), lines.end());
}

bool WindowStateFiles::RestoreDefaultFiles() {
    const std::string suffix = s_.EnglishMode ? "-e" : "";
    bool ok = true;
    for (const auto& [from, to] : {std::pair{"main" + suffix + ".dfl", MainIniName()},
                                   std::pair{"form" + suffix + ".dfl", FormIniName()}}) {
        std::string bytes;
        if (IOCheck(s_, ReadFileBytes(s_.DataPath(from), bytes), from)) {
            ok = false;
            continue;
        }
        if (IOCheck(s_, SaveFileAtomic(s_.DataPath(to), bytes), to)) ok = false;
    }
    return ok;
}

} // namespace qor::ui
