#include <QtTest>
class CliConvertTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(CliConvertTest)
#include "cli_convert_test.moc"
