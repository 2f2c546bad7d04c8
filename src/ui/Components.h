// The controls of the forms layer: one class per component kind, each a Qt widget (or object)
// whose objectName is the component's name, with the properties and handlers the windows use.
//
// Handlers are std::function members named after the event (OnClick, OnChange, OnKeyDown ...);
// an empty one is not called. Which changes made in code run a handler:
//   - TEdit::SetText, TMemo::SetText/SetLines       run OnChange (when the text changes)
//   - TCheckBox / TRadioButton ::SetChecked          run OnClick (a radio button only when it
//                                                    becomes checked)
//   - TRadioGroup::SetItemIndex                      runs OnClick (when the index changes)
//   - TTrackBar::SetPosition, TSpinEdit::SetValue    run OnChange (when the value changes)
//   - TComboBox::SetText / SetItemIndex, TTabControl::SetTabIndex, TDrawGrid::SetRow
//                                                    run nothing
// User input runs the same handlers. Click() runs a button's or menu item's OnClick.
//
// All texts are code page 1251 (std::string); QString appears only inside this layer.
#pragma once

#include "ui/Dialogs.h"
#include "ui/Keys.h"
#include "ui/QtText.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QButtonGroup;

namespace qor::ui {

// The kinds of component the windows are made of, in the order in which the command paths
// test them.
enum class Kind {
    Label,
    Edit,
    Memo,     // rich edits included
    DrawGrid, // string grids included
    ComboBox,
    SpeedButton,
    Button, // bitmap buttons included
    RadioButton,
    RadioGroup,
    TrackBar,
    SpinEdit,
    CheckBox,
    TabControl,
    PaintBox,
    MenuItem,
    GroupBox,
    Panel,
    Timer,
    MediaPlayer,
    PopupMenu,
    FileDialog,
    ScrollBar,
    Other,
};

// The class name of a kind as the diagnostic dump shows it ("TLabel").
const char* KindClassName(Kind k);

// Properties every component has, whatever its kind.
int TagOf(const QObject* c);
void SetTag(QObject* c, int tag);
std::string HintOf(const QObject* c);
void SetHint(QObject* c, const std::string& hint);
bool IsVisible(const QObject* c); // a widget's own visibility flag (not its window's)
void SetVisible(QObject* c, bool on);
bool IsEnabled(const QObject* c);
void SetEnabled(QObject* c, bool on);
void SetBounds(QWidget* w, int left, int top, int width, int height);
// Colours are $00BBGGRR.
QColor ToQColor(uint32_t bgr);
uint32_t FromQColor(const QColor& c);
void SetColor(QWidget* w, uint32_t bgr);         // background
// Contrast of two colours ($00BBGGRR) as the web's accessibility guidelines measure it:
// (L1 + 0.05) / (L2 + 0.05) of their relative luminances, 1 to 21.
double ContrastRatio(uint32_t a, uint32_t b);
// The colour itself when its contrast against the background reaches the ratio, else the
// colour mixed toward black (on a light background) or white (on a dark one) just enough.
uint32_t ReadableOn(uint32_t colour, uint32_t background, double ratio = 4.5);
void SetFontColor(QWidget* w, uint32_t bgr);     // text
void SetFontSpec(QWidget* w, const FontSpec& f); // font and text colour

// The width and height in pixels of a text of the program in a widget's font.
QSize TextExtent(const QWidget* w, std::string_view text);

// A text of the program from a widget: a character the code page cannot hold becomes "?".
std::string FromQLossy(const QString& s);

// Mouse and key handlers shared by several kinds.
struct MouseHandlers {
    std::function<void(MouseButton, Shift, int x, int y)> OnMouseDown;
    std::function<void(MouseButton, Shift, int x, int y)> OnMouseUp;
    std::function<void(Shift, int x, int y)> OnMouseMove;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
};

struct KeyHandlers {
    // `key` is a virtual-key code; setting it to 0 swallows the key.
    std::function<void(int& key, Shift)> OnKeyDown;
    std::function<void(int& key, Shift)> OnKeyUp;
    // `ch` is the typed character in code page 1251; setting it to 0 swallows it.
    std::function<void(char& ch)> OnKeyPress;
};

MouseButton ButtonOf(Qt::MouseButton b);

template <class W> class WithMouse : public W, public MouseHandlers {
public:
    using W::W;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (OnMouseDown) {
            const QPoint p = e->position().toPoint();
            OnMouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
        }
        W::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (OnMouseMove) {
            const QPoint p = e->position().toPoint();
            OnMouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
        }
        W::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        if (OnMouseUp)
            OnMouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
        if (OnClick && e->button() == Qt::LeftButton && this->rect().contains(p)) OnClick();
        W::mouseReleaseEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (OnDblClick) OnDblClick();
        W::mouseDoubleClickEvent(e);
    }
};

