#include "widgets/kq_edit_data.h"
#include "widgets/kq_edit_family.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace std::chrono;

namespace {

const QString kBlankDate = QStringLiteral("  /  /    ");
const QString kInvalidDate = QStringLiteral("Data Inválida, favor digitar novamente");
const QString kRequired = QStringLiteral("Campo de preenchimento obrigatório");
const QString kMaskFailure = QStringLiteral("Invalid input value.  Use escape key to abandon changes");

// The sales range row of the main window: "Copiar Vendas De:" [from] "a" [to], then a button.
struct RangeWindow {
    QWidget window;
    KqEditData* from;
    KqEditData* to;
    QPushButton* after;

    RangeWindow()
    {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Copiar Vendas De:"), &window));
        from = new KqEditData(&window);
        from->setObjectName(QStringLiteral("from"));
        layout->addWidget(from);
        layout->addWidget(new QLabel(QStringLiteral("a"), &window));
        to = new KqEditData(&window);
        to->setObjectName(QStringLiteral("to"));
        layout->addWidget(to);
        after = new QPushButton(QStringLiteral("Iniciar Cópia"), &window);
        after->setObjectName(QStringLiteral("after"));
        layout->addWidget(after);
        for (KqEditData* box : {from, to}) {
            box->SetValidaCampo(false);
            box->SetCompletaData(false);
        }
    }

    KqEditData* Box(const QString& name) { return name == u"to" ? to : from; }
};

QString FocusName()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("(none)");
}

QTestEventList Keys(const QString& typed, std::initializer_list<Qt::Key> keys)
{
    QTestEventList events;
    if (!typed.isEmpty()) events.addKeyClicks(typed);
    for (Qt::Key key : keys) events.addKeyClick(key);
    return events;
}

}  // namespace

class DateBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keys_data();
    void keys();
    void escapeClearsTheWindowsBoxesAndFocusesTheFirst();
    void pageKeysGoToTheRegisteredTarget();
    void focusColours();
    void clickingAwayFromAnUnfilledYearIsRefused();
    void invalidDateShowsThePlainBoxAndKeepsTheTextSelected();
    void refusalReachesTheErrorReportWithItsPeriod();

private:
    std::unique_ptr<RangeWindow> w_;
    QStringList informations_;
    QStringList failures_;
};

void DateBoxTest::init()
{
    KqEditData::SetClock([] { return 2026y / December / 8d; });
    KqEditData::SetInformationHandler([this](const QString& text) { informations_ << text; });
    KqEditData::SetFailureHandler([this](const QString& text) { failures_ << text; });
    informations_.clear();
    failures_.clear();
    w_ = std::make_unique<RangeWindow>();
    w_->window.show();
    QApplication::setActiveWindow(&w_->window);
    QVERIFY(QTest::qWaitForWindowActive(&w_->window));
}

void DateBoxTest::cleanup()
{
    w_.reset();
    KqEditFamily::SetPageTarget(nullptr);
    KqEditData::SetClock(nullptr);
    KqEditData::SetInformationHandler(nullptr);
    KqEditData::SetFailureHandler(nullptr);
}

