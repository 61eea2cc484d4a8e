#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "legacy/code_page.h"

// The check boxes of the window (CopiaEntradas last: the window keeps one state per box).
enum class CheckBox { AutoPecas, CopiaVendas, CopiaEntradas };

// Widgets a command may move the focus to.
enum class FocusTarget { StartCopy, LegacyFolderBox, TargetBox, NumberingBox, SalesFromBox, SalesToBox };

// One record whose statement failed, in full.
struct RecordFailure {
    std::string fileName;  // the legacy file, without folder
    std::int32_t recordNumber = 0;
    std::string key;  // the record's key field as read ("" when the copy has none)
    std::string text;  // the failure's whole text, as the server gave it
};

// What one copy did with its file's records.
struct CopyCounts {
    std::string fileName;
    int read = 0;  // visited, deleted ones included
    int written = 0;  // their row was written
    int skipped = 0;  // passed over or skipped by the copy's own rules
    int failed = 0;  // their statement failed
};

// Everything a command needs from whoever drives it: the Qt window, the console, or a test script.
// Commands never touch widgets; they talk to an Operator.
class Operator {
public:
    virtual ~Operator() = default;

    // Modal information box titled "ConvQuibraW", no icon, one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The general error report for a failure no command handled; call ReportFailure, which applies the
    // period rule first.
    virtual void ShowErrorBox(const std::string& text) = 0;
    void ReportFailure(const std::string& failureText) { ShowErrorBox(ErrorReportText(failureText)); }
    // A period is appended when the last character's code is above that of ".".
    static std::string ErrorReportText(const std::string& failureText);

    // The ProgressLog.
    virtual void LogAppend(const std::string& line) = 0;
    virtual void LogClear() = 0;
    virtual bool LogHasLines() = 0;

    // The ProgressGauge: 0 to 100, hidden until a copy shows it.
    virtual void GaugeReset() = 0;  // progress 0, maximum 100
    virtual void GaugeAdvance(int step) = 0;  // never beyond 100; repaints
    virtual void GaugeShow() = 0;

    // Lets the window process its pending events (repaints, input).
    virtual void ProcessEvents() = 0;

    // Browse-for-folder dialog; empty text when cancelled.
    virtual std::string ChooseFolder(const std::string& title) = 0;
    // Open-file dialog (no filter); nothing when cancelled. An empty title means the platform's default.
    virtual std::optional<std::string> ChooseDatabaseFile(const std::string& title) = 0;
    // Input box with a caption, a prompt and a default text; nothing when cancelled.
    virtual std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                               const std::string& defaultText) = 0;

    virtual bool IsChecked(CheckBox box) = 0;
    // The code page of the legacy texts, chosen by the operator ("Textos do DOS (CP850)", --codepage); the copies
    // translate text and memo values from it into ISO 8859-1. AsStored sends the bytes as stored.
    virtual CodePage LegacyCodePage() { return CodePage::AsStored; }

    virtual std::string LegacyFolderBox() = 0;
    virtual void SetLegacyFolderBox(const std::string& text) = 0;
    virtual std::string TargetBox() = 0;
    virtual void SetTargetBox(const std::string& text) = 0;

    // Texts of the two date boxes as displayed ("  /  /    " when empty).
    virtual std::string SalesFromText() = 0;
    virtual std::string SalesToText() = 0;

    virtual std::string NumberingText() = 0;
    virtual void ClearNumbering() = 0;

    virtual void Focus(FocusTarget target) = 0;

    // Told after the fixed message of a failed connection: the server's own reason. The window logs it.
    virtual void ConnectionFailed(const std::string& reason) { LogAppend(reason); }
    // The box of one failed record ("Ocorreu um Erro: " + text). The window lets the operator leave out the rest
    // of the copy's boxes; the failures still reach the log and the report.
    virtual void ShowRecordFailureMessage(const std::string& text) { ShowMessage(text); }
    // Told before a copy walks its records, and of every failed record after its log line.
    virtual void CopyStarted(const std::string& /*fileName*/) {}
    virtual void RecordFailed(const RecordFailure&) {}
    // Told when a copy has walked all its records.
    virtual void CopyCounted(const CopyCounts&) {}
    // Told when a command ended on a failure it reported with an information box of its own (a failed backup).
    virtual void CommandFailed() {}
};
