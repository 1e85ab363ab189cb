#pragma once

#include "serial/line_settings.h"

#include <termios.h>

// The line settings a terminal's attributes stand for: output speed, data
// bits, parity and stop bits, as the sender set them (on a pseudo-terminal
// both ends share them). The baud rate is 0 for a speed that is not a
// standard rate.
LineSettings terminalLineSettings(const termios &attributes);
