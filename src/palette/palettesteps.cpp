// The undoable steps over the rewrites of paletteedit.
#include "palettesteps.h"

#include <QDir>

namespace palettesteps {

namespace {

[[noreturn]] void refuse(const PaletteStore &store, const QString &doing, const QString &text)
{
    throw StepRefused(QStringLiteral("Could not %1 %2: another program changed the palette file "
                                     "%3 since. Nothing was changed.")
                          .arg(doing, text, QDir::toNativeSeparators(store.path())));
}

class Append : public PaletteStep
{
public:
    Append(QString text, std::vector<ChartRecord> records)
        : m_text(std::move(text)), m_records(std::move(records))
    {
    }
    QString text() const override { return m_text; }
    // Again at the end, after whatever was appended meanwhile.
    void redo(const PaletteStore &store) override { m_first = store.appendRecords(m_records) + 1; }
    // Only its own records go, wherever the file ends now.
    void undo(const PaletteStore &store) override
    {
        if (!paletteedit::removeRecords(store, m_first, m_records))
            refuse(store, QStringLiteral("undo"), m_text);
    }

private:
    QString m_text;
    std::vector<ChartRecord> m_records;
    qint64 m_first = 0;
};

class Delete : public PaletteStep
{
public:
    Delete(qint64 recordNumber, const ChartRecord &expected)
        : m_recordNumber(recordNumber), m_record(expected)
    {
    }
    QString text() const override { return QStringLiteral("Delete"); }
    void redo(const PaletteStore &store) override
    {
        std::optional<QByteArray> before =
            paletteedit::deleteRecord(store, m_recordNumber, m_record);
        if (!before)
            throw StepRefused(QStringLiteral("The color was not deleted: another program "
                                             "changed the palette file %1. The palette has been "
                                             "reloaded.")
                                  .arg(QDir::toNativeSeparators(store.path())));
        m_before = std::move(*before);
    }
    // In its place only: where the colors before it changed, its place is gone.
    void undo(const PaletteStore &store) override
    {
        if (!paletteedit::insertRecord(store, m_recordNumber, m_record, m_before))
            refuse(store, QStringLiteral("undo"), text());
    }

private:
    qint64 m_recordNumber;
    ChartRecord m_record;
    QByteArray m_before;
};

class CleanDuplicates : public PaletteStep
{
public:
    QString text() const override { return QStringLiteral("Clean Duplicate"); }
    void redo(const PaletteStore &store) override
    {
        if (!m_cleaned) {
            m_cleaned = paletteedit::cleanDuplicates(store);
            return;
        }
        std::optional<paletteedit::Cleaned> again =
            paletteedit::cleanDuplicates(store, m_cleaned->before, m_restoredHash);
        if (!again)
            refuse(store, QStringLiteral("redo"), text());
        m_cleaned = std::move(again);
    }
    void undo(const PaletteStore &store) override
    {
        const std::optional<QByteArray> restored =
            paletteedit::restoreDuplicates(store, *m_cleaned);
        if (!restored)
            refuse(store, QStringLiteral("undo"), text());
        m_restoredHash = *restored;
        // What it removed is in the file again; redo finds it there.
        m_cleaned->removed.clear();
        m_cleaned->removed.shrink_to_fit();
    }

private:
    std::optional<paletteedit::Cleaned> m_cleaned;
    QByteArray m_restoredHash;
};

} // namespace

std::unique_ptr<PaletteStep> append(const QString &text, std::vector<ChartRecord> records)
{
    return std::make_unique<Append>(text, std::move(records));
}

std::unique_ptr<PaletteStep> deleteRecord(qint64 recordNumber, const ChartRecord &expected)
{
    return std::make_unique<Delete>(recordNumber, expected);
}

std::unique_ptr<PaletteStep> cleanDuplicates()
{
    return std::make_unique<CleanDuplicates>();
}

} // namespace palettesteps
