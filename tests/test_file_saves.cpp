// Saving when writing fails halfway (a file-size limit, which fails the
// same way a full disk does), saving into a folder that takes no new file,
// and voxcel-convert doing the same.
#include "canvas/picture_file.h"
#include "convert/text_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Kind { HexText, Picture };

// Both are larger than the size limit the tests set.
const QString LongText = QStringLiteral("$a5,").repeated(1023) + QStringLiteral("$a5");
constexpr rlim_t SizeLimit = 2048;
constexpr uid_t NobodyId = 65534;

QImage testPicture()
{
    QImage picture(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, (x * 7 + y * 3) % 5 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
    return picture;
}

QString save(Kind kind, const QString &fileName)
{
    if (kind == Kind::HexText)
        return writeHexFile(LongText, fileName);
    return writeBmp(testPicture(), fileName);
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

ino_t inodeOf(const QString &fileName)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 ? info.st_ino : 0;
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

struct ChildSetting
{
    bool sizeLimit = false;
    // When the tests run as root, who may create files anywhere, the child
    // drops to nobody so that a read-only folder holds for it too.
    bool dropRoot = false;
};

enum class ChildOutcome { Saved, CouldNotDropRoot, Broke };

struct ChildResult
{
    ChildOutcome outcome = ChildOutcome::Broke;
    QString reason;
};

// Saves in a forked child, so that the limit and the user it takes on stay
// out of the test program; returns what the save returned.
ChildResult saveInChild(Kind kind, const QString &fileName, ChildSetting setting)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::signal(SIGXFSZ, SIG_IGN); // as the programs do at start
        if (setting.dropRoot && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)
                ::_exit(3);
        }
        if (setting.sizeLimit) {
            const rlimit limit{SizeLimit, SizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(4);
        }
        const QByteArray reason = save(kind, fileName).toUtf8();
        const bool sent = ::write(pipeEnds[1], reason.constData(), size_t(reason.size())) == reason.size();
        ::_exit(sent ? 0 : 5);
    }
    ::close(pipeEnds[1]);
    QByteArray reason;
    char chunk[256];
    for (ssize_t got; (got = ::read(pipeEnds[0], chunk, sizeof chunk)) != 0;) {
        if (got < 0 && errno != EINTR)
            break;
        if (got > 0)
            reason.append(chunk, got);
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return {};
    if (WEXITSTATUS(status) == 3)
        return {ChildOutcome::CouldNotDropRoot, QString()};
    if (WEXITSTATUS(status) != 0)
        return {};
    return {ChildOutcome::Saved, QString::fromUtf8(reason)};
}

// The bytes a save writes where nothing gets in its way.
QByteArray freshSave(Kind kind)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("fresh"));
    return save(kind, name).isEmpty() ? readAll(name) : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestFileSaves : public QObject
{
    Q_OBJECT
private slots:
    void cutOffSavesKeepTheOldFile_data();
    void cutOffSavesKeepTheOldFile();
    void folderThatTakesNoNewFileIsWrittenInPlace_data();
    void folderThatTakesNoNewFileIsWrittenInPlace();
    void convertUnderASizeLimitKeepsTheOldFile();
    void convertMakesTheOutputFolder_data();
    void convertMakesTheOutputFolder();
};

void TestFileSaves::cutOffSavesKeepTheOldFile_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("old"); // null: there is no old file

    QTest::newRow("hex text over a file") << Kind::HexText << QByteArray("$00,$01\r\n");
    QTest::newRow("picture over a file") << Kind::Picture << QByteArray("BM and an older picture");
    QTest::newRow("hex text, no old file") << Kind::HexText << QByteArray();
    QTest::newRow("picture, no old file") << Kind::Picture << QByteArray();
}

void TestFileSaves::cutOffSavesKeepTheOldFile()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, old);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("saved"));
    if (!old.isNull())
        QVERIFY(writeFile(name, old));

    const ChildResult result = saveInChild(kind, name, {true, false});
    QCOMPARE(result.outcome, ChildOutcome::Saved);
    QCOMPARE(result.reason, systemText(EFBIG));
    if (old.isNull())
        QVERIFY(!QFile::exists(name));
    else
        QCOMPARE(readAll(name), old);
    // Nothing is left behind: no temporary file, no cut-off copy.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), old.isNull() ? 0 : 1);
}

void TestFileSaves::folderThatTakesNoNewFileIsWrittenInPlace_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<bool>("sizeLimit");

    QTest::newRow("hex text over a longer file") << Kind::HexText << QByteArray(9000, 'x') << false;
    QTest::newRow("hex text over a shorter file") << Kind::HexText << QByteArray("$00\r\n") << false;
    QTest::newRow("picture over a shorter file") << Kind::Picture << QByteArray("BM old") << false;
    // The new content does not fit: the old one stays whole.
    QTest::newRow("hex text beyond the size limit") << Kind::HexText << QByteArray(1000, 'o') << true;
    QTest::newRow("picture beyond the size limit") << Kind::Picture << QByteArray(1000, 'o') << true;
}

