#include "picsim/stop_signals.h"

#include <initializer_list>

volatile std::sig_atomic_t stopSignal = 0;

namespace {

void onStopSignal(int signal)
{
    stopSignal = signal;
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
}
