#include "shell/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace qor::shell {

namespace {
const char* const kService = "org.freedesktop.ScreenSaver";
const char* const kPath = "/org/freedesktop/ScreenSaver";
} // namespace

bool ScreenSaverInhibitor::Inhibit() {
    if (cookie_ != 0) return true;
    QDBusConnection bus = bus_();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(kService).value())
        return false;
    QDBusInterface saver(kService, kPath, kService, bus);
    if (!saver.isValid()) return false;
    const QDBusReply<uint> reply = saver.call("Inhibit", "QOR", "Charts on the screen");
    if (!reply.isValid()) return false;
    cookie_ = reply.value();
    return cookie_ != 0;
}

void ScreenSaverInhibitor::Release() {
    if (cookie_ == 0) return;
    QDBusConnection bus = bus_();
    if (bus.isConnected()) {
        QDBusInterface saver(kService, kPath, kService, bus);
        if (saver.isValid()) saver.call("UnInhibit", cookie_);
    }
    cookie_ = 0;
}

} // namespace qor::shell