void TestFileSaves::folderThatTakesNoNewFileIsWrittenInPlace()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, old);
    QFETCH(bool, sizeLimit);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    const QString name = folder + QStringLiteral("/saved");
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(writeFile(name, old));
    // The file may be written by anyone, its folder changed by no one.
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    QVERIFY(QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const ino_t inode = inodeOf(name);

    const ChildResult result = saveInChild(kind, name, {sizeLimit, true});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (result.outcome == ChildOutcome::CouldNotDropRoot)
        QSKIP("running as root, and root cannot be dropped here");
    QCOMPARE(result.outcome, ChildOutcome::Saved);
    if (sizeLimit) {
        QCOMPARE(result.reason, systemText(EFBIG));
        QCOMPARE(readAll(name), old);
    } else {
        QCOMPARE(result.reason, QString());
        QCOMPARE(readAll(name), freshSave(kind));
    }
    QCOMPARE(inodeOf(name), inode);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("saved")}));
}

namespace {
struct CliResult
{
    bool exited = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs voxcel-convert with SIGXFSZ at its default action, so the program
// has to ignore it itself, and optionally under the size limit.
CliResult runConvert(const QStringList &arguments, const QString &workingDir, bool sizeLimit)
{
    QProcess process;
#ifdef VOXCEL_CONVERT_BIN
    process.setProgram(QStringLiteral(VOXCEL_CONVERT_BIN));
#endif
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDir);
    process.setChildProcessModifier([sizeLimit] {
        std::signal(SIGXFSZ, SIG_DFL);
        if (sizeLimit) {
            const rlimit limit{SizeLimit, SizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    process.start();
    process.waitForFinished(-1);
    CliResult result;
    result.exited = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool convertIsBuilt()
{
#ifdef VOXCEL_CONVERT_BIN
    return true;
#else
    return false;
#endif
}
} // namespace

void TestFileSaves::convertUnderASizeLimitKeepsTheOldFile()
{
    if (!convertIsBuilt())
        QSKIP("voxcel-convert is not built with the tests");
    QTemporaryDir dir;
    QVERIFY(testPicture().save(dir.filePath(QStringLiteral("logo.bmp")), "BMP"));
    const QByteArray old("$00\r\n");
    QVERIFY(writeFile(dir.filePath(QStringLiteral("logo.inc")), old));

    const CliResult result =
        runConvert({QStringLiteral("-o"), QStringLiteral("logo.inc"), QStringLiteral("logo.bmp")}, dir.path(), true);
    QVERIFY2(result.exited, "voxcel-convert was ended by a signal");
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QString::fromLocal8Bit(result.err),
             QStringLiteral("voxcel-convert: cannot write logo.inc: %1\n").arg(systemText(EFBIG)));
    QCOMPARE(readAll(dir.filePath(QStringLiteral("logo.inc"))), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestFileSaves::convertMakesTheOutputFolder_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("second"); // the second picture
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // empty: the two files are written there

    QTest::newRow("new folder") << "made/"
                                << "b.bmp" << 0 << "";
    QTest::newRow("new folder with new parents") << "made/deeper/deepest/"
                                                 << "b.bmp" << 0 << "";
    QTest::newRow("existing folder") << "./"
                                     << "b.bmp" << 0 << "";
    QTest::newRow("a file in the way") << "blocker/sub/"
                                       << "b.bmp" << 1
                                       << "voxcel-convert: cannot make the folder blocker/sub/: blocker is not a "
                                          "folder\n";
    // Nothing is done, so no folder is left behind either.
    QTest::newRow("two files of one name") << "made/deeper/"
                                           << "sub/a.bmp" << 2
                                           << "voxcel-convert: two pictures would both be written to "
                                              "made/deeper/a.inc\nTry 'voxcel-convert --help' for more "
                                              "information.\n";
}

void TestFileSaves::convertMakesTheOutputFolder()
{
    QFETCH(QString, output);
    QFETCH(QString, second);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    if (!convertIsBuilt())
        QSKIP("voxcel-convert is not built with the tests");
    QTemporaryDir dir;
    QImage black = testPicture();
    black.fill(Qt::black);
    QVERIFY(testPicture().save(dir.filePath(QStringLiteral("a.bmp")), "BMP"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(black.save(dir.filePath(QStringLiteral("b.bmp")), "BMP"));
    QVERIFY(black.save(dir.filePath(QStringLiteral("sub/a.bmp")), "BMP"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("blocker")), "not a folder"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const CliResult result =
        runConvert({QStringLiteral("-o"), output, QStringLiteral("a.bmp"), second}, dir.path(), false);
    QVERIFY(result.exited);
    QCOMPARE(QString::fromLocal8Bit(result.err), error);
    QCOMPARE(result.exitCode, exitCode);
    if (!error.isEmpty()) {
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        return;
    }
    for (const QString &picture : {QStringLiteral("a"), QStringLiteral("b")}) {
        const CliResult printed = runConvert({picture + QStringLiteral(".bmp")}, dir.path(), false);
        QCOMPARE(printed.exitCode, 0);
        QCOMPARE(readAll(QDir(dir.filePath(output)).filePath(picture + QStringLiteral(".inc"))),
                 printed.out.chopped(1) + "\r\n");
    }
}

QTEST_GUILESS_MAIN(TestFileSaves)
#include "test_file_saves.moc"
