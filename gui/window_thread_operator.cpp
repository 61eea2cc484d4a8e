#include "gui/window_thread_operator.h"

#include <QMetaObject>
#include <QThread>
#include <exception>
#include <future>
#include <type_traits>

#include "gui/main_window.h"

WindowThreadOperator::WindowThreadOperator(MainWindow& window) : window_(window) {}

void WindowThreadOperator::RunOnWindowThread(const std::function<void()>& call)
{
    if (QThread::currentThread() == window_.thread()) return call();
    // The promise, not a blocking connection, hands the result over: an exception must not leave a queued call
    // (Qt would end the program), and the hand-over is then plain to the thread checkers too.
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    QMetaObject::invokeMethod(
        &window_,
        [&] {
            try {
                call();
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());
            }
        },
        Qt::QueuedConnection);
    finished.get();
}

template <class Call> auto WindowThreadOperator::OnWindowThread(Call call) -> decltype(call())
{
    if constexpr (std::is_void_v<decltype(call())>) {
        RunOnWindowThread(call);
    } else {
        decltype(call()) result{};
        RunOnWindowThread([&] { result = call(); });
        return result;
    }
}

void WindowThreadOperator::ShowMessage(const std::string& text)
{
    OnWindowThread([&] { window_.ShowMessage(text); });
}
void WindowThreadOperator::ShowErrorBox(const std::string& text)
{
    OnWindowThread([&] { window_.ShowErrorBox(text); });
}
void WindowThreadOperator::LogAppend(const std::string& line)
{
    OnWindowThread([&] { window_.LogAppend(line); });
}
void WindowThreadOperator::LogClear()
{
    OnWindowThread([&] { window_.LogClear(); });
}
bool WindowThreadOperator::LogHasLines()
{
    return OnWindowThread([&] { return window_.LogHasLines(); });
}
void WindowThreadOperator::GaugeReset()
{
    OnWindowThread([&] { window_.GaugeReset(); });
}
void WindowThreadOperator::GaugeAdvance(int step)
{
    OnWindowThread([&] { window_.GaugeAdvance(step); });
}
void WindowThreadOperator::GaugeShow()
{
    OnWindowThread([&] { window_.GaugeShow(); });
}
std::string WindowThreadOperator::ChooseFolder(const std::string& title)
{
    return OnWindowThread([&] { return window_.ChooseFolder(title); });
}
std::optional<std::string> WindowThreadOperator::ChooseDatabaseFile(const std::string& title)
{
    return OnWindowThread([&] { return window_.ChooseDatabaseFile(title); });
}
std::optional<std::string> WindowThreadOperator::AskText(const std::string& caption, const std::string& prompt,
                                                         const std::string& defaultText)
{
    return OnWindowThread([&] { return window_.AskText(caption, prompt, defaultText); });
}
bool WindowThreadOperator::IsChecked(CheckBox box) { return window_.IsChecked(box); }
CodePage WindowThreadOperator::LegacyCodePage()
{
    return OnWindowThread([&] { return window_.LegacyCodePage(); });
}
std::string WindowThreadOperator::LegacyFolderBox()
{
    return OnWindowThread([&] { return window_.LegacyFolderBox(); });
}
void WindowThreadOperator::SetLegacyFolderBox(const std::string& text)
{
    OnWindowThread([&] { window_.SetLegacyFolderBox(text); });
}
std::string WindowThreadOperator::TargetBox()
{
    return OnWindowThread([&] { return window_.TargetBox(); });
}
void WindowThreadOperator::SetTargetBox(const std::string& text)
{
    OnWindowThread([&] { window_.SetTargetBox(text); });
}
std::string WindowThreadOperator::SalesFromText() { return window_.SalesFromText(); }
std::string WindowThreadOperator::SalesToText() { return window_.SalesToText(); }
std::string WindowThreadOperator::NumberingText()
{
    return OnWindowThread([&] { return window_.NumberingText(); });
}
void WindowThreadOperator::ClearNumbering()
{
    OnWindowThread([&] { window_.ClearNumbering(); });
}
void WindowThreadOperator::Focus(FocusTarget target)
{
    OnWindowThread([&] { window_.Focus(target); });
}
void WindowThreadOperator::ConnectionFailed(const std::string& reason)
{
    OnWindowThread([&] { window_.ConnectionFailed(reason); });
}
void WindowThreadOperator::ShowRecordFailureMessage(const std::string& text)
{
    OnWindowThread([&] { window_.ShowRecordFailureMessage(text); });
}
void WindowThreadOperator::CopyStarted(const std::string& fileName)
{
    OnWindowThread([&] { window_.CopyStarted(fileName); });
}
void WindowThreadOperator::RecordFailed(const RecordFailure& failure)
{
    OnWindowThread([&] { window_.RecordFailed(failure); });
}
void WindowThreadOperator::CopyCounted(const CopyCounts& counts)
{
    OnWindowThread([&] { window_.CopyCounted(counts); });
}
void WindowThreadOperator::CommandFailed()
{
    OnWindowThread([&] { window_.CommandFailed(); });
}
