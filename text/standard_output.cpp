#include "text/standard_output.h"

#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex guard;
const char *programName = "";
int failure = 1;
QByteArray failedBecause; // the first reason noted

void checkAtExit()
{
    QByteArray reason;
    {
        const std::lock_guard<std::mutex> lock(guard);
        reason = failedBecause;
    }
    if (std::fflush(stdout) != 0 && reason.isEmpty())
        reason = std::strerror(errno);
    // stdio drops what a failed write held, so a later flush succeeds; the
    // error mark stays.
    if (reason.isEmpty() && !std::ferror(stdout))
        return;
    std::fprintf(stderr, "%s: cannot write to standard output%s%s\n", programName, reason.isEmpty() ? "" : ": ",
                 reason.constData());
    std::fflush(stderr);
    std::_Exit(failure); // from within exit(): its status cannot be changed otherwise
}

} // namespace

void guardStandardOutput(const char *program, int failureStatus)
{
    programName = program;
    failure = failureStatus;
    std::atexit(checkAtExit);
}

void standardOutputFailed(const QString &reason)
{
    const std::lock_guard<std::mutex> lock(guard);
    if (failedBecause.isEmpty())
        failedBecause = reason.isEmpty() ? QByteArray("a write failed") : reason.toLocal8Bit();
}
