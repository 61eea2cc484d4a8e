#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/command_report.h"
#include "common/interruption.h"
#include "gui/main_window.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_database.h"
#include "widgets/kq_edit_data.h"

namespace {

// The window's inputs in tab order.
const QStringList kTabOrder = {
    "startCopyButton",   "progressLog",        "chooseLegacyButton", "chooseTargetButton",
    "backupRestoreButton", "clearDatabaseButton", "legacyFolderBox",  "targetBox",
    "salesFromBox",      "salesToBox",         "orvelImportButton",  "autoPecasCheck",
    "updateFieldButton", "deleteReceivablesButton", "copiaVendasCheck", "copiaEntradasCheck",
    "numberingBox",      "renumberSalesButton", "renumberNfeButton", "convertXmlsButton", "dosTextsCheck", "checkFolderButton"};

// Everything that must ignore input while a command runs.
const QStringList kInputs = {
    "startCopyButton",   "chooseLegacyButton", "chooseTargetButton", "backupRestoreButton", "clearDatabaseButton",
    "legacyFolderBox",   "targetBox",          "salesFromBox",       "salesToBox",          "orvelImportButton",
    "autoPecasCheck",    "updateFieldButton",  "deleteReceivablesButton", "copiaVendasCheck", "copiaEntradasCheck",
    "numberingBox",      "renumberSalesButton", "renumberNfeButton", "convertXmlsButton", "dosTextsCheck", "checkFolderButton"};

QString Caption(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* box = qobject_cast<KqEditData*>(widget)) return box->Text();
    if (auto* box = qobject_cast<QLineEdit*>(widget)) return box->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* log = qobject_cast<QPlainTextEdit*>(widget)) return log->toPlainText();
    return {};
}

// The inputs that are enabled right now.
QStringList EnabledInputs(MainWindow& window)
{
    QStringList enabled;
    for (const QString& name : kInputs)
        if (window.findChild<QWidget*>(name)->isEnabled()) enabled << name;
    return enabled;
}

// Records every box and dialog the window shows; dialogs are cancelled unless an answer is queued.
struct DialogRecorder {
    QStringList shown;  // "info: text", "error: text", "folder: title", "file: title"
    QStringList folderAnswers;
    QList<std::optional<QString>> fileAnswers;
    std::function<void()> onBox;  // runs inside every information and error box
    std::function<void()> onFolder;  // runs inside the folder dialog
    QStringList questions;  // the yes/no questions asked, answered "Não"

    void Attach(MainWindow& window)
    {
        DialogAnswerer answerer;
        answerer.information = [this](const QString& text) {
            shown << "info: " + text;
            if (onBox) onBox();
        };
        answerer.error = [this](const QString& text) {
            shown << "error: " + text;
            if (onBox) onBox();
        };
        answerer.folder = [this](const QString& title) {
            shown << "folder: " + title;
            if (onFolder) onFolder();
            return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
        };
        answerer.openFile = [this](const QString& title) -> std::optional<QString> {
            shown << "file: " + title;
            return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
        };
        answerer.question = [this](const QString& text) {
            questions << text;
            return false;
        };
        window.SetDialogAnswerer(answerer);
    }
};

template <typename T>
T* Child(MainWindow& window, const char* name)
{
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no widget %s", name);
    return widget;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void widgetsAtTheirPlaces_data();
    void widgetsAtTheirPlaces();
    void startState();
    void tabOrder();
    void showingEmptiesRememberedPaths();
    void legacyFolderChooser();
    void targetDatabaseChooser();
    void errorReportPeriodRule_data();
    void errorReportPeriodRule();
    void realMessageBoxes();
    void inputIgnoredWhileCommandRuns();
    void enterPressesTheFocusedButtonAndTheFocusComesBack();
    void refusingDateBoxStopsAQuickClick();
    void logFollowsNewLines();
    void textsFitTheirBoxes();
    void typedPathsDriveFullRun();
    void failureBoxesCanBeLeftOutForTheRestOfACopy();
    void closeQuestionAnsweredYesStopsTheCommandAndClosesTheWindow();
    void windowAnswersWhileACommandWaits();
};

