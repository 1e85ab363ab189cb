#pragma once

#include <QString>
#include <optional>

// The parameter prefix that tells the PIC how to take the picture that
// follows: "*", the target (0 LCD, 1 I2C EEPROM), the buffer size in two hex
// digits, the EEPROM start address in four, and "0" followed by the PIC
// delay in hex. Hex digits are upper case; the prefix is 10 or 11 long.
//
// The start address is the text of the address box read as a decimal
// number, rounded to the nearest (ties to even). Returns nothing when that
// text is not a number or the address does not fit four hex digits
// (0..65535): the PIC must never get a field of the wrong width.
std::optional<QString> buildParamPrefix(bool eepromMode, qint16 picBuffer, const QString &startAddressText,
                                        qint16 picDelay);
