#include "firebird/engine_signals.h"

#include <ibase.h>

namespace {

// Asked before the client shuts its connections down; non-zero cancels a shutdown that a signal started.
int RefuseShutdownOnSignal(const int reason, const int, void*) { return reason == fb_shutrsn_signal ? 1 : 0; }

}  // namespace

void KeepConnectionsOnSignals()
{
    ISC_STATUS_ARRAY status;
    fb_shutdown_callback(status, RefuseShutdownOnSignal, fb_shut_confirmation, nullptr);
}
