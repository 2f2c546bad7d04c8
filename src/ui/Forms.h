// The forms layer: windows (TForm) found by name on the screen, their components in creation
// order, the virtual mouse pointer and the dialogs.
//
// How a window is written:
//
//   class TDataForm : public qor::ui::TForm {
//   public:
//       TDataForm() : TForm("DataForm") {              // objectName = the window's name
//           SetCaption("Данные"_cp);
//           SetToolWindow(true);                          // stays on top, Esc closes it
//           SetHelpTopic("birth_data.html");              // F1
//           SetStoresSettings(true);                      // its state goes to Form.ini on close
//           SetBounds(100, 100, 400, 300);
//           NameEdit = Add<TEdit>("NameEdit", {8, 8, 200, 24});    // objectName = "NameEdit"
//           SetTag(NameEdit, 9);
//           OKBtn = Add<TButton>("OKBtn", {8, 40, 90, 28});
//           OKBtn->SetCaption("&Выполнить"_cp);
//           OKBtn->OnClick = [this] { OKBtnClick(); };
//           OnKeyDown = [this](int& key, Shift s) { FormKeyDown(key, s); };
//       }
//       TEdit* NameEdit;
//       TButton* OKBtn;
//       ...
//   };
//   // once, at start-up (the running program's classes: Program::FormClasses):
//   p.FormClasses.Register("DataForm", [&p] { return new TDataForm(p); });
//   // wherever the window is wanted (created on first use with its settings applied):
//   auto* f = Screen().Ensure<TDataForm>("DataForm"); f->show();
//
// Controls sit on the form's client area (Client(), the default parent of Add) or on another
// control given as parent; positions are client pixels. Menu items: AddMenuItem(name,
// caption, under) with `under` empty (the menu bar), a TMenuItem or a TPopupMenu.
// Which changes made in code run a control's handler: see Components.h. Key handlers get
// virtual-key codes (Keys.h). Messages, input and files: Screen().Dlg() (tests install
// AnsweringDialogs); the pointer: Screen().Cursor(). A dialog window: buttons with a
// ModalResult, then ShowModal(). Texts are code page 1251 throughout ("..."_cp).
//
// Beside the layer, for the service form to own: UICommands ("Form,Component" command paths),
// WindowStateFiles (main.ini / Form.ini), EnglishTexts (English.txt), QtReport (the core's
// UserReport over these dialogs).
#pragma once

#include "ui/Components.h"
#include "ui/Dialogs.h"
#include "ui/Keys.h"

#include <QEventLoop>
#include <QMainWindow>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qor::ui {

enum class BorderStyle { Sizeable, Single, Dialog, None };
enum class WindowState { Normal, Maximized, Minimized };
enum class CloseAction { Hide, Free, None };

class TForm : public QMainWindow {
public:
    explicit TForm(std::string_view name, QWidget* parent = nullptr);
    ~TForm() override;

    std::string Name() const { return objectName().toStdString(); }
    std::string Caption() const;
    void SetCaption(const std::string& text);
    QWidget* Client() const { return client_; }

    // Components in creation order (menu items, timers and dialogs included).
    const std::vector<Component>& Components() const { return components_; }
    const Component* FindComponent(std::string_view name) const;
    template <class T> T* Find(std::string_view name) const {
        const Component* c = FindComponent(name);
        return c && c->kind == T::kKind ? dynamic_cast<T*>(c->object) : nullptr;
    }

    // Creates a component of kind T named `name` on `parent` (the client area when none).
    template <class T> T* Add(std::string_view name, QWidget* parent = nullptr) {
        T* c;
        if constexpr (std::is_base_of_v<QWidget, T>)
            c = new T(parent ? parent : client_);
        else
            c = new T(this);
        Register(c, T::kKind, name);
        // a control shows with its window; a pop-up menu only when it is popped up
        if constexpr (std::is_base_of_v<QWidget, T> && !std::is_base_of_v<QMenu, T>) c->show();
        return c;
    }
    template <class T> T* Add(std::string_view name, QRect bounds, QWidget* parent = nullptr) {
        T* c = Add<T>(name, parent);
        ui::SetBounds(c, bounds.x(), bounds.y(), bounds.width(), bounds.height());
        return c;
    }
    // The common controls with their caption (an edit: its text) and first state, in one call.
    TCheckBox* AddCheck(std::string_view name, const std::string& caption, QRect bounds,
                        QWidget* parent, bool on = false);
    TRadioButton* AddRadio(std::string_view name, const std::string& caption, QRect bounds,
                           QWidget* parent, bool on = false);
    TGroupBox* AddGroup(std::string_view name, const std::string& caption, QRect bounds,
                        QWidget* parent);
    TLabel* AddLabel(std::string_view name, const std::string& caption, QRect bounds,
                     QWidget* parent);
    TEdit* AddEdit(std::string_view name, const std::string& text, QRect bounds, QWidget* parent);
    TButton* AddButton(std::string_view name, const std::string& caption, QRect bounds,
                       QWidget* parent);
    // A menu item in the menu bar (`under` empty), below another item, or in a popup menu.
    TMenuItem* AddMenuItem(std::string_view name, const std::string& caption,
                           QObject* under = nullptr);
    // Enters a component made elsewhere into the list.
    void Register(QObject* c, Kind kind, std::string_view name);

