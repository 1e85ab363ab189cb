#include "support/fake_port.h"

#include "serial/line_settings.h"

#include <algorithm>

void FakePort::setOpen(bool open)
{
    const Lock lock(mutex_);
    if (open && failOpen)
        throw PortError("Cannot open the fake port");
    open_ = open;
}

void FakePort::setSettings(const QString &settings)
{
    const Lock lock(mutex_);
    if (settings.isEmpty())
        return;
    const auto parsed = parseLineSettings(settings);
    if (!parsed)
        throw PortError("Invalid port settings");
    settings_ = formatLineSettings(*parsed);
    line_.setCharacterTime(::characterTime(*parsed));
}

void FakePort::output(char ch)
{
    const Lock lock(mutex_);
    if (!open_)
        throw PortError("The port is not open.");
    if (failOutputAfter >= 0 && static_cast<int>(writes_.size()) >= failOutputAfter) {
        open_ = false;
        throw PortError("The device is gone");
    }
    now_ += outputTakes;
    writes_.push_back({ch, now_, line_.take(now_).value_or(LineDuration::zero())});
}

bool FakePort::drain(LineTime deadline)
{
    const Lock lock(mutex_);
    if (!open_)
        throw PortError("The port is not open.");
    ++drains_;
    const LineTime heldUntil = *line_.idleAt() + drainTakes; // after the model's idle moment
    if (drainTakes <= LineDuration::zero() || now_ >= heldUntil)
        return false;
    if (heldUntil > deadline)
        throw PortError("The device does not send its output");
    now_ = heldUntil;
    return true;
}

QString FakePort::input()
{
    const Lock lock(mutex_);
    if (!open_)
        throw PortError("The port is not open.");
    if (failInput) {
        open_ = false;
        throw PortError("The device is gone");
    }
    QString received;
    received.swap(pendingInput_);
    return received;
}

void FakePort::sleepUntil(LineTime deadline)
{
    const Lock lock(mutex_);
    ++sleeps_;
    now_ = std::max(now_, deadline);
}

QByteArray FakePort::written() const
{
    const Lock lock(mutex_);
    QByteArray bytes;
    for (const Write &w : writes_)
        bytes.append(w.ch);
    return bytes;
}
