#include "ui/Forms.h"

#include "core/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QMenuBar>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace qor::ui {

namespace {

// The client area: paints through the form's OnPaint.
class ClientArea : public QWidget {
public:
    explicit ClientArea(TForm* f) : QWidget(f), form_(f) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (!form_->OnPaint) return;
        QPainter p(this);
        form_->OnPaint(p);
    }

private:
    TForm* form_;
};

} // namespace

// --- TForm --------------------------------------------------------------------------------------

TForm::TForm(std::string_view name, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    setAttribute(Qt::WA_DeleteOnClose, false);
    client_ = new ClientArea(this);
    client_->setObjectName("client");
    setCentralWidget(client_);
    if (qApp) qApp->installEventFilter(this);
    Screen().Added(this);
}

TForm::~TForm() {
    // freed while its modal loop runs (its owner went, say): the loop ends with the result so far
    if (modalLoop_) {
        if (modalOut_) *modalOut_ = modalResult_;
        modalLoop_->quit();
    }
    for (const auto& c : components_)
        QObject::disconnect(c.object, &QObject::destroyed, this, nullptr);
    components_.clear();
    if (qApp) qApp->removeEventFilter(this);
    Screen().Removed(this);
}

std::string TForm::Caption() const {
    return FromQLossy(windowTitle());
}
void TForm::SetCaption(const std::string& text) {
    setWindowTitle(ToQ(text));
}

const Component* TForm::FindComponent(std::string_view name) const {
    const QString q = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (const auto& c : components_)
        if (c.object && c.object->objectName() == q) return &c;
    return nullptr;
}

void TForm::Register(QObject* c, Kind kind, std::string_view name) {
    c->setObjectName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    components_.push_back({c, kind});
    // a component deleted by the window itself leaves the list
    QObject::connect(c, &QObject::destroyed, this, [this](QObject* gone) {
        std::erase_if(components_, [gone](const Component& x) { return x.object == gone; });
    });
}

TMenuItem* TForm::AddMenuItem(std::string_view name, const std::string& caption, QObject* under) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    Register(item, Kind::MenuItem, name);
    if (!under)
        menuBar()->addAction(item);
    else if (auto* parentItem = dynamic_cast<TMenuItem*>(under))
        parentItem->SubMenu()->addAction(item);
    else if (auto* menu = qobject_cast<QMenu*>(under))
        menu->addAction(item);
    return item;
}

void TForm::SetToolWindow(bool on) {
    tool_ = on;
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
}

void TForm::SetBorderStyle(BorderStyle b) {
    border_ = b;
    setWindowFlag(Qt::FramelessWindowHint, b == BorderStyle::None);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, b == BorderStyle::Dialog);
}

void TForm::SetWindowState(WindowState s) {
    switch (s) {
    case WindowState::Normal:
        setWindowState(Qt::WindowNoState);
        break;
    case WindowState::Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    case WindowState::Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    }
}

WindowState TForm::State() const {
    if (windowState() & Qt::WindowMinimized) return WindowState::Minimized;
    if (windowState() & Qt::WindowMaximized) return WindowState::Maximized;
    return WindowState::Normal;
}

void TForm::SetBounds(int left, int top, int w, int h) {
    move(left, top);
    resize(w, h);
}

void TForm::SetFormFont(const FontSpec& f) {
    setFont(ToQFont(f));
}
void TForm::SetColor(uint32_t bgr) {
    ui::SetColor(client_, bgr);
}

void TForm::Close() {
    if (closing_) return;
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(can);
    if (!can) return;
    CloseAction action = CloseAction::Hide;
    if (OnClose) OnClose(action);
    if (action == CloseAction::None) return;
    closing_ = true;
    if (storesSettings_ && Screen().StoreSettings) Screen().StoreSettings(*this);
    hide();
    closing_ = false;
    if (action == CloseAction::Free) {
        // a modal window is freed once its loop has ended, never under the running loop
        if (modalLoop_)
            freeAfterModal_ = true;
        else
            deleteLater();
    }
    if (modalLoop_) modalLoop_->quit();
}

int TForm::ShowModal() {
    modalResult_ = mrNone;
    if (!Screen().MayOpenModal(Name(), Caption())) return modalResult_ = mrCancel;
    if (modalLoop_) return mrCancel; // already waiting in its own loop
    freeAfterModal_ = false;
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    int result = mrNone;
    modalLoop_ = &loop;
    modalOut_ = &result;
    QPointer<TForm> self(this);
    if (isVisible()) loop.exec();
    if (!self) return result == mrNone ? mrCancel : result; // freed inside the loop
    modalLoop_ = nullptr;
    modalOut_ = nullptr;
    if (isVisible()) hide();
    setWindowModality(Qt::NonModal);
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    result = modalResult_;
    if (freeAfterModal_) {
        freeAfterModal_ = false;
        deleteLater();
    }
    return result;
}

void TForm::SetModalResult(int r) {
    modalResult_ = r;
    if (r == mrNone || !modalLoop_) return;
    Close();
    if (isVisible()) modalResult_ = mrNone; // the close was refused: the window stays, undecided
}

void TForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (e->spontaneous()) return;
    Screen().Activated(this);
    if (OnShow) OnShow();
}

void TForm::hideEvent(QHideEvent* e) {
    QMainWindow::hideEvent(e);
    if (e->spontaneous()) return; // minimized: the window stays as it is
    if (OnHide) OnHide();
    // A hidden window keeps its picture buffer (as large as the window) until it is shown
    // again; with dozens of windows opened in a session that is most of the program's memory.
    // Once the hiding is over, a window still hidden lets its window-system side go; showing
    // it makes that again, where it was.
    if (isWindow())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!isVisible() && isWindow() && !modalLoop_ &&
                    testAttribute(Qt::WA_WState_Created))
                    destroy(true, true);
            },
            Qt::QueuedConnection);
}

void TForm::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (OnResize) OnResize();
}

void TForm::closeEvent(QCloseEvent* e) {
    // the window manager's close button: the same path as Close()
    e->ignore();
    Close();
}

void TForm::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && OnStateChange) OnStateChange();
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
        Screen().Activated(this);
        if (OnActivate) OnActivate();
    }
}

bool TForm::HandleKey(QKeyEvent* e, bool preview) {
    const int code = VirtualKeyOf(*e);
    if (preview && keyPreview_) {
        if (OnKeyDown && code) {
            int key = code;
            OnKeyDown(key, ShiftOf(e->modifiers()));
            if (key == 0) return true;
        }
        if (OnKeyPress && e->text().size() == 1) {
            const int b = UnicodeToCp1251(e->text().at(0).unicode());
            if (b > 0) {
                char ch = static_cast<char>(b);
                OnKeyPress(ch);
                if (ch == 0) return true;
            }
        }
    }
    if (code == vk::Escape && tool_ && e->modifiers() == Qt::NoModifier) {
        Close();
        return true;
    }
    if (code == vk::F1 && !helpTopic_.empty()) {
        if (Screen().ShowHelp) Screen().ShowHelp(*this, helpTopic_);
        return true;
    }
    return false;
}

void TForm::keyPressEvent(QKeyEvent* e) {
    if (!keyPreview_ && OnKeyDown) {
        int key = VirtualKeyOf(*e);
        if (key) OnKeyDown(key, ShiftOf(e->modifiers()));
        if (key == 0) return e->accept();
    }
    if (HandleKey(e, false)) return e->accept();
    QMainWindow::keyPressEvent(e);
}

bool TForm::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseMove) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    if (type == QEvent::MouseMove) {
        // the user's pointer is the program's pointer
        Screen().Cursor().Follow(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
        return false;
    }
    if (watched == this) return false;
    // keys of this window's controls: the preview handlers, Esc and F1 come first. A key a
    // control ignores travels on to its parents; it is handled once, at the first.
    const bool travelling =
        e == lastKey_ && lastKeyReceiver_ && lastKeyReceiver_->parentWidget() == w;
    lastKey_ = e;
    lastKeyReceiver_ = w;
    if (travelling) return false;
    return HandleKey(static_cast<QKeyEvent*>(e), true);
}

// --- Pointer ------------------------------------------------------------------------------------

void Pointer::SetPos(QPoint p) {
    pos_ = p;
    if (MoveReal) QCursor::setPos(p);
}

std::vector<QPoint> GlidePoints(QPoint from, QPoint to) {
    std::vector<QPoint> pts;
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = std::abs(to.y() - y);
    const int sx = to.x() >= x ? 1 : -1, sy = to.y() >= y ? 1 : -1;
    pts.emplace_back(x, y);
    if (dx <= dy) {
        int err = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            y += sy;
            if (err < 0) {
                err += 2 * dx;
            } else {
                err += 2 * dx - 2 * dy;
                x += sx;
            }
            pts.emplace_back(x, y);
        }
    } else {
        int err = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            x += sx;
            if (err < 0) {
                err += 2 * dy;
            } else {
                err += 2 * dy - 2 * dx;
                y += sy;
            }
            pts.emplace_back(x, y);
        }
    }
    return pts;
}

void Pointer::Glide(QPoint from, QPoint to) {
    for (const QPoint& p : GlidePoints(from, to)) {
        SetPos(p);
        ++Steps;
        if (OnStep) OnStep(pos_);
        if (MoveReal) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::usleep(500);
        }
    }
}

QPoint Pointer::CentreOf(const QWidget* w) {
    return w->mapToGlobal(QPoint(0, 0)) + QPoint(w->width() / 2, w->height() / 2);
}

void Pointer::GlideToControl(const QWidget* w) {
    GlideTo(CentreOf(w));
}

// --- FormScreen ---------------------------------------------------------------------------------

FormScreen::FormScreen()
    : defaultDialogs_(std::make_unique<QtDialogs>()),
      gated_([this]() -> Dialogs& { return dialogs_ ? *dialogs_ : *defaultDialogs_; },
             [this](const std::string& what, const std::string& text) {
                 return MayOpenModal(what, text);
             }) {}
FormScreen::~FormScreen() = default;

