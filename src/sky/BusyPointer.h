// The hourglass pointer while something long runs, for the life of a scope.
#pragma once

#include <QGuiApplication>

namespace qor {

struct BusyPointer {
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace qor
