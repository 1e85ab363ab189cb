#include "serial/qt_serial_port.h"

#include "serial/port_devices.h"

#include <algorithm>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace {

// How long one character may wait for room in the system's output buffer
// before the write counts as failed. A serial line without flow control
// drains on its own; only a stuck device takes this long.
constexpr int OutputTimeoutMs = 5000;

QSerialPort::Parity toQt(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case LineSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case LineSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    case LineSettings::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(LineSettings::StopBits stopBits)
{
    switch (stopBits) {
    case LineSettings::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    case LineSettings::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

bool deviceIsGone(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError || error == QSerialPort::WriteError;
}

} // namespace

bool applyLineSettings(QSerialPort &port, const LineSettings &settings)
{
    // Every setter runs, also after one has failed.
    bool ok = port.setBaudRate(settings.baudRate);
    ok = port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) && ok;
    ok = port.setParity(toQt(settings.parity)) && ok;
    ok = port.setStopBits(toQt(settings.stopBits)) && ok;
    return ok;
}

QtSerialPort::QtSerialPort() : settings_(*parseLineSettings(QString::fromLatin1(DefaultLineSettingsText))) {}

QtSerialPort::~QtSerialPort()
{
    if (port_.isOpen())
        port_.close();
}

bool QtSerialPort::isOpen() const
{
    return port_.isOpen();
}

void QtSerialPort::setOpen(bool open)
{
    if (!open) {
        if (port_.isOpen())
            port_.close();
        return;
    }
    if (port_.isOpen())
        return;

    const QString device = deviceName();
    port_.setPortName(device);
    openDevice_ = device;
    // Set while closed, these are applied by open() itself.
    applyLineSettings(port_, settings_);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString reason = port_.errorString();
        port_.clearError();
        throw PortError(QStringLiteral("Cannot open %1: %2").arg(device, reason).toStdString());
    }
}

qint16 QtSerialPort::commPort() const
{
    return commPort_;
}

void QtSerialPort::setCommPort(qint16 port)
{
    commPort_ = port;
    device_.clear();
}

QString QtSerialPort::settings() const
{
    return formatLineSettings(settings_);
}

void QtSerialPort::setSettings(const QString &text)
{
    if (text.isEmpty())
        return;
    const auto parsed = parseLineSettings(text);
    if (!parsed) {
        throw PortError(QStringLiteral("Invalid port settings \"%1\" (expected baud,parity,data,stop as in %2)")
                            .arg(text, QLatin1String(DefaultLineSettingsText))
                            .toStdString());
    }
    if (port_.isOpen() && !applyLineSettings(port_, *parsed)) {
        const QString reason = port_.errorString();
        port_.clearError();
        applyLineSettings(port_, settings_); // back to what the line ran at
        throw PortError(QStringLiteral("The port refused the settings \"%1\": %2").arg(text, reason).toStdString());
    }
    settings_ = *parsed;
}

void QtSerialPort::output(char ch)
{
    if (!port_.isOpen())
        throw PortError("The port is not open.");

    // The pacing loop sleeps right after this call without returning to the
    // event loop, so the character must reach the system now, not when Qt's
    // write notifier next runs: flush() writes it at once. An error left by
    // Qt's read notifier (a read that found nothing after input() took it
    // all) is not this write's: only what the write itself reports counts.
    port_.clearError();
    if (port_.write(&ch, 1) != 1)
        closeAndThrow(QStringLiteral("Cannot write to %1"));
    port_.flush();
    if (port_.bytesToWrite() == 0) {
        if (deviceIsGone(port_.error()))
            closeAndThrow(QStringLiteral("Cannot write to %1"));
        return;
    }
    // The system's buffer is full (flush() then reports the "try again" of
    // the non-blocking descriptor as a write error): wait for room.
    port_.clearError();
    if (port_.waitForBytesWritten(OutputTimeoutMs) && port_.bytesToWrite() == 0)
        return;
    if (port_.error() != QSerialPort::TimeoutError)
        closeAndThrow(QStringLiteral("Cannot write to %1"));
    // A stuck line: drop the character rather than let it leave at some
    // later moment, unpaced.
    port_.clear(QSerialPort::Output);
    port_.clearError();
    throw PortError(QStringLiteral("Cannot write to %1: the device takes no more data").arg(openDevice_).toStdString());
}

