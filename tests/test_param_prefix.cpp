#include "serial/param_prefix.h"
#include "serial/pic_settings.h"
#include "serial/start_address_entry.h"
#include "support/test_main.h"
#include "text/decimal_text.h"
#include "text/text_rules.h"

#include <QtTest>

class TestParamPrefix : public QObject
{
    Q_OBJECT
private slots:
    void prefix_data();
    void prefix();
    void unusableAddressFails_data();
    void unusableAddressFails();
    void everyListChoiceGivesFieldsOfTheRightWidth();
    void decimalTextReadsWhatUsersType_data();
    void decimalTextReadsWhatUsersType();
    void roundingStaysInRange();
    void addressBoxTakesWholeTextOrNone_data();
    void addressBoxTakesWholeTextOrNone();
    void startAddressAnswers();
    void applyMessage();
    void messagesShowOneBreakPerLine_data();
    void messagesShowOneBreakPerLine();
};

void TestParamPrefix::prefix_data()
{
    QTest::addColumn<bool>("eeprom");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("expected");

    QTest::newRow("start-up defaults") << false << 32 << "0000" << 10 << "*02000000A";
    QTest::newRow("eeprom 16 / 5 / 1024") << true << 16 << "1024" << 5 << "*110040005";
    QTest::newRow("delay 20 gives 11 characters") << false << 32 << "0000" << 20 << "*0200000014";
    QTest::newRow("delay 100") << false << 32 << "0000" << 100 << "*0200000064";
    QTest::newRow("buffer 128") << false << 128 << "0000" << 10 << "*08000000A";
    QTest::newRow("buffer 2") << false << 2 << "0000" << 10 << "*00200000A";
    QTest::newRow("address 4096") << true << 32 << "4096" << 10 << "*12010000A";
    QTest::newRow("address 9999") << true << 32 << "9999" << 10 << "*120270F0A";
    QTest::newRow("address 0") << true << 32 << "0" << 10 << "*12000000A";
    QTest::newRow("address 1.5 rounds to even 2") << true << 32 << "1.5" << 10 << "*12000020A";
    QTest::newRow("address 2.5 rounds to even 2") << true << 32 << "2.5" << 10 << "*12000020A";
    QTest::newRow("blanks around the address") << true << 32 << " 12 " << 10 << "*120000C0A";
    QTest::newRow("largest address") << true << 32 << "65535" << 10 << "*120FFFF0A";
    QTest::newRow("exponent notation") << true << 32 << "1E3" << 10 << "*12003E80A";
}

void TestParamPrefix::prefix()
{
    QFETCH(bool, eeprom);
    QFETCH(int, buffer);
    QFETCH(QString, address);
    QFETCH(int, delay);
    QFETCH(QString, expected);
    const std::optional<QString> built =
        buildParamPrefix(eeprom, static_cast<qint16>(buffer), address, static_cast<qint16>(delay));
    QVERIFY(built.has_value());
    QCOMPARE(*built, expected);
}

void TestParamPrefix::unusableAddressFails_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "    ";
    QTest::newRow("letters") << "abcd";
    QTest::newRow("hex") << "0x10";
    QTest::newRow("trailing junk") << "12ab";
    QTest::newRow("negative") << "-1";
    QTest::newRow("above four hex digits") << "65536";
    QTest::newRow("huge exponent") << "1E99";
    QTest::newRow("infinity") << "1E999";
    QTest::newRow("nan") << "nan";
}

void TestParamPrefix::unusableAddressFails()
{
    QFETCH(QString, address);
    QVERIFY(!buildParamPrefix(true, 32, address, 10).has_value());
}

void TestParamPrefix::everyListChoiceGivesFieldsOfTheRightWidth()
{
    for (qint16 buffer : picBufferChoices) {
        for (qint16 delay : picDelayChoices) {
            const QString prefix = *buildParamPrefix(false, buffer, QStringLiteral("0000"), delay);
            QCOMPARE(prefix.left(2), QStringLiteral("*0"));
            QCOMPARE(prefix.mid(2, 2).toInt(nullptr, 16), int(buffer));
            QCOMPARE(prefix.mid(4, 4), QStringLiteral("0000"));
            const QString delayField = prefix.mid(8);
            QCOMPARE(delayField.at(0), QLatin1Char('0'));
            QCOMPARE(delayField.mid(1).toInt(nullptr, 16), int(delay));
            QCOMPARE(delayField.size(), delay <= 15 ? 2 : 3);
            QCOMPARE(prefix, prefix.toUpper());
        }
    }
}

void TestParamPrefix::decimalTextReadsWhatUsersType_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "20" << true << 20.0;
    QTest::newRow("fraction") << "20.9" << true << 20.9;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("signs") << "-3" << true << -3.0;
    QTest::newRow("tab and blanks") << "\t 7 " << true << 7.0;
    QTest::newRow("point alone") << "." << false << 0.0;
    QTest::newRow("sign alone") << "+" << false << 0.0;
    QTest::newRow("comma decimal") << "2,5" << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("dangling exponent") << "1e" << false << 0.0;
}

void TestParamPrefix::decimalTextReadsWhatUsersType()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> read = parseDecimal(text);
    QCOMPARE(read.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*read, value);
}