// Runs the key handlers of a component; true when the key was swallowed.
bool RunKeyDown(const KeyHandlers& h, QKeyEvent* e);
bool RunKeyPress(const KeyHandlers& h, QKeyEvent* e, QKeyEvent*& replaced);

template <class W> class WithKeys : public W, public KeyHandlers {
public:
    using W::W;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (RunKeyDown(*this, e)) return e->accept();
        QKeyEvent* replaced = nullptr;
        if (RunKeyPress(*this, e, replaced)) return e->accept();
        if (replaced) {
            W::keyPressEvent(replaced);
            delete replaced;
            return;
        }
        W::keyPressEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (OnKeyUp) {
            int key = VirtualKeyOf(*e);
            OnKeyUp(key, ShiftOf(e->modifiers()));
        }
        W::keyReleaseEvent(e);
    }
};

// --- The kinds --------------------------------------------------------------------------------

class TLabel : public WithMouse<QLabel> {
public:
    static constexpr Kind kKind = Kind::Label;
    explicit TLabel(QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    // The label takes the size of its text whenever the caption changes.
    bool AutoSize = true;
};

class TEdit : public WithKeys<QLineEdit> {
public:
    static constexpr Kind kKind = Kind::Edit;
    explicit TEdit(QWidget* parent = nullptr);
    std::string Text() const;
    void SetText(const std::string& text);
    std::function<void()> OnChange, OnEnter, OnExit, OnClick, OnDblClick;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// What every memo (plain or rich, Kind::Memo) gives the command paths, the state files and the
// English texts: its text as lines.
class MemoAccess {
public:
    virtual ~MemoAccess() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::vector<std::string> Lines() const = 0;
    virtual void SetLines(const std::vector<std::string>& lines) = 0;
};

// The lines of a memo's text: CR LF, LF or CR end a line; a last empty line is none.
std::vector<std::string> MemoTextLines(const std::string& text);

class TMemo : public WithKeys<QPlainTextEdit>, public MemoAccess {
public:
    static constexpr Kind kKind = Kind::Memo;
    explicit TMemo(QWidget* parent = nullptr);
    std::string Text() const override; // each line followed by CR LF
    void SetText(const std::string& text) override;
    std::vector<std::string> Lines() const override;
    void SetLines(const std::vector<std::string>& lines) override;
    void AddLine(const std::string& line);
    void Clear() { SetLines({}); }
    std::function<void()> OnChange;

private:
    bool quiet_ = false;
};

// A grid of cells drawn by the window (OnDrawCell) or showing texts (Cells). Rows and columns
// count from 0 and include the fixed ones, which are drawn in the button colour. The grid holds
// no item per cell: only the texts set by SetCell are kept, so a grid of many rows drawn by its
// window (an atlas of 700,000 cities) costs nothing per row.
class GridModel;
class TDrawGrid : public WithKeys<QTableView>, public MouseHandlers {
public:
    static constexpr Kind kKind = Kind::DrawGrid;
    explicit TDrawGrid(QWidget* parent = nullptr);
    int ColCount() const;
    void SetColCount(int n);
    int RowCount() const;
    void SetRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    void SetFixed(int cols, int rows);
    int ColWidth(int c) const { return columnWidth(c); }
    void SetColWidth(int c, int w) { setColumnWidth(c, w); }
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int h);
    int Row() const;
    void SetRow(int r);
    int Col() const;
    void SetCol(int c);
    // The first row shown at the top (scrolling).
    int TopRow() const;
    void SetTopRow(int r);
    // The cell under a point of the grid's area: row and column, -1 where none.
    std::pair<int, int> CellAt(int x, int y) const;
    std::string Cell(int col, int row) const;
    void SetCell(int col, int row, const std::string& text);
    void Invalidate() { viewport()->update(); }
    // The user may drag a column's right border in the fixed rows to change its width (the
    // horizontal header's sectionResized tells of every change of a width).
    void SetColSizing(bool on) {
        colSizing_ = on;
        viewport()->setMouseTracking(on);
    }

    // Whole rows are selected: the block from the anchor row to the current row (Shift with a
    // click or an arrow key, or a drag with the left button, extends it) is drawn selected.
    void SetRowSelect(bool on);
    bool RowSelect() const { return rowSelect_; }
    // The selected block of rows, top and bottom; the current row alone when no block is.
    std::pair<int, int> Selection() const;
    // Selects rows top..bottom (in either order); the current row becomes `bottom`.
    void SetSelection(int top, int bottom);
    // Rows may be dragged by a fixed column to another row; OnRowMoved(from, to) follows the
    // drop (the window moves its data).
    void SetRowMoving(bool on) { rowMoving_ = on; }
    std::function<void(int from, int to)> OnRowMoved;

