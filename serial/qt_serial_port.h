#pragma once

#include "serial/line_settings.h"
#include "serial/port_layer.h"

#include <QSerialPort>

// Sets the line settings on a QSerialPort: stored for the next open() when
// closed, applied at once when open. False when the device refuses them.
bool applyLineSettings(QSerialPort &port, const LineSettings &settings);

// The port layer over a real serial device (QSerialPort). Port numbers map
// to devices through deviceForPort(); no flow control of any kind is set.
class QtSerialPort : public PortLayer
{
public:
    QtSerialPort();
    ~QtSerialPort() override;

    bool isOpen() const override;
    void setOpen(bool open) override;

    qint16 commPort() const override;
    void setCommPort(qint16 port) override;

    // The empty text keeps the settings in force: it is what the window
    // passes before the user has chosen an entry of the settings list.
    QString settings() const override;
    void setSettings(const QString &settings) override;

    void output(char ch) override;
    QString input() override;
    void setArrivalHandler(std::function<void()> handler) override;

    LineDuration characterTime() const override;
    bool drain(LineTime deadline) override;

    QString openedDevice() const override { return openDevice_; }
    void setDevice(const QString &device) override { device_ = device; }

    // The device the next open() opens: the one set by setDevice(), else
    // the one the current port number stands for.
    QString deviceName() const;

private:
    // Closes the port and reports the failure: the device is gone or
    // broken, and the window then shows the closed look.
    [[noreturn]] void closeAndThrow(const QString &what);
    // A read error that only means a read found nothing; clears it.
    // The device is checked: a hang-up or an error on it is no such case.
    bool readFoundNothing();

    QSerialPort port_;
    QMetaObject::Connection arrival_;
    QString openDevice_; // the device opened last, for messages
    QString device_;     // set by setDevice(), cleared by setCommPort()
    qint16 commPort_ = 1;
    LineSettings settings_;
};
