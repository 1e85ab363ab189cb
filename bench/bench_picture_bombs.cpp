// Picture bombs: small files that declare huge pictures, in every format
// the readers take here. Each is imported (as the window's Import and
// voxcel-convert do) and loaded (as Load does) in a process of its own, so
// that its peak memory can be read. Targets: done or refused within 2 s,
// 512 MB at the peak.
//   bench_picture_bombs            the table
//   bench_picture_bombs FILE...    the same for files of your own
#include "bench/picture_bombs.h"
#include "canvas/picture_file.h"
#include "import/picture_import.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr double TargetSeconds = 2.0;
constexpr long TargetPeakMb = 512;

// This process's peak resident memory. Its own, unlike the peak wait4()
// reports, which a child spawned from a large parent inherits across exec.
long peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

// In the child: one file, read one way; its peak, then the outcome.
int readOne(const char *how, const QString &path)
{
    QString said;
    if (qstrcmp(how, "--load") == 0) {
        said = readPicture(path) ? QStringLiteral("loaded") : QStringLiteral("refused");
    } else {
        QString error;
        const std::optional<QImage> dots = importPicture(path, ImportOptions(), importTargetSize(false), &error);
        said = dots ? QStringLiteral("imported") : error.section(QStringLiteral(": "), 1);
    }
    std::printf("%ld %s\n", peakMb(), qPrintable(said));
    return 0;
}

struct Outcome
{
    double seconds;
    long peakMb;
    QString result;
};

Outcome measure(const char *self, const char *how, const QString &path)
{
    int out[2];
    if (pipe(out) != 0)
        return {0, 0, QStringLiteral("no pipe")};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const QByteArray file = QFile::encodeName(path);
    char *argv[] = {const_cast<char *>(self), const_cast<char *>(how), const_cast<char *>(file.constData()), nullptr};
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray said;
    char block[512];
    for (ssize_t n; spawned == 0 && (n = read(out[0], block, sizeof block)) > 0;)
        said.append(block, n);
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) < 0)
        return {0, 0, QStringLiteral("not started")};
    const double seconds = timer.nsecsElapsed() / 1e9;
    QString result = QString::fromLocal8Bit(said).trimmed();
    const long peak = result.section(QLatin1Char(' '), 0, 0).toLong();
    result = result.section(QLatin1Char(' '), 1);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        result = QStringLiteral("CRASHED (status %1) %2").arg(status).arg(result);
    return {seconds, peak, result};
}

bool report(const char *self, const QString &name, const QString &path, qint64 bytes)
{
    const Outcome import = measure(self, "--import", path);
    const Outcome load = measure(self, "--load", path);
    const bool ok = import.seconds <= TargetSeconds && import.peakMb <= TargetPeakMb && load.seconds <= TargetSeconds &&
                    load.peakMb <= TargetPeakMb && !import.result.startsWith(QLatin1String("CRASHED")) &&
                    !load.result.startsWith(QLatin1String("CRASHED"));
    std::printf("%-28s %7lld  %6.2f %5ld  %6.2f %5ld  %s %s\n    %s\n", qPrintable(name), bytes, import.seconds,
                import.peakMb, load.seconds, load.peakMb, ok ? "ok  " : "OVER", qPrintable(load.result),
                qPrintable(import.result));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // drawings are rendered with fonts
    if (argc == 3 && argv[1][0] == '-')
        return readOne(argv[1], QFile::decodeName(argv[2]));

    std::printf("%-28s %7s  %-12s  %-12s  %s\n%-28s %7s  %6s %5s  %6s %5s\n", "file", "bytes", "import", "load",
                "load; then import's outcome", "", "", "s", "MB", "s", "MB");
    bool allOk = true;
    if (argc > 1) {
        for (int i = 1; i < argc; ++i)
            allOk &= report(argv[0], QFile::decodeName(argv[i]), QFile::decodeName(argv[i]),
                            QFileInfo(QFile::decodeName(argv[i])).size());
        return allOk ? 0 : 1;
    }
    // The process alone, for what the peaks above include.
    QTemporaryDir dir;
    QImage white(8, 8, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QString baseline = dir.filePath(QStringLiteral("baseline-8x8.png"));
    white.save(baseline);
    allOk &= report(argv[0], QStringLiteral("baseline-8x8.png"), baseline, QFileInfo(baseline).size());
    for (const PictureBomb &bomb : pictureBombs()) {
        const QString path = dir.filePath(bomb.name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bomb.bytes) != bomb.bytes.size())
            return 2;
        file.close();
        allOk &= report(argv[0], bomb.name, path, bomb.bytes.size());
    }
    std::printf("%s: every file done or refused within %.0f s and %ld MB\n", allOk ? "PASS" : "FAIL", TargetSeconds,
                TargetPeakMb);
    return allOk ? 0 : 1;
}
