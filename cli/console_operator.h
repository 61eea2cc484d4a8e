#pragma once

#include <ostream>

#include "session/operator.h"
#include "cli/cli_options.h"

// The Operator of convquibraw-cli. Log lines and information boxes go to out; the general error report goes to
// err. Dialogs are answered from the command line's options and act as cancelled without them; the gauge
// draws a bar on err only when asked to (the console program asks when err is a terminal).
class ConsoleOperator : public Operator {
public:
    ConsoleOperator(ConsoleAnswers answers, std::ostream& out, std::ostream& err, bool drawProgress);
    ~ConsoleOperator() override;

    // True once the general error report was shown, a connection failed or a command ended on a failure: the
    // program then ends with status 1.
    bool ErrorReported() const { return errorReported_; }
    // True once a record failed: a command that ran to its end then ends with status 3.
    bool RecordsFailed() const { return recordsFailed_; }

    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void LogAppend(const std::string& line) override;
    void LogClear() override { logHasLines_ = false; }
    bool LogHasLines() override { return logHasLines_; }
    void GaugeReset() override;
    void GaugeAdvance(int step) override;
    void GaugeShow() override;
    void ProcessEvents() override;
    std::string ChooseFolder(const std::string& title) override;
    std::optional<std::string> ChooseDatabaseFile(const std::string& title) override;
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override;
    bool IsChecked(CheckBox box) override;
    CodePage LegacyCodePage() override { return answers_.codePage; }
    std::string LegacyFolderBox() override { return legacyFolderBox_; }
    void SetLegacyFolderBox(const std::string& text) override { legacyFolderBox_ = text; }
    std::string TargetBox() override { return targetBox_; }
    void SetTargetBox(const std::string& text) override { targetBox_ = text; }
    std::string SalesFromText() override { return answers_.salesFrom; }
    std::string SalesToText() override { return answers_.salesTo; }
    std::string NumberingText() override { return numberingBox_; }
    void ClearNumbering() override { numberingBox_.clear(); }
    void Focus(FocusTarget) override {}
    void ConnectionFailed(const std::string& reason) override;
    void RecordFailed(const RecordFailure&) override { recordsFailed_ = true; }
    void CommandFailed() override { errorReported_ = true; }

private:
    // Ends a drawn bar's line before other text goes to the console.
    void EndBarLine();
    void DrawBar();

    // The options as given: the dialogs' answers. The boxes start with the same texts and change apart.
    const ConsoleAnswers answers_;
    std::string legacyFolderBox_, targetBox_, numberingBox_;
    std::ostream& out_;
    std::ostream& err_;
    bool drawProgress_;
    bool errorReported_ = false;
    bool recordsFailed_ = false;
    bool logHasLines_ = false;
    bool gaugeShown_ = false;
    bool barOnLine_ = false;
    int gauge_ = 0;
    int textAnswersGiven_ = 0;
};
