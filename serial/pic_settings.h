#pragma once

#include <QString>
#include <array>

// The PIC Buffer and PIC Delay(ms) lists: the value is taken from the
// position of the chosen entry.
inline constexpr std::array<qint16, 7> picBufferChoices{2, 4, 8, 16, 32, 64, 128};
inline constexpr std::array<qint16, 11> picDelayChoices{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 100};
inline constexpr int defaultPicBufferIndex = 4; // 32
inline constexpr int defaultPicDelayIndex = 1;  // 10 ms

// The confirmation shown by Apply, five lines joined by LF then CR.
QString applySettingsMessage(qint16 picBuffer, qint16 picDelay, const QString &waitChars, const QString &xmitDelayText);
