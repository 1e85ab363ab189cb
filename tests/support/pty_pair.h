#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// A pseudo-terminal pair for serial tests. The program under test opens
// the slave device (slavePath()) as its serial port; the test plays the PIC
// on the master side: it reads what the program sends, each chunk stamped
// with its time of arrival by a background thread, and writes replies.
// The pair keeps a descriptor of the slave open itself, so the master never
// sees a hang-up while the program closes and reopens the port.
class PtyPair
{
public:
    using Clock = std::chrono::steady_clock;

    struct TimedByte
    {
        char byte;
        Clock::time_point arrival;
    };

    // Opens the pair with the slave in raw mode; throws std::runtime_error.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    // The pair's own slave descriptor: the line settings the program set
    // can be read back through it (tcgetattr).
    int slaveFd() const { return slave_; }
    bool masterOpen() const { return master_ >= 0; }

    // Writes on the master side: the program reads it from the slave.
    void write(const QByteArray &bytes);

    // Starts and stops the reading thread.
    void startReading();
    void stopReading();

    std::vector<TimedByte> received() const;
    QByteArray receivedBytes() const;
    // Forgets what has arrived so far.
    void clearReceived();
    // Waits until at least count bytes have arrived; false on time-out.
    bool waitForBytes(std::size_t count, int timeoutMs) const;

    // The PIC's end goes away: stops the reader and closes the master.
    void closeMaster();

private:
    void readLoop();

    int master_ = -1;
    int slave_ = -1;
    int wakePipe_[2] = {-1, -1};
    QString slavePath_;

    std::thread reader_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<TimedByte> received_;
};

// voxcel-picsim's --allowance for tests that have it judge a send. The
// kernel passes pseudo-terminal output on from a worker thread, which on a
// busy machine now and then runs a scheduler tick or two (4 ms each) late
// and shortens the silence measured after that piece; the sender is not to
// blame. It still finds a pause the line swallowed (34 ms at 9600 baud).
// The pacing itself is checked exactly on a fake clock, and over a
// pseudo-terminal from the hand-over, where a late arrival only lengthens.
inline const QString PicsimBusyMachineAllowance = QStringLiteral("--allowance=8");

// Milliseconds between two time points, as a real number.
double millisecondsBetween(PtyPair::Clock::time_point from, PtyPair::Clock::time_point to);
