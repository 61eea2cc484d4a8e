#include "gui/main_window_look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <algorithm>

// "MS Sans Serif" at 8 points where it is installed; else a face drawn to Arial's widths, which are those of
// "MS Sans Serif" at this size, so that captions and dates fit the boxes the layout gives them. Only a face that is
// really installed counts: asking for "Arial" would otherwise take whatever the system substitutes for it.
QFont WindowFont()
{
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Arimo",
                               "Nimbus Sans", "Nimbus Sans L"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) return QFont(QString::fromLatin1(family), 8);
    }
    QFont fallback = QApplication::font();
    fallback.setPointSize(8);
    return fallback;
}

// Wider faces than the one the layout was drawn for would clip the fixed-size instruction text: step the size
// down until every line fits.
void FitLinesToWidth(QLabel& label)
{
    QFont font = label.font();
    const QStringList lines = label.text().split(QLatin1Char('\n'));
    const auto widest = [&lines](const QFont& f) {
        const QFontMetrics metrics(f);
        int width = 0;
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        return width;
    };
    while (widest(font) > label.width() && font.pointSizeF() > 6) font.setPointSizeF(font.pointSizeF() - 0.5);
    label.setFont(font);
}

void CentreOnScreen(QWidget& window)
{
    const QScreen* shown = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!shown) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(shown->availableGeometry().center());
    window.move(frame.topLeft());
}

// The frame is known only once the window manager has put one round the window, which is after it was shown.
bool FitFrameIntoOuterSize(QWidget& window, QSize outer)
{
    if (!window.isVisible() || !window.windowHandle() || window.windowState() != Qt::WindowNoState) return false;
    const QMargins margins = window.windowHandle()->frameMargins();
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
    if (frame.isNull()) return false;
    window.resize(outer - frame);
    CentreOnScreen(window);
    return true;
}