// Today is 08/12/2026 throughout. Unless a row says otherwise, the boxes are set as on the main window:
// no required field, Enter completes the date.
void DateBoxTest::keys_data()
{
    QTest::addColumn<bool>("completaData");
    QTest::addColumn<bool>("validaCampo");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QTestEventList>("events");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("expectedFocus");
    QTest::addColumn<QString>("expectedSelection");
    QTest::addColumn<QStringList>("expectedInformations");
    QTest::addColumn<QStringList>("expectedFailures");

    const QStringList none;
    auto row = [&](const char* name, const QString& box, QTestEventList events, const QString& text,
                   const QString& focus, bool completaData = false, bool validaCampo = false) -> QTestData& {
        return QTest::newRow(name) << completaData << validaCampo << box << events << text << focus;
    };

    // Enter completes from today and moves on.
    row("empty Enter: today", "from", Keys("", {Qt::Key_Return}), "08/12/2026", "to") << "" << none << none;
    row("keypad Enter", "from", Keys("", {Qt::Key_Enter}), "08/12/2026", "to") << "" << none << none;
    row("two-digit year: century of today", "from", Keys("050123", {Qt::Key_Return}), "05/01/2023", "to")
        << "" << none << none;
    row("complete date unchanged", "from", Keys("05012023", {Qt::Key_Return}), "05/01/2023", "to")
        << "" << none << none;
    row("day only", "from", Keys("05", {Qt::Key_Return}), "05/12/2026", "to") << "" << none << none;
    row("one year digit: rest of today's year", "from", Keys("05012", {Qt::Key_Return}), "05/01/2026", "to")
        << "" << none << none;
    row("three year digits: century put before them", "from", Keys("0501202", {Qt::Key_Return}), "05/01/2020",
        "to") << "" << none << none;
    row("blank day", "from", Keys("  01", {Qt::Key_Return}), "08/01/2026", "to")
        << "" << none << none;
    row("Enter in the last box goes to the next widget", "to", Keys("05012023", {Qt::Key_Return}), "05/01/2023",
        "after") << "" << none << none;

    // Enter refuses what is not a date.
    row("31 February", "from", Keys("31022023", {Qt::Key_Return}), "31/02/2023", "from")
        << "31/02/2023" << QStringList{kInvalidDate} << none;
    row("month 13 after completion", "from", Keys("0513", {Qt::Key_Return}), "05/13/2026", "from")
        << "05/13/2026" << QStringList{kInvalidDate} << none;
    row("full-length date with a hole is not completed", "from", Keys("05 12023", {Qt::Key_Return}), "05/ 1/2023",
        "from") << "05/ 1/2023" << QStringList{kInvalidDate} << none;

    // Without completion.
    row("required and empty", "from", Keys("", {Qt::Key_Return}), kBlankDate, "from", true, true)
        << "" << QStringList{kRequired} << none;
    row("optional and empty", "from", Keys("", {Qt::Key_Return}), kBlankDate, "to", true, false)
        << "" << none << none;
    row("complete date", "from", Keys("05012023", {Qt::Key_Return}), "05/01/2023", "to", true, true)
        << "" << none << none;
    row("two-digit year stays and the mask keeps the focus", "from", Keys("050123", {Qt::Key_Return}),
        "05/01/23  ", "from", true, false) << "" << none << QStringList{kMaskFailure};

    // Backspace and Delete clear the whole date.
    row("Backspace mid-text", "from", Keys("05012023", {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Backspace}),
        kBlankDate, "from") << "" << none << none;
    row("Delete at the start", "from", Keys("05012023", {Qt::Key_Home, Qt::Key_Delete}), kBlankDate, "from")
        << "" << none << none;
    QTestEventList retyped = Keys("05012023", {Qt::Key_Backspace});
    retyped.addKeyClicks("0702");
    retyped.addKeyClick(Qt::Key_Return);
    row("typing after Backspace starts again at the day", "from", retyped, "07/02/2026", "to") << "" << none << none;

    // Leaving by Tab.
    row("Tab with the year unfilled", "from", Keys("05012", {Qt::Key_Tab}), "05/01/2   ", "from")
        << "" << none << QStringList{kMaskFailure};
    row("Tab with a full date", "from", Keys("05012023", {Qt::Key_Tab}), "05/01/2023", "to") << "" << none << none;
    row("Tab from an untouched box", "from", Keys("", {Qt::Key_Tab}), kBlankDate, "to") << "" << none << none;
    row("Backspace abandons the change", "from", Keys("05012", {Qt::Key_Backspace, Qt::Key_Tab}), kBlankDate, "to")
        << "" << none << none;
    row("Backtab with the year unfilled", "to", Keys("05", {Qt::Key_Backtab}), "05/  /    ", "to")
        << "" << none << QStringList{kMaskFailure};

    // Up and Down stay within the window's family boxes.
    row("Up in the first box", "from", Keys("", {Qt::Key_Up}), kBlankDate, "from") << "" << none << none;
    row("Down in the first box", "from", Keys("", {Qt::Key_Down}), kBlankDate, "to") << "" << none << none;
    row("Up in the last box", "to", Keys("", {Qt::Key_Up}), kBlankDate, "from") << "" << none << none;
    row("Down in the last box", "to", Keys("", {Qt::Key_Down}), kBlankDate, "to") << "" << none << none;
    row("Down with the year unfilled", "from", Keys("05012", {Qt::Key_Down}), "05/01/2   ", "from")
        << "" << none << QStringList{kMaskFailure};
}

void DateBoxTest::keys()
{
    QFETCH(bool, completaData);
    QFETCH(bool, validaCampo);
    QFETCH(QString, box);
    QFETCH(QTestEventList, events);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedFocus);
    QFETCH(QString, expectedSelection);
    QFETCH(QStringList, expectedInformations);
    QFETCH(QStringList, expectedFailures);

    KqEditData* target = w_->Box(box);
    target->SetCompletaData(completaData);
    target->SetValidaCampo(validaCampo);
    target->setFocus(Qt::TabFocusReason);
    QCOMPARE(FocusName(), box);

    events.simulate(target);

    QCOMPARE(target->Text(), expectedText);
    QCOMPARE(FocusName(), expectedFocus);
    QCOMPARE(target->selectedText().replace(u'_', u' '), expectedSelection);
    QCOMPARE(informations_, expectedInformations);
    QCOMPARE(failures_, expectedFailures);
}

