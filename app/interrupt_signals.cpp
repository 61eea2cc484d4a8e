#include "app/interrupt_signals.h"

#include <csignal>

#include "common/interruption.h"
#include "firebird/engine_signals.h"

namespace {

extern "C" void OnInterruptSignal(int signalNumber)
{
    if (InterruptionSignal() != 0) {
        // Asked twice: the operator does not want to wait for the next record.
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        return;
    }
    RequestInterruption(signalNumber);
}

}  // namespace

void HandleInterruptSignals()
{
    struct sigaction action {};
    action.sa_handler = OnInterruptSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    KeepConnectionsOnSignals();
}
