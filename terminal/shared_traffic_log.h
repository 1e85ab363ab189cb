#pragma once

#include "terminal/traffic_log.h"

#include <mutex>

// The traffic log as two threads write it: the window's (what is sent) and
// the line's (what arrives, written there as it is read, so that nothing
// waits in memory for the window and nothing is left out of the log
// however fast it comes). A write that fails closes the log; its reason
// waits for the window in takeFailure().
class SharedTrafficLog
{
public:
    bool open(const QString &fileName, QString *error);
    void close();
    bool isOpen() const;

    // Writes when the log is open; false when this write failed.
    bool write(TrafficDirection direction, const QString &chars);
    // Why the log closed on a failed write; empty when it did not, or once told.
    QString takeFailure();

private:
    mutable std::mutex mutex_;
    TrafficLog log_;
    QString failure_;
};
