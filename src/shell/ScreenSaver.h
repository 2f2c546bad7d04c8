// Keeps the screen saver away while the program runs, through the desktop's screen-saver
// service (org.freedesktop.ScreenSaver on the session bus). Where there is no such service
// nothing happens.
#pragma once

#include <QDBusConnection>

#include <cstdint>
#include <functional>

namespace qor::shell {

class ScreenSaverInhibitor {
public:
    // `bus` gives the connection to use: the session bus unless a test gives another.
    explicit ScreenSaverInhibitor(std::function<QDBusConnection()> bus =
                                      [] { return QDBusConnection::sessionBus(); })
        : bus_(std::move(bus)) {}
    ~ScreenSaverInhibitor() { Release(); }
    // True when the service took the request.
    bool Inhibit();
    void Release();
    bool Active() const { return cookie_ != 0; }

private:
    std::function<QDBusConnection()> bus_;
    uint32_t cookie_ = 0;
};

} // namespace qor::shell
