#pragma once

#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "app/commands.h"
#include "session/operator.h"
#include "session/session.h"

class KqEditData;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// Answers for the modal dialogs in place of the real ones, so that tests never block on a box. Each
// function left empty keeps its real dialog. The texts are exactly what the real box would show.
struct DialogAnswerer {
    std::function<void(const QString& text)> information;
    std::function<void(const QString& text)> error;  // the period rule already applied
    // The folder dialog: the chosen folder, or empty text for a cancelled dialog.
    std::function<QString(const QString& title)> folder;
    // The open-file dialog: nothing for a cancelled dialog.
    std::function<std::optional<QString>(const QString& title)> openFile;
    // The box of a failed record: true when "Não mostrar os próximos erros desta cópia" was ticked. Without it,
    // information answers the box, unticked.
    std::function<bool(const QString& text)> recordFailure;
    // A yes/no question ("Sim"/"Não"): true for yes.
    std::function<bool(const QString& question)> question;
    // The input box: nothing for a cancelled box.
    std::function<std::optional<QString>(const QString& caption, const QString& prompt, const QString& defaultText)>
        askText;
};

// The program's one window. Every button runs one Command through RunCommand, on a thread of its own, with this
// window as its Operator (each call made on the window's thread); the state the commands share lives in the
// Session the window owns.
//
// Object names, for tests and style sheets:
//   buttons     startCopyButton, chooseLegacyButton, chooseTargetButton, backupRestoreButton, clearDatabaseButton,
//               orvelImportButton, updateFieldButton, deleteReceivablesButton, renumberSalesButton,
//               renumberNfeButton, convertXmlsButton, checkFolderButton
//   edit boxes  legacyFolderBox, targetBox, numberingBox; date boxes salesFromBox, salesToBox
//   check boxes autoPecasCheck, copiaVendasCheck, copiaEntradasCheck, dosTextsCheck
//   others      progressLog (QPlainTextEdit), progressGauge (QProgressBar), instructionLabel
//   labels      legacyFolderLabel, targetLabel, salesFromLabel, salesToLabel, numberingLabel
class MainWindow : public QWidget, public Operator {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& CommandSession() { return session_; }
    void SetDialogAnswerer(DialogAnswerer answerer) { answerer_ = std::move(answerer); }
    // True from the start of a command to its end, however it ends.
    bool CommandRunning() const { return commandRunning_; }

    // Runs one command to its end; the window's input waits meanwhile. Ignored while another command runs.
    void Run(Command command);

    // Operator
    void ShowMessage(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void LogAppend(const std::string& line) override;
    void LogClear() override;
    bool LogHasLines() override;
    void GaugeReset() override;
    void GaugeAdvance(int step) override;
    void GaugeShow() override;
    void ProcessEvents() override;
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
    void ShowRecordFailureMessage(const std::string& text) override;
    void CopyStarted(const std::string& fileName) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Fits the frame into the outer size once the window manager has put one round the window.
    bool event(QEvent* event) override;
    // While a command runs the window asks whether to interrupt it; if so the command stops at its next record,
    // rolls its copy back, and the window closes after it.
    void closeEvent(QCloseEvent* event) override;

private:
    class InputPause;

    void BuildWidgets();
    void SetTabOrder();
    QPushButton* AddButton(const char* name, const QString& caption, int left, int top, int width, int height,
                           Command command);
    QLabel* AddLabel(const char* name, const QString& caption, int left, int top);
    QWidget* FocusWidget(FocusTarget target) const;
    bool DateBoxRefusesToLetGo();
    void KeepDateTexts();
    void KeepChecked(QCheckBox* check, CheckBox box);

    Session session_;
    DialogAnswerer answerer_;
    bool commandRunning_ = false;
    bool failureBoxesSilenced_ = false;  // for the rest of the current copy
    std::optional<FocusTarget> pendingFocus_;
    bool frameFitted_ = false;
    // The check boxes' states and the date boxes' texts as last shown, for the command's thread to read for every
    // record.
    std::atomic<bool> checked_[static_cast<int>(CheckBox::CopiaEntradas) + 1] = {};
    std::mutex dateTextsMutex_;
    std::string salesFromText_, salesToText_;

    QPushButton* startCopyButton_ = nullptr;
    QPlainTextEdit* progressLog_ = nullptr;
    QPushButton* chooseLegacyButton_ = nullptr;
    QPushButton* chooseTargetButton_ = nullptr;
    QPushButton* backupRestoreButton_ = nullptr;
    QPushButton* clearDatabaseButton_ = nullptr;
    QLineEdit* legacyFolderBox_ = nullptr;
    QLineEdit* targetBox_ = nullptr;
    KqEditData* salesFromBox_ = nullptr;
    KqEditData* salesToBox_ = nullptr;
    QPushButton* orvelImportButton_ = nullptr;
    QCheckBox* autoPecasCheck_ = nullptr;
    QPushButton* updateFieldButton_ = nullptr;
    QPushButton* deleteReceivablesButton_ = nullptr;
    QCheckBox* copiaVendasCheck_ = nullptr;
    QCheckBox* copiaEntradasCheck_ = nullptr;
    QCheckBox* dosTextsCheck_ = nullptr;
    QPushButton* checkFolderButton_ = nullptr;
    QLineEdit* numberingBox_ = nullptr;
    QPushButton* renumberSalesButton_ = nullptr;
    QPushButton* renumberNfeButton_ = nullptr;
    QPushButton* convertXmlsButton_ = nullptr;
    QProgressBar* progressGauge_ = nullptr;
    QLabel* instructionLabel_ = nullptr;

    // What ignores input while a command runs: the buttons, the edit and date boxes, the check boxes.
    std::vector<QWidget*> inputs_;
};
