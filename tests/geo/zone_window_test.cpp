// The time-zone window shows a lookup and closes on a click or on Esc in its first edit.
#include "core/Text.h"
#include "geo/ZoneWindow.h"
#include "ui/QtText.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

namespace qor {
namespace {

// One application for the test program, made on first use and destroyed when the tests end,
// before the exit handlers (tearing Qt down there crashes in the platform plugin).
QApplication* app = nullptr;

struct AppEnvironment : ::testing::Environment {
    void TearDown() override {
        delete app;
        app = nullptr;
    }
};
const auto* const kAppEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_geo";
    static char* argv[] = {name, nullptr};
    if (!app) app = new QApplication(argc, argv);
    return *app;
}

TEST(ZoneWindow, ShowsTheLookupInItsFourEdits) {
    App();
    auto* w = new TZone;
    EXPECT_EQ(w->objectName(), "Zone");
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Временная зона  dT"));
    ZoneLookup z;
    z.ok = true;
    z.source = ZoneSource::History;
    z.zoneMinutes = 600;
    z.summerMinutes = 60;
    z.moscowDiffMinutes = 420;
    w->ShowZone(z);
    EXPECT_EQ(w->Edit1->text(), "10");
    EXPECT_EQ(w->Edit2->text(), "1");
    EXPECT_EQ(w->Edit3->text(), "11");
    EXPECT_EQ(w->Edit4->text(), " 7");
    w->ShowZone(ZoneLookup{});
    EXPECT_EQ(w->Edit1->text(), "");
    delete w;
}

TEST(ZoneWindow, EscInTheFirstEditAndAClickClose) {
    App();
    int stored = 0;
    QPointer<TZone> w = new TZone;
    w->onClose = [&](TZone&) { ++stored; };
    w->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w->Edit1, &esc);
    QApplication::processEvents();
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
}

} // namespace
} // namespace qor
