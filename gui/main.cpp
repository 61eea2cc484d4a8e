#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>

#include "app/interrupt_signals.h"
#include "common/interruption.h"
#include "gui/main_window.h"

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

    // For scripts/screenshot only: save a picture of the window once it has been painted, then end.
    if (const char* picture = std::getenv("CONVQUIBRAW_SCREENSHOT"); picture && *picture) {
        QTimer::singleShot(800, &window, [&window, path = QString::fromLocal8Bit(picture)] {
            const bool saved = window.grab().save(path);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
