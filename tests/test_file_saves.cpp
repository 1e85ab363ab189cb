// Saves that fail halfway keep the old file (a file-size limit fails a
// write the way a full disk does), a folder that takes no new file gets its
// file written in place, and voxcel-convert reports what failed.
#include "canvas/picture_file.h"
#include "convert/text_file.h"
#include "support/test_main.h"

#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

enum class Kind { HexText, Picture };

// Either save is longer than the limit.
constexpr rlim_t SizeLimit = 2048;
const QString LongText = QStringLiteral("$a5,").repeated(1023) + QStringLiteral("$a5");
const QString TooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));

QString save(Kind kind, const QString &fileName)
{
    if (kind == Kind::HexText)
        return writeHexFile(LongText, fileName);
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return writeBmp(picture, fileName);
}

QByteArray contentOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

bool putFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every file under the folder with its content.
QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString name = it.next();
        files.insert(QDir(folder).relativeFilePath(name), contentOf(name));
    }
    return files;
}

ino_t inodeOf(const QString &fileName)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 ? info.st_ino : 0;
}

void limitFileSize()
{
    const rlimit limit{SizeLimit, SizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

constexpr int CannotDropRoot = 3;

// Saves in a forked child, so that the size limit, and the user nobody it
// takes on when the tests run as root (who may write anywhere), stay out of
// the test program. Returns the child's exit status and what save returned.
std::pair<int, QString> saveInChild(Kind kind, const QString &fileName, bool sizeLimit)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return {-1, QString()};
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // as the programs do at start
        constexpr uid_t Nobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(CannotDropRoot);
        if (sizeLimit)
            limitFileSize();
        const QByteArray reason = save(kind, fileName).toUtf8();
        ::_exit(::write(ends[1], reason.constData(), size_t(reason.size())) == reason.size() ? 0 : 1);
    }
    ::close(ends[1]);
    QFile reader;
    reader.open(ends[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QString reason = QString::fromUtf8(reader.readAll());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return {-1, reason};
    return {WEXITSTATUS(status), reason};
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestFileSaves : public QObject
{
    Q_OBJECT
private slots:
    void savesAreWholeOrLeaveTheOldFile_data();
    void savesAreWholeOrLeaveTheOldFile();
    void convertReportsWhatItCannotWrite_data();
    void convertReportsWhatItCannotWrite();
    void fifosAreWrittenIntoAndLinksThrough();
};

void TestFileSaves::fifosAreWrittenIntoAndLinksThrough()
{
    QTemporaryDir dir;
    // Through a symlink: the file it points to gets the text, the link stays.
    QFile target(dir.filePath(QStringLiteral("target.asm")));
    QVERIFY(target.open(QIODevice::WriteOnly) && target.write("old") == 3);
    target.close();
    const QString link = dir.filePath(QStringLiteral("link.asm"));
    QVERIFY(QFile::link(target.fileName(), link));
    QCOMPARE(writeHexFile(QStringLiteral("$01"), link), QString());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contentOf(target.fileName()), QByteArray("$01\r\n"));

    // Into a FIFO: its reader gets the text, and the FIFO stays.
    const QString fifo = dir.filePath(QStringLiteral("fifo.asm"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray read;
    std::thread reader([&] {
        QFile in(fifo);
        if (in.open(QIODevice::ReadOnly))
            read = in.readAll();
    });
    const QString failure = writeHexFile(QStringLiteral("$02"), fifo);
    reader.join();
    QCOMPARE(failure, QString());
    QCOMPARE(read, QByteArray("$02\r\n"));
    struct stat info = {};
    QVERIFY(::stat(QFile::encodeName(fifo).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
}

void TestFileSaves::savesAreWholeOrLeaveTheOldFile_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("old"); // null: no old file
    QTest::addColumn<bool>("locked");    // the folder takes no new file
    QTest::addColumn<bool>("sizeLimit");

    const QByteArray shorter("$00\r\n");
    QTest::newRow("hex text cut off") << Kind::HexText << shorter << false << true;
    QTest::newRow("picture cut off") << Kind::Picture << shorter << false << true;
    QTest::newRow("hex text cut off, no old file") << Kind::HexText << QByteArray() << false << true;
    QTest::newRow("in place, hex text over a longer file") << Kind::HexText << QByteArray(9000, 'x') << true << false;
    QTest::newRow("in place, picture over a shorter file") << Kind::Picture << shorter << true << false;
    QTest::newRow("in place, hex text beyond the limit") << Kind::HexText << shorter << true << true;
    QTest::newRow("in place, picture beyond the limit") << Kind::Picture << shorter << true << true;
    // Only what was overwritten, up to the limit, is written back: intact, and said to be.
    QTest::newRow("in place, over a file beyond the limit") << Kind::HexText << QByteArray(20000, 'x') << true << true;
}

void TestFileSaves::savesAreWholeOrLeaveTheOldFile()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, old);
    QFETCH(bool, locked);
    QFETCH(bool, sizeLimit);
    QTemporaryDir dir;
    QVERIFY(save(kind, dir.filePath(QStringLiteral("fresh"))).isEmpty());
    const QByteArray fresh = contentOf(dir.filePath(QStringLiteral("fresh")));
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString name = folder + QStringLiteral("/saved");
    QVERIFY(QDir().mkdir(folder));
    if (!old.isNull())
        QVERIFY(putFile(name, old));
    // Anyone may go through the folders and write the file; no one but its
    // owner adds to the folder, and no one when it is locked.
    const auto all = QFile::ReadOwner | QFile::ReadOther | QFile::ExeOwner | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), all));
    QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadOther | QFile::WriteOwner | QFile::WriteOther);
    QVERIFY(QFile::setPermissions(folder, locked ? all : all | QFile::WriteOwner | QFile::WriteOther));
    const ino_t inode = inodeOf(name);

    const auto [status, reason] = saveInChild(kind, name, sizeLimit);
    for (const QString &made : {folder, dir.path()})
        QFile::setPermissions(made, all | QFile::WriteOwner);
    if (status == CannotDropRoot)
        QSKIP("running as root, and root cannot be dropped here");
    QCOMPARE(status, 0);
    QCOMPARE(reason, sizeLimit ? TooLarge : QString());
    QCOMPARE(contentOf(name), sizeLimit ? (old.isNull() ? QByteArray("<none>") : old) : fresh);
    // No temporary file or cut-off copy is left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), QFile::exists(name) ? 1 : 0);
    if (locked)
        QCOMPARE(inodeOf(name), inode);
}