void MainWindowTest::widgetsAtTheirPlaces_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("caption");

    const auto row = [](const char* name, const char* type, QRect place, const QString& caption) {
        QTest::newRow(name) << QString::fromLatin1(type) << place << caption;
    };
    row("startCopyButton", "QPushButton", {8, 328, 225, 41}, "Iniciar Cópia");
    row("progressLog", "QPlainTextEdit", {8, 152, 225, 105}, "");
    row("chooseLegacyButton", "QPushButton", {8, 56, 225, 41}, "Selecionar Pasta Quibra Antigo(Origem)");
    row("chooseTargetButton", "QPushButton", {8, 104, 225, 41}, "Selecionar BD QuibraW (Destino )");
    row("backupRestoreButton", "QPushButton", {8, 368, 225, 41}, "Backup/Restore");
    row("clearDatabaseButton", "QPushButton", {8, 408, 225, 41}, "Limpar bd");
    row("legacyFolderBox", "QLineEdit", {72, 8, 161, 21}, "");
    row("targetBox", "QLineEdit", {72, 32, 161, 21}, "");
    row("salesFromBox", "KqEditData", {104, 580, 65, 21}, "  /  /    ");
    row("salesToBox", "KqEditData", {176, 580, 65, 21}, "  /  /    ");
    row("orvelImportButton", "QPushButton", {8, 288, 225, 41}, "Orvel to QuibraW");
    row("autoPecasCheck", "QCheckBox", {8, 560, 97, 17}, "Auto Peças");
    row("updateFieldButton", "QPushButton", {8, 448, 225, 41}, "Atualizar Campo");
    row("deleteReceivablesButton", "QPushButton", {240, 8, 217, 49}, "Apagar Contas Receber Deletadas");
    row("copiaVendasCheck", "QCheckBox", {8, 528, 145, 17}, "Copia Vendas");
    row("copiaEntradasCheck", "QCheckBox", {8, 512, 145, 17}, "Copia Entradas");
    row("numberingBox", "QLineEdit", {240, 216, 145, 21}, "");
    row("renumberSalesButton", "QPushButton", {240, 248, 145, 33}, "Alterar Numeração Venda");
    row("renumberNfeButton", "QPushButton", {240, 288, 145, 33}, "Alterar Numeração NFe");
    row("convertXmlsButton", "QPushButton", {240, 328, 145, 33}, "Converter XMLs");
    row("dosTextsCheck", "QCheckBox", {240, 376, 217, 17}, "Textos do DOS (CP850)");
    row("checkFolderButton", "QPushButton", {240, 400, 145, 33}, "Verificar Pasta");
    row("progressGauge", "QProgressBar", {8, 259, 225, 25}, "");
    row("instructionLabel", "QLabel", {240, 72, 223, 117},
        "O que deve ser Verificado na Migração\n\n1) Converter os Dados\n\n2) Numeração de Venda\n\n"
        "3) Numeração de NFe\n\n4) Configurar a NFe no QuibraW");
    // Labels: only their top-left corner is fixed.
    row("legacyFolderLabel", "QLabel", {0, 8, 0, 0}, "Quibra Antigo:");
    row("targetLabel", "QLabel", {0, 32, 0, 0}, "BD QuibraW:");
    row("salesFromLabel", "QLabel", {8, 584, 0, 0}, "Copiar Vendas De:");
    row("salesToLabel", "QLabel", {168, 504, 0, 0}, "a");
    row("numberingLabel", "QLabel", {240, 200, 0, 0}, "Informe a Numeração:");
}

void MainWindowTest::widgetsAtTheirPlaces()
{
    QFETCH(QString, type);
    QFETCH(QRect, place);
    QFETCH(QString, caption);
    MainWindow window;
    QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QVERIFY(widget->inherits(type.toLatin1()));
    if (place.width() == 0)
        QCOMPARE(widget->pos(), place.topLeft());
    else
        QCOMPARE(widget->geometry(), place);
    QCOMPARE(Caption(widget), caption);
}

