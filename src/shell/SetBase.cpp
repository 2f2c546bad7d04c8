#include "shell/SetBase.h"

#include "core/Text.h"

namespace qor::shell {

using namespace ui;

TSetBase::TSetBase() : TForm("SetBase") {
    SetHelpTopic("data_bases.html");
    SetCaption("Страница"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetBounds(300, 240, 300, 118);
    SetKeyPreview(true);
    Label1 = AddLabel("Label1", "Введите название страницы"_cp, {12, 10, 276, 18}, nullptr);
    Edit = AddEdit("Edit", "", {12, 32, 276, 24}, nullptr);
    SetTag(Edit, 1); // not part of the saved window state
    Button1 = AddButton("Button1", "Да"_cp, {60, 70, 84, 28}, nullptr);
    Button2 = AddButton("Button2", "Отменить"_cp, {156, 70, 84, 28}, nullptr);
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    OnKeyDown = [this](int& key, Shift) {
        if (key == vk::Return) {
            key = 0;
            Button1Click();
        } else if (key == vk::Escape) {
            key = 0;
            Button2Click();
        }
    };
    // Closed by its frame: the question goes unanswered.
    OnClose = [this](CloseAction&) { onOk_ = nullptr; };
    // Modal no more once hidden: changed while it is still shown, the application would keep
    // it among its modal windows after it is gone.
    OnHide = [this] { setWindowModality(Qt::NonModal); };
}

void TSetBase::Ask(const std::string& caption, const std::string& preset, NameTaken onOk) {
    onOk_ = std::move(onOk);
    SetCaption(caption);
    Edit->SetText(preset);
    if (!isVisible()) setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    Edit->setFocus();
    Edit->selectAll();
}

void TSetBase::Button1Click() {
    NameTaken taken = std::move(onOk_);
    onOk_ = nullptr;
    if (taken && !taken(Edit->Text())) {
        // Refused (the caller said why): the name stays to be mended.
        if (!onOk_) onOk_ = std::move(taken);
        Edit->setFocus();
        return;
    }
    if (onOk_) return; // the caller asked again
    Close();
}

void TSetBase::Button2Click() {
    onOk_ = nullptr;
    Close();
}

void AskPageName(const std::string& caption, const std::string& preset, TSetBase::NameTaken onOk) {
    auto* d = dynamic_cast<TSetBase*>(Screen().FindForm("SetBase"));
    if (!d && Screen().HasFormClass("SetBase")) d = dynamic_cast<TSetBase*>(Screen().Ensure("SetBase"));
    if (!d) d = new TSetBase;
    d->Ask(caption, preset, std::move(onOk));
}

} // namespace qor::shell
