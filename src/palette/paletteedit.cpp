// Delete and Clean Duplicate, streamed in blocks so that a palette of millions of records is
// rewritten in one pass.
#include "paletteedit.h"

#include <QFile>
#include <unordered_set>
#include <vector>

namespace paletteedit {
namespace {

constexpr qint64 blockRecords = 64 * 1024;

// Copies `records` whole records from the current position of source to target.
void copyRecords(QFile &source, QFile &target, qint64 records)
{
    std::vector<char> buffer(static_cast<size_t>(std::min(records, blockRecords)) *
                             ChartRecord::size);
    while (records > 0) {
        const qint64 n = std::min(records, blockRecords);
        palettefile::readExactly(source, buffer.data(), n * ChartRecord::size);
        palettefile::writeAll(target, buffer.data(), n * ChartRecord::size);
        records -= n;
    }
}

} // namespace

bool deleteRecord(const PaletteStore &store, qint64 recordNumber, const ChartRecord &expected)
{
    const qint64 count = store.count();
    if (recordNumber < 1 || recordNumber > count)
        return false;
    if (store.readRecord(recordNumber) != expected)
        return false;
    store.replace(deleteTempName, [&](QFile &source, qint64 total, QFile &target) {
        copyRecords(source, target, recordNumber - 1);
        ChartRecord skipped;
        palettefile::readExactly(source, skipped.bytes.data(), ChartRecord::size);
        copyRecords(source, target, total - recordNumber);
    });
    return true;
}

void cleanDuplicates(const PaletteStore &store)
{
    store.replace(cleanTempName, [](QFile &source, qint64 total, QFile &target) {
        std::unordered_set<uint64_t> seen;
        std::vector<char> in(static_cast<size_t>(std::min(total, blockRecords)) *
                             ChartRecord::size);
        std::vector<char> out;
        out.reserve(in.size());
        for (qint64 left = total; left > 0;) {
            const qint64 n = std::min(left, blockRecords);
            palettefile::readExactly(source, in.data(), n * ChartRecord::size);
            out.clear();
            for (qint64 i = 0; i < n; ++i) {
                ChartRecord record;
                const char *src = in.data() + i * ChartRecord::size;
                std::copy(src, src + ChartRecord::size, record.bytes.begin());
                if (seen.insert(record.key()).second)
                    out.insert(out.end(), src, src + ChartRecord::size);
            }
            palettefile::writeAll(target, out.data(), static_cast<qint64>(out.size()));
            left -= n;
        }
    });
}

} // namespace paletteedit
