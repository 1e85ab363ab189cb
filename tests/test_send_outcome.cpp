// What the progress area says once a send has ended.
#include "app/send_outcome.h"
#include "support/test_main.h"

#include <QtTest>

Q_DECLARE_METATYPE(SendOutcome)

class TestSendOutcome : public QObject
{
    Q_OBJECT
private slots:
    void saysHowTheSendEnded_data();
    void saysHowTheSendEnded();
};

void TestSendOutcome::saysHowTheSendEnded_data()
{
    using End = SendOutcome::End;
    QTest::addColumn<SendOutcome>("outcome");
    QTest::addColumn<QString>("text");
    auto row = [](const char *name, SendOutcome outcome, const char *text) {
        QTest::newRow(name) << outcome << QString::fromUtf8(text);
    };
    row("whole picture", {End::Sent, 2122, 2122, 3.46, {}}, "Sent 2122 characters in 3.5 s");
    row("one character", {End::Sent, 1, 1, 0.001, {}}, "Sent 1 character in 0.0 s");
    row("sent, then the device went away", {End::Sent, 50, 50, 12.0, "No such device"},
        "Sent 50 characters in 12.0 s, then the port closed: No such device");
    row("stopped", {End::Stopped, 812, 2122, 1.2, {}}, "Stopped after 812 of 2122 characters");
    row("stopped before the first", {End::Stopped, 0, 1, 0.0, {}}, "Stopped after 0 of 1 character");
    row("port lost", {End::Failed, 15, 2122, 0.1, "Input/output error"},
        "Failed after 15 of 2122 characters: Input/output error");
}

void TestSendOutcome::saysHowTheSendEnded()
{
    QFETCH(SendOutcome, outcome);
    QFETCH(QString, text);
    QCOMPARE(sendOutcomeText(outcome), text);
}

VOXCEL_TEST_APPLESS_MAIN(TestSendOutcome)
#include "test_send_outcome.moc"
