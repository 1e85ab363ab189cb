// Kept pictures: ordered by what was written last whatever the clock says,
// the one just written never pruned, a failure told with its reason.
#include "canvas/kept_pictures.h"
#include "support/test_main.h"
#include "text/file_save.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
QString old(int year)
{
    return QString::asprintf("picture-%d-01-01-120000-000.bmp", year);
}
QString kept(int number, int hour)
{
    return QString::asprintf("kept-%06d-20261207T%02d0000Z.bmp", number, hour);
}
QImage grey(int v)
{
    QImage p(128, 64, QImage::Format_RGB32);
    p.fill(qRgb(v, v, v));
    return p;
}
// "kind:name": a FIFO, a link to a device, a BMP cut short, else a BMP.
bool make(const QString &folder, const QString &entry)
{
    const QString kind = entry.section(u':', 0, -2), name = QDir(folder).filePath(entry.section(u':', -1));
    return kind == u"fifo"   ? ::mkfifo(QFile::encodeName(name).constData(), 0600) == 0
           : kind == u"link" ? QFile::link(QStringLiteral("/dev/zero"), name)
                             : grey(0).save(name, "BMP") && (kind != u"cut" || QFile::resize(name, 1000));
}
} // namespace

class TestKeptPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ignoreFileSizeSignal(); }
    void keep_data();
    void keep();
    void readSaysWhy();
};

void TestKeptPictures::keep_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QList<int>>("hours"); // the UTC clock at each keep
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<QStringList>("after"); // newest first
    QTest::addColumn<QString>("failure");
    QTest::newRow("clock set back; a FIFO and a link to a device are no pictures")
        << QStringList{"fifo:" + kept(7, 1), "link:" + kept(8, 1)} << QList<int>{12, 11, 10} << 0
        << QStringList{kept(3, 10), kept(2, 11), kept(1, 12)} << "";
    QTest::newRow("names from the future, old ones and a higher number from elsewhere")
        << QStringList{old(2031), old(2032), old(2033), old(2034), old(2035), kept(900, 23)} << QList<int>{9} << 0
        << QStringList{kept(901, 9), kept(900, 23), old(2035), old(2034), old(2033)} << "";
    QTest::newRow("the disk fills up") << QStringList() << QList<int>{2} << 4096 << QStringList() << "File too large";
}

void TestKeptPictures::keep()
{
    QFETCH(QStringList, before);
    QFETCH(QList<int>, hours);
    QFETCH(int, sizeLimit);
    QFETCH(QStringList, after);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("kept pictures"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString &entry : before)
        QVERIFY(make(folder, entry));
    int hour = 0;
    const KeptPictures pictures(folder, [&] { return QDateTime(QDate(2026, 12, 7), QTime(hour, 0), Qt::UTC); });
    rlimit saved{}, limit{rlim_t(sizeLimit), RLIM_INFINITY};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0 && (!sizeLimit || setrlimit(RLIMIT_FSIZE, &limit) == 0));
    QString reason;
    for (int i = 0; i < hours.size(); ++i)
        reason = pictures.keep(grey((hour = hours.at(i), i)));
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(failure.isEmpty() ? reason.isEmpty() : reason.contains(failure), qPrintable(reason));
    QCOMPARE(pictures.takeFailureNote(), reason);
    QCOMPARE(pictures.takeFailureNote(), QString()); // told once
    QStringList names;
    for (const KeptPictures::Entry &entry : pictures.list())
        names << QFileInfo(entry.path).fileName();
    QCOMPARE(names, after);
    if (!failure.isEmpty()) // nothing half written is left
        QVERIFY(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

void TestKeptPictures::readSaysWhy()
{
    QTemporaryDir dir;
    for (const auto &[kind, failure] : {std::pair<QString, QString>{"cut", "damaged: it ends before its picture does"},
                                        {"fifo", "it is not a regular file"}}) {
        QVERIFY(make(dir.path(), kind + u':' + kind));
        QVERIFY(KeptPictures::read(dir.filePath(kind)).failure.endsWith(failure));
    }
    // A whole one, small for Recover's list: each dot two by two.
    QImage dots = grey(255);
    dots.setPixel(3, 5, qRgb(0, 0, 0));
    QVERIFY(dots.save(dir.filePath(QStringLiteral("whole")), "BMP"));
    const QImage small = KeptPictures::thumbnail(*KeptPictures::read(dir.filePath(QStringLiteral("whole"))).picture);
    QCOMPARE(small.size(), QSize(256, 128));
    QVERIFY(small.pixel(6, 10) == small.pixel(7, 11) && small.pixel(6, 10) != small.pixel(8, 10));
}

VOXCEL_TEST_GUILESS_MAIN(TestKeptPictures)
#include "test_kept_pictures.moc"
