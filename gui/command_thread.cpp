#include "gui/command_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <atomic>
#include <exception>
#include <thread>

void RunWhileProcessingEvents(const std::function<void()>& work)
{
    std::atomic<bool> ended{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        ended = true;
        // Wakes the loop below should it be waiting for events.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
    });
    // Not a QEventLoop: a quit asked for meanwhile would end it while the work still runs and may be waiting for
    // this thread.
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    if (failure) std::rethrow_exception(failure);
}
