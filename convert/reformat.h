#pragma once

#include <QLatin1String>
#include <QString>

// Shown when the output still has a Format or Delimiter: the PIC reads the
// data as plain hex digits. Lines are joined with LF then CR.
inline constexpr QLatin1String
    NoFormatOrDelimitersMessage("No Format or Delimiters allowed\n\rConvert again without them.");

// Shown when a picture cannot be converted with the settings, and when a
// transmission would go out without its parameter prefix: the PIC must never
// get data it cannot place.
inline constexpr QLatin1String ConversionErrorMessage("Conversion Error - Check settings");

// True when the converted text is plain hex digits, so it may be reformatted.
bool formatAllowsReformat(const QString &format, const QString &delimiter);

// The text of the output window as it is reformatted: blanks trimmed from both
// ends and lower-cased. The window and command-line tools share this step.
QString workTextFrom(const QString &shownText);

// paramPrefix, then the text cut into pieces of N characters, each behind
// waitChars. The pieces cover the whole text (the last one may be shorter),
// so nothing is lost whatever the length; an empty text gives the prefix
// alone. The text is taken as it is: no trimming or lower-casing here.
// N below 1 is a fault of the caller; it is treated as 1.
QString reformatForOutput(const QString &text, int N, const QString &waitChars, const QString &paramPrefix);
