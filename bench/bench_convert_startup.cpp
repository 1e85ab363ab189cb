// voxcel-convert converting a BMP, against a bare QCoreApplication + QImage
// program reading the same BMP (bare_qimage_program): a whole process each,
// start to exit, run alternately. voxcel-convert makes a QGuiApplication
// only for drawings; a BMP must cost no more than 10 % over the bare one.
//   bench_convert_startup [RUNS]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

// Seconds from spawn to exit, output to /dev/null.
double runOnce(const QList<QByteArray> &command)
{
    std::vector<char *> argv;
    for (const QByteArray &word : command)
        argv.push_back(const_cast<char *>(word.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? timer.nsecsElapsed() / 1e9 : -1;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    const QDir here(QCoreApplication::applicationDirPath());
    const QByteArray convert = QFile::encodeName(here.filePath(QStringLiteral("../cli/voxcel-convert")));
    const QByteArray bare = QFile::encodeName(here.filePath(QStringLiteral("bare_qimage_program")));
    QTemporaryDir dir;
    QImage picture(128, 64, QImage::Format_Mono);
    picture.fill(0);
    const QByteArray bmp = QFile::encodeName(dir.filePath(QStringLiteral("logo.bmp")));
    picture.save(QString::fromLocal8Bit(bmp));

    std::vector<double> convertTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        convertTimes.push_back(runOnce({convert, bmp}));
        bareTimes.push_back(runOnce({bare, bmp}));
    }
    if (*std::min_element(convertTimes.begin(), convertTimes.end()) < 0 ||
        *std::min_element(bareTimes.begin(), bareTimes.end()) < 0) {
        std::fprintf(stderr, "a program failed to run\n");
        return 2;
    }
    const double ratio = median(convertTimes) / median(bareTimes);
    std::printf("voxcel-convert logo.bmp     median %6.1f ms over %d runs\n"
                "bare QCoreApplication+QImage median %6.1f ms\n"
                "ratio %.2f (target 1.10 or less): %s\n",
                median(convertTimes) * 1e3, runs, median(bareTimes) * 1e3, ratio, ratio <= 1.10 ? "PASS" : "OVER");
    return ratio <= 1.10 ? 0 : 1;
}
