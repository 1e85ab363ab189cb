#pragma once

#include <QString>

// The --help text: what the program does, its options grouped by purpose,
// every line at most HelpWidth characters wide.
inline constexpr int HelpWidth = 79;
QString convertHelpText();