TForm* FormScreen::FindForm(std::string_view name) const {
    const QString q = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (TForm* f : forms_)
        if (f->objectName() == q) return f;
    return nullptr;
}

int FormScreen::Width() const {
    if (width_ > 0) return width_;
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int FormScreen::Height() const {
    if (height_ > 0) return height_;
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

QRect FormScreen::WorkArea() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (width_ > 0 || !s) return QRect(0, 0, Width(), Height());
    return s->availableGeometry();
}

namespace {
template <class T> T* Captioned(T* c, const std::string& caption) {
    c->SetCaption(caption);
    return c;
}
} // namespace

TCheckBox* TForm::AddCheck(std::string_view name, const std::string& caption, QRect bounds,
                           QWidget* parent, bool on) {
    auto* c = Captioned(Add<TCheckBox>(name, bounds, parent), caption);
    c->SetChecked(on);
    return c;
}

TRadioButton* TForm::AddRadio(std::string_view name, const std::string& caption, QRect bounds,
                              QWidget* parent, bool on) {
    auto* b = Captioned(Add<TRadioButton>(name, bounds, parent), caption);
    if (on) b->SetChecked(true);
    return b;
}

TGroupBox* TForm::AddGroup(std::string_view name, const std::string& caption, QRect bounds,
                           QWidget* parent) {
    return Captioned(Add<TGroupBox>(name, bounds, parent), caption);
}

TLabel* TForm::AddLabel(std::string_view name, const std::string& caption, QRect bounds,
                        QWidget* parent) {
    return Captioned(Add<TLabel>(name, bounds, parent), caption);
}

TEdit* TForm::AddEdit(std::string_view name, const std::string& text, QRect bounds,
                      QWidget* parent) {
    auto* e = Add<TEdit>(name, bounds, parent);
    e->SetText(text);
    return e;
}

TButton* TForm::AddButton(std::string_view name, const std::string& caption, QRect bounds,
                          QWidget* parent) {
    return Captioned(Add<TButton>(name, bounds, parent), caption);
}

TForm* FormClasses::Make(std::string_view name) const {
    const auto it = classes_.find(name);
    return it == classes_.end() || !it->second ? nullptr : it->second();
}

std::vector<std::string> FormClasses::Names() const {
    std::vector<std::string> out;
    for (const auto& [name, make] : classes_) out.push_back(name);
    return out;
}

void FormScreen::RegisterFormClass(const std::string& name, std::function<TForm*()> make) {
    classes_->Register(name, std::move(make));
}

bool FormScreen::HasFormClass(std::string_view name) const {
    return classes_->Has(name);
}

std::vector<std::string> FormScreen::FormClassNames() const {
    return classes_->Names();
}

TForm* FormScreen::CreateForm(std::string_view name) {
    TForm* f = classes_->Make(name);
    if (f && ApplySettings) ApplySettings(*f);
    return f;
}

TForm* FormScreen::Ensure(std::string_view name) {
    if (TForm* f = FindForm(name)) return f;
    return CreateForm(name);
}

void FormScreen::Added(TForm* f) {
    forms_.insert(forms_.begin(), f);
}

void FormScreen::Removed(TForm* f) {
    std::erase(forms_, f);
}

void FormScreen::Activated(TForm* f) {
    const auto it = std::find(forms_.begin(), forms_.end(), f);
    if (it == forms_.end() || it == forms_.begin()) return;
    forms_.erase(it);
    forms_.insert(forms_.begin(), f);
}

FormScreen& Screen() {
    static FormScreen screen;
    return screen;
}

namespace {

std::string ModalNameOf(const QWidget* w) {
    if (const auto* f = dynamic_cast<const TForm*>(w)) return f->Name();
    static const std::pair<const char*, const char*> kDialogs[] = {
        {"QMessageBox", "MessageBox"},   {"QInputDialog", "InputBox"},
        {"QFileDialog", "FileDialog"},   {"QFontDialog", "FontDialog"},
        {"QColorDialog", "ColorDialog"}, {"QAbstractPrintDialog", "PrintDialog"},
        {"QPageSetupDialog", "PageSetupDialog"}};
    for (const auto& [cls, name] : kDialogs)
        if (w->inherits(cls)) return name;
    const std::string own = w->objectName().toStdString();
    return own.empty() ? "Dialog" : own;
}

} // namespace

std::string ModalWindowName() {
    const QWidget* w = QApplication::activeModalWidget();
    return w ? ModalNameOf(w) : std::string();
}

bool CloseModalWindow(const std::string& name) {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || name.empty() || ModalNameOf(w) != name) return false;
    if (auto* f = dynamic_cast<TForm*>(w))
        f->Close();
    else if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
    else
        w->close();
    return true;
}

std::vector<std::string> DumpForms(const std::vector<TForm*>& forms) {
    std::vector<std::string> out;
    for (const TForm* f : forms) {
        out.push_back(f->Name() + " \"" + f->Caption() + "\"");
        for (const auto& c : f->Components())
            out.push_back("  " + c.Name() + "  " + KindClassName(c.kind) + " \"" +
                          ComponentText(c) + "\"");
    }
    return out;
}

} // namespace qor::ui
