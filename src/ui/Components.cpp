#include "ui/Components.h"

#include "ui/Forms.h"

#include "core/Text.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTextBlock>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <unordered_map>

namespace qor::ui {

namespace {
const char* const kTagProperty = "qorTag";
}

const char* KindClassName(Kind k) {
    switch (k) {
    case Kind::Label:
        return "TLabel";
    case Kind::Edit:
        return "TEdit";
    case Kind::Memo:
        return "TMemo";
    case Kind::DrawGrid:
        return "TDrawGrid";
    case Kind::ComboBox:
        return "TComboBox";
    case Kind::SpeedButton:
        return "TSpeedButton";
    case Kind::Button:
        return "TButton";
    case Kind::RadioButton:
        return "TRadioButton";
    case Kind::RadioGroup:
        return "TRadioGroup";
    case Kind::TrackBar:
        return "TTrackBar";
    case Kind::SpinEdit:
        return "TSpinEdit";
    case Kind::CheckBox:
        return "TCheckBox";
    case Kind::TabControl:
        return "TTabControl";
    case Kind::PaintBox:
        return "TPaintBox";
    case Kind::MenuItem:
        return "TMenuItem";
    case Kind::GroupBox:
        return "TGroupBox";
    case Kind::Panel:
        return "TPanel";
    case Kind::Timer:
        return "TTimer";
    case Kind::MediaPlayer:
        return "TMediaPlayer";
    case Kind::PopupMenu:
        return "TPopupMenu";
    case Kind::ScrollBar:
        return "TScrollBar";
    case Kind::FileDialog:
        return "TFileDialog";
    case Kind::Other:
        break;
    }
    return "TComponent";
}

int TagOf(const QObject* c) {
    return c ? c->property(kTagProperty).toInt() : 0;
}
void SetTag(QObject* c, int tag) {
    c->setProperty(kTagProperty, tag);
}

std::string HintOf(const QObject* c) {
    if (auto* w = qobject_cast<const QWidget*>(c)) return FromQLossy(w->toolTip());
    if (auto* a = qobject_cast<const QAction*>(c)) return FromQLossy(a->toolTip());
    return {};
}

void SetHint(QObject* c, const std::string& hint) {
    if (auto* w = qobject_cast<QWidget*>(c))
        w->setToolTip(ToQ(hint));
    else if (auto* a = qobject_cast<QAction*>(c))
        a->setToolTip(ToQ(hint));
}

bool IsVisible(const QObject* c) {
    if (auto* w = qobject_cast<const QWidget*>(c)) return !w->isHidden();
    if (auto* a = qobject_cast<const QAction*>(c)) return a->isVisible();
    return true;
}

void SetVisible(QObject* c, bool on) {
    if (auto* w = qobject_cast<QWidget*>(c))
        w->setVisible(on);
    else if (auto* a = qobject_cast<QAction*>(c))
        a->setVisible(on);
}

bool IsEnabled(const QObject* c) {
    if (auto* w = qobject_cast<const QWidget*>(c)) return w->isEnabled();
    if (auto* a = qobject_cast<const QAction*>(c)) return a->isEnabled();
    if (auto* t = dynamic_cast<const TTimer*>(c)) return t->Enabled();
    return true;
}

void SetEnabled(QObject* c, bool on) {
    if (auto* w = qobject_cast<QWidget*>(c))
        w->setEnabled(on);
    else if (auto* a = qobject_cast<QAction*>(c))
        a->setEnabled(on);
    else if (auto* t = dynamic_cast<TTimer*>(c))
        t->SetEnabled(on);
}

void SetBounds(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
}

QColor ToQColor(uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

uint32_t FromQColor(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}

void SetColor(QWidget* w, uint32_t bgr) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(bgr));
    p.setColor(QPalette::Base, ToQColor(bgr));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

namespace {

double RelativeLuminance(uint32_t c) {
    auto channel = [](uint32_t v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) +
           0.0722 * channel((c >> 16) & 0xFF);
}

uint32_t Mix(uint32_t c, uint32_t toward, double t) {
    uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const double a = (c >> shift) & 0xFF, b = (toward >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

} // namespace

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t ReadableOn(uint32_t colour, uint32_t background, double ratio) {
    if (ContrastRatio(colour, background) >= ratio) return colour;
    const uint32_t toward = RelativeLuminance(background) > 0.18 ? 0x000000u : 0xFFFFFFu;
    for (int step = 1; step <= 20; ++step) {
        const uint32_t mixed = Mix(colour, toward, step / 20.0);
        if (ContrastRatio(mixed, background) >= ratio) return mixed;
    }
    return toward;
}

void SetFontColor(QWidget* w, uint32_t bgr) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, ToQColor(bgr));
    p.setColor(QPalette::Text, ToQColor(bgr));
    p.setColor(QPalette::ButtonText, ToQColor(bgr));
    w->setPalette(p);
}

void SetFontSpec(QWidget* w, const FontSpec& f) {
    w->setFont(ToQFont(f));
    SetFontColor(w, f.color);
}

std::string FromQLossy(const QString& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(s.size()));
    for (const QChar ch : s) {
        const int b = UnicodeToCp1251(ch.unicode());
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

MouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return MouseButton::Right;
    if (b == Qt::MiddleButton) return MouseButton::Middle;
    return MouseButton::Left;
}

bool RunKeyDown(const KeyHandlers& h, QKeyEvent* e) {
    if (!h.OnKeyDown) return false;
    int key = VirtualKeyOf(*e);
    if (key == 0) return false;
    h.OnKeyDown(key, ShiftOf(e->modifiers()));
    return key == 0;
}

bool RunKeyPress(const KeyHandlers& h, QKeyEvent* e, QKeyEvent*& replaced) {
    replaced = nullptr;
    if (!h.OnKeyPress || e->text().size() != 1) return false;
    const int b = UnicodeToCp1251(e->text().at(0).unicode());
    if (b < 0) return false;
    char ch = static_cast<char>(b);
    h.OnKeyPress(ch);
    if (ch == 0) return true;
    if (ch != static_cast<char>(b))
        replaced = new QKeyEvent(e->type(), e->key(), e->modifiers(), ToQ(std::string(1, ch)));
    return false;
}

QSize TextExtent(const QWidget* w, std::string_view text) {
    const QFontMetrics m(w->font());
    return {m.horizontalAdvance(ToQ(std::string(text))), m.height()};
}

// --- TLabel -------------------------------------------------------------------------------------

TLabel::TLabel(QWidget* parent) : WithMouse<QLabel>(parent) {}
std::string TLabel::Caption() const {
    return FromQLossy(text());
}
void TLabel::SetCaption(const std::string& t) {
    setText(ToQ(t));
    if (AutoSize) adjustSize();
}

// --- TEdit --------------------------------------------------------------------------------------

TEdit::TEdit(QWidget* parent) : WithKeys<QLineEdit>(parent) {
    QObject::connect(this, &QLineEdit::textEdited, [this] {
        if (OnChange) OnChange();
    });
}
std::string TEdit::Text() const {
    return FromQLossy(text());
}
void TEdit::SetText(const std::string& t) {
    const QString q = ToQ(t);
    if (q == text()) return;
    setText(q);
    if (OnChange) OnChange();
}
void TEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (OnEnter) OnEnter();
}
void TEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (OnExit) OnExit();
}
void TEdit::mouseReleaseEvent(QMouseEvent* e) {
    QLineEdit::mouseReleaseEvent(e);
    if (OnClick && e->button() == Qt::LeftButton) OnClick();
}
void TEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    QLineEdit::mouseDoubleClickEvent(e);
    if (OnDblClick) OnDblClick();
}

