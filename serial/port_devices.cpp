#include "serial/port_devices.h"

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

QStringList systemSerialDevices()
{
    QStringList devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        devices.append(info.systemLocation());
    return devices;
}

} // namespace

QString portDeviceVariable(int portNumber)
{
    return QStringLiteral("VOXCEL_COM%1").arg(portNumber);
}

QStringList orderSerialDevices(const QStringList &devices)
{
    QStringList ordered = devices;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const QString &a, const QString &b) {
        const bool usbA = isUsbAdapter(a);
        const bool usbB = isUsbAdapter(b);
        if (usbA != usbB)
            return usbA;
        return nameLess(a, b);
    });
    return ordered;
}

QString pickDevice(const QStringList &orderedDevices, int portNumber)
{
    const int index = portNumber - 1;
    if (index >= 0 && index < orderedDevices.size())
        return orderedDevices.at(index);
    return QStringLiteral("/dev/ttyS%1").arg(std::max(index, 0));
}

namespace {

// The device of a port number; the system's list is made on first need and
// kept in *listed for the next port number.
QString deviceFor(int portNumber, std::optional<QStringList> *listed)
{
    const QString override = qEnvironmentVariable(portDeviceVariable(portNumber).toLatin1().constData());
    if (!override.isEmpty())
        return override;
#ifdef Q_OS_WIN
    Q_UNUSED(listed);
    return QStringLiteral("COM%1").arg(portNumber);
#else
    if (!*listed)
        *listed = orderSerialDevices(systemSerialDevices());
    return pickDevice(**listed, portNumber);
#endif
}

} // namespace

QString deviceForPort(int portNumber)
{
    std::optional<QStringList> listed;
    return deviceFor(portNumber, &listed);
}

QStringList devicesForPorts(int count)
{
    std::optional<QStringList> listed;
    QStringList devices;
    for (int portNumber = 1; portNumber <= count; ++portNumber)
        devices << deviceFor(portNumber, &listed);
    return devices;
}
