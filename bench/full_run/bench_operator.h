#pragma once

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/full_run/copy_names.h"
#include "bench/full_run/timing.h"
#include "session/operator.h"

// A silent Operator: both copy boxes ticked, every date in range, every message kept. It marks where each copy
// starts and ends and the longest time the window would have gone without processing its events.
class BenchOperator : public Operator {
public:
    struct CopySpan {
        Clock::time_point start{}, end{};
        double cpuStart = 0, cpuEnd = 0;
        bool ended = false;
        long records = -1;  // from the count line
        double longestGap = 0;  // seconds between two event-processing calls inside the copy
        long eventCalls = 0;
    };

    BenchOperator(std::string legacy, std::string target) : legacy_(std::move(legacy)), target_(std::move(target)) {}

    std::vector<std::string> messages;
    CopySpan spans[kCopyCount];
    int current = -1;
    double longestGapAnywhere = 0;  // between any two calls of the run, copies' ends and starts included
    // Called when a copy's title line is written (the recording pass follows the copies with it).
    void (*onCopyStart)(int copy) = nullptr;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowErrorBox(const std::string& text) override { messages.push_back("error: " + text); }
    void LogAppend(const std::string& line) override
    {
        const auto now = Clock::now();
        const int copy = CopyOfTitle(line);
        if (copy >= 0) {
            EndCurrent(now);
            current = copy;
            spans[copy].start = now;
            spans[copy].cpuStart = ProcessorSeconds();
            lastEvents_.reset();
            if (onCopyStart) onCopyStart(copy);
            return;
        }
        if (current < 0) return;
        const auto copied = line.find(" Registros Copiados.");
        if (copied != std::string::npos) spans[current].records = std::atol(line.c_str());
        else if (line.rfind("Cópia ", 0) == 0 && line.find("Conclu") != std::string::npos) EndCurrent(now);
    }
    void Finish() { EndCurrent(Clock::now()); }
    void LogClear() override { hasLines_ = false; }
    bool LogHasLines() override { return hasLines_; }
    void GaugeReset() override {}
    void GaugeAdvance(int) override {}
    void GaugeShow() override {}
    void ProcessEvents() override
    {
        const auto now = Clock::now();
        if (lastAnywhere_) longestGapAnywhere = std::max(longestGapAnywhere, Seconds(now - *lastAnywhere_));
        lastAnywhere_ = now;
        if (current < 0) return;
        CopySpan& span = spans[current];
        ++span.eventCalls;
        if (lastEvents_) span.longestGap = std::max(span.longestGap, Seconds(now - *lastEvents_));
        lastEvents_ = now;
    }
    std::string ChooseFolder(const std::string&) override { return ""; }
    std::optional<std::string> ChooseDatabaseFile(const std::string&) override { return std::nullopt; }
    std::optional<std::string> AskText(const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    bool IsChecked(CheckBox box) override { return box != CheckBox::AutoPecas; }
    std::string LegacyFolderBox() override { return legacy_; }
    void SetLegacyFolderBox(const std::string& text) override { legacy_ = text; }
    std::string TargetBox() override { return target_; }
    void SetTargetBox(const std::string& text) override { target_ = text; }
    std::string SalesFromText() override { return "01/01/1990"; }
    std::string SalesToText() override { return "31/12/2099"; }
    std::string NumberingText() override { return ""; }
    void ClearNumbering() override {}
    void Focus(FocusTarget) override {}

private:
    void EndCurrent(Clock::time_point now)
    {
        hasLines_ = true;
        if (current >= 0 && !spans[current].ended) {
            spans[current].end = now;
            spans[current].cpuEnd = ProcessorSeconds();
            spans[current].ended = true;
        }
    }

    std::string legacy_, target_;
    bool hasLines_ = false;
    std::optional<Clock::time_point> lastEvents_, lastAnywhere_;
};