    // Window properties.
    void SetToolWindow(bool on); // stays on top; Esc closes it
    bool IsToolWindow() const { return tool_; }
    void SetHelpTopic(const std::string& page) { helpTopic_ = page; }
    const std::string& HelpTopic() const { return helpTopic_; }
    void SetBorderStyle(BorderStyle b);
    BorderStyle Border() const { return border_; }
    void SetStoresSettings(bool on) { storesSettings_ = on; }
    bool StoresSettings() const { return storesSettings_; }
    // Key handlers of the form run before those of its controls.
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    void SetWindowState(WindowState s);
    WindowState State() const;
    int Tag = 0;

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetBounds(int left, int top, int width, int height);
    void SetFormFont(const FontSpec& f);
    void SetColor(uint32_t bgr);

    // Closes the window: OnCloseQuery may refuse, OnClose chooses hide (default) or free;
    // a window that stores its settings does so first.
    void Close();

    // Shows the window modally and returns when it has closed: its ModalResult, or mrCancel
    // when it was closed without one. A non-zero result set while it is shown closes it.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    bool InModalLoop() const { return modalLoop_ != nullptr; }
    void SetModalResult(int r);

    // Handlers.
    std::function<void()> OnShow, OnHide, OnResize, OnActivate;
    // The window was maximized, minimized or restored.
    std::function<void()> OnStateChange;
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void(CloseAction&)> OnClose;
    std::function<void(int& key, Shift)> OnKeyDown;
    std::function<void(char& ch)> OnKeyPress;
    std::function<void(QPainter&)> OnPaint; // paints the client area

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool HandleKey(QKeyEvent* e, bool preview);
    QWidget* client_;
    std::vector<Component> components_;
    std::string helpTopic_;
    BorderStyle border_ = BorderStyle::Sizeable;
    bool tool_ = false;
    bool storesSettings_ = false;
    bool keyPreview_ = false;
    bool closing_ = false;
    int modalResult_ = mrNone;
    QEventLoop* modalLoop_ = nullptr;
    int* modalOut_ = nullptr;     // where a window freed inside its modal loop leaves its result
    bool freeAfterModal_ = false; // closed with Free while modal: freed when the loop has ended
    const QEvent* lastKey_ = nullptr;
    QPointer<QWidget> lastKeyReceiver_;
};

// The mouse pointer as the program moves it. Tests move it freely (the real pointer cannot be
// moved offscreen or under Wayland); the program also moves the real one (MoveReal).
// The pixels of the straight line from `from` to `to` (Bresenham), the start included; one
// point for a line of length 0. The pointer glides along them.
std::vector<QPoint> GlidePoints(QPoint from, QPoint to);

class Pointer {
public:
    QPoint Pos() const { return pos_; }
    void SetPos(QPoint p);
    // Where the user moved the real pointer (the program does not move it back).
    void Follow(QPoint p) { pos_ = p; }
    // Moves in visible one-pixel steps along the straight line (Bresenham) from `from` to `to`;
    // a line of length 0 places the pointer once.
    void Glide(QPoint from, QPoint to);
    void GlideTo(QPoint to) { Glide(pos_, to); }
    // To the centre of a control: its top-left corner on the screen plus half its size.
    void GlideToControl(const QWidget* w);
    static QPoint CentreOf(const QWidget* w);

    bool MoveReal = false;
    std::function<void(QPoint)> OnStep; // after every step of a glide
    int Steps = 0;                      // steps taken so far

private:
    QPoint pos_;
};