QString QtSerialPort::input()
{
    if (!port_.isOpen())
        throw PortError("The port is not open.");

    // Picks up what arrived also when no event loop ran since the last call.
    port_.waitForReadyRead(0);
    if (deviceIsGone(port_.error()) && !readFoundNothing())
        closeAndThrow(QStringLiteral("Cannot read from %1"));
    if (port_.error() != QSerialPort::NoError)
        port_.clearError(); // the time-out of the zero wait: nothing arrived
    return QString::fromLatin1(port_.readAll());
}

void QtSerialPort::setArrivalHandler(std::function<void()> handler)
{
    QObject::disconnect(arrival_);
    arrival_ = QObject::connect(&port_, &QSerialPort::readyRead, std::move(handler));
}

LineDuration QtSerialPort::characterTime() const
{
    return ::characterTime(settings_);
}

bool QtSerialPort::drain(LineTime deadline)
{
    if (!port_.isOpen())
        throw PortError("The port is not open.");
#ifdef Q_OS_WIN
    // Returns once the driver has sent everything, which a line without flow
    // control does on its own. It cannot say whether anything was left; the
    // pacing's line model covers that.
    Q_UNUSED(deadline);
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(port_.handle())))
        closeAndThrow(QStringLiteral("Cannot write to %1"));
    return false;
#else
    // tcdrain() is the obvious call, but on a pseudo-terminal it returns only
    // once the other side has read everything: a peer that reads after the
    // send, or never, would hold the window for good. So the driver's output
    // queue (TIOCOUTQ) is polled instead, until empty or the deadline. On a
    // serial port it holds what the UART has yet to take; a pseudo-terminal
    // reports it empty at once. Neither counts the UART's own FIFO nor a USB
    // adapter's buffer, which is why the pacing keeps to its line model too.
    const int fd = static_cast<int>(port_.handle());
    bool waited = false;
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0) {
            if (errno == ENOTTY || errno == EINVAL)
                return waited; // the system cannot tell
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            port_.close();
            throw PortError(QStringLiteral("Cannot write to %1: %2").arg(openDevice_, reason).toStdString());
        }
        if (queued <= 0)
            return waited;
        const LineTime now = LineClock::now();
        if (now >= deadline) {
            // As in output(): drop what is stuck rather than let it leave
            // later, unpaced.
            port_.clear(QSerialPort::Output);
            port_.clearError();
            throw PortError(QStringLiteral("Cannot write to %1: the device does not send its output")
                                .arg(openDevice_)
                                .toStdString());
        }
        waited = true;
        using namespace std::chrono_literals;
        const LineDuration step = std::clamp<LineDuration>(queued * characterTime(), 100us, 5ms);
        std::this_thread::sleep_until(std::min(now + step, deadline));
    }
#endif
}

bool QtSerialPort::readFoundNothing()
{
#ifdef Q_OS_WIN
    return false;
#else
    // The port reads by itself when its thread's event loop runs, and the
    // read above may take what that read was woken for; the one left over
    // then finds nothing, which Qt reports as a read error (or, for the
    // "try again" of a descriptor that never blocks, as a resource error).
    // The device is there as long as the system reports no hang-up or
    // error on it.
    if (port_.error() != QSerialPort::ReadError && port_.error() != QSerialPort::ResourceError)
        return false;
    pollfd probe{static_cast<int>(port_.handle()), POLLIN, 0};
    if (::poll(&probe, 1, 0) < 0 || (probe.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return false;
    port_.clearError();
    return true;
#endif
}

QString QtSerialPort::deviceName() const
{
    return device_.isEmpty() ? deviceForPort(commPort_) : device_;
}

void QtSerialPort::closeAndThrow(const QString &what)
{
    const QString message = what.arg(openDevice_) + QStringLiteral(": ") + port_.errorString();
    port_.clearError();
    port_.close();
    throw PortError(message.toStdString());
}
