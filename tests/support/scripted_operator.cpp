#include "tests/support/scripted_operator.h"

#include <algorithm>

void ScriptedOperator::ShowMessage(const std::string& text)
{
    messages.push_back(text);
    events.push_back("message: " + text);
}

void ScriptedOperator::ShowErrorBox(const std::string& text)
{
    errors.push_back(text);
    events.push_back("error: " + text);
}

void ScriptedOperator::LogAppend(const std::string& line)
{
    log.push_back(line);
    events.push_back("log: " + line);
}

void ScriptedOperator::LogClear()
{
    log.clear();
    events.push_back("log-clear");
}

void ScriptedOperator::GaugeReset()
{
    gauge = 0;
    ++gaugeResets;
}

void ScriptedOperator::GaugeAdvance(int step) { gauge = std::min(100, gauge + step); }

void ScriptedOperator::ProcessEvents()
{
    ++processEventsCalls;
    if (recordEventTimes) processEventsTimes.push_back(std::chrono::steady_clock::now());
}

std::string ScriptedOperator::ChooseFolder(const std::string& title)
{
    events.push_back("folder-dialog: " + title);
    if (folderAnswers.empty()) return "";
    std::string answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedOperator::ChooseDatabaseFile(const std::string& title)
{
    events.push_back("file-dialog: " + title);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedOperator::AskText(const std::string& caption, const std::string& prompt,
                                                     const std::string& defaultText)
{
    events.push_back("ask: " + caption + " | " + prompt + " | " + defaultText);
    if (textAnswers.empty()) return std::nullopt;
    auto answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

void ScriptedOperator::Focus(FocusTarget target)
{
    focused = target;
    events.push_back("focus: " + std::to_string(static_cast<int>(target)));
}

std::vector<std::string> ScriptedOperator::Boxes() const
{
    std::vector<std::string> boxes;
    for (const auto& event : events)
        if (event.rfind("message: ", 0) == 0 || event.rfind("error: ", 0) == 0) boxes.push_back(event);
    return boxes;
}
