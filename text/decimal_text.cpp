#include "text/decimal_text.h"

#include <cmath>

std::optional<double> parseDecimal(const QString &text)
{
    const QString body = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = body.size();
    auto isDigit = [&](qsizetype at) {
        return at < n && body.at(at) >= QLatin1Char('0') && body.at(at) <= QLatin1Char('9');
    };

    if (i < n && (body.at(i) == QLatin1Char('+') || body.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && body.at(i) == QLatin1Char('.')) {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (body.at(i) == QLatin1Char('e') || body.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < n && (body.at(i) == QLatin1Char('+') || body.at(i) == QLatin1Char('-')))
            ++i;
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            ++i;
    }
    if (i != n)
        return std::nullopt;

    bool ok = false;
    const double value = body.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> roundHalfEven(double value, long long low, long long high)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // default mode: nearest, ties to even
    // 2^63 itself compares equal to the largest long long once converted to
    // double, yet does not fit it; keep such values out before the cast.
    constexpr double twoTo63 = 9223372036854775808.0;
    if (rounded >= twoTo63 || rounded < -twoTo63)
        return std::nullopt;
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high))
        return std::nullopt;
    return static_cast<long long>(rounded);
}
