#include "widgets/kq_edit_data.h"

#include "common/date_time.h"
#include "widgets/kq_edit_family.h"

#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPalette>
#include <QTimer>

using namespace std::chrono;

namespace {

constexpr QChar kBlank = u'_';

// Qt's notation of the maker's mask: its "0" (digit permitted) is the maker's "9", its "9" (digit
// required) the maker's "0"; Qt keeps literals in the text anyway and has no use for "!".
const QString kInputMask = QStringLiteral("00/00/9999;_");

// Windows' inactive caption colour, which the maker took as the default.
const QColor kInactiveCaption(191, 205, 219);

const QString kTitle = QStringLiteral("ConvQuibraW");
const QString kInvalidDate = QStringLiteral("Data Inválida, favor digitar novamente");
const QString kRequired = QStringLiteral("Campo de preenchimento obrigatório");
const QString kMaskFailure = QStringLiteral("Invalid input value.  Use escape key to abandon changes");

year_month_day SystemToday()
{
    const QDate today = QDate::currentDate();
    return year_month_day{year{today.year()}, month{static_cast<unsigned>(today.month())},
                          day{static_cast<unsigned>(today.day())}};
}

// A modal box over the active window, which gets the activation back when the box is closed so that the
// date box keeps its focus.
void ShowModal(QMessageBox::Icon icon, const QString& text)
{
    QWidget* owner = QApplication::activeWindow();
    QMessageBox box(icon, kTitle, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    if (owner) owner->activateWindow();
}

void ShowInformationBox(const QString& text)
{
    ShowModal(QMessageBox::NoIcon, text);
}

// The general error report: error icon, and a period added when the last character comes after "." in
// the code table.
void ShowErrorReport(const QString& text)
{
    QString shown = text;
    if (!shown.isEmpty() && shown.back() > u'.') shown += u'.';
    ShowModal(QMessageBox::Critical, shown);
}

KqEditData::Clock& CurrentClock()
{
    static KqEditData::Clock clock = SystemToday;
    return clock;
}

KqEditData::MessageHandler& InformationHandler()
{
    static KqEditData::MessageHandler handler = ShowInformationBox;
    return handler;
}

KqEditData::MessageHandler& FailureHandler()
{
    static KqEditData::MessageHandler handler = ShowErrorReport;
    return handler;
}

// Enter's completion of a partly typed date. text has ten positions, blanks where nothing was typed.
QString Completed(QString text, year_month_day today)
{
    const QString todayText = QString::fromStdString(DateToText(today));
    const QString trimmed = text.trimmed();
    if (trimmed.size() == 10) return text;
    // A year of two or three digits: the current century goes in front of it.
    if ((trimmed.size() == 8 || trimmed.size() == 9) && text.size() <= 10 && text != KqEditData::kEmptyText) {
        const QString yearPart = text.mid(text.lastIndexOf(u'/') + 1);
        text = text.left(text.size() - 4) + todayText.mid(6, 2) + yearPart;
    }
    text.truncate(10);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u' ') text[i] = todayText[i];
    return text;
}

// Valid means readable by the same date parser the copies use on this text (blanks around it allowed).
bool IsValidDate(const QString& text)
{
    return ParseDateTimeText(text.toStdString()).has_value();
}

}  // namespace

KqEditData::KqEditData(QWidget* parent)
    : QLineEdit(parent), colorOnEnter_(kInactiveCaption)
{
    setMaxLength(10);
    setInputMask(kInputMask);
    KqEditFamily::Add(this);
}

KqEditData::~KqEditData()
{
    KqEditFamily::Remove(this);
}

QString KqEditData::Text() const
{
    QString text = displayText();
    text.replace(kBlank, u' ');
    return text;
}

void KqEditData::SetText(const QString& text)
{
    QString masked = text;
    masked.replace(u' ', kBlank);
    setText(masked);
}

void KqEditData::SetClock(Clock clock)
{
    CurrentClock() = clock ? std::move(clock) : Clock(SystemToday);
}

void KqEditData::SetInformationHandler(MessageHandler handler)
{
    InformationHandler() = handler ? std::move(handler) : MessageHandler(ShowInformationBox);
}

void KqEditData::SetFailureHandler(MessageHandler handler)
{
    FailureHandler() = handler ? std::move(handler) : MessageHandler(ShowErrorReport);
}

void KqEditData::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Enter();
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        // As if the text were set: the change is abandoned, not an edit the mask would check on leaving.
        setText(QString());
        setCursorPosition(0);
        return;
    case Qt::Key_Escape:
        KqEditFamily::ClearWindow(window());
        return;
    case Qt::Key_Up:
        if (KqEditFamily::FirstOf(window()) != this) focusNextPrevChild(false);
        return;
    case Qt::Key_Down:
        if (KqEditFamily::LastOf(window()) != this) focusNextPrevChild(true);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (QWidget* target = KqEditFamily::PageTarget()) {
            if (LeavingIsRefused())
                ReportRefusal();
            else
                target->setFocus(Qt::OtherFocusReason);
            return;
        }
        break;
    case Qt::Key_Space:
        // A blank skips a day or month position, as in the maker's masked box.
        if (event->modifiers() == Qt::NoModifier) {
            QKeyEvent blank(event->type(), event->key(), event->modifiers(), QString(kBlank));
            QLineEdit::keyPressEvent(&blank);
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void KqEditData::Enter()
{
    if (!completaData_) SetText(Completed(Text(), CurrentClock()()));
    const QString text = Text();
    if (text != kEmptyText && !IsValidDate(text)) {
        InformationHandler()(kInvalidDate);
        selectAll();
        setFocus(Qt::OtherFocusReason);
        return;
    }
    if (text == kEmptyText && validaCampo_) {
        InformationHandler()(kRequired);
        setFocus(Qt::OtherFocusReason);
        return;
    }
    focusNextPrevChild(true);
}

bool KqEditData::focusNextPrevChild(bool next)
{
    if (LeavingIsRefused()) {
        ReportRefusal();
        return true;
    }
    return QLineEdit::focusNextPrevChild(next);
}

bool KqEditData::LeavingIsRefused() const
{
    return isModified() && !hasAcceptableInput();
}

void KqEditData::ReportRefusal() const
{
    QApplication::beep();
    FailureHandler()(kMaskFailure);
}

void KqEditData::focusInEvent(QFocusEvent* event)
{
    colorBeforeEnter_ = palette().color(QPalette::Base);
    SetBackground(colorOnEnter_);
    QLineEdit::focusInEvent(event);
}

void KqEditData::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    SetBackground(colorBeforeEnter_);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    // The focus went elsewhere without asking (a mouse click, another widget taking it): take it back.
    if (LeavingIsRefused()) {
        QTimer::singleShot(0, this, [this] {
            setFocus(Qt::OtherFocusReason);
            ReportRefusal();
        });
    }
}

void KqEditData::SetBackground(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    setPalette(colors);
}
