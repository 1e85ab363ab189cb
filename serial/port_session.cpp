#include "serial/port_session.h"

#include "serial/port_devices.h"
#include "serial/reconnect.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace {
// How often a running send reports its progress: often enough for a
// smooth bar, rarely enough to cost the line nothing.
constexpr auto ProgressInterval = std::chrono::milliseconds(30);

double seconds(LineDuration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// Lets a progress report through every ProgressInterval, and always the
// last of a text.
class ProgressThrottle
{
public:
    bool due(qsizetype sent, qsizetype total)
    {
        const LineTime now = LineClock::now();
        if (sent < total && now - lastReport_ < ProgressInterval)
            return false;
        lastReport_ = now;
        return true;
    }

private:
    LineTime lastReport_{};
};
} // namespace

// Lives on the session's thread and does the work there. It reports through
// the session's signals; Qt queues them to the session's own thread.
class SessionWorker : public QObject
{
public:
    SessionWorker(PortSession &session, PortSession::PortFactory makePort, ReceiveGatherer &received)
        : session_(session), makePort_(std::move(makePort)), received_(received)
    {
    }

    void start()
    {
        port_ = makePort_();
        // Read as it comes, not only at the poll: what waits in the port
        // layer then never grows with the speed of the line.
        port_->setArrivalHandler([this] { readArrived(false); });
        clock_.start();
        reconnectTimer_ = new QTimer(this);
        reconnectTimer_->setInterval(ReconnectCheckMs);
        connect(reconnectTimer_, &QTimer::timeout, this, &SessionWorker::tryReconnect);
    }
    void finish()
    {
        stopWatch();
        closeQuietly();
        port_.reset();
    }

    void open(qint16 commPort, const QString &settings);
    void close();
    void setSettings(const QString &settings);
    void type(char ch);
    void poll();
    void setReceiveLog(PortSession::ReceiveLog log) { log_ = std::move(log); }
    void send(const PacedSend &request);
    void sendSeries(const SeriesSendPlan &plan);
    void findPortDevices() { emit session_.portDevicesFound(devicesForPorts(2)); }

    // From any thread.
    void requestStop()
    {
        {
            const std::lock_guard<std::mutex> lock(stopMutex_);
            stop_ = true;
        }
        wake_.notify_all();
    }
    void clearStop() { stop_ = false; }
    std::atomic<bool> pollQueued{false};

private:
    void readArrived(bool reportLoss);
    // The pacing loop's sleep and stop on this thread.
    PacingHooks hooks()
    {
        return {[this](LineTime deadline) { sleepUntil(deadline); }, LineClock::now, [this] { return stop_.load(); }};
    }
    // After a send that lost the port (or saw the device go after its last
    // character) the port is closed, the result reported, then the loss.
    template <typename Report> void endSend(const PacedSendResult &last, Report report)
    {
        // A device gone after the last character left takes nothing of the
        // send, which ends sent; the port is lost all the same.
        const bool gone = last.end == PacedSendResult::End::PortLost || !last.goneAfterEnd.isEmpty();
        if (gone)
            closeQuietly();
        // The send is over when the port may come back: it never resumes.
        session_.endSending(report);
        if (gone)
            portLost(last.end == PacedSendResult::End::PortLost ? last.portError : goneAfterEndNote(last));
    }
    // Sleeps until the deadline or a stop request, whichever comes first.
    void sleepUntil(LineTime deadline)
    {
        std::unique_lock<std::mutex> lock(stopMutex_);
        wake_.wait_until(lock, deadline, [this] { return stop_.load(); });
    }
    void closeQuietly()
    {
        try {
            if (port_ && port_->isOpen())
                port_->setOpen(false);
        } catch (const std::exception &) {
            // Already gone: closed is what was asked for.
        }
    }
    void portLost(const QString &reason)
    {
        unreportedLoss_.clear();
        closeQuietly();
        emit session_.lost(reason);
        watchForReturn();
    }
    // Notes the USB serial number of the device just opened: once it is
    // unplugged the system no longer knows it.
    void noteOpenedDevice()
    {
        const QString device = port_->openedDevice();
        openedSerial_ = device.isEmpty() ? QString() : QSerialPortInfo(device).serialNumber();
    }
    void watchForReturn();
    void tryReconnect();
    void stopWatch()
    {
        unreportedLoss_.clear();
        lost_.reset();
        if (reconnectTimer_)
            reconnectTimer_->stop();
    }

