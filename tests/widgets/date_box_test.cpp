#include "widgets/kq_edit_data.h"
#include "widgets/kq_edit_family.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace std::chrono;

namespace {

const QString kBlank = QStringLiteral("  /  /    ");
const QString kInvalid = QStringLiteral("Data Inválida, favor digitar novamente");
const QString kRequired = QStringLiteral("Campo de preenchimento obrigatório");
const QString kRefused = QStringLiteral("Invalid input value.  Use escape key to abandon changes");

// The main window's sales range: "Copiar Vendas De:" [from] "a" [to], then the next widget.
struct RangeWindow {
    QWidget window;
    KqEditData* from = new KqEditData(&window);
    KqEditData* to = new KqEditData(&window);
    QPushButton* after = new QPushButton(QStringLiteral("Iniciar Cópia"), &window);

    RangeWindow()
    {
        from->setObjectName("from");
        to->setObjectName("to");
        after->setObjectName("after");
        for (KqEditData* box : {from, to}) box->SetValidaCampo(false), box->SetCompletaData(false);
    }
};

QString FocusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QTestEventList Keys(const QString& typed, std::initializer_list<Qt::Key> keys, const QString& typedAfter = {})
{
    QTestEventList events;
    events.addKeyClicks(typed);
    for (Qt::Key key : keys) events.addKeyClick(key);
    events.addKeyClicks(typedAfter);
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
    void escapeClearsOnlyThisWindowsBoxes();
    void typingAfterEscapeFillsTheFirstBox();
    void pageKeysGoToTheRegisteredTarget();
    void focusColours();
    void clickingAwayFromAnUnfilledYearIsRefused();
    void realInvalidDateBox();

private:
    std::unique_ptr<RangeWindow> w_;
    QStringList messages_;
};

void DateBoxTest::init()
{
    KqEditData::SetClock([] { return 2026y / December / 8d; });
    KqEditData::SetInformationHandler([this](const QString& text) { messages_ << text; });
    KqEditData::SetFailureHandler([this](const QString& text) { messages_ << text; });
    messages_.clear();
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

// Today is 08/12/2026. "main" rows have the main window's settings (Enter completes, nothing required);
// "plain" rows the box's defaults (no completion, required).
void DateBoxTest::keys_data()
{
    QTest::addColumn<bool>("main");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QTestEventList>("events");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QStringList>("messages");

    using K = Qt::Key;
    const QStringList none, invalid{kInvalid}, refused{kRefused};
    // clang-format off
    QTest::newRow("empty Enter: today")     << true << "from" << Keys("", {K::Key_Return}) << "08/12/2026" << "to" << none;
    QTest::newRow("keypad Enter")           << true << "from" << Keys("", {K::Key_Enter}) << "08/12/2026" << "to" << none;
    QTest::newRow("two-digit year")         << true << "from" << Keys("050123", {K::Key_Return}) << "05/01/2023" << "to" << none;
    QTest::newRow("three-digit year")       << true << "from" << Keys("0501202", {K::Key_Return}) << "05/01/2020" << "to" << none;
    QTest::newRow("one year digit")         << true << "from" << Keys("05012", {K::Key_Return}) << "05/01/2026" << "to" << none;
    QTest::newRow("day only")               << true << "from" << Keys("05", {K::Key_Return}) << "05/12/2026" << "to" << none;
    QTest::newRow("complete date")          << true << "to" << Keys("05012023", {K::Key_Return}) << "05/01/2023" << "after" << none;
    QTest::newRow("31 February")            << true << "from" << Keys("31022023", {K::Key_Return}) << "31/02/2023" << "from" << invalid;
    QTest::newRow("full length, a hole")    << true << "from" << Keys("05 12023", {K::Key_Return}) << "05/ 1/2023" << "from" << invalid;
    QTest::newRow("plain: empty required")  << false << "from" << Keys("", {K::Key_Return}) << kBlank << "from" << QStringList{kRequired};
    QTest::newRow("plain: short year kept") << false << "from" << Keys("050123", {K::Key_Return}) << "05/01/23  " << "from" << refused;
    QTest::newRow("Backspace mid-text")     << true << "from" << Keys("05012023", {K::Key_Left, K::Key_Left, K::Key_Backspace}) << kBlank << "from" << none;
    QTest::newRow("Delete at the start")    << true << "from" << Keys("05012023", {K::Key_Home, K::Key_Delete}) << kBlank << "from" << none;
    QTest::newRow("retyped after Delete")   << true << "from" << Keys("05012023", {K::Key_Delete}, "0702") << "07/02/    " << "from" << none;
    QTest::newRow("Tab, year unfilled")     << true << "from" << Keys("05012", {K::Key_Tab}) << "05/01/2   " << "from" << refused;
    QTest::newRow("Tab, untouched box")     << true << "from" << Keys("", {K::Key_Tab}) << kBlank << "to" << none;
    QTest::newRow("Tab after Backspace")    << true << "from" << Keys("05012", {K::Key_Backspace, K::Key_Tab}) << kBlank << "to" << none;
    QTest::newRow("Up in the first box")    << true << "from" << Keys("", {K::Key_Up}) << kBlank << "from" << none;
    QTest::newRow("Down in the first box")  << true << "from" << Keys("", {K::Key_Down}) << kBlank << "to" << none;
    QTest::newRow("Up in the last box")     << true << "to" << Keys("", {K::Key_Up}) << kBlank << "from" << none;
    QTest::newRow("Down in the last box")   << true << "to" << Keys("", {K::Key_Down}) << kBlank << "to" << none;
    // clang-format on
}

void DateBoxTest::keys()
{
    QFETCH(bool, main);
    QFETCH(QString, box);
    QFETCH(QTestEventList, events);
    KqEditData* target = box == "to" ? w_->to : w_->from;
    target->SetCompletaData(!main);
    target->SetValidaCampo(!main);
    target->setFocus(Qt::TabFocusReason);

    events.simulate(target);

    QTEST(target->Text(), "text");
    QTEST(FocusName(), "focus");
    QTEST(messages_, "messages");
    if (messages_ == QStringList{kInvalid}) QCOMPARE(target->selectedText(), target->displayText());
}

void DateBoxTest::escapeClearsOnlyThisWindowsBoxes()
{
    RangeWindow other;
    other.to->SetText("31/12/2020");
    w_->from->SetText("05/01/2023");
    w_->from->setEnabled(false);
    w_->to->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->to, "05012");

    QTest::keyClick(w_->to, Qt::Key_Escape);

    QCOMPARE(w_->from->displayText(), "__/__/____");
    QCOMPARE(w_->to->Text(), kBlank);
    QVERIFY(w_->from->isEnabled());
    QCOMPARE(FocusName(), "from");
    QCOMPARE(other.to->Text(), "31/12/2020");
    QTest::keyClick(w_->from, Qt::Key_Tab);  // nothing left to refuse
    QCOMPARE(FocusName(), "to");
    QCOMPARE(messages_, QStringList());
}

void DateBoxTest::typingAfterEscapeFillsTheFirstBox()
{
    w_->from->SetText("31/12/2020");
    w_->to->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w_->to, Qt::Key_Escape);
    QCOMPARE(FocusName(), "from");
    QCOMPARE(w_->from->cursorPosition(), 0);
    QTest::keyClicks(w_->from, "05012023");
    QCOMPARE(w_->from->Text(), "05/01/2023");
}

