#pragma once

#include "serial/line_model.h"

#include <QString>
#include <functional>
#include <stdexcept>

// A failure of the serial port (cannot open, settings refused, a write that
// did not reach the device). The text is for the user.
class PortError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Everything the program asks of the serial port. Port numbers 1 and 2
// stand for devices chosen in one place (see port_devices.h); the settings
// text is "baud,parity,data,stop" as in "9600,n,8,1".
class PortLayer
{
public:
    virtual ~PortLayer() = default;

    virtual bool isOpen() const = 0;
    // Opens the port with the port number and settings set before, or closes
    // it. Throws PortError when the port cannot be opened.
    virtual void setOpen(bool open) = 0;

    virtual qint16 commPort() const = 0;
    virtual void setCommPort(qint16 port) = 0;

    virtual QString settings() const = 0;
    // Applies the settings, to an open port at once. Throws PortError on a
    // text it cannot apply.
    virtual void setSettings(const QString &settings) = 0;

    // Hands one 8-bit character to the operating system at once. Throws
    // PortError when the port is closed or the write fails.
    virtual void output(char ch) = 0;

    // How long one character takes on the wire at the settings in force.
    virtual LineDuration characterTime() const = 0;
    // Waits until the system has passed every character handed over on to
    // the line, as far as it can tell, but never past the deadline. True
    // when it still held some and this call waited for them; false when it
    // held none or cannot tell. Throws PortError when the port is closed,
    // the device is gone, or characters are still held at the deadline.
    virtual bool drain(LineTime deadline) = 0;
    // Every character received since the previous call, as 8-bit text;
    // empty when nothing arrived. Throws PortError when the device is gone.
    virtual QString input() = 0;
    // Called on the port's thread when characters may have arrived, so
    // they can be read before they pile up. A layer that cannot tell
    // never calls it; its characters wait for input().
    virtual void setArrivalHandler(std::function<void()> handler) { Q_UNUSED(handler); }

    // The device opened last (empty when the layer cannot tell), and a
    // device to open in place of the one the port number stands for, until
    // the port number is set again: a device that came back elsewhere.
    virtual QString openedDevice() const { return {}; }
    virtual void setDevice(const QString &device) { Q_UNUSED(device); }
};
