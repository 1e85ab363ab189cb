// Controls held during a send come back as they were just before that send,
// each time: Load EEprom ticked between two sends leaves the start-address
// box enabled after the second.
#include "app/send_hold.h"
#include "support/test_main.h"

#include <QAction>
#include <QLineEdit>
#include <QtTest>

class TestSendHold : public QObject
{
    Q_OBJECT
private slots:
    void eachSendGivesBackTheStateBeforeIt();
};

void TestSendHold::eachSendGivesBackTheStateBeforeIt()
{
    QWidget panel;
    auto *startAddress = new QLineEdit(&panel);
    QAction saveText(&panel);
    SendHold hold;
    for (const bool before : {false, true, false}) {
        startAddress->setEnabled(before); // changed between the sends
        saveText.setEnabled(before);
        hold.hold({startAddress}, {&saveText});
        QVERIFY(!startAddress->isEnabled() && !saveText.isEnabled());
        hold.release();
        QCOMPARE(startAddress->isEnabled(), before);
        QCOMPARE(saveText.isEnabled(), before);
    }
}

VOXCEL_TEST_MAIN(TestSendHold)
#include "test_send_hold.moc"
