#include "ui/EnglishTexts.h"

#include "core/Files.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <map>
#include <set>

namespace qor::ui {

namespace {

constexpr const char* kFileName = "English.txt";

std::vector<std::string> CommaFields(const std::string& text) {
    return NextFields(text, ',');
}

bool IsFormLine(const std::string& line) {
    return line[0] != ' ' && line[0] != '\t';
}

// One line: its name part (form or component, "\Hint" included) and its text.
void SplitEntry(const std::string& line, std::string& name, std::string& text) {
    name = CutField(line, ';', 0);
    text = CutField(CutFieldRaw(line, ';', 1), ';', 0);
}

bool HasCyrillic(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0xC0 || c == 0xA8 || c == 0xB8) return true;
    return false;
}

} // namespace

EnglishTexts::EnglishTexts(AstroDat& s, FormScreen& screen) : s_(s), screen_(screen) {}

bool EnglishTexts::Lines(const std::vector<std::string>*& lines) {
    if (!read_) {
        read_ = true;
        const IoResult r = ReadTextLines(s_.DataPath(kFileName), lines_);
        ok_ = r.ok();
        // reported here, once: later windows quietly keep their texts
        IOCheck(s_, r, kFileName);
    }
    lines = &lines_;
    return ok_;
}

bool EnglishTexts::LoadEnglishTexts() {
    const std::vector<std::string>* lines = nullptr;
    if (!Lines(lines)) return false;
    std::string form;
    for (const auto& line : *lines) {
        if (Trim(line).empty()) continue;
        std::string name, text;
        SplitEntry(line, name, text);
        if (IsFormLine(line)) {
            form = name;
            SetComponentText(form + ",", text);
        } else {
            SetComponentText(form + "," + name, text);
        }
    }
    s_.EnglishMode = true;
    return true;
}

void EnglishTexts::ApplyEnglishToForm(const std::string& formName) {
    const std::vector<std::string>* lines = nullptr;
    if (!Lines(lines)) return;
    bool inSection = false;
    for (const auto& line : *lines) {
        if (Trim(line).empty()) continue;
        std::string name, text;
        SplitEntry(line, name, text);
        if (IsFormLine(line)) {
            if (inSection) break;
            if (name != formName) continue;
            inSection = true;
            SetComponentText(formName + ",", text);
        } else if (inSection) {
            SetComponentText(formName + "," + name, text);
        }
    }
}