void MainWindowTest::startState()
{
    MainWindow window;
    QCOMPARE(window.windowTitle(), QString("Backup/Restore"));
    QCOMPARE(window.size(), QSize(490, 647));
    QCOMPARE(window.focusWidget(), Child<QWidget>(window, "startCopyButton"));

    auto* gauge = Child<QProgressBar>(window, "progressGauge");
    QVERIFY(gauge->isHidden());
    QCOMPARE(gauge->minimum(), 0);
    QCOMPARE(gauge->maximum(), 100);
    QCOMPARE(gauge->value(), 0);
    QVERIFY(gauge->isTextVisible());

    auto* log = Child<QPlainTextEdit>(window, "progressLog");
    QCOMPARE(log->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!log->isReadOnly());

    auto* instructions = Child<QLabel>(window, "instructionLabel");
    QVERIFY(instructions->font().bold());
    QCOMPARE(instructions->text().split('\n').size(), 9);

    for (const char* name : {"autoPecasCheck", "copiaVendasCheck", "copiaEntradasCheck", "dosTextsCheck"})
        QVERIFY(!Child<QCheckBox>(window, name)->isChecked());
    QCOMPARE(window.LegacyCodePage(), CodePage::AsStored);
    Child<QCheckBox>(window, "dosTextsCheck")->setChecked(true);
    QCOMPARE(window.LegacyCodePage(), CodePage::Cp850);
    Child<QCheckBox>(window, "dosTextsCheck")->setChecked(false);
    for (const char* name : {"salesFromBox", "salesToBox"}) {
        auto* box = Child<KqEditData>(window, name);
        QCOMPARE(box->maxLength(), 10);
        QVERIFY(!box->ValidaCampo());
        QVERIFY(!box->CompletaData());
    }
    QCOMPARE(window.SalesFromText(), std::string("  /  /    "));

    // What a command reads of the boxes follows them as the operator types, clears and ticks.
    auto* to = Child<KqEditData>(window, "salesToBox");
    QTest::keyClicks(to, "31122023");
    QCOMPARE(window.SalesToText(), std::string("31/12/2023"));
    QTest::keyClick(to, Qt::Key_Backspace);
    QCOMPARE(window.SalesToText(), std::string("  /  /    "));
    QTest::mouseClick(Child<QCheckBox>(window, "autoPecasCheck"), Qt::LeftButton);
    QVERIFY(window.IsChecked(CheckBox::AutoPecas));
    QVERIFY(!window.IsChecked(CheckBox::CopiaVendas));
}

void MainWindowTest::tabOrder()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), Child<QWidget>(window, "startCopyButton"));

    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < kTabOrder.size() + 1; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    // Round and back to the start: the gauge and the labels take no focus.
    QCOMPARE(visited, kTabOrder + QStringList{"startCopyButton"});
}

void MainWindowTest::showingEmptiesRememberedPaths()
{
    MainWindow window;
    window.CommandSession().paths = {"/antes/antigo", "/antes/bd.fdb"};
    Child<QLineEdit>(window, "legacyFolderBox")->setText("/digitado");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.CommandSession().paths.legacyFolder, std::string());
    QCOMPARE(window.CommandSession().paths.targetDatabase, std::string());
    // The boxes keep their texts.
    QCOMPARE(Child<QLineEdit>(window, "legacyFolderBox")->text(), QString("/digitado"));
    QVERIFY(!window.CommandSession().programFolder.empty());
}

void MainWindowTest::legacyFolderChooser()
{
    MainWindow window;
    DialogRecorder dialogs;
    dialogs.Attach(window);
    auto* box = Child<QLineEdit>(window, "legacyFolderBox");

    dialogs.folderAnswers << "/dados/Quibra Antigo";
    QTest::mouseClick(Child<QPushButton>(window, "chooseLegacyButton"), Qt::LeftButton);
    QCOMPARE(box->text(), QString("/dados/Quibra Antigo"));
    QCOMPARE(window.CommandSession().paths.legacyFolder, std::string("/dados/Quibra Antigo"));

    // Cancelling empties both, even though they held a folder.
    QTest::mouseClick(Child<QPushButton>(window, "chooseLegacyButton"), Qt::LeftButton);
    QCOMPARE(box->text(), QString());
    QCOMPARE(window.CommandSession().paths.legacyFolder, std::string());
    QCOMPARE(dialogs.shown, QStringList({"folder: Procure a Pasta do Quibra_DOS", "folder: Procure a Pasta do Quibra_DOS"}));
}

