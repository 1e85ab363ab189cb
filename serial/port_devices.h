#pragma once

#include <QString>
#include <QStringList>

// Port numbers 1 and 2 ("Com1", "Com2") stand for these devices:
// - the device named by the environment variable VOXCEL_COM1 / VOXCEL_COM2
//   when it is set and not empty (tests point it at a pseudo-terminal);
// - on Windows, COM1 / COM2;
// - elsewhere the first / second serial device the system lists, USB
//   adapters (ttyUSB*, ttyACM*) before built-in ports, each group in name
//   order; /dev/ttyS0 / /dev/ttyS1 when the system lists fewer.
QString deviceForPort(int portNumber);

// The devices of port numbers 1 to count, in order, asking the system for
// its serial devices at most once (the list takes a while to make).
QStringList devicesForPorts(int count);

// The environment variable that overrides the device of a port number.
QString portDeviceVariable(int portNumber);

// The order in which listed serial devices are handed out to the port
// numbers: USB adapters first, then the rest; within each group by name,
// numbers compared by value (ttyUSB2 before ttyUSB10).
QStringList orderSerialDevices(const QStringList &devices);

// The device for a port number out of an already ordered list, with the
// built-in fallbacks when the list is too short.
QString pickDevice(const QStringList &orderedDevices, int portNumber);