// --- TMemo --------------------------------------------------------------------------------------

TMemo::TMemo(QWidget* parent) : WithKeys<QPlainTextEdit>(parent) {
    QObject::connect(this, &QPlainTextEdit::textChanged, [this] {
        if (!quiet_ && OnChange) OnChange();
    });
}
std::vector<std::string> TMemo::Lines() const {
    std::vector<std::string> out;
    const QTextDocument* d = document();
    if (d->isEmpty()) return out;
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) out.push_back(FromQLossy(b.text()));
    return out;
}
std::string TMemo::Text() const {
    std::string out;
    for (const auto& l : Lines()) out += l + "\r\n";
    return out;
}
void TMemo::SetLines(const std::vector<std::string>& lines) {
    if (lines == Lines()) return;
    QStringList q;
    for (const auto& l : lines) q << ToQ(l);
    quiet_ = true;
    setPlainText(q.join('\n'));
    quiet_ = false;
    if (OnChange) OnChange();
}
std::vector<std::string> MemoTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' || text[i] == '\r') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += text[i];
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}
void TMemo::SetText(const std::string& text) {
    SetLines(MemoTextLines(text));
}
void TMemo::AddLine(const std::string& line) {
    auto lines = Lines();
    lines.push_back(line);
    SetLines(lines);
}

// --- TDrawGrid ----------------------------------------------------------------------------------

