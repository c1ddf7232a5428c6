// The palettes' one owner: the palette in view, its name and its undo history, and every change
// to a palette file, run one after another in the order they were asked for, on a worker thread.
#pragma once

#include "color/bascommon.h"
#include "paletteexchange.h"
#include "palettehistory.h"
#include "palettestore.h"

#include <QMutex>
#include <QObject>
#include <QThreadPool>
#include <deque>
#include <functional>

class PaletteDocument : public QObject
{
    Q_OBJECT
public:
    // What an import ended in: Malformed for a file that is no palette, Failed for one that
    // cannot be read or a palette that cannot be written; said is the failure, or the colors left
    // out (empty when there is nothing to say).
    struct ImportOutcome
    {
        enum Status { Done, Malformed, Failed };
        Status status = Done;
        QString said;
    };
    // A change's own outcome: empty when it was made, else what went wrong.
    using Done = std::function<void(const QString &failure)>;
    using ImportDone = std::function<void(const ImportOutcome &outcome)>;

    // store is the default palette in view; its folder holds the named ones.
    explicit PaletteDocument(PaletteStore store, QObject *parent = nullptr);
    // Makes whatever was asked and not yet made.
    ~PaletteDocument() override;

    const PaletteStore &store() const { return m_store; }
    const QString &name() const { return m_name; }
    const PaletteHistory &history() const { return *m_history; }
    // A change is under way or waiting.
    bool busy() const { return m_running || !m_queue.empty(); }

    // The changes. Each waits behind those asked before it; palette is a palette's name, the one
    // in view when empty. A failure is said with failed(), unless done takes it.
    void pick(Color color, const QString &palette = {}, Done done = {});
    // Appends colors to the palette in view as one step, named text ("Add Harmony").
    void addColors(const std::vector<Color> &colors, const QString &text);
    void importFile(const QString &path, const QString &palette = {}, ImportDone done = {});
    // Deletes record recordNumber (1-based) of the palette in view, which must hold expected.
    void deleteRecord(qint64 recordNumber, const ChartRecord &expected);
    void cleanDuplicates();
    void undo();
    void redo();
    // The palette name in view from then on.
    void use(const QString &name);
    // A new empty palette, then in view.
    void create(const QString &name);
    void rename(const QString &from, const QString &to);
    // To the trash; the default palette comes into view when it was the one.
    void remove(const QString &name);
    // Not a change, but it waits for those asked before, so that it writes what they made.
    void exportTo(const QString &path, paletteexchange::Format format);

    // Runs what was asked until nothing waits, here, before the caller goes.
    void finish();

signals:
    // The records of the palette file fileName changed; appended when the change added the
    // newest ones.
    void changed(const QString &fileName, bool appended);
    // The palette in view is another one, or the same under a new name.
    void paletteChanged(const QString &name);
    void failed(const QString &message);
    // Whether a change is under way or waiting.
    void busyChanged(bool busy);
    // What Undo and Redo would take changed.
    void historyChanged();

private:
    // What runs on the worker, returning what then runs here.
    using Finish = std::function<void()>;
    using Work = std::function<Finish()>;
    // Runs here when the change's turn comes, and gives its work (none when there is none).
    using Job = std::function<Work()>;

    void enqueue(Job job);
    void startNext();
    void finished(quint64 serial);
    PaletteStore storeOf(const QString &palette) const;
    void show(const QString &name);
    // Undoes (back) or redoes the step the history would take now; none when there is none.
    Work turn(bool back);
    // Makes step on store and keeps it in the history; appends says it adds the newest records.
    Work step(const PaletteStore &store, std::shared_ptr<PaletteStep> step, bool appends,
              Done done);

    PaletteStore m_store;
    QString m_name;
    PaletteHistory *m_history;
    std::deque<Job> m_queue;
    bool m_running = false;
    QThreadPool m_worker;
    quint64 m_serial = 0; // of the work that runs
    QMutex m_finishing;   // guards m_finish between the worker and this thread
    Finish m_finish;      // what the work that ran gives, once it has ended
};