void MainWindowTest::targetDatabaseChooser()
{
    MainWindow window;
    DialogRecorder dialogs;
    dialogs.Attach(window);
    auto* box = Child<QLineEdit>(window, "targetBox");

    dialogs.fileAnswers << QString("/dados/Loja Centro/bd.fdb");
    QTest::mouseClick(Child<QPushButton>(window, "chooseTargetButton"), Qt::LeftButton);
    QCOMPARE(box->text(), QString("/dados/Loja Centro/bd.fdb"));
    QCOMPARE(window.CommandSession().paths.targetDatabase, std::string("/dados/Loja Centro/bd.fdb"));

    // Cancelling changes nothing, not even a box the operator typed into since.
    box->setText("/digitado/bd.fdb");
    QTest::mouseClick(Child<QPushButton>(window, "chooseTargetButton"), Qt::LeftButton);
    QCOMPARE(box->text(), QString("/digitado/bd.fdb"));
    QCOMPARE(window.CommandSession().paths.targetDatabase, std::string("/dados/Loja Centro/bd.fdb"));
    // The open-file dialog has no title of its own.
    QCOMPARE(dialogs.shown, QStringList({"file: ", "file: "}));
}

void MainWindowTest::errorReportPeriodRule_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Arquivo em uso" << "Arquivo em uso.";
    QTest::newRow("digit") << "Erro 335544344" << "Erro 335544344.";
    QTest::newRow("slash, just above the period") << "C:/dados/" << "C:/dados/.";
    QTest::newRow("accented letter") << "Não é" << "Não é.";
    QTest::newRow("period") << "Falhou." << "Falhou.";
    QTest::newRow("exclamation, below the period") << "Falhou!" << "Falhou!";
    QTest::newRow("hyphen, just below the period") << "Falhou -" << "Falhou -";
    QTest::newRow("closing parenthesis") << "(erro)" << "(erro)";
    QTest::newRow("empty") << "" << "";
}

void MainWindowTest::errorReportPeriodRule()
{
    QFETCH(QString, failure);
    QFETCH(QString, shown);
    MainWindow window;
    DialogRecorder dialogs;
    dialogs.Attach(window);
    window.ReportFailure(failure.toStdString());
    QCOMPARE(dialogs.shown, QStringList{"error: " + shown});
}

void MainWindowTest::realMessageBoxes()
{
    // Without an answerer the real boxes come up; a timer reads and closes each one.
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        Qt::TextFormat format = Qt::AutoText;
    };
    QList<Seen> seen;
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.append({box->windowTitle(), box->text(), box->icon(), int(box->buttons().size()), box->textFormat()});
        box->button(QMessageBox::Ok)->click();
    });
    closer.start();
    window.ShowMessage("Cópia Realizada com Sucesso!");
    window.ReportFailure("Tabela corrompida");
    // Folder names and server texts are not markup: the tags show as they stand.
    window.ShowMessage("Pasta <b>Loja</b>");
    window.ReportFailure("Servidor: <i>recusou</i>");
    closer.stop();

    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen[2].text, QString("Pasta <b>Loja</b>"));
    QCOMPARE(seen[3].text, QString("Servidor: <i>recusou</i>."));
    for (const Seen& box : seen) QCOMPARE(box.format, Qt::PlainText);
    QCOMPARE(seen[0].title, QString("ConvQuibraW"));
    QCOMPARE(seen[0].text, QString("Cópia Realizada com Sucesso!"));
    QCOMPARE(seen[0].icon, QMessageBox::NoIcon);
    QCOMPARE(seen[0].buttons, 1);
    QCOMPARE(seen[1].title, QString("ConvQuibraW"));
    QCOMPARE(seen[1].text, QString("Tabela corrompida."));
    QCOMPARE(seen[1].icon, QMessageBox::Critical);
}

