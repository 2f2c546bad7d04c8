// The texts a window shows, searched for Cyrillic letters: captions, labels, buttons, list and
// combo items, tabs, panels, table headings and the fixed cells of grids, menus and hints.
#pragma once

#include "ui/Components.h"
#include "ui/Forms.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTabBar>
#include <QTextItem>

#include <string>
#include <vector>

namespace qor::shell {

inline bool HasCyrillic(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF) return true;
    return false;
}
// A text of the program's code page.
inline bool HasCyrillic(std::string_view cp1251) { return HasCyrillic(ui::ToQ(cp1251)); }

// "window/widget: text" for every shown text with Cyrillic letters.
inline std::vector<std::string> CyrillicTexts(ui::TForm& form) {
    std::vector<std::string> found;
    const std::string where = form.Name() + "/";
    auto check = [&](const QObject* o, const QString& text) {
        if (HasCyrillic(text))
            found.push_back(where + o->objectName().toStdString() + ": " + text.toStdString());
    };
    check(&form, form.windowTitle());
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        check(w, w->toolTip());
        if (auto* l = qobject_cast<const QLabel*>(w)) check(w, l->text());
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) check(w, b->text());
        if (auto* g = qobject_cast<const QGroupBox*>(w)) check(w, g->title());
        if (auto* e = qobject_cast<const QLineEdit*>(w)) check(w, e->text());
        if (auto* c = qobject_cast<const QComboBox*>(w)) {
            check(w, c->currentText());
            for (int i = 0; i < c->count(); ++i) check(w, c->itemText(i));
        }
        // the glossary is Russian: its tabs are the letters of its sections
        if (auto* t = qobject_cast<const QTabBar*>(w); t && form.Name() != "Dict")
            for (int i = 0; i < t->count(); ++i) check(w, t->tabText(i));
        if (auto* l = qobject_cast<const QListWidget*>(w))
            for (int i = 0; i < l->count(); ++i) check(w, l->item(i)->text());
        if (auto* h = qobject_cast<const QHeaderView*>(w); h && h->model())
            for (int i = 0; i < h->count(); ++i)
                check(w, h->model()->headerData(i, h->orientation()).toString());
    }
    for (const QAction* a : form.findChildren<QAction*>()) {
        check(a, a->text());
        check(a, a->toolTip());
    }
    for (const ui::Component& c : form.Components()) {
        // a panel's caption (the status lines among them)
        if (c.kind == ui::Kind::Panel) check(c.object, ui::ToQ(ui::ComponentText(c)));
        // the fixed rows and columns of a grid are its headings
        if (c.kind == ui::Kind::DrawGrid) {
            const auto* g = c.as<ui::TDrawGrid>();
            for (int row = 0; row < g->RowCount(); ++row)
                for (int col = 0; col < g->ColCount(); ++col)
                    if (row < g->FixedRows() || col < g->FixedCols())
                        check(c.object, ui::ToQ(g->Cell(col, row)));
        }
    }
    return found;
}

// A paint device that keeps the texts drawn on it and nothing else: a window rendered on it
// gives every text its controls and its own painting draw (grid cells, painted headings).
class TextRecorder : public QPaintDevice {
public:
    TextRecorder(int width, int height) : width_(width), height_(height) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    const QStringList& Texts() const { return engine_.texts; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return width_;
        case PdmHeight: return height_;
        case PdmWidthMM: return width_ * 254 / 960;
        case PdmHeightMM: return height_ * 254 / 960;
        case PdmNumColors: return 0x7fffffff;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override {
            texts.push_back(item.text());
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&,
                       Qt::ImageConversionFlags) override {}
        void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF*, int) override {}
        void drawRects(const QRect*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawLines(const QLine*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawEllipse(const QRect&) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawPoints(const QPoint*, int) override {}
        Type type() const override { return QPaintEngine::User; }
        QStringList texts;
    };
    mutable Engine engine_;
    int width_, height_;
};

// "window (drawn): text" for every text with Cyrillic letters the window draws as it is now.
inline std::vector<std::string> CyrillicDrawnTexts(ui::TForm& form) {
    TextRecorder device(std::max(1, form.width()), std::max(1, form.height()));
    form.render(&device);
    std::vector<std::string> found;
    for (const QString& t : device.Texts())
        if (HasCyrillic(t)) found.push_back(form.Name() + " (drawn): " + t.toStdString());
    return found;
}

} // namespace qor::shell
