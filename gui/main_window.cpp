#include "gui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStringDecoder>
#include <algorithm>
#include <csignal>

#include "gui/command_thread.h"
#include "gui/main_window_look.h"
#include "gui/window_thread_operator.h"
#include "app/command_report.h"
#include "common/interruption.h"
#include "widgets/kq_edit_data.h"

namespace {

const QString kTitle = QStringLiteral("ConvQuibraW");

// Operator texts are UTF-8; a line that is not (legacy bytes, Firebird's ISO 8859-1 texts) is shown as Latin-1
// rather than as replacement marks.
QString FromOperatorText(const std::string& text)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString decoded = decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!decoder.hasError()) return decoded;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A modal box titled "ConvQuibraW" with one OK button. Its text is shown as it stands: a folder name or a server
// text holding "<i>" is not markup.
void ShowPlainBox(QMessageBox::Icon icon, const QString& text, QWidget* owner)
{
    QMessageBox box(icon, kTitle, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString FromPath(const std::string& path) { return QString::fromLocal8Bit(path); }
std::string ToPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

}  // namespace

// Holds the window's input for the life of one command and gives it back however the command ends, with the focus
// where it was when the command started: disabling the inputs moves it to the log, the one widget left enabled.
class MainWindow::InputPause {
public:
    explicit InputPause(MainWindow& window) : window_(window), focusAtStart_(window.focusWidget())
    {
        window_.commandRunning_ = true;
        for (QWidget* input : window_.inputs_) input->setEnabled(false);
    }
    ~InputPause()
    {
        for (QWidget* input : window_.inputs_) input->setEnabled(true);
        window_.commandRunning_ = false;
        if (focusAtStart_) focusAtStart_->setFocus(Qt::OtherFocusReason);
        // A focus asked for while the boxes were disabled lands now.
        if (const auto target = std::exchange(window_.pendingFocus_, std::nullopt)) window_.Focus(*target);
    }
    InputPause(const InputPause&) = delete;
    InputPause& operator=(const InputPause&) = delete;

private:
    MainWindow& window_;
    QPointer<QWidget> focusAtStart_;
};

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    session_.programFolder = RunningProgramFolder();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Backup/Restore"));
    setFont(WindowFont());
    resize(kOuterSize);
    BuildWidgets();
    SetTabOrder();
    startCopyButton_->setFocus();
}

MainWindow::~MainWindow() = default;

QPushButton* MainWindow::AddButton(const char* name, const QString& caption, int left, int top, int width,
                                   int height, Command command)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    // Enter and the keypad's Enter press the focused button, as on Windows.
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, [this, command] { Run(command); });
    inputs_.push_back(button);
    return button;
}

QLabel* MainWindow::AddLabel(const char* name, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    // Labels lie beneath the boxes, as on the form the layout comes from: a box covers a label that runs long.
    label->lower();
    return label;
}

