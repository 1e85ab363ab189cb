// Outputs never meet on one file, settings FIFOs are not read, full stdout fails.

#include "support/test_main.h"
#include "text/shared_files.h"
#include "text/user_settings.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestOutputPaths : public QObject
{
    Q_OBJECT
private slots:
    void sharedFiles_data();
    void sharedFiles();
    void settingsFifoIsLeftAlone();
    void fullStandardOutputFails_data();
    void fullStandardOutputFails();

private:
    QTemporaryDir dir_;
};

void TestOutputPaths::sharedFiles_data()
{
    QVERIFY(QDir::setCurrent(dir_.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("real/sub")));
    QVERIFY(QFile(QStringLiteral("pic.bmp")).open(QIODevice::WriteOnly));
    QVERIFY(::link("pic.bmp", "hard.bmp") == 0);
    for (const auto &[target, name] :
         {std::pair{"real", "link"}, {"real/sub", "deep"}, {"real/made.inc", "dangling.inc"}})
        QVERIFY(::symlink(target, name) == 0);
    QTest::addColumn<QList<FileGroup>>("groups");
    QTest::addColumn<QString>("problem");
    const auto o = [](const QStringList &files) { return FileGroup{QStringLiteral("-o"), files}; };
    const auto save = [](const QStringList &files) { return FileGroup{QStringLiteral("--save-picture"), files}; };
    const FileGroup picture{QStringLiteral("a picture"), {QStringLiteral("pic.bmp")}, false};

    QTest::newRow("a linked folder") << QList{o({"real/a.inc"}), save({"link/a.inc"})}
                                     << "-o real/a.inc and --save-picture link/a.inc lead to one file";
    QTest::newRow("a dangling link") << QList{o({"dangling.inc"}), save({"real/made.inc"})}
                                     << "-o dangling.inc and --save-picture real/made.inc lead to one file";
    // deep/.. is real, not the folder that holds deep.
    QTest::newRow(".. after a link") << QList{o({"real/x.inc"}), save({"deep/../x.inc"})}
                                     << "-o real/x.inc and --save-picture deep/../x.inc lead to one file";
    QTest::newRow(".. after a link, elsewhere") << QList{o({"x.inc"}), save({"deep/../x.inc"})} << "";
    QTest::newRow("folders not made yet") << QList{o({"new/a.inc"}), save({"new/sub/../a.inc"})}
                                          << "-o new/a.inc and --save-picture new/sub/../a.inc lead to one file";
    QTest::newRow("series meet at 11") << QList{o(numberedFiles("f%d.x", 11)), save(numberedFiles("f1%d.x", 11))}
                                       << "-o f11.x and --save-picture f11.x lead to one file";
    QTest::newRow("a series in a linked folder") << QList{o(numberedFiles("link/f%d.x", 3)), save({"real/f3.x"})}
                                                 << "-o link/f3.x and --save-picture real/f3.x lead to one file";
    QTest::newRow("one series twice through a link")
        << QList{o(QStringList{"real/a.inc", "link/a.inc"})} << "two pictures would both be written to link/a.inc";
    QTest::newRow("a hard link to the picture")
        << QList{picture, o({"hard.bmp"})} << "-o hard.bmp would overwrite a picture (pic.bmp)";
    QTest::newRow("none written twice") << QList{picture, FileGroup{"a picture", {"./pic.bmp"}, false},
                                                 o(numberedFiles("f%d.x", 10)), save(numberedFiles("f1%d.x", 10)),
                                                 save(numberedFiles({}, 5))}
                                        << "";
}

void TestOutputPaths::sharedFiles()
{
    QFETCH(QList<FileGroup>, groups);
    QTEST(sharedFileProblem(groups), "problem");
}

void TestOutputPaths::settingsFifoIsLeftAlone()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("VoxcelPathsTest"));
    const QString file = userSettingsFile();
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    QFile::remove(file);                                                       // left by a run that broke off
    QCOMPARE(QSettings(QCoreApplication::applicationName()).fileName(), file); // where QSettings looks
    for (const QString &fifo : {file, file + QStringLiteral(".lock")}) {
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(!userSettings() && !userSettings());               // at once, and twice
        QVERIFY(!QFileInfo(fifo).isFile() && QFile::remove(fifo)); // still the FIFO
    }
    QVERIFY(userSettings());
}

void TestOutputPaths::fullStandardOutputFails_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    for (const char *option : {"--help", "--version", "--list-fonts", "--text=A"})
        QTest::addRow("convert %s", option) << VOXCEL_CONVERT_BIN << QStringList{option} << 1;
    for (const char *option : {"--help", "--timeout=0.05"}) // picsim prints its device first
        QTest::addRow("picsim %s", option) << VOXCEL_PICSIM_BIN << QStringList{option} << 2;
}

void TestOutputPaths::fullStandardOutputFails()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
    QTEST(process.exitCode(), "status");
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(err.contains(": cannot write to standard output"), err.constData()); // why, where stdio still knows
}

VOXCEL_TEST_GUILESS_MAIN(TestOutputPaths)
#include "test_output_paths.moc"
