// Keeps the screen saver away while the program runs, through the desktop's screen-saver
// service (org.freedesktop.ScreenSaver on the session bus). Where there is no such service
// nothing happens.
#pragma once

#include <cstdint>

namespace qor::shell {

class ScreenSaverInhibitor {
public:
    ~ScreenSaverInhibitor() { Release(); }
    // True when the service took the request.
    bool Inhibit();
    void Release();
    bool Active() const { return cookie_ != 0; }

private:
    uint32_t cookie_ = 0;
};

} // namespace qor::shell
