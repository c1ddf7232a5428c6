// How long the main window's event loop stands still while the palette is rewritten: a 10 ms
// timer keeps firing during Clean Duplicate of 10 million records and its undo, and the longest
// gap between two of its ticks is printed with the work's length. Run offscreen.
#include "app/frmshowcolor.h"
#include "palette/palettedocument.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// Runs the action and the event loop until the palette's work is done; prints what the timer saw.
void measure(const char *what, QAction *action, const PaletteDocument *document)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        ++ticks;
        if (!document->busy())
            QCoreApplication::exit(0);
    });
    clock.start();
    timer.start();
    action->trigger();
    QApplication::exec();
    std::printf("%-16s %6lld ms of work, %5d ticks, longest gap %4lld ms\n", what,
                static_cast<long long>(clock.elapsed()), ticks, static_cast<long long>(longest));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 records = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10'000'000;
    QTemporaryDir dir;
    {
        QFile palette(dir.filePath(QStringLiteral("pal.hbk")));
        if (!palette.open(QIODevice::WriteOnly))
            return 1;
        QByteArray chunk;
        for (qint64 i = 0; i < records; ++i) {
            chunk += QByteArray::number((i * 7919) % 60'000, 16).rightJustified(6, '0');
            if (chunk.size() >= (1 << 20) || i + 1 == records) {
                palette.write(chunk);
                chunk.clear();
            }
        }
    }
    frmshowcolor window(
        PaletteStore(dir.path()), PositionSettings(QStringLiteral("bench-gaps")),
        [](const QString &message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
    window.show();
    const auto *document = window.findChild<PaletteDocument *>();
    std::printf("%lld records\n", static_cast<long long>(records));
    measure("Clean Duplicate", window.findChild<QAction *>(QStringLiteral("mnuCleanDup")),
            document);
    measure("its undo", window.findChild<QAction *>(QStringLiteral("mnuUndo")), document);
    return 0;
}
