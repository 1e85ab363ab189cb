#include "support/test_main.h"
#include "terminal/receive_display.h"

#include <QtTest>

class TestReceiveDisplay : public QObject
{
    Q_OBJECT
private slots:
    void mapping_data();
    void mapping();
    void crLfSplitOverTwoReadsIsOneBreak();
};

void TestReceiveDisplay::mapping_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "OK 123"
                           << "OK 123";
    QTest::newRow("CR LF") << "a\r\nb"
                           << "a\nb";
    QTest::newRow("lone LF") << "a\nb"
                             << "a\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\nb";
    QTest::newRow("LF CR is two breaks") << "a\n\rb"
                                         << "a\n\nb";
    QTest::newRow("tab kept") << "a\tb"
                              << "a\tb";
    QTest::newRow("NUL and ESC visible") << QString::fromLatin1("a\0\x1b", 3) << QString::fromUtf16(u"a\u2400\u241b");
    QTest::newRow("DEL visible") << "\x7f" << QString::fromUtf16(u"\u2421");
    QTest::newRow("8-bit kept") << QString::fromLatin1("\xe9\xff") << QString::fromLatin1("\xe9\xff");
}

void TestReceiveDisplay::mapping()
{
    QFETCH(QString, received);
    QFETCH(QString, shown);
    QCOMPARE(displayableText(received), shown);
}

void TestReceiveDisplay::crLfSplitOverTwoReadsIsOneBreak()
{
    ReceiveDisplay display;
    QCOMPARE(display.toDisplay(QStringLiteral("one\r")), QStringLiteral("one\n"));
    QCOMPARE(display.toDisplay(QStringLiteral("\ntwo")), QStringLiteral("two"));
    QCOMPARE(display.toDisplay(QStringLiteral("\n")), QStringLiteral("\n"));
    display.reset();
    QCOMPARE(display.toDisplay(QStringLiteral("\n")), QStringLiteral("\n"));
}

VOXCEL_TEST_APPLESS_MAIN(TestReceiveDisplay)
#include "test_receive_display.moc"
