// The judge's own reading of gpsim and of the line: a fault here would
// hide a fault of the firmware.
#include "firmware/judge/gpsim_session.h"
#include "firmware/judge/ks0108_model.h"
#include "firmware/judge/line_judge.h"

#include <QtTest>

class JudgeLogicTest : public QObject
{
    Q_OBJECT
private slots:
    void writesAreReadWhereverGpsimPutsThem();
    void eepromRunsLastUntilTheNextOne();
    void charactersQueueBehindTheOneOnTheWire();
    void displayTakesBytesOnTheFallingEdge();
    void picturesSplitAtEachStar();
};

void JudgeLogicTest::writesAreReadWhereverGpsimPutsThem()
{
    const auto writes = registerWrites(QStringLiteral("0x0000000000002A15 p16f877a 0x0016 0x0088 movwf portd\n"
                                                      "  Wrote: 0x0041 to portd(0x0008) was 0x0000\n"
                                                      "0x0000000000002A18 p16f877a 0x0019 0x1506 bsf portb,2\n"
                                                      "21:   Wrote: 0x0025 to portb(0x0006) was 0x0021\n"));
    QCOMPARE(writes.size(), std::size_t(2));
    QCOMPARE(writes[1].cycle, 0x2A18);
    QCOMPARE(writes[1].reg, QStringLiteral("portb"));
    QCOMPARE(writes[1].value, 0x25);
}

void JudgeLogicTest::eepromRunsLastUntilTheNextOne()
{
    const auto contents = eepromContents(QStringLiteral("eeData[$0..$3e8]     = $00\n"
                                                        "eeData[$3e8..$3e9]   = $7f\n"
                                                        "eeData[$3e9..$3ec]   = $08\n"
                                                        "eeData[$3ec..$7fff]  = $00 \n"));
    QVERIFY(contents);
    QCOMPARE(contents->mid(0x3E7, 6), QByteArray::fromHex("007f08080800"));
    QVERIFY(!eepromContents(QStringLiteral("nothing printed")));
}

void JudgeLogicTest::charactersQueueBehindTheOneOnTheWire()
{
    LineRecording line;
    line.baud = 9600; // 480 cycles a bit
    line.arrivals = {{0, "ab"}, {1'000'000, "c"}, {10'000'000, "d"}};
    const std::vector<qint64> expected{100, 100 + 4800, 100 + 9600, 100 + 46080};
    QCOMPARE(startCycles(line, 100), expected);
    // A second look gives the same: nothing is kept between calls.
    QCOMPARE(startCycles(line, 100), expected);
}

void JudgeLogicTest::displayTakesBytesOnTheFallingEdge()
{
    const int on = Ks0108Model::ResetLow;
    const int both = on | Ks0108Model::ChipSelect1 | Ks0108Model::ChipSelect2;
    const int right = on | Ks0108Model::ChipSelect2 | Ks0108Model::DataOrInstruction;
    const int e = Ks0108Model::Enable;
    std::vector<RegisterWrite> writes;
    qint64 cycle = 0;
    auto put = [&](int control, int data) {
        writes.push_back({cycle += 10, QStringLiteral("portd"), data});
        writes.push_back({cycle += 10, QStringLiteral("portb"), control | e});
        writes.push_back({cycle += 10, QStringLiteral("portb"), control});
    };
    put(both, 0x3F);      // display on
    put(both, 0xB8 | 3);  // page 3
    put(both, 0x40 | 62); // column 62
    put(right, 0x11);
    put(right, 0x22); // column 63
    put(right, 0x33); // wraps to column 0
    Ks0108Model display;
    display.replay(writes);
    const QByteArray shown = display.shownBytes();
    QCOMPARE(shown.at(3 * 128 + 64 + 62), '\x11');
    QCOMPARE(shown.at(3 * 128 + 127), '\x22');
    QCOMPARE(shown.at(3 * 128 + 64), '\x33');
    QCOMPARE(shown.count('\0'), 1024 - 3);
}

void JudgeLogicTest::picturesSplitAtEachStar()
{
    const auto pictures = sentPictures("*10204000A]0a1b]2c*01000000F]ff");
    QCOMPARE(pictures.size(), std::size_t(2));
    QCOMPARE(pictures[0].target, 1);
    QCOMPARE(pictures[0].address, 0x400);
    QCOMPARE(pictures[0].bytes, QByteArray::fromHex("0a1b2c"));
    QCOMPARE(pictures[1].bytes, QByteArray::fromHex("ff"));
}

QTEST_GUILESS_MAIN(JudgeLogicTest)
#include "judge_logic_test.moc"
