// A text placed in the LCD View: finished by another tool, taken back by Esc.
#include "canvas/lcd_editing.h"
#include "canvas/lcd_text.h"

#include <QtTest>

class TestLcdEditing : public QObject
{
    Q_OBJECT
private slots:
    void placedTextEndsWithTheTool_data();
    void placedTextEndsWithTheTool();
};

void TestLcdEditing::placedTextEndsWithTheTool_data()
{
    QTest::addColumn<int>("tool"); // -1: Esc
    QTest::addColumn<bool>("kept");
    QTest::newRow("another tool") << int(LcdTool::Line) << true;
    QTest::newRow("the Text tool again: still placed") << int(LcdTool::Text) << false;
    QTest::newRow("Esc") << -1 << false;
}

void TestLcdEditing::placedTextEndsWithTheTool()
{
    QFETCH(int, tool);
    QFETCH(bool, kept);
    for (const QPoint at : {QPoint(4, 4), QPoint(30, 9)}) { // and a second time
        LcdEditing editing;
        Canvas picture;
        QVERIFY(!editing.setTool(picture, LcdTool::Text));
        editing.setTextDots(renderLcdText(QStringLiteral("Hi"), LcdTextStyle()));
        editing.moveTo(at, false);
        QVERIFY(!editing.press(picture, at, false, false));
        std::optional<LcdEdit> edit;
        if (tool < 0)
            editing.cancel();
        else
            edit = editing.setTool(picture, LcdTool(tool));
        Canvas expected;
        drawLcdText(expected, QStringLiteral("Hi"), LcdTextStyle(), at, Canvas::Black);
        QCOMPARE(edit.has_value(), kept);
        QVERIFY(!kept || edit->after == expected.pixels());
        QCOMPARE(editing.isTextPlaced(), tool == int(LcdTool::Text));
    }
}

QTEST_GUILESS_MAIN(TestLcdEditing)
#include "test_lcd_editing.moc"