void DateBoxTest::pageKeysGoToTheRegisteredTarget()
{
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w_->from, Qt::Key_PageDown);
    QCOMPARE(FocusName(), "from");
    KqEditFamily::SetPageTarget(w_->after);
    QTest::keyClick(w_->from, Qt::Key_PageUp);
    QCOMPARE(FocusName(), "after");
}

void DateBoxTest::focusColours()
{
    w_->after->setFocus(Qt::TabFocusReason);
    QPalette colours = w_->from->palette();
    colours.setColor(QPalette::Base, Qt::yellow);
    w_->from->setPalette(colours);
    w_->from->setFocus(Qt::TabFocusReason);
    QCOMPARE(w_->from->palette().color(QPalette::Base), w_->from->ColorOnEnter());
    QTest::keyClick(w_->from, Qt::Key_Tab);
    QCOMPARE(w_->from->palette().color(QPalette::Base), QColor(Qt::yellow));
}

void DateBoxTest::clickingAwayFromAnUnfilledYearIsRefused()
{
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->from, "05012");
    w_->after->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(FocusName(), "from");
    QCOMPARE(messages_, QStringList{kRefused});
}

// Without the hook: a real box titled "ConvQuibraW", no icon, one OK; then the text is still selected.
void DateBoxTest::realInvalidDateBox()
{
    KqEditData::SetInformationHandler(nullptr);
    QTimer::singleShot(0, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box && box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1);
        messages_ << box->windowTitle() << box->text();
        box->button(QMessageBox::Ok)->click();
    });
    w_->from->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w_->from, "31022023");
    QTest::keyClick(w_->from, Qt::Key_Return);
    QCOMPARE(messages_, (QStringList{"ConvQuibraW", kInvalid}));
    QTRY_COMPARE(FocusName(), "from");
    QCOMPARE(w_->from->selectedText(), "31/02/2023");
}

QTEST_MAIN(DateBoxTest)
#include "date_box_test.moc"