class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(TDrawGrid* g) : QStyledItemDelegate(g), grid_(g) {}
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& ix) const override {
        const int col = ix.column(), row = ix.row();
        int state = 0;
        if (grid_->RowSelect()) {
            const auto [top, bottom] = grid_->Selection();
            if (row >= top && row <= bottom) state |= TDrawGrid::gdSelected;
        } else if (row == grid_->Row() && col == grid_->Col()) {
            state |= TDrawGrid::gdSelected;
        }
        if (grid_->hasFocus() && state) state |= TDrawGrid::gdFocused;
        const bool fixed = row < grid_->FixedRows() || col < grid_->FixedCols();
        if (fixed) state |= TDrawGrid::gdFixed;
        if (grid_->OnDrawCell) {
            p->save();
            p->setClipRect(opt.rect);
            grid_->OnDrawCell(*p, col, row, opt.rect, state);
            p->restore();
            return;
        }
        const QPalette& pal = grid_->palette();
        if (fixed)
            p->fillRect(opt.rect, pal.button());
        else if (state & TDrawGrid::gdSelected)
            p->fillRect(opt.rect, pal.highlight());
        else
            p->fillRect(opt.rect, pal.base());
        p->setPen(state & TDrawGrid::gdSelected && !fixed ? pal.highlightedText().color()
                                                          : pal.text().color());
        p->drawText(opt.rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                    ix.data().toString());
    }

private:
    TDrawGrid* grid_;
};

// The grid's rows and columns and the texts set into its cells; nothing per empty cell.
class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(QObject* parent) : QAbstractTableModel(parent) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : cols_;
    }
    QVariant data(const QModelIndex& ix, int role) const override {
        if (role != Qt::DisplayRole || !ix.isValid()) return {};
        const auto it = texts_.find(Key(ix.row(), ix.column()));
        return it == texts_.end() ? QVariant() : QVariant(it->second);
    }
    void SetRows(int n) {
        if (n == rows_) return;
        if (n > rows_) {
            beginInsertRows({}, rows_, n - 1);
            rows_ = n;
            endInsertRows();
        } else {
            beginRemoveRows({}, n, rows_ - 1);
            rows_ = n;
            Prune();
            endRemoveRows();
        }
    }
    void SetCols(int n) {
        if (n == cols_) return;
        if (n > cols_) {
            beginInsertColumns({}, cols_, n - 1);
            cols_ = n;
            endInsertColumns();
        } else {
            beginRemoveColumns({}, n, cols_ - 1);
            cols_ = n;
            Prune();
            endRemoveColumns();
        }
    }
    QString Text(int r, int c) const {
        const auto it = texts_.find(Key(r, c));
        return it == texts_.end() ? QString() : it->second;
    }
    void SetText(int r, int c, const QString& t) {
        if (t.isEmpty())
            texts_.erase(Key(r, c));
        else
            texts_[Key(r, c)] = t;
        const QModelIndex ix = index(r, c);
        emit dataChanged(ix, ix, {Qt::DisplayRole});
    }

private:
    static quint64 Key(int r, int c) {
        return (static_cast<quint64>(static_cast<quint32>(r)) << 32) | static_cast<quint32>(c);
    }
    void Prune() {
        for (auto it = texts_.begin(); it != texts_.end();) {
            const int r = static_cast<int>(it->first >> 32);
            const int c = static_cast<int>(it->first & 0xFFFFFFFFu);
            it = r >= rows_ || c >= cols_ ? texts_.erase(it) : std::next(it);
        }
    }
    int rows_ = 0, cols_ = 0;
    std::unordered_map<quint64, QString> texts_;
};

TDrawGrid::TDrawGrid(QWidget* parent) : WithKeys<QTableView>(parent), model_(new GridModel(this)) {
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    // Every row has the default height: the header keeps no size per row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new GridDelegate(this));
    model_->SetCols(5);
    model_->SetRows(5);
    SetDefaultRowHeight(rowHeight_);
    QObject::connect(selectionModel(), &QItemSelectionModel::currentChanged,
                     [this](const QModelIndex& now, const QModelIndex&) {
                         const int r = now.row(), c = now.column();
                         if (r < 0 || c < 0) return;
                         bool can = true;
                         if (OnSelectCell && (r != lastRow_ || c != lastCol_))
                             OnSelectCell(c, r, can);
                         if (!can && lastRow_ >= 0) {
                             const QSignalBlocker block(selectionModel());
                             setCurrentIndex(model_->index(lastRow_, lastCol_));
                         } else {
                             lastRow_ = r, lastCol_ = c;
                             if (!extending_) anchorRow_ = r;
                         }
                         viewport()->update();
                     });
    setCurrentIndex(model_->index(fixedRows_, fixedCols_));
}

