// The live main window's figures: a color change, a swatch click, a slider step, a caption
// rebuild and a grid reload offscreen; under an X server also the start of picking, a pointer
// move on the frozen screen, and the memory that picking takes.
#include "app/frmshowcolor.h"
#include "picker/frmGetColor.h"
#include "picker/frmpick.h"
#include "picker/pickingsession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

namespace {

std::unique_ptr<QTemporaryDir> g_dir;
std::unique_ptr<frmshowcolor> g_window;
long g_idleRss = 0; // KiB, with the main window shown and nothing picked yet

long residentKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<int>(strlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

void BM_CurrentColorChanged(benchmark::State &state)
{
    int i = 0;
    for (auto _ : state)
        g_window->CurrentColorChanged((++i & 1) ? 0x123456 : 0x654321);
}
BENCHMARK(BM_CurrentColorChanged)->Unit(benchmark::kMicrosecond);

void BM_SwatchClick(benchmark::State &state)
{
    int i = 0;
    for (auto _ : state)
        g_window->lblcor_MouseUp(static_cast<int16_t>(++i % 100), 1, 0, 0, 0);
}
BENCHMARK(BM_SwatchClick)->Unit(benchmark::kMicrosecond);

void BM_SliderStep(benchmark::State &state)
{
    auto *red = g_window->findChild<QScrollBar *>(QStringLiteral("RScroll"));
    int i = 0;
    for (auto _ : state)
        red->setValue(++i % 256);
}
BENCHMARK(BM_SliderStep)->Unit(benchmark::kMicrosecond);

void BM_ChangeCopyMenu(benchmark::State &state)
{
    for (auto _ : state)
        g_window->ChangeCopyMenu();
}
BENCHMARK(BM_ChangeCopyMenu)->Unit(benchmark::kMicrosecond);

void BM_ShowColorChart(benchmark::State &state)
{
    for (auto _ : state)
        g_window->ShowColorChart(QStringLiteral("pal.hbk"));
}
BENCHMARK(BM_ShowColorChart)->Unit(benchmark::kMicrosecond);

frmGetColor *pickingWindow()
{
    const PickingSession *session = g_window->picking();
    return session && !session->windows().isEmpty() ? session->windows().first() : nullptr;
}

// Spins the event loop until the window is mapped and exposed; QTest's waits sleep in 10 ms
// steps, which would swamp the figure.
bool waitExposed(QWidget *window)
{
    QElapsedTimer timer;
    timer.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

void endPicking(frmGetColor *picker)
{
    QTest::keyClick(picker, Qt::Key_Escape);
    if (!QTest::qWaitFor([] { return g_window->isVisible() && !pickingWindow(); }))
        qWarning("picking did not end");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The X server has handled every request sent so far once a round trip returns: after
// mnustartpick_Click and this, the frozen window is mapped.
void roundTrip()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11->connection();
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// From the click on the eyedropper to the frozen window mapped (mapped = true) or painted.
void pickingStart(benchmark::State &state, bool mapped)
{
    long picking = 0;
    long first = 0;
    for (auto _ : state) {
        g_window->mnustartpick_Click();
        frmGetColor *picker = pickingWindow();
        if (mapped)
            roundTrip();
        if (!picker || !waitExposed(picker)) {
            state.SkipWithError("the frozen screen did not appear");
            return;
        }
        state.PauseTiming();
        const long now = residentKiB("VmRSS:");
        picking = std::max(picking, now);
        if (first == 0)
            first = now;
        endPicking(picker);
        state.ResumeTiming();
    }
    state.counters["first_pick_rss_over_idle_MiB"] =
        static_cast<double>(first - g_idleRss) / 1024.0;
    state.counters["max_rss_over_idle_MiB"] = static_cast<double>(picking - g_idleRss) / 1024.0;
}

void BM_PickingStartToMapped(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        g_window->mnustartpick_Click();
        frmGetColor *picker = pickingWindow();
        if (!picker) {
            state.SkipWithError("the frozen screen did not appear");
            return;
        }
        roundTrip();
        state.PauseTiming();
        if (!waitExposed(picker))
            state.SkipWithError("the frozen screen was not exposed");
        endPicking(picker);
        state.ResumeTiming();
    }
}

void BM_PickingStartToPainted(benchmark::State &state)
{
    pickingStart(state, false);
}

// Starts picking with the sample size of the benchmark's argument; nullptr, with the benchmark
// skipped, when the frozen screen does not appear.
frmGetColor *startPicking(benchmark::State &state)
{
    g_window->mnustartpick_Click();
    frmGetColor *picker = pickingWindow();
    if (!picker || !waitExposed(picker)) {
        state.SkipWithError("the frozen screen did not appear");
        return nullptr;
    }
    g_window->picking()->setSampleSize(static_cast<int>(state.range(0)));
    return picker;
}

// Moves the pointer along a short line on the frozen screen; returns what the loupe's move
// dirtied, its old and new places.
QRect movePointer(frmGetColor *picker, int step)
{
    const QPointF at(10 + step % 50, 10);
    QMouseEvent move(QEvent::MouseMove, at, picker->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    const QRect before = picker->loupeLayout().whole();
    QApplication::sendEvent(picker, &move);
    return before.united(picker->loupeLayout().whole()).adjusted(-2, -2, 2, 2);
}

// A pointer move on the frozen screen: the X server's answer to where the pointer is, the sample
// box's mean, the loupe moved, its old and new places repainted and sent to the X server, and
// the preview repainted. The argument is the sample size.
void BM_PointerMoveToRepaint(benchmark::State &state)
{
    frmGetColor *picker = startPicking(state);
    if (!picker)
        return;
    int i = 0;
    for (auto _ : state) {
        // Painted now rather than on the next update.
        picker->repaint(movePointer(picker, ++i));
        g_window->picking()->preview()->repaint();
    }
    endPicking(picker);
}

// Our own part of it: painting the frozen picture and the loupe, with its sample box, into the
// places the move dirtied.
void BM_LoupeRepaint(benchmark::State &state)
{
    frmGetColor *picker = startPicking(state);
    if (!picker)
        return;
    QImage target(picker->size(), QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QRect dirty = movePointer(picker, ++i);
        state.ResumeTiming();
        picker->render(&target, dirty.topLeft(), QRegion(dirty), QWidget::DrawWindowBackground);
    }
    endPicking(picker);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    g_dir = std::make_unique<QTemporaryDir>();
    {
        QFile palette(g_dir->filePath(QStringLiteral("pal.hbk")));
        palette.open(QIODevice::WriteOnly);
        for (int i = 0; i < 1'000'000; ++i)
            palette.write(
                QByteArray::number(qint64(i) * 7919 % 0x1000000, 16).rightJustified(6, '0'));
    }
    g_window = std::make_unique<frmshowcolor>(
        PaletteStore(g_dir->path()), PositionSettings(QStringLiteral("bench")),
        [](const QString &m) { qWarning("%s", qPrintable(m)); });
    g_window->setAttribute(Qt::WA_DeleteOnClose, false);
    g_window->show();
    QCoreApplication::processEvents();
    g_idleRss = residentKiB("VmRSS:");
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // Painted first, so that its memory figure includes the first, coldest picking.
        benchmark::RegisterBenchmark("BM_PickingStartToPainted", BM_PickingStartToPainted)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(20);
        benchmark::RegisterBenchmark("BM_PickingStartToMapped", BM_PickingStartToMapped)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(20);
        benchmark::RegisterBenchmark("BM_PointerMoveToRepaint", BM_PointerMoveToRepaint)
            ->Arg(1)
            ->Arg(31)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_LoupeRepaint", BM_LoupeRepaint)
            ->Arg(1)
            ->Arg(31)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
