#pragma once

#include <QByteArray>

#include <csignal>

// The signal that asked the run to end, or 0.
extern volatile std::sig_atomic_t stopSignal;

// Interrupting or terminating ends the run like the end of --count, so the
// link is removed and the last results are written. No restart: poll()
// returns at once. A run still going StopGraceSeconds after the signal is
// blocked in a write (a log or an output a reader does not empty) and
// ends then, as does one that gets a second signal: the link is removed
// and the signal ends the program.
constexpr unsigned StopGraceSeconds = 3;
void catchStopSignals();

// The link a forced end removes, if it still points to target.
void removeLinkOnForcedEnd(const QByteArray &path, const QByteArray &target);
