// The screen-saver request against a screen-saver service on a private message bus (a
// dbus-daemon started for the test): the program's name goes in, the cookie comes back, and
// the same cookie releases the request.
#include "shell/ScreenSaver.h"

#include "support/QtApp.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace qor::shell {
namespace {

// The desktop's service as the bus sees it: answers Inhibit with a cookie and records
// UnInhibit. It runs in a thread of its own, hence the lock.
class FakeScreenSaver : public QDBusVirtualObject {
public:
    std::mutex m;
    std::vector<QString> applications;
    std::vector<uint> released;

    QString introspect(const QString&) const override {
        return "<interface name=\"org.freedesktop.ScreenSaver\">"
               "<method name=\"Inhibit\"><arg type=\"s\" direction=\"in\"/>"
               "<arg type=\"s\" direction=\"in\"/><arg type=\"u\" direction=\"out\"/></method>"
               "<method name=\"UnInhibit\"><arg type=\"u\" direction=\"in\"/></method>"
               "</interface>";
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::lock_guard lock(m);
        const QList<QVariant> args = message.arguments();
        if (message.member() == "Inhibit" && args.size() == 2) {
            applications.push_back(args[0].toString());
            return connection.send(message.createReply(QVariant::fromValue(4711u)));
        }
        if (message.member() == "UnInhibit" && args.size() == 1) {
            released.push_back(args[0].toUInt());
            return connection.send(message.createReply());
        }
        return false;
    }
};

TEST(ScreenSaverBus, TheServiceTakesAndReleasesTheRequest) {
    test::QtApp();
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty()) GTEST_SKIP() << "no dbus-daemon on this machine";
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(bus.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    ASSERT_FALSE(address.isEmpty());

    {
        // The service answers from a thread of its own while the program's call waits.
        QThread serviceThread;
        serviceThread.start();
        FakeScreenSaver service;
        service.moveToThread(&serviceThread);
        QDBusConnection serviceBus = QDBusConnection::connectToBus(address, "qor-test-service");
        ASSERT_TRUE(serviceBus.isConnected());
        ASSERT_TRUE(serviceBus.registerVirtualObject("/org/freedesktop/ScreenSaver", &service));
        ASSERT_TRUE(serviceBus.registerService("org.freedesktop.ScreenSaver"));

        {
            ScreenSaverInhibitor saver(
                [&] { return QDBusConnection::connectToBus(address, "qor-test-client"); });
            EXPECT_TRUE(saver.Inhibit());
            EXPECT_TRUE(saver.Active());
            EXPECT_TRUE(saver.Inhibit()); // once is enough
            saver.Release();
            EXPECT_FALSE(saver.Active());
        }
        {
            std::lock_guard lock(service.m);
            EXPECT_EQ(service.applications, std::vector<QString>{"QOR"});
            EXPECT_EQ(service.released, std::vector<uint>{4711});
        }
        serviceBus.unregisterObject("/org/freedesktop/ScreenSaver");
        QDBusConnection::disconnectFromBus("qor-test-service");
        QDBusConnection::disconnectFromBus("qor-test-client");
        serviceThread.quit();
        serviceThread.wait();
    }
    bus.kill();
    bus.waitForFinished();
}

} // namespace
} // namespace qor::shell
