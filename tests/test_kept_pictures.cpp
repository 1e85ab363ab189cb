// Kept pictures: ordered by what was written last whatever the clock says,
// the one just written never pruned, a failure told with its reason.
#include "canvas/kept_pictures.h"
#include "text/file_save.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>
#include <sys/stat.h>

class TestKeptPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ignoreFileSizeSignal(); }
    void keep_data();
    void keep();
    void readSaysWhy_data();
    void readSaysWhy();
};

namespace {
QString old(int year) { return QStringLiteral("picture-%1-01-01-120000-000.bmp").arg(year); }
QString kept(int number, int hour)
{
    return QStringLiteral("kept-%1-20261207T%2Z.bmp").arg(number, 6, 10, QChar(u'0')).arg(hour * 10000, 6, 10, QChar(u'0'));
}
QImage grey(int level)
{
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(qRgb(level, level, level));
    return picture;
}
} // namespace

void TestKeptPictures::keep_data()
{
    QTest::addColumn<QStringList>("before"); // "fifo:", "link:" (to a device), "!": the folder is a file
    QTest::addColumn<QList<int>>("hours");   // the UTC clock at each keep
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<QStringList>("after");  // newest first
    QTest::addColumn<QString>("failure");
    QTest::newRow("clock set back") << QStringList() << QList<int>{12, 11, 10} << 0LL
                                    << QStringList{kept(3, 10), kept(2, 11), kept(1, 12)} << "";
    QTest::newRow("five old names from the future")
        << QStringList{old(2031), old(2032), old(2033), old(2034), old(2035)} << QList<int>{9} << 0LL
        << QStringList{kept(1, 9), old(2035), old(2034), old(2033), old(2032)} << "";
    QTest::newRow("a higher number from elsewhere, later time")
        << QStringList{kept(900, 23), kept(3, 23)} << QList<int>{1} << 0LL
        << QStringList{kept(901, 1), kept(900, 23), kept(3, 23)} << "";
    QTest::newRow("a FIFO and a link to a device are not pictures")
        << QStringList{"fifo:" + kept(7, 1), "link:" + kept(8, 1)} << QList<int>{2} << 0LL
        << QStringList{kept(1, 2)} << "";
    QTest::newRow("the folder is a file") << QStringList{"!"} << QList<int>{2} << 0LL << QStringList()
                                          << "kept pictures is not a folder";
    QTest::newRow("the disk fills up") << QStringList() << QList<int>{2} << 4096LL << QStringList() << "File too large";
}

void TestKeptPictures::keep()
{
    QFETCH(QStringList, before);
    QFETCH(QList<int>, hours);
    QFETCH(qint64, sizeLimit);
    QFETCH(QStringList, after);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("kept pictures"));
    QVERIFY(QDir().mkpath(folder) || before.contains(u"!"));
    for (const QString &entry : before) {
        const QString name = QDir(folder).filePath(entry.section(u':', -1));
        if (entry == u"!")
            QVERIFY(QDir(folder).removeRecursively() && QFile(folder).open(QIODevice::WriteOnly));
        else if (entry.startsWith(u"fifo:"))
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        else if (entry.startsWith(u"link:"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), name));
        else
            QVERIFY(grey(200).save(name));
    }
    int hour = 0;
    const KeptPictures pictures(folder, [&] { return QDateTime(QDate(2026, 12, 7), QTime(hour, 0), Qt::UTC); });
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit saved = limit;
    limit.rlim_cur = sizeLimit ? rlim_t(sizeLimit) : limit.rlim_cur;
    setrlimit(RLIMIT_FSIZE, &limit);
    QString reason;
    for (int i = 0; i < hours.size(); ++i) {
        hour = hours.at(i);
        reason = pictures.keep(grey(i));
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(failure.isEmpty() ? reason.isEmpty() : reason.contains(failure), qPrintable(reason));
    QCOMPARE(pictures.takeFailureNote(), reason);
    QCOMPARE(pictures.takeFailureNote(), QString()); // told once
    QStringList names;
    for (const KeptPictures::Entry &entry : pictures.list())
        names << QFileInfo(entry.path).fileName();
    QCOMPARE(names, after);
    if (failure.isEmpty()) // the one written last is the picture kept last
        QCOMPARE(*KeptPictures::read(pictures.list().first().path).picture, grey(hours.size() - 1));
    else if (QFileInfo(folder).isDir()) // and a failed one leaves nothing half written
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

void TestKeptPictures::readSaysWhy_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("failure");
    QTest::newRow("whole") << "bmp" << "";
    QTest::newRow("cut short") << "cut" << "the file is damaged: it ends before its picture does";
    QTest::newRow("no picture in it") << "text" << "the file is damaged: it holds no picture that can be read";
    QTest::newRow("gone") << "" << "it cannot be read: No such file or directory";
    QTest::newRow("a FIFO") << "fifo" << "it is not a regular file";
}

void TestKeptPictures::readSaysWhy()
{
    QFETCH(QString, file);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("kept.bmp"));
    QFile text(name);
    QVERIFY(file.isEmpty() || (file == u"fifo" ? ::mkfifo(QFile::encodeName(name).constData(), 0600) == 0
                               : file == u"text" ? text.open(QIODevice::WriteOnly) && text.write("no picture") > 0
                                                 : grey(0).save(name)));
    text.close();
    QVERIFY(file != u"cut" || QFile::resize(name, 1000));
    const KeptPictures::Read read = KeptPictures::read(name);
    QCOMPARE(read.failure, failure);
    QCOMPARE(read.picture.has_value(), failure.isEmpty());
}

QTEST_GUILESS_MAIN(TestKeptPictures)
#include "test_kept_pictures.moc"
