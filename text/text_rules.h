#pragma once

#include <QString>

// Trimming in this program removes space characters only: tabs and line
// breaks are data (the PIC sees them), so they are kept.
QString trimBlanks(const QString &text);

// Lower-casing turns capital letters into small ones; digits, punctuation
// and control characters stay as they are.
QString lowerCase(const QString &text);

// A message's lines as a message box shows them: the program joins its
// lines with LF then CR, which a box would draw as two breaks, so every
// line end (LF CR, CR LF, a lone LF or CR) becomes one LF.
QString oneBreakPerLine(const QString &text);