int TDrawGrid::ColCount() const {
    return model_->columnCount();
}
int TDrawGrid::RowCount() const {
    return model_->rowCount();
}
void TDrawGrid::SetColCount(int n) {
    model_->SetCols(std::max(n, 0));
}
void TDrawGrid::SetRowCount(int n) {
    model_->SetRows(std::max(n, 0));
}
void TDrawGrid::SetFixed(int cols, int rows) {
    fixedCols_ = std::max(cols, 0);
    fixedRows_ = std::max(rows, 0);
    viewport()->update();
}
void TDrawGrid::SetDefaultRowHeight(int h) {
    rowHeight_ = std::max(h, 1);
    verticalHeader()->setDefaultSectionSize(rowHeight_);
}
int TDrawGrid::Row() const {
    return currentIndex().isValid() ? currentIndex().row() : lastRow_;
}
int TDrawGrid::Col() const {
    return currentIndex().isValid() ? currentIndex().column() : lastCol_;
}
void TDrawGrid::SetCurrent(int r, int c) {
    const QSignalBlocker block(selectionModel());
    setCurrentIndex(model_->index(r, c));
    lastRow_ = r;
    lastCol_ = c;
    if (!extending_) anchorRow_ = r;
    viewport()->update();
}
void TDrawGrid::SetRowSelect(bool on) {
    rowSelect_ = on;
    anchorRow_ = Row();
    viewport()->update();
}
std::pair<int, int> TDrawGrid::Selection() const {
    const int r = Row();
    const int a = rowSelect_ && anchorRow_ >= fixedRows_ && anchorRow_ < RowCount() ? anchorRow_ : r;
    return {std::min(a, r), std::max(a, r)};
}
void TDrawGrid::SetSelection(int top, int bottom) {
    if (top < 0 || bottom < 0 || top >= RowCount() || bottom >= RowCount()) return;
    SetCurrent(bottom, std::max(Col(), 0));
    anchorRow_ = top;
    viewport()->update();
}
void TDrawGrid::keyPressEvent(QKeyEvent* e) {
    extending_ = rowSelect_ && (e->modifiers() & Qt::ShiftModifier);
    WithKeys<QTableView>::keyPressEvent(e);
    extending_ = false;
    viewport()->update();
}
void TDrawGrid::SetRow(int r) {
    if (r < 0 || r >= RowCount()) return;
    SetCurrent(r, std::max(Col(), 0));
}
void TDrawGrid::SetCol(int c) {
    if (c < 0 || c >= ColCount()) return;
    SetCurrent(std::max(Row(), 0), c);
}
int TDrawGrid::TopRow() const {
    return std::max(rowAt(0), 0);
}
void TDrawGrid::SetTopRow(int r) {
    if (r < 0 || r >= RowCount()) return;
    scrollTo(model_->index(r, std::max(Col(), 0)), QAbstractItemView::PositionAtTop);
}
std::pair<int, int> TDrawGrid::CellAt(int x, int y) const {
    const QModelIndex i = indexAt(QPoint(x, y));
    return {i.isValid() ? i.row() : -1, i.isValid() ? i.column() : -1};
}
std::string TDrawGrid::Cell(int col, int row) const {
    return FromQLossy(model_->Text(row, col));
}
void TDrawGrid::SetCell(int col, int row, const std::string& text) {
    if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) return;
    model_->SetText(row, col, ToQ(text));
}
int TDrawGrid::SizingColumnAt(int x, int y) const {
    if (!colSizing_) return -1;
    const int row = rowAt(y);
    if (row < 0 || row >= fixedRows_) return -1;
    for (int c = 0; c < ColCount(); ++c) {
        if (isColumnHidden(c)) continue;
        const int right = columnViewportPosition(c) + columnWidth(c);
        if (std::abs(x - right) <= 3) return c;
    }
    return -1;
}
void TDrawGrid::mousePressEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        sizingCol_ = SizingColumnAt(at.x(), at.y());
        if (sizingCol_ >= 0) {
            sizingStartX_ = at.x();
            sizingStartWidth_ = columnWidth(sizingCol_);
            return;
        }
    }
    if (OnMouseDown) {
        const QPoint p = e->position().toPoint();
        OnMouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
    }
    const QModelIndex under = indexAt(at);
    if (rowMoving_ && e->button() == Qt::LeftButton && under.isValid() &&
        under.column() < fixedCols_ && under.row() >= fixedRows_) {
        // dragged by the fixed column: the row moves on release
        movingFrom_ = under.row();
        return;
    }
    dragSelect_ = rowSelect_ && e->button() == Qt::LeftButton && under.isValid();
    extending_ = rowSelect_ && (e->modifiers() & Qt::ShiftModifier);
    QTableView::mousePressEvent(e);
    extending_ = false;
}
void TDrawGrid::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (sizingCol_ >= 0) {
        setColumnWidth(sizingCol_, std::max(8, sizingStartWidth_ + at.x() - sizingStartX_));
        return;
    }
    if (colSizing_ && movingFrom_ < 0)
        viewport()->setCursor(SizingColumnAt(at.x(), at.y()) >= 0 ? Qt::SplitHCursor
                                                                  : Qt::ArrowCursor);
    if (dragSelect_ && (e->buttons() & Qt::LeftButton)) {
        const QModelIndex under = indexAt(at);
        if (under.isValid() && under.row() >= fixedRows_ && under.row() != Row()) {
            extending_ = true;
            SetCurrent(under.row(), std::max(Col(), 0));
            extending_ = false;
        }
    }
    if (OnMouseMove) {
        const QPoint p = e->position().toPoint();
        OnMouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
    }
    QTableView::mouseMoveEvent(e);
}
void TDrawGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (sizingCol_ >= 0) {
        sizingCol_ = -1;
        return;
    }
    const QPoint p = e->position().toPoint();
    dragSelect_ = false;
    if (movingFrom_ >= 0 && e->button() == Qt::LeftButton) {
        const int from = movingFrom_;
        movingFrom_ = -1;
        const int to = rowAt(p.y());
        if (to >= fixedRows_ && to != from && to < RowCount() && OnRowMoved) OnRowMoved(from, to);
    }
    if (OnMouseUp)
        OnMouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
    QTableView::mouseReleaseEvent(e);
    if (OnClick && e->button() == Qt::LeftButton) OnClick();
}
void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    QTableView::mouseDoubleClickEvent(e);
    if (OnDblClick) OnDblClick();
}

