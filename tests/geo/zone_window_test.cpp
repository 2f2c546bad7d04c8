// The time-zone window shows a lookup and closes on a click or on Esc in its first edit,
// storing its settings as it goes.
#include "core/Text.h"
#include "geo/ZoneWindow.h"
#include "support/QtApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace qor {
namespace {

using namespace ui;

TEST(ZoneWindow, ShowsTheLookupInItsFourEdits) {
    test::QtApp();
    auto* w = new TZone;
    EXPECT_EQ(w->Name(), "Zone");
    EXPECT_EQ(w->Caption(), "Временная зона  dT"_cp);
    ZoneLookup z;
    z.ok = true;
    z.source = ZoneSource::History;
    z.zoneMinutes = 600;
    z.summerMinutes = 60;
    z.moscowDiffMinutes = 420;
    w->ShowZone(z);
    EXPECT_EQ(w->Edit1->Text(), "10");
    EXPECT_EQ(w->Edit2->Text(), "1");
    EXPECT_EQ(w->Edit3->Text(), "11");
    EXPECT_EQ(w->Edit4->Text(), " 7");
    w->ShowZone(ZoneLookup{});
    EXPECT_EQ(w->Edit1->Text(), "");
    delete w;
}

TEST(ZoneWindow, EscInTheFirstEditAndAClickClose) {
    test::QtApp();
    int stored = 0;
    Screen().StoreSettings = [&](TForm& f) { stored += f.Name() == "Zone"; };
    QPointer<TZone> w = new TZone;
    w->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w->Edit1, &esc);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(stored, 1);

    QPointer<TZone> v = new TZone;
    v->show();
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v, &click);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(v.isNull());
    EXPECT_EQ(stored, 2);
    Screen().StoreSettings = nullptr;
}

} // namespace
} // namespace qor