void MainWindow::BuildWidgets()
{
    const auto addLineEdit = [this](const char* name, int left, int top, int width, int height) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(left, top, width, height);
        inputs_.push_back(box);
        return box;
    };
    const auto addDateBox = [this](const char* name, int left) {
        auto* box = new KqEditData(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(left, 580, 65, 21);
        box->setMaxLength(10);
        box->SetValidaCampo(false);
        box->SetCompletaData(false);
        inputs_.push_back(box);
        return box;
    };
    const auto addCheckBox = [this](const char* name, const QString& caption, int top, int width) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(name));
        check->setGeometry(8, top, width, 17);
        inputs_.push_back(check);
        return check;
    };

    startCopyButton_ = AddButton("startCopyButton", QStringLiteral("Iniciar Cópia"), 8, 328, 225, 41,
                                 Command::StartCopy);

    progressLog_ = new QPlainTextEdit(this);
    progressLog_->setObjectName(QStringLiteral("progressLog"));
    progressLog_->setGeometry(8, 152, 225, 105);
    progressLog_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    progressLog_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    progressLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    progressLog_->setTabChangesFocus(true);

    chooseLegacyButton_ = AddButton("chooseLegacyButton", QStringLiteral("Selecionar Pasta Quibra Antigo(Origem)"),
                                    8, 56, 225, 41, Command::ChooseLegacyFolder);
    chooseTargetButton_ = AddButton("chooseTargetButton", QStringLiteral("Selecionar BD QuibraW (Destino )"), 8,
                                    104, 225, 41, Command::ChooseTargetDatabase);
    backupRestoreButton_ = AddButton("backupRestoreButton", QStringLiteral("Backup/Restore"), 8, 368, 225, 41,
                                     Command::BackupRestore);
    clearDatabaseButton_ = AddButton("clearDatabaseButton", QStringLiteral("Limpar bd"), 8, 408, 225, 41,
                                     Command::ClearDatabase);
    legacyFolderBox_ = addLineEdit("legacyFolderBox", 72, 8, 161, 21);
    AddLabel("legacyFolderLabel", QStringLiteral("Quibra Antigo:"), 0, 8);
    targetBox_ = addLineEdit("targetBox", 72, 32, 161, 21);
    AddLabel("targetLabel", QStringLiteral("BD QuibraW:"), 0, 32);
    salesFromBox_ = addDateBox("salesFromBox", 104);
    AddLabel("salesFromLabel", QStringLiteral("Copiar Vendas De:"), 8, 584);
    salesToBox_ = addDateBox("salesToBox", 176);
    for (KqEditData* box : {salesFromBox_, salesToBox_})
        connect(box, &QLineEdit::textChanged, this, &MainWindow::KeepDateTexts);
    KeepDateTexts();
    AddLabel("salesToLabel", QStringLiteral("a"), 168, 504);
    orvelImportButton_ = AddButton("orvelImportButton", QStringLiteral("Orvel to QuibraW"), 8, 288, 225, 41,
                                   Command::OrvelImport);
    autoPecasCheck_ = addCheckBox("autoPecasCheck", QStringLiteral("Auto Peças"), 560, 97);
    KeepChecked(autoPecasCheck_, CheckBox::AutoPecas);
    updateFieldButton_ = AddButton("updateFieldButton", QStringLiteral("Atualizar Campo"), 8, 448, 225, 41,
                                   Command::UpdateProductField);
    deleteReceivablesButton_ = AddButton("deleteReceivablesButton", QStringLiteral("Apagar Contas Receber Deletadas"),
                                         240, 8, 217, 49, Command::DeleteRemovedReceivables);
    copiaVendasCheck_ = addCheckBox("copiaVendasCheck", QStringLiteral("Copia Vendas"), 528, 145);
    copiaEntradasCheck_ = addCheckBox("copiaEntradasCheck", QStringLiteral("Copia Entradas"), 512, 145);
    KeepChecked(copiaVendasCheck_, CheckBox::CopiaVendas);
    KeepChecked(copiaEntradasCheck_, CheckBox::CopiaEntradas);
    numberingBox_ = addLineEdit("numberingBox", 240, 216, 145, 21);
    AddLabel("numberingLabel", QStringLiteral("Informe a Numeração:"), 240, 200);
    renumberSalesButton_ = AddButton("renumberSalesButton", QStringLiteral("Alterar Numeração Venda"), 240, 248, 145,
                                     33, Command::RenumberSales);
    renumberNfeButton_ = AddButton("renumberNfeButton", QStringLiteral("Alterar Numeração NFe"), 240, 288, 145, 33,
                                   Command::RenumberNfe);
    convertXmlsButton_ = AddButton("convertXmlsButton", QStringLiteral("Converter XMLs"), 240, 328, 145, 33,
                                   Command::ConvertXmls);
    // The free foot of the right column: the legacy texts' code page and the look at the folder before a run.
    dosTextsCheck_ = new QCheckBox(QStringLiteral("Textos do DOS (CP850)"), this);
    dosTextsCheck_->setObjectName(QStringLiteral("dosTextsCheck"));
    dosTextsCheck_->setGeometry(240, 376, 217, 17);
    inputs_.push_back(dosTextsCheck_);
    checkFolderButton_ = AddButton("checkFolderButton", QStringLiteral("Verificar Pasta"), 240, 400, 145, 33,
                                   Command::CheckLegacyFolder);

    progressGauge_ = new QProgressBar(this);
    progressGauge_->setObjectName(QStringLiteral("progressGauge"));
    progressGauge_->setGeometry(8, 259, 225, 25);
    progressGauge_->setRange(0, 100);
    progressGauge_->setValue(0);
    progressGauge_->setTextVisible(true);
    progressGauge_->setFormat(QStringLiteral("%p%"));
    progressGauge_->setVisible(false);

    instructionLabel_ = new QLabel(this);
    instructionLabel_->setObjectName(QStringLiteral("instructionLabel"));
    instructionLabel_->setGeometry(240, 72, 223, 117);
    instructionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    instructionLabel_->setTextFormat(Qt::PlainText);
    QFont bold = font();
    bold.setBold(true);
    instructionLabel_->setFont(bold);
    instructionLabel_->setText(QStringLiteral("O que deve ser Verificado na Migração\n\n"
                                              "1) Converter os Dados\n\n"
                                              "2) Numeração de Venda\n\n"
                                              "3) Numeração de NFe\n\n"
                                              "4) Configurar a NFe no QuibraW"));
    FitLinesToWidth(*instructionLabel_);
}