void MainWindowTest::inputIgnoredWhileCommandRuns()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    DialogRecorder dialogs;
    dialogs.Attach(window);
    QList<QStringList> enabledDuringBoxes;
    dialogs.onBox = [&] {
        enabledDuringBoxes << EnabledInputs(window);
        QVERIFY(window.CommandRunning());
        QVERIFY(!window.close());
        QCOMPARE(dialogs.questions.takeLast(),
                 QString("Interromper o comando? O que esta cópia gravou até agora será desfeito."));
    };

    {  // An empty legacy folder box: the run asks for a folder, the dialog is cancelled, the run ends quietly.
        QTest::mouseClick(Child<QPushButton>(window, "startCopyButton"), Qt::LeftButton);
        QCOMPARE(dialogs.shown,
                 QStringList({"info: Selecione um Diretório do QuibraDOS", "folder: Procure a Pasta do Quibra_DOS"}));
        QCOMPARE(enabledDuringBoxes, QList<QStringList>{QStringList()});
        QCOMPARE(EnabledInputs(window), kInputs);
        QVERIFY(!window.CommandRunning());
    }

    {  // A run that a failure ends: the input comes back as well.
        TempFolder folder;
        const std::string database = FreshQuibrawDatabase(folder);
        // A cash history table without the fields the copy reads: the copy does not handle that itself.
        DbfWriter histories;
        histories.Field("OUTRO", 'C', 10).Record({"x"});
        histories.Write(folder.File("KQ000034.dat"));
        Child<QLineEdit>(window, "legacyFolderBox")->setText(QString::fromStdString(folder.Path()));
        Child<QLineEdit>(window, "targetBox")->setText(QString::fromStdString(database));
        dialogs.shown.clear();
        enabledDuringBoxes.clear();

        window.Run(Command::StartCopy);
        QVERIFY(!dialogs.shown.isEmpty());
        QVERIFY2(dialogs.shown.last().startsWith("error: "), qPrintable(dialogs.shown.join(" | ")));
        QVERIFY(!dialogs.shown.contains("info: Cópia Realizada com Sucesso!"));
        for (const QStringList& enabled : enabledDuringBoxes) QCOMPARE(enabled, QStringList());
        QCOMPARE(EnabledInputs(window), kInputs);
        QVERIFY(!window.CommandRunning());
    }
}

void MainWindowTest::enterPressesTheFocusedButtonAndTheFocusComesBack()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    DialogRecorder dialogs;
    dialogs.Attach(window);
    auto* startCopy = Child<QPushButton>(window, "startCopyButton");

    // The focus frame shows before any Tab.
    QStyleOptionButton look;
    look.initFrom(startCopy);
    QVERIFY(look.state & QStyle::State_HasFocus);
    QVERIFY(look.state & QStyle::State_KeyboardFocusChange);

    // Enter on "Iniciar Cópia": the run starts (it asks for the empty folder), and the focus comes back from the log.
    QTest::keyClick(startCopy, Qt::Key_Return);
    QCOMPARE(dialogs.shown,
             QStringList({"info: Selecione um Diretório do QuibraDOS", "folder: Procure a Pasta do Quibra_DOS"}));
    QCOMPARE(QApplication::focusWidget(), startCopy);

    // The keypad's Enter on another button, whose command a failure ends: the focus comes back to that button.
    auto* chooseLegacy = Child<QPushButton>(window, "chooseLegacyButton");
    chooseLegacy->setFocus(Qt::TabFocusReason);
    dialogs.shown.clear();
    dialogs.onFolder = [] { throw std::runtime_error("Pasta ilegível"); };
    QTest::keyClick(chooseLegacy, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dialogs.shown, QStringList({"folder: Procure a Pasta do Quibra_DOS", "error: Pasta ilegível."}));
    QCOMPARE(QApplication::focusWidget(), chooseLegacy);
    QVERIFY(!window.CommandRunning());
}

void MainWindowTest::refusingDateBoxStopsAQuickClick()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    DialogRecorder dialogs;
    dialogs.Attach(window);
    QStringList refusals;
    KqEditData::SetFailureHandler([&refusals](const QString& text) { refusals << text; });
    auto* from = Child<KqEditData>(window, "salesFromBox");
    from->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(from, "050120");

    // Press and release in one go, no event processed between them.
    QTest::mouseClick(Child<QPushButton>(window, "startCopyButton"), Qt::LeftButton);

    QCOMPARE(dialogs.shown, QStringList());
    QTRY_COMPARE(refusals, QStringList{"Invalid input value.  Use escape key to abandon changes"});
    QCOMPARE(QApplication::focusWidget(), from);
    QCOMPARE(from->Text(), QString("05/01/20  "));
    KqEditData::SetFailureHandler(nullptr);
}

void MainWindowTest::logFollowsNewLines()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* log = Child<QPlainTextEdit>(window, "progressLog");
    for (int i = 1; i <= 40; ++i) window.LogAppend("Linha " + std::to_string(i));
    QScrollBar* scroll = log->verticalScrollBar();
    QVERIFY(scroll->maximum() > 0);
    scroll->setValue(0);  // the operator scrolled up

    window.LogAppend("Cópia de Clientes Concluída");

    QCOMPARE(scroll->value(), scroll->maximum());
    const QPoint bottomLeft(4, log->viewport()->height() - 4);
    QCOMPARE(log->cursorForPosition(bottomLeft).block().text(), QString("Cópia de Clientes Concluída"));
}

