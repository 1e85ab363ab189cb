#include "serial/pacing.h"

#include "text/decimal_text.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

std::optional<double> nonNegativeDelay(const QString &text)
{
    const auto value = parseDecimal(text);
    if (!value || *value < 0.0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> sendDelayFloor(const QString &text)
{
    const auto value = nonNegativeDelay(text);
    if (!value)
        return std::nullopt;
    const double whole = std::floor(*value);
    if (whole > MaxXmitDelayMs)
        return std::nullopt;
    return static_cast<int>(whole);
}

std::optional<int> pasteDelayNearestEven(const QString &text)
{
    const auto value = nonNegativeDelay(text);
    if (!value)
        return std::nullopt;
    const auto rounded = roundHalfEven(*value, 0, MaxXmitDelayMs);
    if (!rounded)
        return std::nullopt;
    return static_cast<int>(*rounded);
}

PacingDelayError::PacingDelayError() : std::runtime_error(CheckSettingsText.toStdString()) {}

void sendPaced(const QString &text, const QString &waitText, const DelaySource &delay, PortLayer &port,
               const SleepFunction &sleep, const PacingProgress &progress)
{
    const QByteArray bytes = text.toLatin1(); // one byte per character, '?' beyond 8 bits
    const qsizetype total = text.size();
    for (qsizetype i = 0; i < total; ++i) {
        if (waitText.size() == 1 && waitText.at(0) == text.at(i)) {
            const auto ms = delay();
            if (!ms)
                throw PacingDelayError();
            sleep(*ms);
        }
        port.output(bytes.at(i));
        if (progress)
            progress(i + 1, total);
    }
}

void sleepMilliseconds(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
