#include "common/interruption.h"

#include <csignal>

#include "common/failure.h"

namespace {
volatile std::sig_atomic_t requestedSignal = 0;
}

void RequestInterruption(int signalNumber) { requestedSignal = signalNumber; }

int InterruptionSignal() { return requestedSignal; }

void ClearInterruption() { requestedSignal = 0; }

void StopIfInterrupted()
{
    if (requestedSignal != 0) throw Failure("Comando interrompido", FatalKind::Interrupted);
}
