#pragma once

#include <QColor>
#include <QLineEdit>
#include <QString>
#include <chrono>
#include <functional>

// The date entry box: a masked edit box for a date typed day/month/year, member of the KqEdit family.
// Enter completes a partly typed date from today's date and checks it; Backspace and Delete clear the
// whole date; Escape clears every family box of the window; Up and Down walk the window's family boxes;
// Page Up and Page Down jump to the target registered with KqEditFamily::SetPageTarget.
class KqEditData : public QLineEdit {
    Q_OBJECT

public:
    // The maker's notation: two day and two month positions that take a digit or a blank, four year
    // positions that require a digit, literals kept in the text, "_" for an unfilled position.
    static constexpr const char* kEditMask = "!99/99/0000;1;_";
    // What Text() reads for an empty box.
    static constexpr const char* kEmptyText = "  /  /    ";

    // Today's date; replaceable so that completion can be pinned to a known day.
    using Clock = std::function<std::chrono::year_month_day()>;
    // Shows one operator text: the information box ("ConvQuibraW", no icon, one OK) or the general
    // error report (error icon, closing period added).
    using MessageHandler = std::function<void(const QString& text)>;

    explicit KqEditData(QWidget* parent = nullptr);
    ~KqEditData() override;

    // The date as typed, unfilled positions as blanks: "  /  /    " when empty, "05/01/2023" when full.
    QString Text() const;
    // Sets the date; blanks stand for unfilled positions, as Text() gives them.
    void SetText(const QString& text);

    QString EditMask() const { return QString::fromLatin1(kEditMask); }

    // The mask refuses to let the focus go while a changed text has an unfilled year position; a box that lost
    // the focus that way takes it back as soon as events are processed.
    bool LeavingIsRefused() const;

    // When true, Enter on an empty box is refused with "Campo de preenchimento obrigatório".
    bool ValidaCampo() const { return validaCampo_; }
    void SetValidaCampo(bool value) { validaCampo_ = value; }
    // When false, Enter completes a partly typed date from today's date before checking it.
    bool CompletaData() const { return completaData_; }
    void SetCompletaData(bool value) { completaData_ = value; }
    // The background while the box has the focus.
    QColor ColorOnEnter() const { return colorOnEnter_; }
    void SetColorOnEnter(const QColor& color) { colorOnEnter_ = color; }

    // Program-wide hooks; an empty function puts the default back (the system's date, real boxes).
    static void SetClock(Clock clock);
    static void SetInformationHandler(MessageHandler handler);
    static void SetFailureHandler(MessageHandler handler);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Enter();
    // Beep and show the mask's failure.
    void ReportRefusal() const;
    void SetBackground(const QColor& color);

    bool validaCampo_ = true;
    bool completaData_ = true;
    QColor colorOnEnter_;
    QColor colorBeforeEnter_;
};
