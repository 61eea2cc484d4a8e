#pragma once

#include <functional>

// Runs work on a thread of its own while the calling thread goes on processing its events (repaints, the close
// question, timers), and returns once work has ended, throwing what it threw.
void RunWhileProcessingEvents(const std::function<void()>& work);