void MainWindow::SetTabOrder()
{
    const QWidget* order[] = {startCopyButton_,     progressLog_,        chooseLegacyButton_,  chooseTargetButton_,
                              backupRestoreButton_, clearDatabaseButton_, legacyFolderBox_,    targetBox_,
                              salesFromBox_,        salesToBox_,         orvelImportButton_,   autoPecasCheck_,
                              updateFieldButton_,   deleteReceivablesButton_, copiaVendasCheck_, copiaEntradasCheck_,
                              numberingBox_,        renumberSalesButton_, renumberNfeButton_,  convertXmlsButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The focused widget shows its focus frame from the start, not only after the first Tab; showing a window
    // clears the mark, so it is set here.
    setAttribute(Qt::WA_KeyboardFocusChange);
    // Only the window being shown by the program counts, not its return from being minimised.
    if (event->spontaneous()) return;
    session_.paths = RememberedPaths{};
    CentreOnScreen(*this);
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        // Only the first frame counts: a window the operator resized or maximised keeps the size it has.
        if (!frameFitted_) frameFitted_ = FitFrameIntoOuterSize(*this, kOuterSize);
        break;
    default:
        break;
    }
    return handled;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!commandRunning_) return QWidget::closeEvent(event);
    event->ignore();
    const QString question = QStringLiteral("Interromper o comando? O que esta cópia gravou até agora será desfeito.");
    bool stop = false;
    if (answerer_.question) {
        stop = answerer_.question(question);
    } else {
        QMessageBox box(QMessageBox::Question, kTitle, question, QMessageBox::NoButton, this);
        QAbstractButton* yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
        box.setDefaultButton(box.addButton(QStringLiteral("Não"), QMessageBox::NoRole));
        box.exec();
        stop = box.clickedButton() == yes;
    }
    if (stop) RequestInterruption(SIGTERM);
}