// --- TComboBox ----------------------------------------------------------------------------------

namespace {

// A press on the text of a box whose text cannot be typed opens its list, as the arrow does.
class PressOpensList : public QObject {
public:
    explicit PressOpensList(QComboBox* box) : QObject(box), box_(box) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonPress || !box_->lineEdit()->isReadOnly()) return false;
        if (static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) return false;
        box_->showPopup();
        return true;
    }

private:
    QComboBox* box_;
};

} // namespace

TComboBox::TComboBox(QWidget* parent) : WithKeys<QComboBox>(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->installEventFilter(new PressOpensList(this));
    QObject::connect(this, &QComboBox::activated, [this](int) {
        if (!quiet_ && OnChange) OnChange();
    });
    QObject::connect(lineEdit(), &QLineEdit::textEdited, [this] {
        if (!quiet_ && OnChange) OnChange();
    });
}
std::string TComboBox::Text() const {
    return FromQLossy(currentText());
}
void TComboBox::SetText(const std::string& t) {
    quiet_ = true;
    setEditText(ToQ(t));
    quiet_ = false;
}
std::vector<std::string> TComboBox::Items() const {
    std::vector<std::string> out;
    for (int i = 0; i < count(); ++i) out.push_back(FromQLossy(itemText(i)));
    return out;
}
void TComboBox::SetItems(const std::vector<std::string>& items) {
    const QString text = currentText();
    const QSignalBlocker block(this);
    quiet_ = true;
    clear();
    for (const auto& s : items) addItem(ToQ(s));
    setCurrentIndex(-1);
    setEditText(text);
    quiet_ = false;
}
void TComboBox::SetItem(int i, const std::string& t) {
    if (i < 0 || i >= count()) return;
    const QString text = currentText();
    quiet_ = true;
    setItemText(i, ToQ(t));
    setEditText(text);
    quiet_ = false;
}
void TComboBox::SetItemIndex(int i) {
    const QSignalBlocker block(this);
    quiet_ = true;
    setCurrentIndex(i >= 0 && i < count() ? i : -1);
    if (i < 0) setEditText(QString());
    quiet_ = false;
}
int TComboBox::IndexOf(const std::string& t) const {
    return findText(ToQ(t), Qt::MatchExactly);
}
void TComboBox::SetTypingAllowed(bool on) {
    lineEdit()->setReadOnly(!on);
}

// --- buttons ------------------------------------------------------------------------------------

