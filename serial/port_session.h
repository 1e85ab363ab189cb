#pragma once

#include "serial/pacing.h"
#include "serial/port_layer.h"
#include "serial/receive_gatherer.h"
#include "serial/series_plan.h"

#include <QMetaType>
#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class SessionWorker;

// The serial line on a thread of its own. The session owns the port layer
// on that thread: opening, closing, the line settings, typed keys, reading
// what arrived and the paced sends all run there, one request after the
// other in the order asked, so the caller's thread never sleeps or waits
// for the port. Every request is answered by a signal, delivered on the
// caller's thread (queued): the caller keeps no port state of its own but
// what these signals told it. One send runs at a time, a picture or a
// series, and each has its own signals: a listener hears only what answers
// the request it made.
class PortSession : public QObject
{
    Q_OBJECT
public:
    // Makes the port layer; called once, on the session's thread, which
    // then owns it (a QSerialPort belongs to the thread that uses it).
    using PortFactory = std::function<std::unique_ptr<PortLayer>()>;

    explicit PortSession(PortFactory makePort, QObject *parent = nullptr);
    // Stops a running send, closes the port and ends the thread.
    ~PortSession() override;

    // Applies the settings (the empty text keeps those in force), selects
    // the port number, opens: opened() or openFailed().
    void open(qint16 commPort, const QString &settings);
    // closed() or closeFailed().
    void close();
    // settingsApplied() or settingsRefused().
    void setSettings(const QString &settings);
    // Sends one typed character when the port is open; nothing otherwise.
    // A failure closes the port: lost().
    void type(char ch);
    // Hands over what arrived: received() when anything did and none is
    // outstanding, lost() when the device is gone. A poll asked for while
    // one is still waiting to run is dropped, so a busy line never piles
    // them up; one asked for during a send too: what arrives meanwhile
    // waits for the first poll after it.
    void poll();
    // What arrived since the last call (the newest ReceiveKeptLimit
    // characters of it); answers received(). Safe from any thread.
    ReceivedBatch takeReceived() { return received_.take(); }
    // What arrives is written to this log on the session's thread, as it
    // is read, every character of it.
    using ReceiveLog = std::function<void(const QString &)>;
    void setReceiveLog(ReceiveLog log);
    // Starts a paced send: sendProgress() now and then, then sendFinished(),
    // and lost() after it when the port failed. False, and nothing is
    // sent, while another send runs.
    bool send(const PacedSend &request);
    // Starts a series the same way, with the command line's loop on the
    // line's thread: seriesProgress(), then seriesFinished().
    bool sendSeries(const SeriesSendPlan &plan);
    // A send or series is running: from its accepted start until its
    // finished signal has been emitted. On the session's owner thread.
    bool isSending() const { return sending_; }
    // Ends a running send or series after the character in flight, also in
    // the middle of a pause or a hold. Safe to call from any thread, at any
    // time.
    void stop();
    // Finds the devices port numbers 1 and 2 stand for now (which takes a
    // while, on the session's thread): portDevicesFound().
    void findPortDevices();

signals:
    void opened(const QString &settings);
    void openFailed(qint16 commPort, const QString &reason);
    void closed();
    void closeFailed(qint16 commPort, const QString &reason);
    void settingsApplied(const QString &inForce);
    void settingsRefused(const QString &reason, const QString &inForce);
    // Characters wait in takeReceived(). Never sent again until they are
    // taken, so at most one waits in the caller's queue however fast they come.
    void received();
    // The device went away under an open port, which is closed now. When
    // the same device comes back within ReconnectWindowMs (the same path,
    // or the same USB serial number under another path) the port opens
    // again on it with the same settings: reconnected(). A request to open
    // or close ends the wait.
    void lost(const QString &reason);
    void reconnected(const QString &device);
    void portDevicesFound(const QStringList &devices);
    // A send or series started (true) or ended (false, after its finished
    // signal): the line is busy, and no poll runs, in between.
    void sendingChanged(bool sending);
    // Characters handed to the port so far, and the time the rest takes on
    // the line; at most every few tens of milliseconds, and at the end.
    void sendProgress(qsizetype sent, qsizetype total, double secondsLeft);
    // The end of a send: result.sent characters of result.total went out
    // in result.elapsed, and result.end says how it ended.
    void sendFinished(const PacedSendResult &result);
    // The same for a series: the frame and round in flight.
    void seriesProgress(int frame, int loop, qsizetype sent, qsizetype total, double secondsLeft);
    void seriesFinished(const SeriesSendResult &result);

private:
    friend class SessionWorker;
    template <typename Work> void post(Work work);
    bool startSending();
    // On the owner thread, in the order the session's thread asked for it.
    template <typename Report> void endSending(Report report);

    bool sending_ = false;
    QThread thread_;
    ReceiveGatherer received_{ReceiveKeptLimit};
    SessionWorker *worker_;
};

Q_DECLARE_METATYPE(PacedSendResult)
Q_DECLARE_METATYPE(SeriesSendResult)
