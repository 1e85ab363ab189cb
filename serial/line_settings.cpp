#include "serial/line_settings.h"

#include <QStringList>
#include <limits>

namespace {

std::optional<int> parsePositiveInteger(const QString &field)
{
    if (field.isEmpty())
        return std::nullopt;
    for (const QChar ch : field) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const long long value = field.toLongLong(&ok);
    if (!ok || value <= 0 || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<LineSettings::Parity> parseParity(const QString &field)
{
    if (field.size() != 1)
        return std::nullopt;
    switch (field.at(0).toLower().unicode()) {
    case 'n':
        return LineSettings::Parity::None;
    case 'e':
        return LineSettings::Parity::Even;
    case 'o':
        return LineSettings::Parity::Odd;
    case 'm':
        return LineSettings::Parity::Mark;
    case 's':
        return LineSettings::Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<LineSettings::StopBits> parseStopBits(const QString &field)
{
    if (field == QLatin1String("1"))
        return LineSettings::StopBits::One;
    if (field == QLatin1String("1.5"))
        return LineSettings::StopBits::OneAndHalf;
    if (field == QLatin1String("2"))
        return LineSettings::StopBits::Two;
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> parseLineSettings(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;

    const auto baud = parsePositiveInteger(fields.at(0).trimmed());
    const auto parity = parseParity(fields.at(1).trimmed());
    const auto data = parsePositiveInteger(fields.at(2).trimmed());
    const auto stop = parseStopBits(fields.at(3).trimmed());
    if (!baud || !parity || !data || *data < 5 || *data > 8 || !stop)
        return std::nullopt;

    LineSettings settings;
    settings.baudRate = *baud;
    settings.parity = *parity;
    settings.dataBits = *data;
    settings.stopBits = *stop;
    return settings;
}

QString formatLineSettings(const LineSettings &settings)
{
    const char parity = [&] {
        switch (settings.parity) {
        case LineSettings::Parity::Even:
            return 'e';
        case LineSettings::Parity::Odd:
            return 'o';
        case LineSettings::Parity::Mark:
            return 'm';
        case LineSettings::Parity::Space:
            return 's';
        case LineSettings::Parity::None:
            break;
        }
        return 'n';
    }();
    const char *stop = settings.stopBits == LineSettings::StopBits::OneAndHalf ? "1.5"
                       : settings.stopBits == LineSettings::StopBits::Two      ? "2"
                                                                               : "1";
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.baudRate)
        .arg(QLatin1Char(parity))
        .arg(settings.dataBits)
        .arg(QLatin1String(stop));
}