// Nothing clipped with the face the window picks (also run at QT_SCALE_FACTOR=2): button captions within their
// buttons, the labels that lie beneath a box before that box, a full date within its box.
void MainWindowTest::textsFitTheirBoxes()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (QPushButton* button : window.findChildren<QPushButton*>())
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
    const std::pair<const char*, const char*> labelBeforeBox[] = {
        {"legacyFolderLabel", "legacyFolderBox"}, {"targetLabel", "targetBox"}, {"salesFromLabel", "salesFromBox"}};
    for (const auto& [labelName, boxName] : labelBeforeBox) {
        auto* label = Child<QLabel>(window, labelName);
        QVERIFY2(label->x() + label->sizeHint().width() <= Child<QWidget>(window, boxName)->x(),
                 qPrintable(label->text()));
    }
    for (const char* name : {"salesFromBox", "salesToBox"}) {
        auto* box = Child<KqEditData>(window, name);
        QStyleOptionFrame frame;
        frame.initFrom(box);
        frame.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, box);
        // Qt's line edit keeps two pixels free on either side of the text.
        const int room = box->style()->subElementRect(QStyle::SE_LineEditContents, &frame, box).width() - 4;
        QVERIFY2(box->fontMetrics().horizontalAdvance("09/12/2026") <= room, name);
    }
}

void MainWindowTest::typedPathsDriveFullRun()
{
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder, "bd.fdb");
    const std::string legacy = folder.Path() + "/Quibra Antigo";
    QDir().mkpath(QString::fromStdString(legacy));
    DbfWriter manufacturers;
    manufacturers.Field("CODIGO", 'N', 6).Field("NOME", 'C', 40);
    manufacturers.Record({"3", "Fabricante Três"}).Record({"7", "Fabricante Sete"});
    manufacturers.Write(legacy + "/kq000029.DAT");

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    DialogRecorder dialogs;
    dialogs.Attach(window);
    QTest::keyClicks(Child<QLineEdit>(window, "legacyFolderBox"), QString::fromStdString(legacy));
    QTest::keyClicks(Child<QLineEdit>(window, "targetBox"), QString::fromStdString(database));

    // "Verificar Pasta" looks at the typed folder first, in the log.
    QTest::mouseClick(Child<QPushButton>(window, "checkFolderButton"), Qt::LeftButton);
    const QString report = Child<QPlainTextEdit>(window, "progressLog")->toPlainText();
    QVERIFY2(report.contains("KQ000029.dat (fabricantes): 2 registros, 0 apagados\n"), qPrintable(report));
    QVERIFY(report.endsWith("Resumo: 1 de 15 arquivos encontrados, 0 com campos faltando, 0 avisos"));

    QTest::mouseClick(Child<QPushButton>(window, "startCopyButton"), Qt::LeftButton);

    // No chooser was needed: the typed boxes were taken as they are.
    for (const QString& shown : dialogs.shown) QVERIFY2(shown.startsWith("info: "), qPrintable(shown));
    QCOMPARE(dialogs.shown.last(), QString("info: Cópia Realizada com Sucesso!"));
    QVERIFY(Child<QPlainTextEdit>(window, "progressLog")->toPlainText().contains("Cópia de Fabricantes Concluída"));
    QVERIFY(Child<QProgressBar>(window, "progressGauge")->isVisible());
    QCOMPARE(SqlScalar(database, "select count(*) from fabricante"), std::string("2"));
    // The end of a full run forgets the paths; the boxes keep them.
    QCOMPARE(window.CommandSession().paths.legacyFolder, std::string());
    QCOMPARE(window.CommandSession().paths.targetDatabase, std::string());
    QCOMPARE(Child<QLineEdit>(window, "targetBox")->text(), QString::fromStdString(database));
}

