#include "app/quit_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int writeEnd = -1;
volatile std::sig_atomic_t pending = 0;

void onSignal(int number)
{
    if (pending) {
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    pending = 1;
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = saved;
}
} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        qWarning("voxcel: SIGTERM and SIGHUP end the program without keeping the picture: %s", std::strerror(errno));
        return;
    }
    // The handler must never wait on a full socket.
    ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    writeEnd = ends[0];
    readEnd_ = ends[1];
    pending = 0;
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        if (::read(readEnd_, &number, 1) == 1)
            emit received(number);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(Caught); ++i)
        ::sigaction(Caught[i], &action, &previous_[i]);
}

QuitSignals::~QuitSignals()
{
    if (readEnd_ < 0)
        return;
    for (std::size_t i = 0; i < std::size(Caught); ++i)
        ::sigaction(Caught[i], &previous_[i], nullptr);
    ::close(writeEnd);
    ::close(readEnd_);
    writeEnd = -1;
}
