#pragma once

#include <QString>
#include <optional>

// The line settings of the serial port, written as "baud,parity,data,stop"
// ("9600,n,8,1"): parity one of n(one), e(ven), o(dd), m(ark), s(pace),
// 5 to 8 data bits, 1, 1.5 or 2 stop bits.
struct LineSettings
{
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings &other) const
    {
        return baudRate == other.baudRate && parity == other.parity && dataBits == other.dataBits &&
               stopBits == other.stopBits;
    }
    bool operator!=(const LineSettings &other) const { return !(*this == other); }
};

// The settings the port starts with, "9600,n,8,1".
inline constexpr char DefaultLineSettingsText[] = "9600,n,8,1";

// Reads a settings text; blanks around the fields are allowed, the parity
// letter may be a capital. Anything else (the empty text included) gives
// nothing.
std::optional<LineSettings> parseLineSettings(const QString &text);

// The text form of the settings, as read back from the port: "9600,n,8,1".
QString formatLineSettings(const LineSettings &settings);
