#include "common/interruption.h"

#include <atomic>

#include "common/failure.h"

namespace {
// Set from a signal handler on any thread and read by the command on its own: a lock-free atomic serves both.
std::atomic<int> requestedSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
}

void RequestInterruption(int signalNumber) { requestedSignal = signalNumber; }

int InterruptionSignal() { return requestedSignal; }

void ClearInterruption() { requestedSignal = 0; }

void StopIfInterrupted()
{
    if (requestedSignal != 0) throw Failure("Comando interrompido", FatalKind::Interrupted);
}
