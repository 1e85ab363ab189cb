#pragma once

#include <QString>
#include <optional>

// Numbers typed by the user (a start address, a delay in milliseconds) are
// read as plain decimal numbers: optional blanks around them, an optional
// sign, digits with an optional fraction and an optional exponent.
// Anything else, the empty text included, is not a number.
std::optional<double> parseDecimal(const QString &text);

// Reals stored into integers are rounded to the nearest, ties to even.
// Returns nothing when the value does not fit the range [low, high].
std::optional<long long> roundHalfEven(double value, long long low, long long high);
