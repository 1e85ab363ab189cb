#pragma once

#include <QString>

// Trimming in this program removes space characters only: tabs and line
// breaks are data (the PIC sees them), so they are kept.
QString trimBlanks(const QString &text);

// Lower-casing turns capital letters into small ones; digits, punctuation
// and control characters stay as they are.
QString lowerCase(const QString &text);
