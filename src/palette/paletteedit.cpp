// Delete and Clean Duplicate, and the rewrites that undo them, streamed in blocks so that a
// palette of millions of records is rewritten in one pass.
#include "paletteedit.h"

#include <QCryptographicHash>
#include <QFile>
#include <unordered_set>

namespace paletteedit {
namespace {

constexpr qint64 blockRecords = 64 * 1024;

// Thrown inside a rewrite to abandon it; the palette stays as it was.
struct Abandoned
{
};

// Copies `records` whole records from the current position of source to target; the bytes go
// into the hashes given as well.
void copyRecords(QFile &source, QFile &target, qint64 records, QCryptographicHash *hash = nullptr,
                 QCryptographicHash *hash2 = nullptr)
{
    std::vector<char> buffer(static_cast<size_t>(std::clamp<qint64>(records, 0, blockRecords)) *
                             ChartRecord::size);
    while (records > 0) {
        const qint64 n = std::min(records, blockRecords);
        palettefile::readExactly(source, buffer.data(), n * ChartRecord::size);
        palettefile::writeAll(target, buffer.data(), n * ChartRecord::size);
        for (QCryptographicHash *h : {hash, hash2})
            if (h)
                h->addData(QByteArrayView(buffer.data(), n * ChartRecord::size));
        records -= n;
    }
}

void writeRecord(QFile &target, const ChartRecord &record, QCryptographicHash *hash = nullptr)
{
    palettefile::writeAll(target, record.bytes.data(), ChartRecord::size);
    if (hash)
        hash->addData(QByteArrayView(record.bytes.data(), ChartRecord::size));
}

std::optional<Cleaned> clean(const PaletteStore &store, qint64 prefix, const QByteArray *prefixHash)
{
    Cleaned cleaned;
    try {
        store.replace(cleanTempExtension, [&](QFile &source, qint64 total, QFile &target) {
            cleaned.before = prefix < 0 ? total : prefix;
            if (cleaned.before > total)
                throw Abandoned();
            QCryptographicHash kept(QCryptographicHash::Sha256);
            QCryptographicHash read(QCryptographicHash::Sha256);
            std::unordered_set<uint64_t> seen;
            std::vector<char> in(static_cast<size_t>(std::min(cleaned.before, blockRecords)) *
                                 ChartRecord::size);
            std::vector<char> out;
            out.reserve(in.size());
            qint64 number = 0;
            for (qint64 left = cleaned.before; left > 0;) {
                const qint64 n = std::min(left, blockRecords);
                palettefile::readExactly(source, in.data(), n * ChartRecord::size);
                read.addData(QByteArrayView(in.data(), n * ChartRecord::size));
                out.clear();
                for (qint64 i = 0; i < n; ++i) {
                    ChartRecord record;
                    const char *src = in.data() + i * ChartRecord::size;
                    std::copy(src, src + ChartRecord::size, record.bytes.begin());
                    ++number;
                    if (seen.insert(record.key()).second)
                        out.insert(out.end(), src, src + ChartRecord::size);
                    else
                        cleaned.removed.emplace_back(number, record);
                }
                palettefile::writeAll(target, out.data(), static_cast<qint64>(out.size()));
                kept.addData(QByteArrayView(out.data(), static_cast<qsizetype>(out.size())));
                left -= n;
            }
            if (prefixHash && read.result() != *prefixHash)
                throw Abandoned();
            cleaned.after = cleaned.before - static_cast<qint64>(cleaned.removed.size());
            cleaned.keptHash = kept.result();
            copyRecords(source, target, total - cleaned.before);
        });
    } catch (const Abandoned &) {
        return std::nullopt;
    }
    return cleaned;
}

} // namespace

std::optional<QByteArray> deleteRecord(const PaletteStore &store, qint64 recordNumber,
                                       const ChartRecord &expected)
{
    QCryptographicHash before(QCryptographicHash::Sha256);
    try {
        // Checked under the rewrite's lock, so that no other Huebrook changes it in between.
        store.replace(deleteTempExtension, [&](QFile &source, qint64 total, QFile &target) {
            if (recordNumber < 1 || recordNumber > total)
                throw Abandoned();
            copyRecords(source, target, recordNumber - 1, &before);
            ChartRecord skipped;
            palettefile::readExactly(source, skipped.bytes.data(), ChartRecord::size);
            if (skipped != expected)
                throw Abandoned();
            copyRecords(source, target, total - recordNumber);
        });
    } catch (const Abandoned &) {
        return std::nullopt;
    }
    return before.result();
}

bool insertRecord(const PaletteStore &store, qint64 recordNumber, const ChartRecord &record,
                  const QByteArray &beforeHash)
{
    try {
        store.replace(deleteTempExtension, [&](QFile &source, qint64 total, QFile &target) {
            if (recordNumber < 1 || recordNumber - 1 > total)
                throw Abandoned();
            QCryptographicHash before(QCryptographicHash::Sha256);
            copyRecords(source, target, recordNumber - 1, &before);
            if (before.result() != beforeHash)
                throw Abandoned();
            writeRecord(target, record);
            copyRecords(source, target, total - (recordNumber - 1));
        });
    } catch (const Abandoned &) {
        return false;
    }
    return true;
}

bool removeRecords(const PaletteStore &store, qint64 first,
                   const std::vector<ChartRecord> &expected)
{
    const auto n = static_cast<qint64>(expected.size());
    if (first < 1 || store.readRecords(first, n) != expected)
        return false;
    store.replace(deleteTempExtension, [&](QFile &source, qint64 total, QFile &target) {
        copyRecords(source, target, first - 1);
        std::vector<char> ours(static_cast<size_t>(n) * ChartRecord::size);
        palettefile::readExactly(source, ours.data(), n * ChartRecord::size);
        copyRecords(source, target, total - (first - 1 + n));
    });
    return true;
}

Cleaned cleanDuplicates(const PaletteStore &store)
{
    return *clean(store, -1, nullptr);
}

std::optional<Cleaned> cleanDuplicates(const PaletteStore &store, qint64 prefix,
                                       const QByteArray &prefixHash)
{
    return clean(store, prefix, &prefixHash);
}

std::optional<QByteArray> restoreDuplicates(const PaletteStore &store, const Cleaned &cleaned)
{
    QByteArray restoredHash;
    try {
        store.replace(cleanTempExtension, [&](QFile &source, qint64 total, QFile &target) {
            if (total < cleaned.after)
                throw Abandoned();
            QCryptographicHash kept(QCryptographicHash::Sha256);
            QCryptographicHash restored(QCryptographicHash::Sha256);
            auto removed = cleaned.removed.begin();
            const auto last = cleaned.removed.end();
            qint64 number = 0; // in the restored palette
            qint64 keptLeft = cleaned.after;
            // Runs of kept records between removed ones are copied a block at a time.
            while (keptLeft > 0 || removed != last) {
                if (removed != last && removed->first == number + 1) {
                    writeRecord(target, removed->second, &restored);
                    ++removed;
                    ++number;
                    continue;
                }
                const qint64 run = removed == last ? keptLeft : removed->first - number - 1;
                if (run <= 0 || run > keptLeft)
                    throw Abandoned(); // places that do not fit the kept records
                copyRecords(source, target, run, &kept, &restored);
                number += run;
                keptLeft -= run;
            }
            if (kept.result() != cleaned.keptHash)
                throw Abandoned();
            restoredHash = restored.result();
            copyRecords(source, target, total - cleaned.after);
        });
    } catch (const Abandoned &) {
        return std::nullopt;
    }
    return restoredHash;
}

} // namespace paletteedit
