#pragma once

#include <string>
#include <vector>

#include "session/operator.h"

// An Operator in front of the window's or the console's: everything goes through to it unchanged, and every log
// line, message, error report, failed record and copy summary is kept for the command's report.
class ReportingOperator : public Operator {
public:
    explicit ReportingOperator(Operator& inner) : inner_(inner) {}

    // The report's text, UTF-8: the lines shown, each failed record in full, one summary line per copy.
    std::string ReportText(const std::string& title) const;

    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void LogAppend(const std::string& line) override;
    void LogClear() override { inner_.LogClear(); }
    bool LogHasLines() override { return inner_.LogHasLines(); }
    void GaugeReset() override { inner_.GaugeReset(); }
    void GaugeAdvance(int step) override { inner_.GaugeAdvance(step); }
    void GaugeShow() override { inner_.GaugeShow(); }
    void ProcessEvents() override { inner_.ProcessEvents(); }
    std::string ChooseFolder(const std::string& title) override { return inner_.ChooseFolder(title); }
    std::optional<std::string> ChooseDatabaseFile(const std::string& title) override
    {
        return inner_.ChooseDatabaseFile(title);
    }
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override
    {
        return inner_.AskText(caption, prompt, defaultText);
    }
    bool IsChecked(CheckBox box) override { return inner_.IsChecked(box); }
    std::string LegacyFolderBox() override { return inner_.LegacyFolderBox(); }
    void SetLegacyFolderBox(const std::string& text) override { inner_.SetLegacyFolderBox(text); }
    std::string TargetBox() override { return inner_.TargetBox(); }
    void SetTargetBox(const std::string& text) override { inner_.SetTargetBox(text); }
    std::string SalesFromText() override { return inner_.SalesFromText(); }
    std::string SalesToText() override { return inner_.SalesToText(); }
    std::string NumberingText() override { return inner_.NumberingText(); }
    void ClearNumbering() override { inner_.ClearNumbering(); }
    void Focus(FocusTarget target) override { inner_.Focus(target); }
    void ConnectionFailed(const std::string& reason) override;
    void ShowRecordFailureMessage(const std::string& text) override;
    void CopyStarted(const std::string& fileName) override { inner_.CopyStarted(fileName); }
    void RecordFailed(const RecordFailure& failure) override;
    void CopyCounted(const CopyCounts& counts) override;
    void CommandFailed() override { inner_.CommandFailed(); }

private:
    Operator& inner_;
    std::vector<std::string> lines_;
    std::vector<RecordFailure> failures_;
    std::vector<CopyCounts> counts_;
};
