// The page-name dialog "SetBase" of every window kept in pages (the aspect pages, the
// Arabic-parts pages, the chart base): one edit for the name, "Да" and "Отменить".
//
// It is modal to the user (no other window takes input while it is up) but never holds the
// program in a loop of its own: Ask shows it and returns at once, and "Да" (or Enter) hands the
// name to the caller's continuation. So the command link keeps running while it is up, and can
// fill "SetBase,Edit" and press "SetBase,Button1" or "SetBase,Button2" like a user.
//
//   AskPageName(GetMsgText(s, 33), page, [&](const std::string& name) {
//       return RenameThePage(name); // false: refused (said why); the dialog stays for another try
//   });
#pragma once

#include "ui/Forms.h"

#include <functional>
#include <string>

namespace qor::shell {

class TSetBase : public ui::TForm {
public:
    TSetBase();

    ui::TLabel* Label1; // "Введите название страницы"
    ui::TEdit* Edit;
    ui::TButton* Button1; // "Да"
    ui::TButton* Button2; // "Отменить"

    // What "Да" does with the typed name: true when the name was taken (the dialog closes),
    // false when it was refused (the dialog stays with the name to be mended).
    using NameTaken = std::function<bool(const std::string& name)>;

    // Shows the dialog with its caption and the edit preset, focused; returns at once. A
    // question still open is dropped (as if cancelled).
    void Ask(const std::string& caption, const std::string& preset, NameTaken onOk);
    bool Asking() const { return static_cast<bool>(onOk_); }

    void Button1Click();
    void Button2Click();

private:
    NameTaken onOk_;
};

// The program's page-name dialog (made when there is none) asks for a name.
void AskPageName(const std::string& caption, const std::string& preset, TSetBase::NameTaken onOk);

} // namespace qor::shell
