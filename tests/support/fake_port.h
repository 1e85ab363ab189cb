#pragma once

#include "serial/port_layer.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <vector>

// A port layer in memory, on a clock that only moves when the test says so
// (sleepUntil(), usually as the pacing loop's sleep) or when output() and
// drain() are set to take time. Each written character is recorded with
// its hand-over time and the silence its line had before it: the fake
// drives a LineModel at its settings, starting idle at time zero.
// The window's session uses it from its own thread while the test looks
// on: every call holds one lock.
class FakePort : public PortLayer
{
    using Lock = std::lock_guard<std::mutex>;

public:
    struct Write
    {
        char ch;
        LineTime at;          // when output() returned
        LineDuration silence; // on the modelled wire before it
    };

    bool isOpen() const override
    {
        const Lock lock(mutex_);
        return open_;
    }
    void setOpen(bool open) override;
    qint16 commPort() const override
    {
        const Lock lock(mutex_);
        return commPort_;
    }
    void setCommPort(qint16 port) override
    {
        const Lock lock(mutex_);
        commPort_ = port;
    }
    QString settings() const override
    {
        const Lock lock(mutex_);
        return settings_;
    }
    void setSettings(const QString &settings) override;
    void output(char ch) override;
    QString input() override;
    LineDuration characterTime() const override
    {
        const Lock lock(mutex_);
        return line_.characterTime();
    }
    bool drain(LineTime deadline) override;

    // The fake clock and sleep, for the pacing loop:
    // [&port](LineTime t) { port.sleepUntil(t); } and [&port] { return port.now(); }.
    LineTime now() const { return now_; }
    void sleepUntil(LineTime deadline);
    int sleepCount() const { return sleeps_; }
    int drainCount() const { return drains_; }

    std::vector<Write> writes() const
    {
        const Lock lock(mutex_);
        return writes_;
    }
    QByteArray written() const;

    // What the next input() returns, appended to anything queued before.
    void queueInput(const QString &text)
    {
        const Lock lock(mutex_);
        pendingInput_ += text;
    }

    // A slow system: how long output() takes to hand a character over, and
    // how long drain() finds characters still held (zero: none). Set them
    // before the port is in use.
    LineDuration outputTakes{};
    LineDuration drainTakes{};

    // What it says it opened; empty: it cannot tell, and a lost port
    // then never reopens by itself.
    QString device;
    QString openedDevice() const override
    {
        const Lock lock(mutex_);
        return device;
    }

    // Failures on demand.
    std::atomic<bool> failOpen{false};
    // Output fails once this many characters were written (-1: never); the
    // port is then closed, as a vanished device leaves it.
    std::atomic<int> failOutputAfter{-1};
    std::atomic<bool> failInput{false};

private:
    mutable std::mutex mutex_;
    bool open_ = false;
    qint16 commPort_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    LineTime now_{};
    LineModel line_{::characterTime(LineSettings{}), LineTime{}};
    int sleeps_ = 0;
    int drains_ = 0;
    std::vector<Write> writes_;
    QString pendingInput_;
};
