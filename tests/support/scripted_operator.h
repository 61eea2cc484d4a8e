#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "session/operator.h"

// An Operator for tests: keeps every box text and log line in order and answers dialogs from a script.
// A dialog with no scripted answer acts as cancelled.
class ScriptedOperator : public Operator {
public:
    // Every interaction, in order: "message: ...", "error: ...", "log: ...", "log-clear", "folder-dialog: title",
    // "file-dialog: title", "ask: caption | prompt | default", "focus: n". Gauge and event calls are counted apart.
    std::vector<std::string> events;
    std::vector<std::string> messages;  // information boxes
    std::vector<CopyCounts> copyCounts;  // each record loop's, as it ended
    std::vector<std::string> errors;  // general error reports, period rule applied
    std::vector<std::string> log;  // the ProgressLog's lines
    int gauge = 0;
    bool gaugeVisible = false;
    int gaugeResets = 0;
    int processEventsCalls = 0;
    std::vector<std::chrono::steady_clock::time_point> processEventsTimes;
    bool recordEventTimes = false;

    std::deque<std::string> folderAnswers;  // "" = cancelled
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::string>> textAnswers;

    std::map<CheckBox, bool> checked;
    CodePage codePage = CodePage::AsStored;
    std::string legacyFolderBox, targetBox, numbering;
    std::string salesFrom = "  /  /    ", salesTo = "  /  /    ";
    std::optional<FocusTarget> focused;

    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void LogAppend(const std::string& line) override;
    void LogClear() override;
    bool LogHasLines() override { return !log.empty(); }
    void GaugeReset() override;
    void GaugeAdvance(int step) override;
    void GaugeShow() override { gaugeVisible = true; }
    void ProcessEvents() override;
    std::string ChooseFolder(const std::string& title) override;
    std::optional<std::string> ChooseDatabaseFile(const std::string& title) override;
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override;
    bool IsChecked(CheckBox box) override { return checked[box]; }
    CodePage LegacyCodePage() override { return codePage; }
    std::string LegacyFolderBox() override { return legacyFolderBox; }
    void SetLegacyFolderBox(const std::string& text) override { legacyFolderBox = text; }
    std::string TargetBox() override { return targetBox; }
    void SetTargetBox(const std::string& text) override { targetBox = text; }
    std::string SalesFromText() override { return salesFrom; }
    std::string SalesToText() override { return salesTo; }
    std::string NumberingText() override { return numbering; }
    void ClearNumbering() override { numbering.clear(); }
    void Focus(FocusTarget target) override;
    void CopyCounted(const CopyCounts& counts) override { copyCounts.push_back(counts); }

    // Only the "message: " and "error: " events, in order.
    std::vector<std::string> Boxes() const;
};
