#pragma once

#include <csignal>

// The signal that asked the run to end, or 0.
extern volatile std::sig_atomic_t stopSignal;

// Interrupting or terminating ends the run like the end of --count, so the
// link is removed and the last results are written. No restart: poll()
// returns at once.
void catchStopSignals();
