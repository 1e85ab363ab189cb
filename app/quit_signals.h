#pragma once

#include <QObject>

#include <csignal>
#include <iterator>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT as a Qt signal, so that the program ends the
// way Exit ends it (the picture kept) instead of at once. The handler only
// writes the signal's number into a socket, which is all it may safely do;
// the event loop reads it. A second signal ends the program at once, as
// without this class: a program that no longer reads its events can still
// be ended. One object per process.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void received(int signalNumber);

private:
    static constexpr int Caught[] = {SIGTERM, SIGHUP, SIGINT};

    int readEnd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    struct sigaction previous_[std::size(Caught)] = {};
};
