#pragma once

// SIGINT and SIGTERM ask the running command to stop at its next record (common/interruption.h); a second one ends
// the program at once. The database client's own shutdown on these signals is refused.
void HandleInterruptSignals();
