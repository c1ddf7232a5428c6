// libFuzzer harnesses over palette files of arbitrary bytes. "reader" counts and reads them;
// "cycle" loads, selects, deletes and cleans duplicates, and checks each result against a
// plain reference of what the commands must do.
#include "palette/paletteedit.h"
#include "palette/palettestore.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <set>
#include <string>

namespace {

const QTemporaryDir &folder()
{
    static const QTemporaryDir dir;
    return dir;
}

void writePalette(const uint8_t *data, size_t size)
{
    QFile file(folder().filePath(QStringLiteral("pal.hbk")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
}

std::string readPalette()
{
    QFile file(folder().filePath(QStringLiteral("pal.hbk")));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll().toStdString();
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writePalette(data, size);
    PaletteStore store(folder().path());
    // No other writer shares the fuzzer's folder: a rewrite need not look out for one.
    store.lateWriterWait = std::chrono::milliseconds(0);
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const qint64 whole = static_cast<qint64>(size / 6);

    qint64 count = -1;
    const std::vector<ChartRecord> newest = store.readNewest(100, &count);
    check(count == whole && store.count() == whole);
    check(newest.size() == static_cast<size_t>(std::min<qint64>(whole, 100)));
    for (size_t j = 0; j < newest.size(); ++j) {
        const size_t offset = static_cast<size_t>(whole - 1 - static_cast<qint64>(j)) * 6;
        check(std::string(newest[j].bytes.begin(), newest[j].bytes.end()) ==
              bytes.substr(offset, 6));
        check(newest[j].color() >= 0 && newest[j].color() <= 0xFFFFFF);
    }

#ifdef HUEBROOK_FUZZ_CYCLE
    if (whole == 0)
        return 0;
    // Select a swatch as the grid would and delete its record.
    const qint64 index = size > 0 ? data[0] % std::min<qint64>(whole, 100) : 0;
    const qint64 recordNumber = whole - index;
    std::string expected = bytes.substr(0, static_cast<size_t>(whole) * 6);
    expected.erase(static_cast<size_t>(recordNumber - 1) * 6, 6);
    check(paletteedit::deleteRecord(store, recordNumber, newest[static_cast<size_t>(index)])
              .has_value());
    check(readPalette() == expected);

    // Clean Duplicate: the oldest occurrence of each record, in order, compared byte for byte.
    std::set<std::string> seen;
    std::string cleaned;
    for (size_t i = 0; i + 6 <= expected.size(); i += 6)
        if (seen.insert(expected.substr(i, 6)).second)
            cleaned += expected.substr(i, 6);
    paletteedit::cleanDuplicates(store);
    check(readPalette() == cleaned);
#endif
    return 0;
}