QIcon SymbolIcon(char32_t code, int pixelSize, const QColor& colour) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f = QApplication::font();
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(pm.rect(), Qt::AlignCenter, QString::fromUcs4(&code, 1));
    return QIcon(pm);
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    QObject::connect(this, &QToolButton::clicked, [this] {
        if (group_ > 0) SetDown(true);
        if (OnClick) OnClick();
    });
}
void TSpeedButton::SetSymbol(char32_t code) {
    symbol_ = code;
    PaintSymbol();
}
QColor TSpeedButton::SymbolColour() const {
    // an auto-raised button shows the window's colour it stands on
    const QColor back = palette().color(QPalette::Window);
    // a margin above the 4.5 the text needs: the symbol's smoothed edges are lighter
    const uint32_t readable = ReadableOn(0x5A2828, FromQColor(back), 7.0);
    return ToQColor(readable);
}
void TSpeedButton::PaintSymbol() {
    if (symbol_ != 0) setIcon(SymbolIcon(symbol_, 18, SymbolColour()));
}
void TSpeedButton::changeEvent(QEvent* e) {
    QToolButton::changeEvent(e);
    if (e->type() == QEvent::PaletteChange) PaintSymbol();
}
std::string TSpeedButton::Caption() const {
    return FromQLossy(text());
}
void TSpeedButton::SetCaption(const std::string& t) {
    setText(ToQ(t));
}
void TSpeedButton::SetGroupIndex(int g) {
    group_ = g;
    setCheckable(g > 0);
}
void TSpeedButton::SetDown(bool on) {
    if (!isCheckable()) setCheckable(true);
    setChecked(on);
    if (on && group_ > 0 && parentWidget())
        for (auto* b : parentWidget()->findChildren<TSpeedButton*>(Qt::FindDirectChildrenOnly))
            if (b != this && b->group_ == group_) b->setChecked(false);
}
void TSpeedButton::Click() {
    if (group_ > 0) SetDown(true);
    if (OnClick) OnClick();
}

TButton::TButton(QWidget* parent) : QPushButton(parent) {
    QObject::connect(this, &QPushButton::clicked, [this] { Click(); });
}
std::string TButton::Caption() const {
    return FromQLossy(text());
}
void TButton::SetCaption(const std::string& t) {
    setText(ToQ(t));
}
void TButton::Click() {
    if (OnClick) OnClick();
    if (ModalResult != mrNone)
        if (auto* f = dynamic_cast<TForm*>(window())) f->SetModalResult(ModalResult);
}

TRadioButton::TRadioButton(QWidget* parent) : QRadioButton(parent) {
    QObject::connect(this, &QRadioButton::toggled, [this](bool on) {
        if (on && !quiet_ && OnClick) OnClick();
    });
}
std::string TRadioButton::Caption() const {
    return FromQLossy(text());
}
void TRadioButton::SetCaption(const std::string& t) {
    setText(ToQ(t));
}
void TRadioButton::SetChecked(bool on) {
    if (on == isChecked()) return;
    quiet_ = true;
    if (on) {
        setChecked(true);
    } else {
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(true);
    }
    quiet_ = false;
    if (on && OnClick) OnClick();
}
void TRadioButton::Click() {
    if (!isChecked())
        SetChecked(true);
    else if (OnClick)
        OnClick();
}

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
    // narrow margins: groups are sized for their items' captions, several to a row
    auto* grid = new QGridLayout;
    grid->setContentsMargins(6, 2, 4, 2);
    grid->setHorizontalSpacing(4);
    setLayout(grid);
    QObject::connect(group_, &QButtonGroup::idClicked, [this](int id) {
        if (id == index_) return;
        index_ = id;
        if (OnClick) OnClick();
    });
}
std::string TRadioGroup::Caption() const {
    return FromQLossy(title());
}
void TRadioGroup::SetCaption(const std::string& t) {
    setTitle(ToQ(t));
}
std::vector<std::string> TRadioGroup::Items() const {
    std::vector<std::string> out;
    for (auto* b : buttons_) out.push_back(FromQLossy(b->text()));
    return out;
}
void TRadioGroup::SetItems(const std::vector<std::string>& items) {
    for (auto* b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(ToQ(items[i]), this);
        group_->addButton(b, static_cast<int>(i));
        buttons_.push_back(b);
    }
    Relayout();
    const int keep = index_ < ItemCount() ? index_ : -1;
    index_ = -1;
    if (keep >= 0) {
        buttons_[static_cast<std::size_t>(keep)]->setChecked(true);
        index_ = keep;
    }
}
void TRadioGroup::SetItem(int i, const std::string& t) {
    if (i >= 0 && i < ItemCount()) buttons_[static_cast<std::size_t>(i)]->setText(ToQ(t));
}
void TRadioGroup::SetItemIndex(int i) {
    if (i < -1 || i >= ItemCount()) i = -1;
    if (i == index_) return;
    group_->setExclusive(false);
    for (auto* b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
    if (i >= 0) buttons_[static_cast<std::size_t>(i)]->setChecked(true);
    index_ = i;
    if (OnClick) OnClick();
}
void TRadioGroup::SetColumns(int n) {
    columns_ = std::max(n, 1);
    Relayout();
}
void TRadioGroup::Relayout() {
    auto* grid = static_cast<QGridLayout*>(layout());
    const int n = ItemCount();
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i)
        grid->addWidget(buttons_[static_cast<std::size_t>(i)], rows ? i % rows : 0,
                        rows ? i / rows : 0);
}