    PortSession &session_;
    PortSession::PortFactory makePort_;
    ReceiveGatherer &received_;
    PortSession::ReceiveLog log_;
    bool reading_ = false;
    QString unreportedLoss_; // the port failed at a read between polls
    qint64 openedAtMs_ = 0;  // on clock_; a reconnect goes on from the first open
    std::unique_ptr<PortLayer> port_;
    std::atomic<bool> stop_{false};
    std::mutex stopMutex_;
    std::condition_variable wake_;
    QElapsedTimer clock_;
    QTimer *reconnectTimer_ = nullptr;
    QString openedSerial_;
    std::optional<LostDevice> lost_;
};

void SessionWorker::watchForReturn()
{
    const QString device = port_->openedDevice();
    if (device.isEmpty())
        return;
    lost_ = LostDevice{device, openedSerial_, clock_.elapsed()};
    reconnectTimer_->start();
}

void SessionWorker::tryReconnect()
{
    if (!lost_ || reconnectExpired(*lost_, clock_.elapsed())) {
        stopWatch();
        return;
    }
    // A send runs on this thread: none is running while this runs.
    const DeviceScene scene{clock_.elapsed(), false, QFileInfo::exists(lost_->path), listSerialDevices};
    lost_->gone = lost_->gone || !scene.pathPresent;
    const std::optional<QString> device = reconnectTarget(*lost_, scene);
    if (!device)
        return;
    try {
        port_->setDevice(*device);
        port_->setOpen(true); // the settings and the port number in force
    } catch (const std::exception &) {
        return; // not ready yet (permissions still being set): next time
    }
    stopWatch();
    noteOpenedDevice();
    emit session_.reconnected(*device);
}

void SessionWorker::open(qint16 commPort, const QString &settings)
{
    stopWatch();
    try {
        // The settings first, then the port number, both before the open.
        port_->setSettings(settings);
        port_->setCommPort(commPort);
        port_->setOpen(true);
        openedAtMs_ = clock_.elapsed();
        received_.clear();
        emit session_.opened(port_->settings());
        noteOpenedDevice();
    } catch (const std::exception &error) {
        emit session_.openFailed(port_->commPort(), QString::fromStdString(error.what()));
    }
}

void SessionWorker::close()
{
    stopWatch();
    try {
        port_->setOpen(false);
        emit session_.closed();
    } catch (const std::exception &error) {
        emit session_.closeFailed(port_->commPort(), QString::fromStdString(error.what()));
    }
}

void SessionWorker::setSettings(const QString &settings)
{
    try {
        port_->setSettings(settings);
        emit session_.settingsApplied(port_->settings());
    } catch (const std::exception &error) {
        emit session_.settingsRefused(QString::fromStdString(error.what()), port_->settings());
    }
}

void SessionWorker::type(char ch)
{
    if (!port_->isOpen())
        return;
    try {
        port_->output(ch);
    } catch (const PortError &error) {
        portLost(QString::fromStdString(error.what()));
    }
}

void SessionWorker::poll()
{
    pollQueued = false;
    if (!unreportedLoss_.isEmpty())
        portLost(std::exchange(unreportedLoss_, QString()));
    readArrived(true);
    if (received_.claimNotice())
        emit session_.received();
}

// Every character goes to the log; the window gets the newest of them.
void SessionWorker::readArrived(bool reportLoss)
{
    // The port may report an arrival while input() reads.
    if (reading_ || !port_->isOpen())
        return;
    reading_ = true;
    QString text;
    try {
        text = port_->input();
    } catch (const PortError &error) {
        reading_ = false;
        if (reportLoss) {
            portLost(QString::fromStdString(error.what()));
        } else {
            // Between polls a send may be running: it, or the next poll, says so.
            unreportedLoss_ = QString::fromStdString(error.what());
        }
        return;
    }
    reading_ = false;
    if (text.isEmpty())
        return;
    if (log_)
        log_(text);
    received_.add(text, clock_.elapsed() - openedAtMs_);
}

