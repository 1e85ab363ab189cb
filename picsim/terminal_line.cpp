#include "picsim/terminal_line.h"

#include <utility>

namespace {

int baudOf(speed_t speed)
{
    static constexpr std::pair<speed_t, int> rates[] = {
        {B50, 50},         {B75, 75},         {B110, 110},     {B134, 134},     {B150, 150},       {B200, 200},
        {B300, 300},       {B600, 600},       {B1200, 1200},   {B1800, 1800},   {B2400, 2400},     {B4800, 4800},
        {B9600, 9600},     {B19200, 19200},   {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
#ifdef B460800
        {B460800, 460800}, {B921600, 921600},
#endif
    };
    for (const auto &[code, baud] : rates) {
        if (code == speed)
            return baud;
    }
    return 0;
}

} // namespace

LineSettings terminalLineSettings(const termios &attributes)
{
    LineSettings settings;
    settings.baudRate = baudOf(::cfgetospeed(&attributes));
    switch (attributes.c_cflag & CSIZE) {
    case CS5:
        settings.dataBits = 5;
        break;
    case CS6:
        settings.dataBits = 6;
        break;
    case CS7:
        settings.dataBits = 7;
        break;
    default:
        settings.dataBits = 8;
        break;
    }
    // Mark and space parity differ from even and odd only in the bit's value,
    // not in the time the character takes.
    if (attributes.c_cflag & PARENB)
        settings.parity = (attributes.c_cflag & PARODD) ? LineSettings::Parity::Odd : LineSettings::Parity::Even;
    settings.stopBits = (attributes.c_cflag & CSTOPB) ? LineSettings::StopBits::Two : LineSettings::StopBits::One;
    return settings;
}
