#include <QApplication>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "app/interrupt_signals.h"
#include "common/interruption.h"
#include "gui/main_window.h"
#include "widgets/kq_edit_data.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ConvQuibraW"));
    QApplication::setApplicationVersion(QStringLiteral(CONVQUIBRAW_VERSION));

    HandleInterruptSignals();
    MainWindow window;
    window.show();
    // SIGTERM (the session ending) between commands closes the window; during one, the command stops first.
    QTimer signalWatch;
    QObject::connect(&signalWatch, &QTimer::timeout, &window, [&window] {
        if (InterruptionSignal() == 0) return;
        if (!window.CommandRunning())
            window.close();
        else if (QWidget* box = QApplication::activeModalWidget())
            box->close();  // a box waiting for the operator would hold the command before its next record
    });
    signalWatch.start(200);

    // For scripts/screenshot only: save a picture of the window once it has been painted, then end. The dates, if
    // given, go into the two sales date boxes first.
    if (const char* picture = std::getenv("CONVQUIBRAW_SCREENSHOT"); picture && *picture) {
        if (const char* dates = std::getenv("CONVQUIBRAW_SCREENSHOT_DATES"); dates && *dates) {
            const QStringList both = QString::fromLatin1(dates).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const char* boxes[] = {"salesFromBox", "salesToBox"};
            for (qsizetype i = 0; i < std::min<qsizetype>(both.size(), 2); ++i)
                if (auto* box = window.findChild<KqEditData*>(QString::fromLatin1(boxes[i]))) box->SetText(both[i]);
        }
        // A virtual display has no window manager to activate the window: without it nothing shows the focus.
        window.activateWindow();
        QTimer::singleShot(800, &window, [&window, path = QString::fromLocal8Bit(picture)] {
            const bool saved = window.grab().save(path);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