void DateBoxTest::escapeClearsTheWindowsBoxesAndFocusesTheFirst()
{
    RangeWindow other;
    other.from->SetText("01/01/2020");
    other.to->SetText("31/12/2020");
    w_->from->SetText("05/01/2023");
    w_->from->setEnabled(false);
    w_->to->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->to, "05012");

    QTest::keyClick(w_->to, Qt::Key_Escape);

    QCOMPARE(w_->from->Text(), "  /  /    ");
    QCOMPARE(w_->to->Text(), "  /  /    ");
    QCOMPARE(w_->from->displayText(), "__/__/____");
    QVERIFY(w_->from->isEnabled());
    QCOMPARE(FocusName(), "from");
    QCOMPARE(other.from->Text(), "01/01/2020");
    QCOMPARE(other.to->Text(), "31/12/2020");
    // The unfinished year was abandoned, so Tab is free to go on.
    QVERIFY(failures_.isEmpty());
    QTest::keyClick(w_->from, Qt::Key_Tab);
    QCOMPARE(FocusName(), "to");
}

void DateBoxTest::pageKeysGoToTheRegisteredTarget()
{
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w_->from, Qt::Key_PageDown);
    QCOMPARE(FocusName(), "from");

    KqEditFamily::SetPageTarget(w_->after);
    QTest::keyClick(w_->from, Qt::Key_PageDown);
    QCOMPARE(FocusName(), "after");

    w_->to->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->to, "05");
    QTest::keyClick(w_->to, Qt::Key_PageUp);
    QCOMPARE(FocusName(), "to");
    QCOMPARE(failures_, QStringList{kMaskFailure});
}

void DateBoxTest::focusColours()
{
    const QColor own(Qt::yellow);
    w_->after->setFocus(Qt::TabFocusReason);
    QPalette colours = w_->from->palette();
    colours.setColor(QPalette::Base, own);
    w_->from->setPalette(colours);
    w_->to->SetColorOnEnter(Qt::cyan);

    w_->from->setFocus(Qt::TabFocusReason);
    QCOMPARE(w_->from->palette().color(QPalette::Base), w_->from->ColorOnEnter());
    QVERIFY(w_->from->ColorOnEnter() != own);

    QTest::keyClick(w_->from, Qt::Key_Tab);
    QCOMPARE(w_->from->palette().color(QPalette::Base), own);
    QCOMPARE(w_->to->palette().color(QPalette::Base), QColor(Qt::cyan));

    // A refused departure leaves the box with its focus colour, and later leaving still restores its own.
    QTest::keyClicks(w_->to, "1");
    QTest::keyClick(w_->to, Qt::Key_Tab);
    QCOMPARE(w_->to->palette().color(QPalette::Base), QColor(Qt::cyan));
}

void DateBoxTest::clickingAwayFromAnUnfilledYearIsRefused()
{
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->from, "05012");

    w_->after->setFocus(Qt::MouseFocusReason);

    QTRY_COMPARE(FocusName(), "from");
    QCOMPARE(failures_, QStringList{kMaskFailure});
    QCOMPARE(w_->from->Text(), "05/01/2   ");

    QTest::keyClicks(w_->from, "023");
    w_->after->setFocus(Qt::MouseFocusReason);
    QTest::qWait(20);
    QCOMPARE(FocusName(), "after");
    QCOMPARE(failures_.size(), 1);
}

// The real boxes, answered by a timer: title, no icon, one OK; afterwards the text is still selected.
void DateBoxTest::invalidDateShowsThePlainBoxAndKeepsTheTextSelected()
{
    KqEditData::SetInformationHandler(nullptr);
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    qsizetype buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        box->button(QMessageBox::Ok)->click();
    });
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->from, "31022023");
    QTest::keyClick(w_->from, Qt::Key_Return);

    QCOMPARE(title, "ConvQuibraW");
    QCOMPARE(text, kInvalidDate);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, 1);
    QTRY_COMPARE(FocusName(), "from");
    QCOMPARE(w_->from->selectedText(), "31/02/2023");
}

void DateBoxTest::refusalReachesTheErrorReportWithItsPeriod()
{
    KqEditData::SetFailureHandler(nullptr);
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->from, "05012");
    QTest::keyClick(w_->from, Qt::Key_Tab);

    QCOMPARE(title, "ConvQuibraW");
    QCOMPARE(text, kMaskFailure + u'.');
    QCOMPARE(icon, QMessageBox::Critical);
    QTRY_COMPARE(FocusName(), "from");
}

QTEST_MAIN(DateBoxTest)
#include "date_box_test.moc"
