#include "serial/param_prefix.h"

#include "text/decimal_text.h"

namespace {
QString upperHex(long long value)
{
    return QString::number(value, 16).toUpper();
}
} // namespace

std::optional<QString> buildParamPrefix(bool eepromMode, qint16 picBuffer, const QString &startAddressText,
                                        qint16 picDelay)
{
    const std::optional<double> typed = parseDecimal(startAddressText);
    if (!typed)
        return std::nullopt;
    const std::optional<long long> address = roundHalfEven(*typed, 0, 0xFFFF);
    if (!address)
        return std::nullopt;

    QString prefix = QStringLiteral("*");
    prefix += eepromMode ? QLatin1Char('1') : QLatin1Char('0');
    prefix += upperHex(picBuffer).rightJustified(2, QLatin1Char('0'));
    prefix += upperHex(*address).rightJustified(4, QLatin1Char('0'));
    // The delay always gets exactly one leading zero, whatever its length:
    // 0A for 10 ms, 014 for 20 ms.
    prefix += QLatin1Char('0') + upperHex(picDelay);
    return prefix;
}
