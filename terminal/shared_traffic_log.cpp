#include "terminal/shared_traffic_log.h"

#include <utility>

bool SharedTrafficLog::open(const QString &fileName, QString *error)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    failure_.clear();
    return log_.open(fileName, error);
}

void SharedTrafficLog::close()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    log_.close();
}

bool SharedTrafficLog::isOpen() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return log_.isOpen();
}

bool SharedTrafficLog::write(TrafficDirection direction, const QString &chars)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!log_.isOpen())
        return true;
    return log_.write(direction, chars, &failure_);
}

QString SharedTrafficLog::takeFailure()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(failure_, QString());
}
