#pragma once

#include "canvas/canvas.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

// Text turned into LCD dots: the built-in 5 x 7 font or any installed font,
// rendered without anti-aliasing and thresholded, so a dot is on or off and
// never grey. The LCD View and voxcel-convert draw text through these
// functions alone, so both give the same dots.

// The built-in font's name in lists and options.
inline const QString BuiltInLcdFont = QStringLiteral("lcd5x7");

struct LcdTextStyle
{
    QString font = BuiltInLcdFont;
    // Pixel size of an installed font. The built-in font is 7 dots high and
    // takes 8 with the gap below; every further 8 px add a dot per dot.
    int sizePx = 8;
    bool bold = false;
};

constexpr int MinLcdTextSize = 4;
constexpr int MaxLcdTextSize = 128;
// Far more than fits the display: it keeps the rendering small.
constexpr int MaxLcdTextLength = 256;

// Each family once: the font database names a family that several makers
// ship as "C059 [UKWN]" and "C059 [urw]"; the family alone finds it.
QString withoutFoundry(const QString &family);
QStringList distinctFamilies(const QStringList &families);
// The built-in font first, then every installed font family. Needs a GUI
// application (the font database).
QStringList lcdFontNames();
// The font's name as the list spells it, or an empty text when there is
// no such font; letter case does not matter.
QString lcdFontNamed(const QString &name);

// The text's dots: a 1-bit picture of the text's box, index 1 a dot. Lines
// are split at line feeds. Empty for an empty text.
QImage renderLcdText(const QString &text, const LcdTextStyle &style);
// Paints the dots of a rendering with its top-left at `at`, in `colour`;
// what falls off the shown canvas is dropped.
void stampDots(Canvas &canvas, const QImage &dots, QPoint at, QRgb colour);
// The two above in one.
void drawLcdText(Canvas &canvas, const QString &text, const LcdTextStyle &style, QPoint at, QRgb colour);