// --- value controls -----------------------------------------------------------------------------

namespace {
// The handler of a slider runs for the user's moves; a move made in code runs it once, after
// the move, and only when the position changed.
void ConnectSlider(QAbstractSlider* s, const bool& quiet, const std::function<void()>& onChange) {
    QObject::connect(s, &QAbstractSlider::valueChanged, [&quiet, &onChange] {
        if (!quiet && onChange) onChange();
    });
}
void MoveSlider(QAbstractSlider* s, int p, bool& quiet, const std::function<void()>& onChange) {
    p = std::clamp(p, s->minimum(), s->maximum());
    if (p == s->value()) return;
    quiet = true;
    s->setValue(p);
    quiet = false;
    if (onChange) onChange();
}
void SetSliderRange(QAbstractSlider* s, int lo, int hi, bool& quiet) {
    quiet = true;
    s->setRange(lo, hi);
    quiet = false;
}
} // namespace

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    ConnectSlider(this, quiet_, OnChange);
}
void TTrackBar::SetPosition(int p) {
    MoveSlider(this, p, quiet_, OnChange);
}
void TTrackBar::SetRange(int lo, int hi) {
    SetSliderRange(this, lo, hi, quiet_);
}

TScrollBar::TScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setRange(0, 0);
    ConnectSlider(this, quiet_, OnChange);
}
void TScrollBar::SetPosition(int p) {
    MoveSlider(this, p, quiet_, OnChange);
}
void TScrollBar::SetRange(int lo, int hi) {
    SetSliderRange(this, lo, hi, quiet_);
}

TSpinEdit::TSpinEdit(QWidget* parent) : WithKeys<QSpinBox>(parent) {
    setRange(INT_MIN, INT_MAX);
    QObject::connect(this, &QSpinBox::valueChanged, [this] {
        if (!quiet_ && OnChange) OnChange();
    });
}
void TSpinEdit::SetValue(int v) {
    v = std::clamp(v, minimum(), maximum());
    if (v == value()) return;
    quiet_ = true;
    setValue(v);
    quiet_ = false;
    if (OnChange) OnChange();
}
void TSpinEdit::SetRange(int lo, int hi) {
    quiet_ = true;
    if (lo == 0 && hi == 0)
        setRange(INT_MIN, INT_MAX); // no limits
    else
        setRange(lo, hi);
    quiet_ = false;
}

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent) {
    QObject::connect(this, &QCheckBox::toggled, [this] {
        if (!quiet_ && OnClick) OnClick();
    });
}
std::string TCheckBox::Caption() const {
    return FromQLossy(text());
}
void TCheckBox::SetCaption(const std::string& t) {
    setText(ToQ(t));
}
void TCheckBox::SetChecked(bool on) {
    if (on == isChecked()) return;
    quiet_ = true;
    setChecked(on);
    quiet_ = false;
    if (OnClick) OnClick();
}

TTabControl::TTabControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
    bar_->setDrawBase(true);
    bar_->setExpanding(false);
    QObject::connect(bar_, &QTabBar::currentChanged, [this] {
        if (!quiet_ && OnChange) OnChange();
    });
}
std::vector<std::string> TTabControl::Tabs() const {
    std::vector<std::string> out;
    for (int i = 0; i < bar_->count(); ++i) out.push_back(FromQLossy(bar_->tabText(i)));
    return out;
}
void TTabControl::SetTabs(const std::vector<std::string>& tabs) {
    quiet_ = true;
    const int keep = bar_->currentIndex();
    while (bar_->count()) bar_->removeTab(0);
    for (const auto& t : tabs) bar_->addTab(ToQ(t));
    if (keep >= 0 && keep < bar_->count()) bar_->setCurrentIndex(keep);
    quiet_ = false;
}
void TTabControl::SetTab(int i, const std::string& t) {
    if (i >= 0 && i < bar_->count()) bar_->setTabText(i, ToQ(t));
}
void TTabControl::AddTab(const std::string& t) {
    quiet_ = true;
    bar_->addTab(ToQ(t));
    quiet_ = false;
}
void TTabControl::SetTabIndex(int i) {
    if (i < 0 || i >= bar_->count()) return;
    quiet_ = true;
    bar_->setCurrentIndex(i);
    quiet_ = false;
}
void TTabControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
}