    // state bits of a drawn cell
    enum CellState { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
    std::function<void(QPainter&, int col, int row, const QRect&, int state)> OnDrawCell;
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    friend class GridDelegate;
    void SetCurrent(int r, int c);
    // The column whose right border lies under x in a fixed row, or -1.
    int SizingColumnAt(int x, int y) const;
    GridModel* model_;
    int fixedCols_ = 1, fixedRows_ = 1, rowHeight_ = 24;
    bool colSizing_ = false;
    int sizingCol_ = -1, sizingStartX_ = 0, sizingStartWidth_ = 0;
    int lastRow_ = -1, lastCol_ = -1;
    bool rowSelect_ = false, extending_ = false;
    int anchorRow_ = -1;
    bool rowMoving_ = false;
    int movingFrom_ = -1;   // the row dragged by the fixed column, -1 when none
    bool dragSelect_ = false; // the left button went down on a cell of the block's rows
};

class TComboBox : public WithKeys<QComboBox> {
public:
    static constexpr Kind kKind = Kind::ComboBox;
    explicit TComboBox(QWidget* parent = nullptr);
    std::string Text() const;
    void SetText(const std::string& text); // does not select an item
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items); // keeps the text
    void SetItem(int i, const std::string& text);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int i); // the text follows the item
    int IndexOf(const std::string& text) const;
    // Typing into the field; when off, every key is swallowed and only the list chooses.
    void SetTypingAllowed(bool on);
    std::function<void()> OnChange;

private:
    bool quiet_ = false;
};

// A tool button's picture: one symbol drawn in the window font, so every command button is
// visible and recognisable (the hint names the command).
QIcon SymbolIcon(char32_t code, int pixelSize = 18, const QColor& colour = QColor(40, 40, 90));

class TSpeedButton : public QToolButton {
public:
    static constexpr Kind kKind = Kind::SpeedButton;
    explicit TSpeedButton(QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    // Buttons of one group index > 0 stay down one at a time.
    void SetGroupIndex(int g);
    int GroupIndex() const { return group_; }
    bool Down() const { return isChecked(); }
    void SetDown(bool on);
    void Click();
    // The button's picture, a symbol drawn dark on a light background and light on a dark one
    // (drawn again whenever the background the button stands on changes).
    void SetSymbol(char32_t code);
    // The colour the symbol is drawn in now.
    QColor SymbolColour() const;
    std::function<void()> OnClick;

protected:
    void changeEvent(QEvent* e) override;

private:
    void PaintSymbol();
    int group_ = 0;
    char32_t symbol_ = 0;
};

class TButton : public QPushButton {
public:
    static constexpr Kind kKind = Kind::Button;
    explicit TButton(QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    // Runs OnClick, then hands a non-zero ModalResult to the window (which closes it when
    // it is shown modally).
    void Click();
    std::function<void()> OnClick;
    int ModalResult = 0;
};

class TRadioButton : public QRadioButton {
public:
    static constexpr Kind kKind = Kind::RadioButton;
    explicit TRadioButton(QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool on);
    void Click();
    std::function<void()> OnClick;

private:
    bool quiet_ = false;
};

class TRadioGroup : public QGroupBox {
public:
    static constexpr Kind kKind = Kind::RadioGroup;
    explicit TRadioGroup(QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items); // keeps the index where it can
    void SetItem(int i, const std::string& text);
    int ItemCount() const { return static_cast<int>(buttons_.size()); }
    int ItemIndex() const { return index_; }
    void SetItemIndex(int i); // -1: none
    void SetColumns(int n);
    std::function<void()> OnClick;

private:
    void Relayout();
    std::vector<QRadioButton*> buttons_;
    QButtonGroup* group_;
    int index_ = -1;
    int columns_ = 1;
};

class TTrackBar : public QSlider {
public:
    static constexpr Kind kKind = Kind::TrackBar;
    explicit TTrackBar(QWidget* parent = nullptr);
    int Position() const { return value(); }
    void SetPosition(int p); // clamped to Min..Max
    void SetRange(int min, int max);
    std::function<void()> OnChange;

private:
    bool quiet_ = false;
};

// A scroll bar (vertical unless told otherwise) whose position the window reads.
class TScrollBar : public QScrollBar {
public:
    static constexpr Kind kKind = Kind::ScrollBar;
    explicit TScrollBar(QWidget* parent = nullptr);
    int Position() const { return value(); }
    void SetPosition(int p); // clamped to Min..Max; runs OnChange when it moves
    void SetRange(int min, int max);
    // The user moved it (or SetPosition did).
    std::function<void()> OnChange;

private:
    bool quiet_ = false;
};

class TSpinEdit : public WithKeys<QSpinBox> {
public:
    static constexpr Kind kKind = Kind::SpinEdit;
    explicit TSpinEdit(QWidget* parent = nullptr);
    int Value() const { return value(); }
    void SetValue(int v);
    void SetRange(int min, int max);
    std::function<void()> OnChange;

private:
    bool quiet_ = false;
};

class TCheckBox : public QCheckBox {
public:
    static constexpr Kind kKind = Kind::CheckBox;
    explicit TCheckBox(QWidget* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool on);
    std::function<void()> OnClick;

private:
    bool quiet_ = false;
};

// A row of tabs over one client area; the window's controls placed on it change with the tab.
class TTabControl : public QWidget {
public:
    static constexpr Kind kKind = Kind::TabControl;
    explicit TTabControl(QWidget* parent = nullptr);
    std::vector<std::string> Tabs() const;
    void SetTabs(const std::vector<std::string>& tabs);
    void SetTab(int i, const std::string& text);
    void AddTab(const std::string& text);
    int TabCount() const { return bar_->count(); }
    int TabIndex() const { return bar_->currentIndex(); }
    void SetTabIndex(int i);
    QTabBar* Bar() const { return bar_; }
    std::function<void()> OnChange;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QTabBar* bar_;
    bool quiet_ = false;
};

class TPaintBox : public WithMouse<QWidget> {
public:
    static constexpr Kind kKind = Kind::PaintBox;
    explicit TPaintBox(QWidget* parent = nullptr);
    std::function<void(QPainter&)> OnPaint;
    void Invalidate() { update(); }

protected:
    void paintEvent(QPaintEvent* e) override;
};

class TMenuItem : public QAction {
public:
    static constexpr Kind kKind = Kind::MenuItem;
    explicit TMenuItem(QObject* parent = nullptr);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool on);
    // Items below this one: the submenu, made on first use.
    QMenu* SubMenu();
    void Click();
    std::function<void()> OnClick;
};

class TPopupMenu : public QMenu {
public:
    static constexpr Kind kKind = Kind::PopupMenu;
    explicit TPopupMenu(QWidget* parent = nullptr) : QMenu(parent) {}
    // Shows the menu at a screen point.
    void Popup(int x, int y) { popup(QPoint(x, y)); }
};

class TGroupBox : public QGroupBox {
public:
    static constexpr Kind kKind = Kind::GroupBox;
    explicit TGroupBox(QWidget* parent = nullptr) : QGroupBox(parent) {}
    std::string Caption() const;
    void SetCaption(const std::string& text);
};

class TPanel : public WithMouse<QFrame> {
public:
    static constexpr Kind kKind = Kind::Panel;
    explicit TPanel(QWidget* parent = nullptr);
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& text);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::string caption_;
};

