#include "serial/port_devices.h"

#include "text/user_settings.h"

#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>
#include <optional>

namespace {

bool isUsbAdapter(const QString &device)
{
    const QString name = device.section(QLatin1Char('/'), -1);
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
}

// Name order with runs of digits compared by value, so ttyUSB2 comes
// before ttyUSB10.
bool nameLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a.at(endA).isDigit())
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit())
                ++endB;
            // Compare by value without converting: strip leading zeros,
            // then the longer run is larger, else compare digit by digit.
            QStringView runA = QStringView(a).mid(i, endA - i);
            QStringView runB = QStringView(b).mid(j, endB - j);
            while (runA.size() > 1 && runA.front() == QLatin1Char('0'))
                runA = runA.mid(1);
            while (runB.size() > 1 && runB.front() == QLatin1Char('0'))
                runB = runB.mid(1);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            const int byDigits = runA.compare(runB);
            if (byDigits != 0)
                return byDigits < 0;
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b; // same by value, e.g. ttyS01 and ttyS1: keep an order
}

bool deviceLess(const QString &a, const QString &b)
{
    const bool usbA = isUsbAdapter(a);
    const bool usbB = isUsbAdapter(b);
    if (usbA != usbB)
        return usbA;
    return nameLess(a, b);
}

SerialDevice fromSystem(const QSerialPortInfo &info)
{
    SerialDevice device;
    device.path = info.systemLocation();
    device.description = info.description().trimmed();
    device.manufacturer = info.manufacturer().trimmed();
    device.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
    device.vendorId = info.vendorIdentifier();
    device.productId = info.productIdentifier();
    device.serialNumber = info.serialNumber().trimmed();
    return device;
}

QString settingsKey(int portNumber, const char *what)
{
    return QStringLiteral("ports/com%1/%2").arg(portNumber).arg(QLatin1String(what));
}

QStringList pathsOf(const QList<SerialDevice> &devices)
{
    QStringList paths;
    for (const SerialDevice &device : devices)
        paths << device.path;
    return paths;
}

template <typename Match> const SerialDevice *findDevice(const QList<SerialDevice> &listed, Match is)
{
    const auto found = std::find_if(listed.begin(), listed.end(), is);
    return found == listed.end() ? nullptr : &*found;
}

} // namespace

QList<SerialDevice> listSerialDevices()
{
    QList<SerialDevice> devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        devices << fromSystem(info);
    orderSerialDevices(devices);
    return devices;
}

QString deviceLabel(const SerialDevice &device)
{
    QStringList known;
    if (!device.description.isEmpty())
        known << device.description;
    if (!device.manufacturer.isEmpty() && device.manufacturer != device.description)
        known << device.manufacturer;
    if (device.hasUsbIds)
        known << QStringLiteral("USB %1:%2")
                     .arg(device.vendorId, 4, 16, QLatin1Char('0'))
                     .arg(device.productId, 4, 16, QLatin1Char('0'));
    if (!device.serialNumber.isEmpty())
        known << QStringLiteral("serial ") + device.serialNumber;
    return known.isEmpty() ? device.path : device.path + QStringLiteral(": ") + known.join(QStringLiteral(", "));
}

PortAssignment storedAssignment(int portNumber)
{
    const std::unique_ptr<QSettings> settings = userSettings();
    if (!settings)
        return {};
    return {settings->value(settingsKey(portNumber, "device")).toString(),
            settings->value(settingsKey(portNumber, "serialNumber")).toString()};
}

void storeAssignment(int portNumber, const PortAssignment &assignment)
{
    const std::unique_ptr<QSettings> settings = userSettings();
    if (!settings)
        return;
    settings->setValue(settingsKey(portNumber, "device"), assignment.path);
    settings->setValue(settingsKey(portNumber, "serialNumber"), assignment.serialNumber);
}

PortAssignment assignmentFor(const QString &path, const QList<SerialDevice> &listed)
{
    const SerialDevice *device = findDevice(listed, [&](const SerialDevice &d) { return d.path == path; });
    return {path, device ? device->serialNumber : QString()};
}

PortDevice resolvePortDevice(int portNumber, const QString &override, const PortAssignment &stored,
                             const std::function<QList<SerialDevice>()> &listDevices)
{
    if (!override.isEmpty())
        return {override, PortSource::Environment};
    if (!stored.isEmpty()) {
        if (stored.serialNumber.isEmpty())
            return {stored.path, PortSource::Chosen};
        const QList<SerialDevice> listed = listDevices();
        const SerialDevice *same =
            findDevice(listed, [&](const SerialDevice &d) { return d.serialNumber == stored.serialNumber; });
        return {same ? same->path : stored.path, PortSource::Chosen};
    }
#ifdef Q_OS_WIN
    return {QStringLiteral("COM%1").arg(portNumber), PortSource::SystemOrder};
#else
    return {pickDevice(pathsOf(listDevices()), portNumber), PortSource::SystemOrder};
#endif
}

PortDevice portDevice(int portNumber, const std::function<QList<SerialDevice>()> &listDevices)
{
    const QString override = qEnvironmentVariable(portDeviceVariable(portNumber).toLatin1().constData());
    return resolvePortDevice(portNumber, override, storedAssignment(portNumber), listDevices);
}

QString portDeviceVariable(int portNumber)
{
    return QStringLiteral("VOXCEL_COM%1").arg(portNumber);
}

QStringList orderSerialDevices(const QStringList &devices)
{
    QStringList ordered = devices;
    std::stable_sort(ordered.begin(), ordered.end(), deviceLess);
    return ordered;
}

void orderSerialDevices(QList<SerialDevice> &devices)
{
    std::stable_sort(devices.begin(), devices.end(),
                     [](const SerialDevice &a, const SerialDevice &b) { return deviceLess(a.path, b.path); });
}

QString pickDevice(const QStringList &orderedDevices, int portNumber)
{
    const int index = portNumber - 1;
    if (index >= 0 && index < orderedDevices.size())
        return orderedDevices.at(index);
    return QStringLiteral("/dev/ttyS%1").arg(std::max(index, 0));
}

QString deviceForPort(int portNumber)
{
    return portDevice(portNumber, listSerialDevices).path;
}

QStringList devicesForPorts(int count)
{
    // The system's list is made on first need and kept for the next number.
    std::optional<QList<SerialDevice>> listed;
    const auto listOnce = [&listed] {
        if (!listed)
            listed = listSerialDevices();
        return *listed;
    };
    QStringList devices;
    for (int portNumber = 1; portNumber <= count; ++portNumber)
        devices << portDevice(portNumber, listOnce).path;
    return devices;
}
