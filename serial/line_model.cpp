#include "serial/line_model.h"

#include <algorithm>

LineDuration characterTime(const LineSettings &settings)
{
    // Counted in half bits, so that 1.5 stop bits stay exact.
    const int stopHalfBits = settings.stopBits == LineSettings::StopBits::OneAndHalf ? 3
                             : settings.stopBits == LineSettings::StopBits::Two      ? 4
                                                                                     : 2;
    const int parityBits = settings.parity == LineSettings::Parity::None ? 0 : 1;
    const long long halfBits = 2LL * (1 + settings.dataBits + parityBits) + stopHalfBits;
    const long long perSecond = 2LL * std::max(settings.baudRate, 1);
    constexpr long long NanosecondsPerSecond = 1000000000;
    return LineDuration((halfBits * NanosecondsPerSecond + perSecond - 1) / perSecond);
}

LineModel::LineModel(LineDuration characterTime, std::optional<LineTime> busyUntil)
    : characterTime_(characterTime), busyUntil_(busyUntil)
{
}

std::optional<LineDuration> LineModel::take(LineTime at)
{
    std::optional<LineDuration> silence;
    LineTime start = at;
    if (busyUntil_) {
        silence = std::max(at - *busyUntil_, LineDuration::zero());
        start = std::max(at, *busyUntil_);
    }
    busyUntil_ = start + characterTime_;
    return silence;
}