// Window classes by window name: what makes a window of that name.
class FormClasses {
public:
    using Factory = std::function<TForm*()>;
    // A later registration of a name replaces the earlier one.
    void Register(const std::string& name, Factory make) { classes_[name] = std::move(make); }
    bool Has(std::string_view name) const { return classes_.contains(name); }
    // A new window of the class, or nullptr when the class is unknown.
    TForm* Make(std::string_view name) const;
    std::vector<std::string> Names() const;

private:
    std::map<std::string, Factory, std::less<>> classes_;
};

// The application's screen: the live forms, the screen size, the pointer, the dialogs and the
// hooks through which the shell takes part in creating and closing windows.
class FormScreen {
public:
    FormScreen();
    ~FormScreen();

    // Live forms, the most recently active first.
    const std::vector<TForm*>& Forms() const { return forms_; }
    TForm* FindForm(std::string_view name) const;
    bool FormExists(std::string_view name) const { return FindForm(name) != nullptr; }

    // Screen size in pixels: the primary screen's unless set (tests set it; 0 resets).
    int Width() const;
    int Height() const;
    void SetSize(int width, int height) { width_ = width, height_ = height; }
    QRect WorkArea() const;

    Pointer& Cursor() { return pointer_; }
    // The dialogs, behind the modal gate.
    Dialogs& Dlg() { return gated_; }
    void SetDialogs(Dialogs* d) { dialogs_ = d; }

    // Every modal window asks here before it opens: the message boxes and dialogs of Dlg(),
    // the windows shown with ShowModal (`what` is the window's name) and the print dialogs.
    // `text` is the message or the caption. A gate that answers false keeps it closed; the
    // caller gets a cancel (a message box its cautious button).
    std::function<bool(const std::string& what, const std::string& text)> ModalGate;
    bool MayOpenModal(const std::string& what, const std::string& text) const {
        return !ModalGate || ModalGate(what, text);
    }

    // Window classes by name; a window is created on first use. The classes in use are the
    // running program's (SetFormClasses), else the screen's own (tests of the layer).
    void SetFormClasses(FormClasses* classes) { classes_ = classes ? classes : &ownClasses_; }
    FormClasses& Classes() { return *classes_; }
    void RegisterFormClass(const std::string& name, std::function<TForm*()> make);
    bool HasFormClass(std::string_view name) const;
    std::vector<std::string> FormClassNames() const;
    // The live form of that name, else a new one of its class (ApplySettings run); nullptr
    // when the class is unknown.
    TForm* Ensure(std::string_view name);
    template <class T> T* Ensure(std::string_view name) { return dynamic_cast<T*>(Ensure(name)); }
    // Creates a form by class even when one of that name exists.
    TForm* CreateForm(std::string_view name);

    // Hooks of the shell.
    std::function<void(TForm&)> ApplySettings; // after a form is created by class
    std::function<void(TForm&)> StoreSettings; // when a form that stores settings closes
    std::function<void(TForm&, const std::string& topic)> ShowHelp; // F1
    std::function<void(const std::filesystem::path&)> PlaySound;

    // Called by TForm.
    void Added(TForm* f);
    void Removed(TForm* f);
    void Activated(TForm* f);

private:
    std::vector<TForm*> forms_;
    FormClasses ownClasses_;
    FormClasses* classes_ = &ownClasses_;
    Pointer pointer_;
    Dialogs* dialogs_ = nullptr;
    std::unique_ptr<Dialogs> defaultDialogs_;
    GatedDialogs gated_;
    int width_ = 0, height_ = 0;
};

// The one screen of the program.
FormScreen& Screen();

// The modal window up now (the innermost): a form's name, or for the dialogs "MessageBox",
// "InputBox", "FileDialog", "FontDialog", "ColorDialog", "PrintDialog", "PageSetupDialog"
// (another dialog: its object name, else "Dialog"); empty when none is up.
std::string ModalWindowName();
// Closes the modal window of that name (a form as Close does, a dialog as its Esc key does);
// false when no modal window of that name is up.
bool CloseModalWindow(const std::string& name);

// The text dump of forms (the raw material of the English texts): per form a line of its name,
// a blank and its caption in double quotes; per component two blanks, the name, two blanks,
// the class name, a blank and its text (ComponentText) in double quotes.
std::vector<std::string> DumpForms(const std::vector<TForm*>& forms);

} // namespace qor::ui