void TestParamPrefix::roundingStaysInRange()
{
    QCOMPARE(*roundHalfEven(2.5, 0, 10), 2LL);
    QCOMPARE(*roundHalfEven(3.5, 0, 10), 4LL);
    QCOMPARE(*roundHalfEven(-0.4, 0, 10), 0LL);
    QCOMPARE(*roundHalfEven(10.5, 0, 10), 10LL); // ties to even: still in range
    QVERIFY(!roundHalfEven(11.5, 0, 10).has_value());
    // 2^63 equals the largest long long once both are doubles, but does not fit.
    QVERIFY(!roundHalfEven(9223372036854775808.0, 0, std::numeric_limits<long long>::max()).has_value());
    QVERIFY(!roundHalfEven(std::nan(""), 0, 10).has_value());
}

void TestParamPrefix::addressBoxTakesWholeTextOrNone_data()
{
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("selected"); // from the start of the box
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("insert"); // empty: refused
    QTest::addColumn<QString>("reason");
    const QString larger = QStringLiteral("Start Address..., which takes any address from 0 to 65535");
    QTest::newRow("fifth key") << false << "6451" << 4 << 0 << "2"
                               << ""
                               << "\"64512\" does not fit";
    QTest::newRow("key into the full default") << false << "0000" << 0 << 0 << "1"
                                               << "" << larger;
    QTest::newRow("key over the selection") << false << "0000" << 4 << 4 << "6"
                                            << "6"
                                            << "";
    QTest::newRow("key into room") << false << "645" << 3 << 0 << "1"
                                   << "1"
                                   << "";
    QTest::newRow("letters are the reader's to refuse") << false << "" << 0 << 0 << "x"
                                                        << "x"
                                                        << "";
    QTest::newRow("paste of five digits") << true << "" << 0 << 0 << "64512"
                                          << ""
                                          << "\"64512\" has 5 characters";
    QTest::newRow("paste of five over all") << true << "0000" << 4 << 4 << "64512"
                                            << "" << larger;
    QTest::newRow("paste that fits") << true << "0000" << 4 << 4 << "1024"
                                     << "1024"
                                     << "";
    QTest::newRow("blanks and line end left out") << true << "" << 0 << 0 << " 1024\r\n"
                                                  << "1024"
                                                  << "";
    QTest::newRow("paste beside what is there") << true << "0000" << 4 << 0 << "1024"
                                                << ""
                                                << "Select the characters";
    QTest::newRow("two lines") << true << "" << 0 << 0 << "12\n34"
                               << ""
                               << "more than one line";
    QTest::newRow("a megabyte") << true << "" << 0 << 0 << QString(1 << 20, QLatin1Char('9')) << ""
                                << "has 1048576 characters";
}

void TestParamPrefix::addressBoxTakesWholeTextOrNone()
{
    QFETCH(bool, paste);
    QFETCH(QString, box);
    QFETCH(int, cursor);
    QFETCH(int, selected);
    QFETCH(QString, input);
    QFETCH(QString, insert);
    QFETCH(QString, reason);
    const AddressBoxState state{box, cursor, 0, selected};
    const AddressBoxEdit edit =
        paste ? judgePastedIntoAddressBox(state, input) : judgeTypedIntoAddressBox(state, input);
    QCOMPARE(edit.accepted, !insert.isEmpty());
    QCOMPARE(edit.insert, insert);
    QVERIFY2(edit.reason.contains(reason) && edit.reason.size() < 300, qPrintable(edit.reason));
    QCOMPARE(edit.reason.isEmpty(), edit.accepted);
}

void TestParamPrefix::startAddressAnswers()
{
    QString reason;
    QCOMPARE(readStartAddress(QStringLiteral(" 64512 "), &reason), std::optional<int>(64512));
    QCOMPARE(readStartAddress(QStringLiteral("2.5"), &reason), std::optional<int>(2));
    for (const char *refused : {"65536", "-1", "0x10", "1,5"}) {
        QVERIFY2(!readStartAddress(QLatin1String(refused), &reason), refused);
        QVERIFY(reason.contains(QStringLiteral("from 0 to 65535")));
    }
    QCOMPARE(addressBoxText(512), std::optional<QString>(QStringLiteral("0512")));
    QCOMPARE(addressBoxText(9999), std::optional<QString>(QStringLiteral("9999")));
    QVERIFY(!addressBoxText(10000)); // the box cannot hold it: Start Address... keeps it
}

void TestParamPrefix::applyMessage()
{
    QCOMPARE(applySettingsMessage(32, 10, QStringLiteral("]"), QStringLiteral("20")),
             QStringLiteral("Settings Now\n\rBuffer:32\n\rDelay:10\n\rWait Char(s): ]\n\rXmit Delay:20"));
}

void TestParamPrefix::messagesShowOneBreakPerLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("LF CR, the program's own") << "a\n\rb\n\rc"
                                              << "a\nb\nc";
    QTest::newRow("CR LF") << "a\r\nb"
                           << "a\nb";
    QTest::newRow("lone LF and lone CR") << "a\nb\rc"
                                         << "a\nb\nc";
    QTest::newRow("an empty line stays") << "a\n\r\n\rb"
                                         << "a\n\nb";
    QTest::newRow("LF LF is two lines") << "a\n\nb"
                                        << "a\n\nb";
    QTest::newRow("break at the end") << "a\n\r"
                                      << "a\n";
    QTest::newRow("no break") << "abc"
                              << "abc";
}

void TestParamPrefix::messagesShowOneBreakPerLine()
{
    QFETCH(QString, text);
    QTEST(oneBreakPerLine(text), "shown");
}

VOXCEL_TEST_APPLESS_MAIN(TestParamPrefix)
#include "test_param_prefix.moc"
