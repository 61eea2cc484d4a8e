#pragma once

#include <functional>

#include "session/operator.h"

class MainWindow;

// The Operator of a command that runs on a thread of its own: every call is made on the window's thread, and the
// command waits for it, so that the window keeps answering its events while a statement waits for the disk. The
// date boxes' texts and the check boxes, read for every record, come from the window's own copy of them without a
// trip.
class WindowThreadOperator : public Operator {
public:
    explicit WindowThreadOperator(MainWindow& window);

    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void LogAppend(const std::string& line) override;
    void LogClear() override;
    bool LogHasLines() override;
    void GaugeReset() override;
    void GaugeAdvance(int step) override;
    void GaugeShow() override;
    // The window's thread processes its events all along.
    void ProcessEvents() override {}
    std::string ChooseFolder(const std::string& title) override;
    std::optional<std::string> ChooseDatabaseFile(const std::string& title) override;
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override;
    bool IsChecked(CheckBox box) override;
    CodePage LegacyCodePage() override;
    std::string LegacyFolderBox() override;
    void SetLegacyFolderBox(const std::string& text) override;
    std::string TargetBox() override;
    void SetTargetBox(const std::string& text) override;
    std::string SalesFromText() override;
    std::string SalesToText() override;
    std::string NumberingText() override;
    void ClearNumbering() override;
    void Focus(FocusTarget target) override;
    void ConnectionFailed(const std::string& reason) override;
    void ShowRecordFailureMessage(const std::string& text) override;
    void CopyStarted(const std::string& fileName) override;
    void RecordFailed(const RecordFailure& failure) override;
    void CopyCounted(const CopyCounts& counts) override;
    void CommandFailed() override;

private:
    // Runs call on the window's thread and gives back its result, or throws here what it threw there.
    template <class Call> auto OnWindowThread(Call call) -> decltype(call());
    void RunOnWindowThread(const std::function<void()>& call);

    MainWindow& window_;
};