void EnglishTexts::SetComponentText(const std::string& key, const std::string& text) {
    const auto comma = key.find(',');
    const std::string formName = key.substr(0, comma);
    std::string component = comma == std::string::npos ? std::string() : key.substr(comma + 1);
    bool hint = false;
    if (const auto bs = component.find('\\'); bs != std::string::npos) {
        hint = component.substr(bs + 1) == "Hint";
        component.erase(bs);
    }
    for (TForm* f : screen_.Forms()) {
        if (f->Name() != formName) continue;
        if (component.empty()) {
            if (!text.empty()) f->SetCaption(text);
            continue;
        }
        const Component* c = f->FindComponent(component);
        if (!c) continue;
        const auto items = CommaFields(text);
        switch (c->kind) {
        case Kind::Label:
            if (hint)
                SetHint(c->object, text);
            else
                c->as<TLabel>()->SetCaption(text);
            break;
        case Kind::Edit:
            c->as<TEdit>()->SetText(text);
            break;
        case Kind::Memo:
            if (MemoAccess* m = MemoOf(*c)) m->SetText(text);
            break;
        case Kind::ComboBox: {
            // A text that is one of the items becomes the same item of the new list: code
            // reads these boxes by the item's place, which the old text would no longer have.
            auto* box = c->as<TComboBox>();
            const int shown = box->IndexOf(box->Text());
            for (std::size_t i = 0; i < items.size(); ++i)
                box->SetItem(static_cast<int>(i), items[i]);
            if (shown >= 0 && static_cast<std::size_t>(shown) < items.size())
                box->SetText(items[static_cast<std::size_t>(shown)]);
            break;
        }
        case Kind::GroupBox:
            c->as<TGroupBox>()->SetCaption(text);
            break;
        case Kind::SpeedButton:
            if (hint)
                SetHint(c->object, text);
            else
                c->as<TSpeedButton>()->SetCaption(text);
            break;
        case Kind::Button:
            c->as<TButton>()->SetCaption(text);
            break;
        case Kind::RadioButton:
            c->as<TRadioButton>()->SetCaption(text);
            break;
        case Kind::CheckBox:
            c->as<TCheckBox>()->SetCaption(text);
            break;
        case Kind::RadioGroup: {
            auto* g = c->as<TRadioGroup>();
            if (!items.empty()) g->SetCaption(items[0]);
            for (std::size_t i = 1; i < items.size(); ++i)
                g->SetItem(static_cast<int>(i - 1), items[i]);
            break;
        }
        case Kind::TrackBar: {
            auto* t = c->as<TTrackBar>();
            const int before = t->Position();
            t->SetPosition(StrToIntDef0(text));
            if (t->Position() == before && t->OnChange) t->OnChange();
            break;
        }
        case Kind::SpinEdit:
            c->as<TSpinEdit>()->SetValue(StrToIntDef0(text));
            break;
        case Kind::TabControl:
            for (std::size_t i = 0; i < items.size(); ++i)
                c->as<TTabControl>()->SetTab(static_cast<int>(i), items[i]);
            break;
        case Kind::MenuItem:
            c->as<TMenuItem>()->SetCaption(text);
            break;
        default:
            break;
        }
    }
}

std::vector<std::string> EnglishCoverageProblems(const std::vector<TForm*>& forms,
                                                 const std::vector<std::string>& lines,
                                                 bool otherWindows) {
    std::vector<std::string> problems;
    std::map<std::string, const TForm*> byName;
    for (const TForm* f : forms) byName[f->Name()] = f;

    // what the lines give: "Form," for captions, "Form,Comp" and "Form,Comp\Hint"
    std::set<std::string> given;
    std::string form;
    bool opened = false;
    std::set<std::string> sections;
    for (const auto& line : lines) {
        if (Trim(line).empty()) continue;
        std::string name, text;
        SplitEntry(line, name, text);
        if (IsFormLine(line)) {
            form = name;
            opened = true;
            given.insert(form + ",");
            if (!sections.insert(form).second) problems.push_back(form + ": a second section");
            if (!byName.contains(form) && !otherWindows)
                problems.push_back(form + ": no such window");
            continue;
        }
        if (!opened) {
            problems.push_back(Trim(line) + ": before the first window");
            continue;
        }
        given.insert(form + "," + name);
        const auto it = byName.find(form);
        std::string component = name.substr(0, name.find('\\'));
        if (it != byName.end() && !it->second->FindComponent(component))
            problems.push_back(form + "," + name + ": no such component");
    }

    for (const TForm* f : forms) {
        const std::string n = f->Name();
        if (HasCyrillic(f->Caption()) && !given.contains(n + ","))
            problems.push_back(n + ": no English caption");
        for (const auto& c : f->Components()) {
            const std::string key = n + "," + c.Name();
            const bool translatable =
                c.kind != Kind::Edit && c.kind != Kind::Memo && c.kind != Kind::Panel;
            bool russian = translatable && HasCyrillic(ComponentText(c));
            for (const auto& item : ComponentItems(c)) russian = russian || HasCyrillic(item);
            if (russian && !given.contains(key)) problems.push_back(key + ": no English text");
            if ((c.kind == Kind::Label || c.kind == Kind::SpeedButton) &&
                HasCyrillic(HintOf(c.object)) && !given.contains(key + "\\Hint"))
                problems.push_back(key + ": no English hint");
        }
    }
    return problems;
}

} // namespace qor::ui
