#include "ui/UICommands.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>

namespace qor::ui {

namespace {

// Pointer coordinates taken from a command: beyond this nothing is ever drawn.
constexpr int kMaxPointerCoord = 32000;

void SplitTarget(const std::string& target, std::string& form, std::string& component) {
    const auto comma = target.find(',');
    form = target.substr(0, comma);
    component = comma == std::string::npos ? std::string() : target.substr(comma + 1);
}

bool StartsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

bool ParseKeyDownCommand(const std::string& command, int& key, Shift& shift) {
    std::string rest = command;
    SplitAtChar(rest, ',');
    const auto code = ParseWholeInteger(SplitAtChar(rest, ','));
    if (!code || *code < 0 || *code > 65535) return false;
    key = static_cast<int>(*code);
    shift = rest == "ssShift" ? ssShift : rest == "ssAlt" ? ssAlt : rest == "ssCtrl" ? ssCtrl : 0;
    return true;
}

UICommands::UICommands(AstroDat& s, FormScreen& screen) : s_(s), screen_(screen) {
    timer2_.setInterval(100);
    QObject::connect(&timer2_, &QTimer::timeout, [this] {
        timer2_.stop();
        RunUICommand(pendingTarget_, pendingCommand_);
    });
}

void UICommands::SetGridRefresh(const std::string& formName,
                                std::function<void(TDrawGrid&)> refresh) {
    gridRefresh_[formName] = std::move(refresh);
}

void UICommands::PostUICommand(const std::string& target, const std::string& command) {
    pendingTarget_ = target;
    pendingCommand_ = command;
    timer2_.setInterval(10);
    timer2_.start();
}

void UICommands::Glide(const QWidget* w) {
    screen_.Cursor().GlideToControl(w);
}

void UICommands::RunUICommand(const std::string& target, const std::string& command) {
    std::string formName, componentName;
    SplitTarget(target, formName, componentName);
    TForm* form = screen_.FindForm(formName);
    if (!form) {
        // A modal dialog that is no form (a message box) closes too.
        if (componentName.empty() && command == "Close") CloseModalWindow(formName);
        return;
    }

    if (componentName.empty()) {
        if (StartsWith(command, "Show")) ShowFormPlaced(*form, command);
        if (command == "SetFocus" && form->isVisible()) {
            form->activateWindow();
            form->setFocus();
        }
        if (command == "Close" && form->isVisible()) form->Close();
        int key = 0;
        Shift shift = 0;
        if (StartsWith(command, "KeyDown") && form->isVisible() && form->OnKeyDown &&
            ParseKeyDownCommand(command, key, shift))
            form->OnKeyDown(key, shift);
        return;
    }
    if (!form->isVisible()) return;
    if (const Component* c = form->FindComponent(componentName)) RunOnComponent(*form, *c, command);
}

void UICommands::RunOnComponent(TForm& form, const Component& c, const std::string& command) {
    const bool moveTo = command == "MoveTo";
    switch (c.kind) {
    case Kind::Label:
        c.as<TLabel>()->SetCaption(command);
        break;
    case Kind::Edit: {
        auto* e = c.as<TEdit>();
        if (command == "*") {
            e->setFocus();
            Glide(e);
        } else {
            e->SetText(command);
        }
        break;
    }
    case Kind::Memo:
        if (MemoAccess* m = MemoOf(c)) m->SetText(command);
        break;
    case Kind::DrawGrid: {
        auto* g = c.as<TDrawGrid>();
        if (moveTo) {
            g->setFocus();
            Glide(g);
        } else if (StartsWith(command, "Row")) {
            g->SetRow(StrToIntDef0(command.size() > 4 ? command.substr(4) : std::string()));
        } else if (StartsWith(command, "KeyDown")) {
            int key = 0;
            Shift shift = 0;
            if (g->OnKeyDown && ParseKeyDownCommand(command, key, shift)) g->OnKeyDown(key, shift);
        } else if (command.empty()) {
            const auto it = gridRefresh_.find(form.Name());
            if (it != gridRefresh_.end() && it->second) it->second(*g);
            g->Invalidate();
        }
        break;
    }
    case Kind::ComboBox: {
        auto* cb = c.as<TComboBox>();
        cb->SetText(command);
        if (cb->OnChange) cb->OnChange();
        break;
    }
    case Kind::SpeedButton:
        if (moveTo)
            Glide(c.widget());
        else
            c.as<TSpeedButton>()->Click();
        break;
    case Kind::Button:
        if (moveTo)
            Glide(c.widget());
        else
            c.as<TButton>()->Click();
        break;
    case Kind::RadioButton:
        if (moveTo)
            Glide(c.widget());
        else
            c.as<TRadioButton>()->Click(); // checks it and runs its handler once
        break;
    case Kind::RadioGroup:
        if (moveTo)
            Glide(c.widget());
        else
            c.as<TRadioGroup>()->SetItemIndex(StrToIntDef0(command));
        break;
    case Kind::TrackBar: {
        auto* t = c.as<TTrackBar>();
        if (moveTo) {
            Glide(t);
            break;
        }
        // the position is set and the change handler runs once, moved or not
        const int before = t->Position();
        t->SetPosition(StrToIntDef0(command));
        if (t->Position() == before && t->OnChange) t->OnChange();
        break;
    }
    case Kind::SpinEdit:
        if (moveTo)
            Glide(c.widget());
        else
            c.as<TSpinEdit>()->SetValue(StrToIntDef0(command));
        break;
    case Kind::CheckBox:
        if (moveTo)
            Glide(c.widget());
        else if (command == "True")
            c.as<TCheckBox>()->SetChecked(true);
        else if (command == "False")
            c.as<TCheckBox>()->SetChecked(false);
        break;
    case Kind::TabControl: {
        auto* t = c.as<TTabControl>();
        if (moveTo) {
            screen_.Cursor().GlideTo(t->mapToGlobal(QPoint(3, 3)));
            break;
        }
        t->SetTabIndex(StrToIntDef0(command));
        if (t->OnChange) t->OnChange();
        break;
    }
    case Kind::PaintBox:
        PaintBoxMouse(*c.as<TPaintBox>(), command);
        break;
    case Kind::MenuItem:
        c.as<TMenuItem>()->Click();
        break;
    case Kind::ScrollBar:
        if (moveTo)
            Glide(c.widget());
        else
            c.as<TScrollBar>()->SetPosition(StrToIntDef0(command));
        break;
    default:
        break;
    }
}

void UICommands::PaintBoxMouse(TPaintBox& box, const std::string& command) {
    std::string rest = command;
    const std::string action = NextField(rest, ',');
    const bool down = action == "MouseDown", up = action == "MouseUp";
    if (!down && !up && action != "MouseMove") return;
    MouseButton button = MouseButton::Left;
    if (down || up) {
        const std::string b = NextField(rest, ',');
        if (b == "mbRight") button = MouseButton::Right;
    }
    const std::string shiftText = NextField(rest, ',');
    Shift shift = 0;
    const std::pair<const char*, unsigned> words[] = {{"ssShift", ssShift},
                                                      {"ssAlt", ssAlt},
                                                      {"ssCtrl", ssCtrl},
                                                      {"ssLeft", ssLeft},
                                                      {"ssRight", ssRight}};
    for (const auto& [word, bit] : words)
        if (shiftText.find(word) != std::string::npos) shift |= bit;
    // A point far outside any window is held at the drawing's bound, so that the handlers'
    // arithmetic on it cannot overflow.
    const auto coord = [](const std::string& text) {
        return std::clamp(StrToIntDef0(text), -kMaxPointerCoord, kMaxPointerCoord);
    };
    const int x = coord(NextField(rest, ','));
    const int y = coord(NextField(rest, ';'));

    // The pointer goes to the command's point, and the handlers get that point: a script's
    // click lands where the script says, wherever the real pointer is.
    screen_.Cursor().SetPos(box.mapToGlobal(QPoint(x, y)));
    if (down && box.OnMouseDown) box.OnMouseDown(button, shift, x, y);
    if (up && box.OnMouseUp) box.OnMouseUp(button, shift, x, y);
    if (!down && !up && box.OnMouseMove) box.OnMouseMove(shift, x, y);
}

void UICommands::ShowFormPlaced(TForm& form, const std::string& command) {
    std::string word = command;
    SplitAtChar(word, ',');
    word = Trim(word);
    const int sw = screen_.Width(), sh = screen_.Height();
    const int w = form.Width(), h = form.Height();
    struct Place {
        const char* word;
        int left, top;
    };
    const Place places[] = {{"Mid", (sw - w) / 2, (sh - h) / 2},
                            {"TopLeft", 0, 0},
                            {"Left", 0, (sh - h) / 2},
                            {"Top", (sw - w) / 2, 0},
                            {"TopRight", sw - w, 0},
                            {"Right", sw - w, (sh - h) / 2},
                            {"LeftDown", 0, sh - h},
                            {"Down", (sw - w) / 2, sh - h},
                            {"RightDown", sw - w, sh - h}};
    for (const auto& p : places)
        if (word == p.word) form.move(std::max(p.left, 0), std::max(p.top, 0));
    form.show();
    if (word == "Normal") form.SetWindowState(WindowState::Normal);
    if (word == "Max") form.SetWindowState(WindowState::Maximized);
    if (word == "Min") form.SetWindowState(WindowState::Minimized);
}

std::string UICommands::QueryUIValue(const std::string& target, const std::string& request) {
    std::string formName, componentName;
    SplitTarget(target, formName, componentName);
    // The target "," asks which modal window is up.
    if (formName.empty() && componentName.empty() && target == ",") return ModalWindowName();
    for (TForm* form : screen_.Forms()) {
        if (form->Name() != formName) continue;
        const Component* c = form->FindComponent(componentName);
        if (!c) continue;
        std::string r;
        switch (c->kind) {
        case Kind::Label:
        case Kind::Edit:
        case Kind::Memo:
            r = ComponentText(*c);
            break;
        case Kind::DrawGrid:
            if (request == "RowCount") r = std::to_string(c->as<TDrawGrid>()->RowCount());
            break;
        case Kind::RadioGroup:
            r = std::to_string(c->as<TRadioGroup>()->ItemIndex());
            break;
        case Kind::CheckBox:
            r = c->as<TCheckBox>()->Checked() ? "True" : "False";
            break;
        case Kind::ScrollBar:
            r = std::to_string(c->as<TScrollBar>()->Position());
            break;
        case Kind::TabControl: {
            auto* t = c->as<TTabControl>();
            if (request == "TabsCount") {
                r = std::to_string(t->TabCount());
            } else if (StartsWith(request, "Tabs,")) {
                const auto i = ParseWholeInteger(request.substr(5));
                if (i && *i >= 0 && *i < t->TabCount()) r = t->Tabs()[static_cast<std::size_t>(*i)];
            }
            break;
        }
        default:
            break;
        }
        return TrimRight(r);
    }
    SetStatus(s_, "Receive not found " + target);
    return {};
}

} // namespace qor::ui
