// Text in LCD dots: the built-in 5 x 7 font, every installed font without a
// grey dot, and voxcel-convert --text giving the very dots the LCD View does.
#include "canvas/lcd_text.h"
#include "support/test_main.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
int dotCount(const QImage &dots)
{
    int count = 0;
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x)
            count += dots.pixelIndex(x, y);
    return count;
}
} // namespace

class TestLcdText : public QObject
{
    Q_OBJECT
private slots:
    void builtInFont_data();
    void builtInFont();
    void latinGlyphs();
    void familiesOnce();
    void noGreyInAnyFont();
    void commandLineDrawsTheSameDots();
    void unknownFontIsRefused();
};

void TestLcdText::builtInFont_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<int>("dots");
    QTest::newRow("one glyph") << "H" << 8 << false << QSize(5, 7) << 17;
    QTest::newRow("a gap between glyphs") << "HH" << 8 << false << QSize(11, 7) << 34;
    QTest::newRow("bold, one dot wider") << "I" << 8 << true << QSize(6, 7) << 18;
    QTest::newRow("16 px doubles every dot") << "H" << 16 << false << QSize(10, 14) << 68;
    QTest::newRow("two lines") << "H\nH" << 8 << false << QSize(5, 15) << 34;
    QTest::newRow("three lines at 16 px") << "H\nH\nH" << 16 << false << QSize(10, 46) << 204;
    QTest::newRow("not in the font, '?'") << QString(QChar(0x2603)) << 8 << false << QSize(5, 7) << 9;
    QTest::newRow("beyond 16 bits, one glyph") << QString::fromUcs4(U"\U0001F600") << 8 << false << QSize(5, 7) << 9;
}

void TestLcdText::builtInFont()
{
    QFETCH(QString, text);
    QFETCH(int, size);
    QFETCH(bool, bold);
    QFETCH(QSize, box);
    QFETCH(int, dots);
    const QImage rendered = renderLcdText(text, {BuiltInLcdFont, size, bold});
    QCOMPARE(rendered.size(), box);
    QCOMPARE(dotCount(rendered), dots);
    // One blank dot row (scaled) between lines: the last line lies at the
    // bottom of the box as it is drawn alone.
    const QImage last = renderLcdText(text.section(QLatin1Char('\n'), -1), {BuiltInLcdFont, size, bold});
    QCOMPARE(rendered.copy(0, box.height() - last.height(), last.width(), last.height()), last);
}

void TestLcdText::latinGlyphs()
{
    // Each unlike '?' and its base letter, and the same the second time.
    const LcdTextStyle style;
    const QString pairs = QStringLiteral("\u00b0o\u00e9e\u00fcu\u20acE\u00c0A\u00c7C\u00dfB");
    for (int i = 0; i < pairs.size(); i += 2) {
        const QImage glyph = renderLcdText(pairs.mid(i, 1), style);
        QVERIFY2(glyph != renderLcdText(QStringLiteral("?"), style) &&
                     glyph != renderLcdText(pairs.mid(i + 1, 1), style),
                 qPrintable(pairs.mid(i, 2)));
        QCOMPARE(renderLcdText(pairs.mid(i, 1), style), glyph);
    }
    QCOMPARE(renderLcdText(QStringLiteral("e\u0301"), style), renderLcdText(QStringLiteral("\u00e9"), style));
}

void TestLcdText::familiesOnce()
{
    const QStringList listed{QStringLiteral("C059 [UKWN]"), QStringLiteral("Sans"), QStringLiteral("C059 [urw]"),
                             QStringLiteral("sans"), QStringLiteral("A [B] C [urw]")};
    QCOMPARE(distinctFamilies(listed), QStringList({"C059", "Sans", "A [B] C"}));
    // An installed family is found by the name it had with its maker too.
    const QString family = lcdFontNames().value(1);
    QCOMPARE(lcdFontNamed(family + QStringLiteral(" [urw]")), family);
}

void TestLcdText::noGreyInAnyFont()
{
    const QStringList fonts = lcdFontNames();
    QVERIFY(fonts.size() > 1);
    QCOMPARE(fonts.first(), BuiltInLcdFont);
    for (const QString &font : fonts) {
        for (int size = 6; size <= 24; ++size) {
            for (const bool bold : {false, true}) {
                Canvas canvas;
                drawLcdText(canvas, QStringLiteral("Rg8&"), {font, size, bold}, {1, 1}, Canvas::Black);
                for (const QRgb colour : canvas.pixels())
                    QVERIFY2(colour == Canvas::Black || colour == Canvas::White,
                             qPrintable(QStringLiteral("%1 %2 px").arg(font).arg(size)));
            }
        }
    }
}

void TestLcdText::commandLineDrawsTheSameDots()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("label.bmp"));
    const QString family = lcdFontNames().value(1);
    QProcess cli;
    cli.start(QStringLiteral(VOXCEL_CONVERT_BIN),
              {QStringLiteral("--text"), QStringLiteral("Pump 2\nOK"), QStringLiteral("--font"), family.toUpper(),
               QStringLiteral("--size"), QStringLiteral("13"), QStringLiteral("--bold"), QStringLiteral("--at"),
               QStringLiteral("-2,30"), QStringLiteral("--save-picture"), picture});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY(cli.readAllStandardOutput().startsWith("$"));

    Canvas expected;
    drawLcdText(expected, QStringLiteral("Pump 2\nOK"), {family, 13, true}, {-2, 30}, Canvas::Black);
    QCOMPARE(QImage(picture).convertToFormat(QImage::Format_RGB32), expected.canvasImage());
}

void TestLcdText::unknownFontIsRefused()
{
    QProcess cli;
    cli.start(QStringLiteral(VOXCEL_CONVERT_BIN),
              {QStringLiteral("--text"), QStringLiteral("x"), QStringLiteral("--font"), QStringLiteral("No Such")});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(cli.readAllStandardError().contains("--list-fonts"));
    QCOMPARE(cli.readAllStandardOutput(), QByteArray());
}

VOXCEL_TEST_MAIN(TestLcdText)
#include "test_lcd_text.moc"