void MainWindowTest::failureBoxesCanBeLeftOutForTheRestOfACopy()
{
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder);
    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 12).Field("VENDEDOR", 'C', 30);
    for (const char* code : {"99999999991", "99999999992", "1", "99999999993"}) sellers.Record({code, "Vendedor"});
    sellers.Write(folder.File("KQ000017.dat"));

    MainWindow window;
    QStringList failureBoxes;
    DialogAnswerer answerer;
    answerer.information = [](const QString&) {};
    answerer.recordFailure = [&](const QString& text) {
        failureBoxes << text;
        return true;  // "Não mostrar os próximos erros desta cópia" ticked at the first box
    };
    window.SetDialogAnswerer(answerer);
    Child<QLineEdit>(window, "legacyFolderBox")->setText(QString::fromStdString(folder.Path()));
    Child<QLineEdit>(window, "targetBox")->setText(QString::fromStdString(database));
    window.Run(Command::StartCopy);

    QCOMPARE(failureBoxes, QStringList{"Ocorreu um Erro: '99999999991' is not a valid integer value"});
    const QStringList log = Child<QPlainTextEdit>(window, "progressLog")->toPlainText().split('\n');
    QCOMPARE(log.filter(QRegularExpression("^Registro [124] de KQ000017.dat: ")).size(), 3);
    QVERIFY2(log.last().startsWith("Relatório: " + QString::fromStdString(DefaultReportFolder()) + "/"),
             qPrintable(log.last()));
    QVERIFY(QFile::exists(log.last().mid(QString("Relatório: ").size())));
}

void MainWindowTest::closeQuestionAnsweredYesStopsTheCommandAndClosesTheWindow()
{
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder);
    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 12).Field("VENDEDOR", 'C', 30);
    sellers.Record({"1", "Ana"}).Record({"99999999991", "Grande"});
    for (int i = 3; i <= 30; ++i) sellers.Record({std::to_string(i), "Vendedor"});
    sellers.Write(folder.File("KQ000017.dat"));

    MainWindow window;
    window.show();
    QStringList shown;
    DialogAnswerer answerer;
    answerer.information = [&](const QString& text) { shown << text; };
    bool closedWhileRunning = true;
    answerer.recordFailure = [&](const QString&) {
        closedWhileRunning = !window.close();  // the operator closes the window while the copy runs
        return false;
    };
    answerer.question = [&](const QString&) { return true; };
    window.SetDialogAnswerer(answerer);
    Child<QLineEdit>(window, "legacyFolderBox")->setText(QString::fromStdString(folder.Path()));
    Child<QLineEdit>(window, "targetBox")->setText(QString::fromStdString(database));
    window.Run(Command::StartCopy);
    ClearInterruption();
    QVERIFY(closedWhileRunning);

    const QStringList log = Child<QPlainTextEdit>(window, "progressLog")->toPlainText().split('\n');
    QVERIFY(log.contains("Comando interrompido: o que esta cópia gravou foi desfeito."));
    QVERIFY(!shown.contains("Cópia Realizada com Sucesso!"));
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(QString::fromStdString(SqlScalar(database, "select count(*) from vendedor")), QString("0"));
}

void MainWindowTest::windowAnswersWhileACommandWaits()
{
    // A backup whose gbak waits (at most 10 s) until the window has answered a timer, then does the real work.
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder, "bd.fdb");
    const std::string gate = folder.File("gate"), programFolder = folder.File("program");
    QDir().mkpath(QString::fromStdString(programFolder));
    {
        std::ofstream gbak(programFolder + "/gbak");
        gbak << "#!/bin/sh\ni=0\nwhile [ ! -e '" << gate << "' ] && [ $i -lt 1000 ]; do /bin/sleep 0.01; i=$((i+1)); done\n"
             << "exec '" << BUILD_DIR << "/gbak' \"$@\"\n";
    }
    std::filesystem::permissions(programFolder + "/gbak", std::filesystem::perms::owner_all);

    MainWindow window;
    window.show();
    DialogRecorder dialogs;
    dialogs.Attach(window);
    window.CommandSession().programFolder = programFolder;
    Child<QLineEdit>(window, "targetBox")->setText(QString::fromStdString(database));
    bool answeredWhileRunning = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (!window.CommandRunning() || answeredWhileRunning) return;
        answeredWhileRunning = true;
        std::ofstream{gate};
    });
    answer.start(20);
    window.Run(Command::BackupRestore);

    QVERIFY(answeredWhileRunning);
    QVERIFY2(dialogs.shown.contains("info: ok"), qPrintable(dialogs.shown.join(" | ")));
    QVERIFY(Child<QPlainTextEdit>(window, "progressLog")->toPlainText().startsWith("Iniciando Backup"));
    QVERIFY(std::filesystem::exists(folder.File("bd.old")));
    QCOMPARE(SqlScalar(database, "select count(*) from rdb$relations where rdb$relation_name = 'VENDEDOR'"),
             std::string("1"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

