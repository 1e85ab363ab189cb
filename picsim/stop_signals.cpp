#include "picsim/stop_signals.h"

#include <cstring>
#include <initializer_list>
#include <unistd.h>

volatile std::sig_atomic_t stopSignal = 0;

namespace {

// Copied in before any signal can use them: a handler may not allocate.
char linkPath[4096];
char linkTarget[4096];

void endNow(int signal)
{
    if (linkPath[0] != '\0') {
        char target[sizeof linkTarget];
        const ssize_t n = ::readlink(linkPath, target, sizeof target - 1);
        if (n >= 0 && std::strncmp(target, linkTarget, sizeof target) == 0 &&
            static_cast<std::size_t>(n) == std::strlen(linkTarget))
            ::unlink(linkPath);
    }
    static const char message[] = "voxcel-picsim: ending at once, without the last results\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void onStopSignal(int signal)
{
    if (stopSignal != 0) {
        endNow(signal);
        return;
    }
    stopSignal = signal;
    ::alarm(StopGraceSeconds);
}

void onGraceOver(int)
{
    endNow(stopSignal);
}

} // namespace

void catchStopSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    action.sa_handler = onGraceOver;
    ::sigaction(SIGALRM, &action, nullptr);
}

void removeLinkOnForcedEnd(const QByteArray &path, const QByteArray &target)
{
    if (path.size() >= qsizetype(sizeof linkPath) || target.size() >= qsizetype(sizeof linkTarget))
        return;
    std::memcpy(linkTarget, target.constData(), target.size() + 1);
    std::memcpy(linkPath, path.constData(), path.size() + 1);
}
