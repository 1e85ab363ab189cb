#include "support/fake_port.h"

#include "serial/line_settings.h"

void FakePort::setOpen(bool open)
{
    if (open && failOpen)
        throw PortError("Cannot open the fake port");
    open_ = open;
}

void FakePort::setSettings(const QString &settings)
{
    if (settings.isEmpty())
        return;
    const auto parsed = parseLineSettings(settings);
    if (!parsed)
        throw PortError("Invalid port settings");
    settings_ = formatLineSettings(*parsed);
}

void FakePort::output(char ch)
{
    if (!open_)
        throw PortError("The port is not open.");
    if (failOutputAfter >= 0 && static_cast<int>(writes_.size()) >= failOutputAfter) {
        open_ = false;
        throw PortError("The device is gone");
    }
    writes_.push_back({ch, nowMs_, static_cast<int>(sleeps_.size())});
}

QString FakePort::input()
{
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

void FakePort::sleep(int ms)
{
    sleeps_.push_back(ms);
    nowMs_ += ms;
}

QByteArray FakePort::written() const
{
    QByteArray bytes;
    for (const Write &w : writes_)
        bytes.append(w.ch);
    return bytes;
}