void TestFileSaves::convertReportsWhatItCannotWrite_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("sizeLimit");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");       // empty: nothing reported
    QTest::addColumn<QStringList>("written"); // the new files, each the text printed for the picture

    QTest::newRow("file beyond the size limit")
        << QStringList{"-o", "logo.inc", "a.bmp"} << true << 1
        << QStringLiteral("voxcel-convert: cannot write logo.inc: %1\n").arg(TooLarge) << QStringList();
    // Standard output is a file here; with a size limit, what failed is said.
    QTest::newRow("standard output beyond the size limit")
        << QStringList{"a.bmp"} << true << 1
        << QStringLiteral("voxcel-convert: cannot write to standard output: %1\n").arg(TooLarge) << QStringList();
    QTest::newRow("standard input closed") << QStringList{"--from-text", "-", "-o", "back.bmp"} << false << 1
                                           << "voxcel-convert: cannot read standard input: it is closed\n"
                                           << QStringList();
    QTest::newRow("new folder with new parents") << QStringList{"-o", "made/deeper/", "a.bmp", "b.bmp"} << false << 0
                                                 << "" << QStringList{"made/deeper/a.inc", "made/deeper/b.inc"};
    QTest::newRow("a file in the way of the folder")
        << QStringList{"-o", "logo.inc/sub/", "a.bmp", "b.bmp"} << false << 1
        << "voxcel-convert: cannot make the folder logo.inc/sub/: logo.inc is not a folder\n"
        << QStringList();
    // A wrong choice does nothing, so no folder is left behind either.
    QTest::newRow("two files of one name") << QStringList{"-o", "made/deeper/", "a.bmp", "sub/a.bmp"} << false << 2
                                           << "voxcel-convert: two pictures would both be written to "
                                              "made/deeper/a.inc\nTry 'voxcel-convert --help' for more "
                                              "information.\n"
                                           << QStringList();
}

void TestFileSaves::convertReportsWhatItCannotWrite()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, sizeLimit);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(QStringList, written);
    QTemporaryDir dir;
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    for (const char *name : {"a.bmp", "b.bmp", "sub/a.bmp"})
        QVERIFY(picture.save(dir.filePath(QLatin1String(name)), "BMP"));
    QVERIFY(putFile(dir.filePath(QStringLiteral("logo.inc")), "$00\r\n"));
    const QMap<QString, QByteArray> before = filesUnder(dir.path());
    const QStringList foldersBefore = QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);

    QProcess process;
    process.setWorkingDirectory(dir.path());
    // SIGXFSZ at its default action: the program must ignore it itself.
    const bool closeInput = arguments.contains(QStringLiteral("-"));
    process.setChildProcessModifier([sizeLimit, closeInput] {
        std::signal(SIGXFSZ, SIG_DFL);
        if (sizeLimit)
            limitFileSize();
        if (closeInput)
            ::close(STDIN_FILENO);
    });
    QTemporaryDir outside;
    if (arguments == QStringList{QStringLiteral("a.bmp")})
        process.setStandardOutputFile(outside.filePath(QStringLiteral("stdout.txt")));
    process.start(QStringLiteral(VOXCEL_CONVERT_BIN), arguments);
    QVERIFY(process.waitForFinished(-1));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), error);
    QCOMPARE(process.exitCode(), exitCode);

    QMap<QString, QByteArray> after = filesUnder(dir.path());
    process.start(QStringLiteral(VOXCEL_CONVERT_BIN), {QStringLiteral("a.bmp")});
    QVERIFY(process.waitForFinished(-1));
    const QByteArray printed = process.readAllStandardOutput();
    for (const QString &name : written)
        QCOMPARE(after.take(name), printed.chopped(1) + "\r\n");
    QCOMPARE(after, before);
    if (written.isEmpty())
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), foldersBefore);
}

VOXCEL_TEST_GUILESS_MAIN(TestFileSaves)
#include "test_file_saves.moc"
