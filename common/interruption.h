#pragma once

// A request to stop the running command: set from a signal handler (or the window's close question) and looked at
// between records, where the command can still roll its copy back cleanly.

// Safe to call from a signal handler. The signal number tells how the program ends (128 + it).
void RequestInterruption(int signalNumber);
// The signal of the standing request; 0 when none stands.
int InterruptionSignal();
void ClearInterruption();
// Throws the fatal Failure of kind Interrupted when a request stands.
void StopIfInterrupted();