void SessionWorker::send(const PacedSend &request)
{
    const LineDuration characterTime = port_->characterTime();
    ProgressThrottle throttle;
    auto progress = [&](qsizetype sent, qsizetype total) {
        if (throttle.due(sent, total))
            emit session_.sendProgress(
                sent, total,
                seconds(pacedSendTime(request.text, request.waitText, request.delayMs, characterTime, sent)));
    };
    const PacedSendResult result = sendPaced(request, *port_, hooks(), progress);
    endSend(result, [result](PortSession &session) { emit session.sendFinished(result); });
}

void SessionWorker::sendSeries(const SeriesSendPlan &plan)
{
    const LineDuration characterTime = port_->characterTime();
    ProgressThrottle throttle;
    auto progress = [&](int frame, int loop, qsizetype sent, qsizetype total) {
        if (throttle.due(sent, total))
            emit session_.seriesProgress(frame, loop, sent, total,
                                         seconds(seriesSendTime(plan, characterTime, frame, sent, loop)));
    };
    const SeriesSendResult result = sendSeriesPaced(plan, *port_, hooks(), progress);
    endSend(result.last, [result](PortSession &session) { emit session.seriesFinished(result); });
}

PortSession::PortSession(PortFactory makePort, QObject *parent)
    : QObject(parent), worker_(new SessionWorker(*this, std::move(makePort), received_))
{
    qRegisterMetaType<PacedSendResult>();
    qRegisterMetaType<SeriesSendResult>();
    thread_.setObjectName(QStringLiteral("serial line"));
    worker_->moveToThread(&thread_);
    thread_.start();
    post([](SessionWorker &worker) { worker.start(); });
}

PortSession::~PortSession()
{
    worker_->requestStop();
    post([](SessionWorker &worker) {
        worker.finish();
        QThread::currentThread()->quit();
    });
    thread_.wait();
    delete worker_;
}

template <typename Work> void PortSession::post(Work work)
{
    SessionWorker *worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker, work] { work(*worker); }, Qt::QueuedConnection);
}

void PortSession::open(qint16 commPort, const QString &settings)
{
    post([commPort, settings](SessionWorker &worker) { worker.open(commPort, settings); });
}

void PortSession::close()
{
    post([](SessionWorker &worker) { worker.close(); });
}

void PortSession::setSettings(const QString &settings)
{
    post([settings](SessionWorker &worker) { worker.setSettings(settings); });
}

void PortSession::type(char ch)
{
    post([ch](SessionWorker &worker) { worker.type(ch); });
}

void PortSession::poll()
{
    if (sending_ || worker_->pollQueued.exchange(true))
        return;
    post([](SessionWorker &worker) { worker.poll(); });
}

void PortSession::setReceiveLog(ReceiveLog log)
{
    post([log](SessionWorker &worker) { worker.setReceiveLog(log); });
}

bool PortSession::startSending()
{
    if (sending_)
        return false;
    sending_ = true;
    // Cleared here, not on the session's thread: a stop asked for between
    // this call and the start of the send still counts.
    worker_->clearStop();
    emit sendingChanged(true);
    return true;
}

template <typename Report> void PortSession::endSending(Report report)
{
    // Queued behind the send's progress and ahead of a loss it caused.
    QMetaObject::invokeMethod(
        this,
        [this, report] {
            sending_ = false;
            report(*this);
            emit sendingChanged(false);
        },
        Qt::QueuedConnection);
}

bool PortSession::send(const PacedSend &request)
{
    if (!startSending())
        return false;
    post([request](SessionWorker &worker) { worker.send(request); });
    return true;
}

bool PortSession::sendSeries(const SeriesSendPlan &plan)
{
    if (!startSending())
        return false;
    post([plan](SessionWorker &worker) { worker.sendSeries(plan); });
    return true;
}

void PortSession::stop()
{
    worker_->requestStop();
}

void PortSession::findPortDevices()
{
    post([](SessionWorker &worker) { worker.findPortDevices(); });
}
