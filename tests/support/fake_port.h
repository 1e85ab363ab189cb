#pragma once

#include "serial/port_layer.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A port layer in memory. Each written character is recorded with the time
// of a clock that only the test advances (see advance(), usually called
// from the fake sleep), and with the number of sleeps before it.
class FakePort : public PortLayer
{
public:
    struct Write
    {
        char ch;
        qint64 timeMs;
        int sleepsBefore;
    };

    bool isOpen() const override { return open_; }
    void setOpen(bool open) override;
    qint16 commPort() const override { return commPort_; }
    void setCommPort(qint16 port) override { commPort_ = port; }
    QString settings() const override { return settings_; }
    void setSettings(const QString &settings) override;
    void output(char ch) override;
    QString input() override;

    // The fake clock and sleep: a SleepFunction for the pacing loop is
    // [&port](int ms) { port.sleep(ms); }.
    void sleep(int ms);
    qint64 nowMs() const { return nowMs_; }
    const std::vector<int> &sleeps() const { return sleeps_; }

    const std::vector<Write> &writes() const { return writes_; }
    QByteArray written() const;

    // What the next input() returns, appended to anything queued before.
    void queueInput(const QString &text) { pendingInput_ += text; }

    // Failures on demand.
    bool failOpen = false;
    // Output fails once this many characters were written (-1: never); the
    // port is then closed, as a vanished device leaves it.
    int failOutputAfter = -1;
    bool failInput = false;

private:
    bool open_ = false;
    qint16 commPort_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    qint64 nowMs_ = 0;
    std::vector<int> sleeps_;
    std::vector<Write> writes_;
    QString pendingInput_;
};
