// Palette file and color model figures: loading and appending must not grow with the palette,
// the rewrites must stay linear, and model reads are measured per color.
#include "color/colornames.h"
#include "formats/colorformat.h"
#include "models/cClrModels.h"
#include "palette/gimppalette.h"
#include "palette/paletteedit.h"
#include "palette/palettesteps.h"
#include "palette/palettestore.h"
#include "picker/simulatedview.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A palette of `records` records where every tenth repeats an earlier color.
void writePalette(const QString &path, int64_t records)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray block;
    for (int64_t i = 0; i < records; ++i) {
        const int64_t value = i % 10 == 9 ? i / 2 : i;
        block += QByteArray::number(static_cast<qlonglong>(value % 0x1000000), 16)
                     .rightJustified(6, '0')
                     .toUpper();
        if (block.size() >= 6 * 65536) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
}

void BM_LoadNewest100(benchmark::State &state)
{
    QTemporaryDir dir;
    writePalette(dir.filePath("pal.hbk"), state.range(0));
    PaletteStore store(dir.path());
    for (auto _ : state) {
        qint64 count = 0;
        benchmark::DoNotOptimize(store.readNewest(100, &count));
    }
}
BENCHMARK(BM_LoadNewest100)
    ->Arg(10)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond);

void BM_Append(benchmark::State &state)
{
    QTemporaryDir dir;
    writePalette(dir.filePath("pal.hbk"), state.range(0));
    PaletteStore store(dir.path());
    for (auto _ : state)
        store.AppendChartColor(QStringLiteral("#12AB34"));
}
BENCHMARK(BM_Append)
    ->Arg(10)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond);

void BM_Delete(benchmark::State &state)
{
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    for (auto _ : state) {
        state.PauseTiming();
        writePalette(dir.filePath("pal.hbk"), state.range(0));
        const qint64 middle = state.range(0) / 2;
        const ChartRecord selected = store.readRecord(middle);
        state.ResumeTiming();
        paletteedit::deleteRecord(store, middle, selected);
    }
}
BENCHMARK(BM_Delete)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CleanDuplicate(benchmark::State &state)
{
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    for (auto _ : state) {
        state.PauseTiming();
        writePalette(dir.filePath("pal.hbk"), state.range(0));
        state.ResumeTiming();
        paletteedit::cleanDuplicates(store);
    }
}
BENCHMARK(BM_CleanDuplicate)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Undo of each step on a palette of a million records, and the memory the step keeps: what it
// removed, never the palette.
void BM_UndoStep(benchmark::State &state, const char *kind)
{
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    for (auto _ : state) {
        state.PauseTiming();
        writePalette(dir.filePath("pal.hbk"), state.range(0));
        std::unique_ptr<PaletteStep> step =
            QByteArray(kind) == "clean"
                ? palettesteps::cleanDuplicates()
                : palettesteps::deleteRecord(state.range(0) / 2,
                                             store.readRecord(state.range(0) / 2));
        step->redo(store);
        state.ResumeTiming();
        step->undo(store);
    }
}
BENCHMARK_CAPTURE(BM_UndoStep, clean_duplicate, "clean")
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_UndoStep, delete, "delete")
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// A GIMP palette of 100,000 colors, far larger than any real one: read, appended, exported.
QByteArray bigGimpPalette()
{
    QByteArray text = "GIMP Palette\nName: big\nColumns: 10\n#\n";
    for (int i = 0; i < 100'000; ++i)
        text += QByteArray::number(i % 256) + ' ' + QByteArray::number(i / 256 % 256) + ' ' +
                QByteArray::number(i * 7 % 256) + "\tcolor " + QByteArray::number(i) + '\n';
    return text;
}

void BM_ImportGimpPalette100k(benchmark::State &state)
{
    const QByteArray text = bigGimpPalette();
    for (auto _ : state) {
        QTemporaryDir dir;
        PaletteStore store(dir.path());
        store.appendRecords(gimppalette::read(text));
    }
}
BENCHMARK(BM_ImportGimpPalette100k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExportGimpPalette100k(benchmark::State &state)
{
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    store.appendRecords(gimppalette::read(bigGimpPalette()));
    for (auto _ : state)
        benchmark::DoNotOptimize(gimppalette::write(store.readAll(), QStringLiteral("big")));
}
BENCHMARK(BM_ExportGimpPalette100k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ModelReadsPerColor(benchmark::State &state)
{
    // Every read of every one of the 16,777,216 colors, reported per color.
    for (auto _ : state) {
        int64_t sum = 0;
        cClrModels c;
        for (int rgb = 0; rgb < 0x1000000; ++rgb) {
            c.rgbR(static_cast<uint8_t>(rgb));
            c.rgbG(static_cast<uint8_t>(rgb >> 8));
            c.rgbB(static_cast<uint8_t>(rgb >> 16));
            sum += c.cmyC() + c.cmyM() + c.cmyY() + c.cmykC() + c.cmykM() + c.cmykY() + c.cmykK() +
                   c.hlsH() + c.hlsL() + c.hlsS() + c.ycbcrY() + c.ycbcrCb() + c.ycbcrCr();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 0x1000000);
}
BENCHMARK(BM_ModelReadsPerColor)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

// One color's text in each of the CSS Color 4 notations and as a name, as --convert and the
// Details window make them, over colors spread across the cube.
void BM_ColorText(benchmark::State &state, const char *format)
{
    const QString name = QLatin1String(format);
    Color color = 0;
    for (auto _ : state) {
        color = (color + 0x9E3779) & 0xFFFFFF;
        benchmark::DoNotOptimize(colorformat::text(name, color));
    }
}
BENCHMARK_CAPTURE(BM_ColorText, oklch, "oklch")->Unit(benchmark::kMicrosecond);

// The frozen screen's deuteranopia view, made on a worker after the first frame: a picture of
// distinct neighbouring pixels (the worst case, no runs of one color) at 1080p and 4K.
void BM_SimulatedView(benchmark::State &state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = width * 9 / 16;
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(
                x, y, qRgb((x * 37 + y * 11) % 256, (x * x + 3 * y) % 256, (x * y * 5 + 17) % 256));
    const visiondeficiency::Simulation view =
        *visiondeficiency::parse(QStringLiteral("deuteranopia"));
    for (auto _ : state)
        benchmark::DoNotOptimize(simulatedview::of(picture, view));
}
BENCHMARK(BM_SimulatedView)->Arg(1920)->Arg(3840)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_ColorText, lab, "lab")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ColorText, display_p3, "display-p3")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ColorText, name, "name")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
