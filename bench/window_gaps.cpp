// window-gaps --legacy DIR [--no-match-keys]: "Iniciar Cópia" in the real window (offscreen unless a platform is
// set), both copy boxes ticked and a sales date range covering everything, into a fresh QuibraW database. A timer
// on the window's thread ticks every 5 ms; the longest time between two ticks while the command runs is how long
// the window went without answering its events. Prints it, the gaps over 100 ms and the run's wall and processor
// time (the process's, the engine's threads included).
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "tests/support/test_database.h"
#include "widgets/kq_edit_data.h"

namespace {

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

[[noreturn]] void Usage()
{
    std::fprintf(stderr, "usage: window-gaps --legacy DIR [--no-match-keys]\n");
    std::exit(2);
}

template <class Widget> Widget* Child(MainWindow& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) {
        std::fprintf(stderr, "the window has no %s\n", name);
        std::exit(1);
    }
    return widget;
}

// Every box answered at once: record failures left out after the first, no interruption.
DialogAnswerer SilentAnswers(std::vector<std::string>& shown)
{
    DialogAnswerer answers;
    answers.information = [&shown](const QString& text) { shown.push_back(text.toStdString()); };
    answers.error = [&shown](const QString& text) { shown.push_back("error: " + text.toStdString()); };
    answers.recordFailure = [](const QString&) { return true; };
    answers.question = [](const QString&) { return false; };
    answers.folder = [](const QString&) { return QString(); };
    answers.openFile = [](const QString&) { return std::optional<QString>(); };
    answers.askText = [](const QString&, const QString&, const QString&) { return std::optional<QString>(); };
    return answers;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string legacy;
    MatchKeys keys = MatchKeys::Kept;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--legacy" && i + 1 < argc)
            legacy = argv[++i];
        else if (arg == "--no-match-keys")
            keys = MatchKeys::LeftOut;
        else
            Usage();
    }
    if (legacy.empty()) Usage();
    legacy = std::filesystem::absolute(legacy).string();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    TempFolder work;
    // The run's report goes with the database, not among the operator's reports.
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(work.Path()));
    const std::string target = FreshQuibrawDatabase(work, "bd.fdb", keys);

    MainWindow window;
    std::vector<std::string> shown;
    window.SetDialogAnswerer(SilentAnswers(shown));
    window.show();
    Child<QLineEdit>(window, "legacyFolderBox")->setText(QString::fromStdString(legacy));
    Child<QLineEdit>(window, "targetBox")->setText(QString::fromStdString(target));
    Child<QCheckBox>(window, "copiaVendasCheck")->setChecked(true);
    Child<QCheckBox>(window, "copiaEntradasCheck")->setChecked(true);
    Child<KqEditData>(window, "salesFromBox")->SetText(QStringLiteral("01/01/1990"));
    Child<KqEditData>(window, "salesToBox")->SetText(QStringLiteral("31/12/2099"));

    QElapsedTimer clock;
    qint64 lastTick = -1, longest = 0;
    long ticks = 0, over100 = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!window.CommandRunning()) return;
        const qint64 now = clock.nsecsElapsed();
        if (lastTick >= 0) {
            const qint64 gap = now - lastTick;
            longest = std::max(longest, gap);
            if (gap > 100'000'000) ++over100;
        }
        lastTick = now;
        ++ticks;
    });
    ticker.start();
    clock.start();
    const double processorAtStart = ProcessorSeconds();
    window.Run(Command::StartCopy);
    const double wall = clock.nsecsElapsed() / 1e9, processor = ProcessorSeconds() - processorAtStart;

    const bool succeeded = std::find(shown.begin(), shown.end(), "Cópia Realizada com Sucesso!") != shown.end();
    std::printf("legacy folder %s%s\n", legacy.c_str(),
                keys == MatchKeys::LeftOut ? "  (target without the keys of the matching columns)" : "");
    std::printf("run %.2f s wall, %.2f s processor, %s; %ld ticks while the command ran\n", wall, processor,
                succeeded ? "\"Cópia Realizada com Sucesso!\"" : "without the success box", ticks);
    std::printf("longest time without events: %.1f ms; gaps over 100 ms: %ld\n", longest / 1e6, over100);
    if (!succeeded)
        for (const std::string& text : shown) std::printf("  box: %s\n", text.c_str());
    return succeeded ? 0 : 1;
}
