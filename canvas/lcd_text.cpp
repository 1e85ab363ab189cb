#include "canvas/lcd_text.h"

#include "canvas/lcd_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace {

QImage blankDots(int width, int height)
{
    QImage dots(qMax(width, 0), qMax(height, 0), QImage::Format_MonoLSB);
    if (dots.isNull())
        return dots;
    dots.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    dots.fill(0);
    return dots;
}

void setDot(QImage &dots, int x, int y)
{
    dots.scanLine(y)[x >> 3] |= static_cast<uchar>(1u << (x & 7));
}

bool isDot(const QImage &dots, int x, int y)
{
    return (dots.constScanLine(y)[x >> 3] >> (x & 7)) & 1;
}

// The built-in font: each dot of a glyph a square of `scale` dots; bold
// doubles every dot one to the right.
QImage renderBuiltIn(const QStringList &lines, const LcdTextStyle &style)
{
    using namespace LcdFont5x7;
    const int scale = qMax(1, style.sizePx / 8);
    const int glyphWidth = GlyphWidth + (style.bold ? 1 : 0);
    const int advance = glyphWidth + 1;
    // By character, not by UTF-16 unit: one glyph for a character beyond
    // the first 65536 too.
    QList<QList<uint>> characters;
    qsizetype longest = 0;
    for (const QString &line : lines) {
        characters << line.toUcs4();
        longest = qMax(longest, characters.last().size());
    }
    QImage dots =
        blankDots(static_cast<int>(longest * advance - 1) * scale, (static_cast<int>(lines.size()) * 8 - 1) * scale);
    for (int row = 0; row < characters.size(); ++row) {
        const QList<uint> &line = characters.at(row);
        for (int i = 0; i < line.size(); ++i) {
            const std::uint8_t *glyph = glyphRows(line.at(i));
            for (int gy = 0; gy < GlyphHeight; ++gy) {
                // The leftmost dot is the highest bit of the glyph's width.
                const unsigned bits = style.bold ? (glyph[gy] << 1) | glyph[gy] : glyph[gy];
                for (int gx = 0; gx < glyphWidth; ++gx) {
                    if (!((bits >> (glyphWidth - 1 - gx)) & 1))
                        continue;
                    for (int sy = 0; sy < scale; ++sy)
                        for (int sx = 0; sx < scale; ++sx)
                            setDot(dots, (i * advance + gx) * scale + sx, (row * 8 + gy) * scale + sy);
                }
            }
        }
    }
    return dots;
}

QFont lcdFont(const LcdTextStyle &style)
{
    QFont font(style.font);
    font.setPixelSize(style.sizePx);
    font.setBold(style.bold);
    // Whole dots only: no grey edges and no colour fringes.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// An installed font, drawn in black on white without anti-aliasing; a dot
// is a pixel darker than half way, so nothing grey can remain.
QImage renderInstalled(const QStringList &lines, const LcdTextStyle &style)
{
    const QFont font = lcdFont(style);
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString &line : lines)
        width = std::max({width, metrics.horizontalAdvance(line), metrics.boundingRect(line).right() + 1});
    const int height = metrics.height() + static_cast<int>(lines.size() - 1) * metrics.lineSpacing();
    QImage grey(qMax(width, 1), qMax(height, 1), QImage::Format_Grayscale8);
    grey.fill(255);
    {
        QPainter painter(&grey);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (int row = 0; row < lines.size(); ++row)
            painter.drawText(0, metrics.ascent() + row * metrics.lineSpacing(), lines.at(row));
    }
    QImage dots = blankDots(width, height);
    for (int y = 0; y < dots.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < dots.width(); ++x)
            if (line[x] < 128)
                setDot(dots, x, y);
    }
    return dots;
}

} // namespace

QString withoutFoundry(const QString &family)
{
    static const QRegularExpression foundry(QStringLiteral("\\s+\\[[^\\]]*\\]$"));
    return QString(family).remove(foundry);
}

QStringList distinctFamilies(const QStringList &families)
{
    QStringList names;
    for (const QString &family : families) {
        const QString name = withoutFoundry(family);
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

QStringList lcdFontNames()
{
    QStringList families;
    for (const QString &family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family))
            families << family;
    return QStringList{BuiltInLcdFont} + distinctFamilies(families);
}

QString lcdFontNamed(const QString &name)
{
    // A name with its maker, as an earlier list showed it, is still found.
    const QString family = withoutFoundry(name.trimmed());
    for (const QString &known : lcdFontNames())
        if (known.compare(family, Qt::CaseInsensitive) == 0)
            return known;
    return QString();
}

QImage renderLcdText(const QString &text, const LcdTextStyle &style)
{
    if (text.isEmpty())
        return QImage();
    // "e" and a combining accent are the one glyph of "\u00e9".
    const QStringList lines =
        text.left(MaxLcdTextLength).normalized(QString::NormalizationForm_C).split(QLatin1Char('\n'));
    LcdTextStyle bounded = style;
    bounded.sizePx = qBound(MinLcdTextSize, style.sizePx, MaxLcdTextSize);
    if (style.font == BuiltInLcdFont)
        return renderBuiltIn(lines, bounded);
    return renderInstalled(lines, bounded);
}

void stampDots(Canvas &canvas, const QImage &dots, QPoint at, QRgb colour)
{
    // Only the part that can land on the canvas is looked at.
    const int left = qMax(0, -at.x());
    const int top = qMax(0, -at.y());
    const int right = qMin(dots.width(), Canvas::Width - at.x());
    const int bottom = qMin(dots.height(), canvas.shownRows() - at.y());
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (isDot(dots, x, y))
                canvas.paintPixel(at.x() + x, at.y() + y, colour);
}

void drawLcdText(Canvas &canvas, const QString &text, const LcdTextStyle &style, QPoint at, QRgb colour)
{
    stampDots(canvas, renderLcdText(text, style), at, colour);
}
