#include "serial/reconnect.h"

bool reconnectExpired(const LostDevice &lost, qint64 nowMs)
{
    return nowMs - lost.lostAtMs > ReconnectWindowMs;
}

std::optional<QString> reconnectTarget(const LostDevice &lost, const DeviceScene &scene)
{
    if (!lost.gone || scene.sending || reconnectExpired(lost, scene.nowMs))
        return std::nullopt;
    if (scene.pathPresent)
        return lost.path;
    if (lost.serialNumber.isEmpty() || !scene.listDevices)
        return std::nullopt;
    for (const SerialDevice &device : scene.listDevices())
        if (device.serialNumber == lost.serialNumber)
            return device.path;
    return std::nullopt;
}
