#pragma once

#include "serial/port_devices.h"

#include <QString>
#include <optional>

// How long after an unplug the port still reopens by itself, and how often
// it looks for the device meanwhile.
inline constexpr qint64 ReconnectWindowMs = 30000;
inline constexpr int ReconnectCheckMs = 250;

// The device of a port that was lost while open: where it was, and its
// USB serial number when it had one.
struct LostDevice
{
    QString path;
    QString serialNumber;
    qint64 lostAtMs = 0;
    // The path was seen without a device since. Until then the device is
    // taken as never gone: a line that stopped taking data, or a loss seen
    // before the system removed the device, is no unplug.
    bool gone = false;
};

// What the reconnect watch sees at one look.
struct DeviceScene
{
    qint64 nowMs = 0;
    bool sending = false;     // a send runs: the port is never reopened under it
    bool pathPresent = false; // the lost path names a device again
    // The system's devices; asked for only when the path is not there and
    // the lost device had a serial number.
    std::function<QList<SerialDevice>()> listDevices;
};

// Past the window the watch ends for good.
bool reconnectExpired(const LostDevice &lost, qint64 nowMs);

// Where to reopen the port now, if anywhere, once the device has gone: the
// same path when it is there again, else the path of a listed device with
// the same serial number.
std::optional<QString> reconnectTarget(const LostDevice &lost, const DeviceScene &scene);
