#include "support/pty_pair.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sched.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

std::runtime_error systemError(const char *what)
{
    return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

} // namespace

PtyPair::PtyPair()
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw systemError("openpty");
    slavePath_ = QString::fromLocal8Bit(name);

    termios raw{};
    if (::tcgetattr(slave_, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    if (::pipe(wakePipe_) != 0)
        throw systemError("pipe");
}

PtyPair::~PtyPair()
{
    closeMaster();
    for (int &fd : wakePipe_) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (slave_ >= 0)
        ::close(slave_);
}

void PtyPair::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw systemError("write to pty master");
        }
        done += n;
    }
}

void PtyPair::startReading()
{
    if (reader_.joinable() || master_ < 0)
        return;
    reader_ = std::thread([this] { readLoop(); });
}

void PtyPair::stopReading()
{
    if (!reader_.joinable())
        return;
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &wake, 1);
    reader_.join();
    char drain[16];
    while (::read(wakePipe_[0], drain, sizeof drain) == static_cast<ssize_t>(sizeof drain)) {
    }
}

void PtyPair::readLoop()
{
    // Arrival times are only as good as the reader's wake-up: ask for a
    // real-time priority where the system grants it (root, no RT limits).
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);

    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents == 0)
            continue;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        const Clock::time_point now = Clock::now();
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            // No slave end open (cannot happen while the pair holds one).
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (ssize_t i = 0; i < n; ++i)
                received_.push_back({buffer[i], now});
        }
        arrived_.notify_all();
    }
}

std::vector<PtyPair::TimedByte> PtyPair::received() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

QByteArray PtyPair::receivedBytes() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(received_.size()));
    for (const TimedByte &b : received_)
        bytes.append(b.byte);
    return bytes;
}

void PtyPair::clearReceived()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

bool PtyPair::waitForBytes(std::size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; });
}

void PtyPair::closeMaster()
{
    stopReading();
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

double millisecondsBetween(PtyPair::Clock::time_point from, PtyPair::Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}