TPaintBox::TPaintBox(QWidget* parent) : WithMouse<QWidget>(parent) {
    setMouseTracking(true);
}
void TPaintBox::paintEvent(QPaintEvent*) {
    if (!OnPaint) return;
    QPainter p(this);
    OnPaint(p);
}

TMenuItem::TMenuItem(QObject* parent) : QAction(parent) {
    QObject::connect(this, &QAction::triggered, [this] {
        if (OnClick) OnClick();
    });
}
std::string TMenuItem::Caption() const {
    return FromQLossy(text());
}
void TMenuItem::SetCaption(const std::string& t) {
    setText(ToQ(t));
    setSeparator(t == "-");
}
void TMenuItem::SetChecked(bool on) {
    setCheckable(true);
    setChecked(on);
}
QMenu* TMenuItem::SubMenu() {
    if (!menu()) {
        auto* m = new QMenu();
        QObject::connect(this, &QObject::destroyed, m, &QObject::deleteLater);
        setMenu(m);
    }
    return menu();
}
void TMenuItem::Click() {
    if (OnClick) OnClick();
}

std::string TGroupBox::Caption() const {
    return FromQLossy(title());
}
void TGroupBox::SetCaption(const std::string& t) {
    setTitle(ToQ(t));
}

TPanel::TPanel(QWidget* parent) : WithMouse<QFrame>(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}
void TPanel::SetCaption(const std::string& t) {
    caption_ = t;
    update();
}
void TPanel::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    if (caption_.empty()) return;
    QPainter p(this);
    // the caption stays readable when the panel takes a dark window colour
    p.setPen(ToQColor(ReadableOn(FromQColor(palette().color(QPalette::WindowText)),
                                 FromQColor(palette().color(QPalette::Window)))));
    p.drawText(rect(), Qt::AlignCenter, ToQ(caption_));
}

TTimer::TTimer(QObject* parent) : QTimer(parent) {
    setInterval(1000);
    QObject::connect(this, &QTimer::timeout, [this] {
        if (OnTimer) OnTimer();
    });
}
void TTimer::SetEnabled(bool on) {
    if (on && !isActive()) start();
    if (!on) stop();
}
void TTimer::SetInterval(int ms) {
    const bool on = isActive();
    setInterval(ms);
    if (on) start();
}

bool TMediaPlayer::Play() {
    std::error_code ec;
    const std::filesystem::path p(FileName);
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    if (Screen().PlaySound) Screen().PlaySound(p);
    return true;
}

bool TFileDialog::Execute() {
    std::filesystem::path chosen = FileName;
    const bool ok = Save ? Screen().Dlg().SaveFile(Title, Filter, chosen)
                         : Screen().Dlg().OpenFile(Title, Filter, chosen);
    if (ok) FileName = chosen;
    return ok;
}

// --- generic access -----------------------------------------------------------------------------

std::string Component::Name() const {
    return object ? object->objectName().toStdString() : "";
}

MemoAccess* MemoOf(const Component& c) {
    return c.kind == Kind::Memo ? dynamic_cast<MemoAccess*>(c.object) : nullptr;
}

std::string ComponentText(const Component& c) {
    switch (c.kind) {
    case Kind::Label:
        return c.as<TLabel>()->Caption();
    case Kind::Edit:
        return c.as<TEdit>()->Text();
    case Kind::Memo:
        return MemoOf(c) ? MemoOf(c)->Text() : std::string();
    case Kind::ComboBox:
        return c.as<TComboBox>()->Text();
    case Kind::SpeedButton:
        return c.as<TSpeedButton>()->Caption();
    case Kind::Button:
        return c.as<TButton>()->Caption();
    case Kind::RadioButton:
        return c.as<TRadioButton>()->Caption();
    case Kind::RadioGroup:
        return c.as<TRadioGroup>()->Caption();
    case Kind::CheckBox:
        return c.as<TCheckBox>()->Caption();
    case Kind::MenuItem:
        return c.as<TMenuItem>()->Caption();
    case Kind::GroupBox:
        return c.as<TGroupBox>()->Caption();
    case Kind::Panel:
        return c.as<TPanel>()->Caption();
    default:
        return {};
    }
}

std::vector<std::string> ComponentItems(const Component& c) {
    switch (c.kind) {
    case Kind::ComboBox:
        return c.as<TComboBox>()->Items();
    case Kind::RadioGroup:
        return c.as<TRadioGroup>()->Items();
    case Kind::TabControl:
        return c.as<TTabControl>()->Tabs();
    default:
        return {};
    }
}

} // namespace qor::ui
