#include "cli/send_port.h"

#include "serial/port_devices.h"
#include "serial/qt_serial_port.h"

#include <chrono>

void setUpSendPort(QtSerialPort &port, const ConvertOptions &options)
{
    // The port layer finds its device through the port number; Com1 of
    // this process is the device asked for.
    qputenv(portDeviceVariable(1).toLatin1().constData(), options.sendDevice.toLocal8Bit());
    port.setCommPort(1);
    port.setSettings(QStringLiteral("%1,n,8,1").arg(options.baudRate));
}

ProgressLine::~ProgressLine()
{
    if (shown_ && !ended_)
        err_.write("\n");
}

void ProgressLine::show(const QString &position, bool done, const std::function<LineDuration()> &timeLeft)
{
    if (!done && clock_.isValid() && clock_.elapsed() < 100)
        return;
    clock_.start();
    // Back to the start of the line and clear it: the text may shrink.
    QString text = QStringLiteral("\r\x1b[K%1: %2").arg(label_, position);
    if (!done) {
        const double seconds = std::chrono::duration<double>(timeLeft()).count();
        text += QStringLiteral(", %1 s left").arg(seconds, 0, 'f', 1);
    }
    err_.write(text.toLocal8Bit());
    shown_ = true;
    if (done) {
        err_.write("\n");
        ended_ = true;
    }
}

void SeriesProgressLine::show(int frame, qsizetype sent, qsizetype total)
{
    // The loop tells only the frame: going back to an earlier one, or
    // starting the same one again, is the next round.
    if (lastFrame_ >= 0 && (frame < lastFrame_ || (frame == lastFrame_ && sent <= lastSent_)))
        ++loop_;
    lastFrame_ = frame;
    lastSent_ = sent;

    const int frames = int(plan_.texts.size());
    QString position;
    if (plan_.loops > 1)
        position = QStringLiteral("round %1/%2, ").arg(loop_ + 1).arg(plan_.loops);
    position += QStringLiteral("frame %1/%2, %3/%4").arg(frame + 1).arg(frames).arg(sent).arg(total);
    const bool done = sent == total && frame + 1 == frames && loop_ + 1 >= plan_.loops;
    line_.show(position, done,
               [this, frame, sent] { return seriesSendTime(plan_, characterTime_, frame, sent, loop_); });
}