// A click whose press and release come together reaches its button before the date box it left has taken the
// focus back: no command starts while a box refuses to let the focus go.
bool MainWindow::DateBoxRefusesToLetGo()
{
    for (KqEditData* box : {salesFromBox_, salesToBox_}) {
        if (!box->LeavingIsRefused()) continue;
        if (!box->hasFocus()) box->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

void MainWindow::Run(Command command)
{
    if (commandRunning_ || DateBoxRefusesToLetGo()) return;
    {
        InputPause pause(*this);
        // The command runs beside the window's events, which a statement waiting for the disk would hold else.
        WindowThreadOperator onWindowThread(*this);
        ReportOutcome report;
        RunWhileProcessingEvents([&] { report = RunReportedCommand(command, session_, onWindowThread); });
        if (!report.failure.empty())
            LogAppend(report.failure);
        else if (!report.path.empty())
            LogAppend("Relatório: " + report.path);
    }
    // An interruption (the close question, or SIGTERM as the session ends) closes the window once the command
    // has stopped.
    if (InterruptionSignal() != 0) QTimer::singleShot(0, this, &QWidget::close);
}

// --- Operator: boxes and dialogs ---------------------------------------------------------------------------

void MainWindow::ShowMessage(const std::string& text)
{
    const QString shown = FromOperatorText(text);
    if (answerer_.information) return answerer_.information(shown);
    ShowPlainBox(QMessageBox::NoIcon, shown, nullptr);
}

void MainWindow::ShowRecordFailureMessage(const std::string& text)
{
    if (failureBoxesSilenced_) return;
    const QString shown = FromOperatorText(text);
    if (answerer_.recordFailure) {
        failureBoxesSilenced_ = answerer_.recordFailure(shown);
        return;
    }
    if (answerer_.information) return answerer_.information(shown);
    QMessageBox box(QMessageBox::NoIcon, kTitle, shown, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    auto* silence = new QCheckBox(QStringLiteral("Não mostrar os próximos erros desta cópia"));
    box.setCheckBox(silence);
    box.exec();
    failureBoxesSilenced_ = silence->isChecked();
}

void MainWindow::CopyStarted(const std::string&) { failureBoxesSilenced_ = false; }

void MainWindow::ShowErrorBox(const std::string& text)
{
    const QString shown = FromOperatorText(text);
    if (answerer_.error) return answerer_.error(shown);
    ShowPlainBox(QMessageBox::Critical, shown, this);
}

std::string MainWindow::ChooseFolder(const std::string& title)
{
    const QString caption = FromOperatorText(title);
    const QString chosen = answerer_.folder ? answerer_.folder(caption)
                                            : QFileDialog::getExistingDirectory(this, caption);
    return ToPath(chosen);
}

std::optional<std::string> MainWindow::ChooseDatabaseFile(const std::string& title)
{
    const QString caption = FromOperatorText(title);
    std::optional<QString> chosen;
    if (answerer_.openFile) {
        chosen = answerer_.openFile(caption);
    } else {
        const QString picked = QFileDialog::getOpenFileName(this, caption);
        if (!picked.isEmpty()) chosen = picked;
    }
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return ToPath(*chosen);
}

std::optional<std::string> MainWindow::AskText(const std::string& caption, const std::string& prompt,
                                               const std::string& defaultText)
{
    const QString title = FromOperatorText(caption), label = FromOperatorText(prompt),
                  initial = FromOperatorText(defaultText);
    std::optional<QString> answer;
    if (answerer_.askText) {
        answer = answerer_.askText(title, label, initial);
    } else {
        bool accepted = false;
        const QString typed = QInputDialog::getText(this, title, label, QLineEdit::Normal, initial, &accepted);
        if (accepted) answer = typed;
    }
    if (!answer) return std::nullopt;
    return answer->toUtf8().toStdString();
}

// --- Operator: log, gauge, events ----------------------------------------------------------------------------

void MainWindow::LogAppend(const std::string& line)
{
    progressLog_->appendPlainText(FromOperatorText(line));
    // The box has no scroll bars to show that lines went on below: each new one is brought into view, even after
    // the operator scrolled up.
    QScrollBar* scroll = progressLog_->verticalScrollBar();
    scroll->setValue(scroll->maximum());
}

void MainWindow::LogClear() { progressLog_->clear(); }

bool MainWindow::LogHasLines() { return !progressLog_->document()->isEmpty(); }

void MainWindow::GaugeReset()
{
    progressGauge_->setMaximum(100);
    progressGauge_->setValue(0);
}

void MainWindow::GaugeAdvance(int step)
{
    progressGauge_->setValue(std::min(100, progressGauge_->value() + step));
    progressGauge_->repaint();
}

void MainWindow::GaugeShow() { progressGauge_->setVisible(true); }

void MainWindow::ProcessEvents() { QCoreApplication::processEvents(); }

// --- Operator: the window's boxes ----------------------------------------------------------------------------

bool MainWindow::IsChecked(CheckBox box) { return checked_[static_cast<int>(box)]; }

CodePage MainWindow::LegacyCodePage() { return dosTextsCheck_->isChecked() ? CodePage::Cp850 : CodePage::AsStored; }

std::string MainWindow::LegacyFolderBox() { return ToPath(legacyFolderBox_->text()); }
void MainWindow::SetLegacyFolderBox(const std::string& text) { legacyFolderBox_->setText(FromPath(text)); }
std::string MainWindow::TargetBox() { return ToPath(targetBox_->text()); }
void MainWindow::SetTargetBox(const std::string& text) { targetBox_->setText(FromPath(text)); }
std::string MainWindow::SalesFromText()
{
    const std::lock_guard lock(dateTextsMutex_);
    return salesFromText_;
}
std::string MainWindow::SalesToText()
{
    const std::lock_guard lock(dateTextsMutex_);
    return salesToText_;
}

void MainWindow::KeepChecked(QCheckBox* check, CheckBox box)
{
    std::atomic<bool>& kept = checked_[static_cast<int>(box)];
    kept = check->isChecked();
    connect(check, &QCheckBox::toggled, this, [&kept](bool on) { kept = on; });
}

void MainWindow::KeepDateTexts()
{
    std::string from = salesFromBox_->Text().toStdString(), to = salesToBox_->Text().toStdString();
    const std::lock_guard lock(dateTextsMutex_);
    salesFromText_ = std::move(from);
    salesToText_ = std::move(to);
}
std::string MainWindow::NumberingText() { return numberingBox_->text().toUtf8().toStdString(); }
void MainWindow::ClearNumbering() { numberingBox_->clear(); }

QWidget* MainWindow::FocusWidget(FocusTarget target) const
{
    switch (target) {
    case FocusTarget::StartCopy: return startCopyButton_;
    case FocusTarget::LegacyFolderBox: return legacyFolderBox_;
    case FocusTarget::TargetBox: return targetBox_;
    case FocusTarget::NumberingBox: return numberingBox_;
    case FocusTarget::SalesFromBox: return salesFromBox_;
    case FocusTarget::SalesToBox: return salesToBox_;
    }
    return nullptr;
}

void MainWindow::Focus(FocusTarget target)
{
    if (commandRunning_) {
        pendingFocus_ = target;
        return;
    }
    if (QWidget* widget = FocusWidget(target)) widget->setFocus();
}