// A repeating timer; disabled until enabled.
class TTimer : public QTimer {
public:
    static constexpr Kind kKind = Kind::Timer;
    explicit TTimer(QObject* parent = nullptr);
    bool Enabled() const { return isActive(); }
    void SetEnabled(bool on);
    int Interval() const { return interval(); }
    void SetInterval(int ms); // restarts a running timer
    std::function<void()> OnTimer;
};

// Plays wave files through the screen's sound output.
class TMediaPlayer : public QObject {
public:
    static constexpr Kind kKind = Kind::MediaPlayer;
    explicit TMediaPlayer(QObject* parent = nullptr) : QObject(parent) {}
    std::string FileName;
    // False when the file does not exist.
    bool Play();
};

// An open or save dialog kept as a component: its caption, filter and file name travel with
// the window; Execute asks through the screen's dialogs.
class TFileDialog : public QObject {
public:
    static constexpr Kind kKind = Kind::FileDialog;
    explicit TFileDialog(QObject* parent = nullptr) : QObject(parent) {}
    bool Save = false;  // a save dialog, else an open dialog
    std::string Title;  // code page 1251
    std::string Filter; // "Description|pattern|..." pairs
    std::filesystem::path FileName;
    // True when the user chose a file (then in FileName).
    bool Execute();
};

// --- Generic access by kind (the command paths, the state files and the English texts) -----

struct Component {
    QObject* object = nullptr;
    Kind kind = Kind::Other;
    std::string Name() const;
    template <class T> T* as() const { return static_cast<T*>(object); }
    QWidget* widget() const { return qobject_cast<QWidget*>(object); }
};

// The memo of a component of Kind::Memo (plain or rich), else nullptr.
MemoAccess* MemoOf(const Component& c);

// The text a component shows: the caption of labels, buttons, check boxes, group boxes, radio
// groups, panels and menu items, the text of edits, memos and combo boxes; else empty.
std::string ComponentText(const Component& c);
// The items of a list kind (combo box, radio group, tab control), else none.
std::vector<std::string> ComponentItems(const Component& c);

} // namespace qor::ui
