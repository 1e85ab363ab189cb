#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A serial device as the system reports it. The USB fields are empty (or
// hasUsbIds false) for built-in ports and for devices the system knows no
// more of.
struct SerialDevice
{
    QString path;
    QString description;
    QString manufacturer;
    bool hasUsbIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serialNumber;
};

// Every serial device the system reports, in the order they are handed out
// to the port numbers (see orderSerialDevices). Takes a while (about 15 ms):
// never on the way to the window's first paint.
QList<SerialDevice> listSerialDevices();

// One line for a device in the Port menu: the path, then what is known of
// it, e.g. "/dev/ttyUSB0: FT232R USB UART, FTDI, USB 0403:6001, serial A6008".
QString deviceLabel(const SerialDevice &device);

// The device the user chose for a port number, remembered per user. The
// USB serial number, when the device has one, finds the same adapter again
// under another path (plugged into another socket).
struct PortAssignment
{
    QString path;
    QString serialNumber;
    bool isEmpty() const { return path.isEmpty(); }
};

PortAssignment storedAssignment(int portNumber);
void storeAssignment(int portNumber, const PortAssignment &assignment);
// The assignment for a listed device, or for a typed path: its serial
// number when the path is one of the listed devices.
PortAssignment assignmentFor(const QString &path, const QList<SerialDevice> &listed);

// What decides the device of a port number.
enum class PortSource { Environment, Chosen, SystemOrder };

struct PortDevice
{
    QString path;
    PortSource source = PortSource::SystemOrder;
};

// Port numbers 1 and 2 ("Com1", "Com2") stand for, in this order:
// - the device named by the environment variable VOXCEL_COM1 / VOXCEL_COM2
//   when it is set and not empty, for this run only;
// - the device the user chose (storedAssignment), under the path the device
//   with its serial number has now, else under its path;
// - on Windows COM1 / COM2, elsewhere the first / second device of the
//   system's list (pickDevice).
// The list is asked for only when the answer needs it.
PortDevice resolvePortDevice(int portNumber, const QString &override, const PortAssignment &stored,
                             const std::function<QList<SerialDevice>()> &listDevices);

// The same with this run's environment and the remembered assignment.
PortDevice portDevice(int portNumber, const std::function<QList<SerialDevice>()> &listDevices);
QString deviceForPort(int portNumber);

// The devices of port numbers 1 to count, in order, asking the system for
// its serial devices at most once.
QStringList devicesForPorts(int count);

// The environment variable that overrides the device of a port number.
QString portDeviceVariable(int portNumber);

// The order in which listed serial devices are handed out to the port
// numbers: USB adapters first, then the rest; within each group by name,
// numbers compared by value (ttyUSB2 before ttyUSB10).
QStringList orderSerialDevices(const QStringList &devices);
void orderSerialDevices(QList<SerialDevice> &devices);

// The device for a port number out of an already ordered list, with the
// built-in fallbacks when the list is too short.
QString pickDevice(const QStringList &orderedDevices, int portNumber);
