// The palettes' changes in one queue: each takes its turn here, makes its file work on the one
// worker thread, and ends here, where the history and the palette in view change. So the
// history and the view only ever change between two pieces of file work, never during one.
#include "palettedocument.h"

#include "palettelibrary.h"

#include <QMutexLocker>

PaletteDocument::PaletteDocument(PaletteStore store, QObject *parent)
    : QObject(parent), m_store(std::move(store)), m_name(palettelibrary::defaultName),
      m_history(new PaletteHistory(this))
{
    m_worker.setMaxThreadCount(1);
    m_history->setActive(m_store);
    connect(m_history, &PaletteHistory::changed, this, &PaletteDocument::historyChanged);
}

PaletteDocument::~PaletteDocument()
{
    finish();
}

void PaletteDocument::enqueue(Job job)
{
    const bool wasBusy = busy();
    m_queue.push_back(std::move(job));
    if (!wasBusy)
        emit busyChanged(true);
    if (!m_running)
        startNext();
}

void PaletteDocument::startNext()
{
    while (!m_running && !m_queue.empty()) {
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        Work work = job();
        if (!work)
            continue;
        m_running = true;
        const quint64 serial = ++m_serial;
        m_worker.start([this, work, serial] {
            Finish done = work();
            {
                QMutexLocker lock(&m_finishing);
                m_finish = std::move(done);
            }
            QMetaObject::invokeMethod(
                this, [this, serial] { finished(serial); }, Qt::QueuedConnection);
        });
    }
    if (!busy())
        emit busyChanged(false);
}

void PaletteDocument::finished(quint64 serial)
{
    if (!m_running || serial != m_serial)
        return; // finish() has ended it already
    Finish done;
    {
        QMutexLocker lock(&m_finishing);
        done = std::exchange(m_finish, {});
    }
    m_running = false;
    if (done)
        done();
    startNext();
}

void PaletteDocument::finish()
{
    while (busy()) {
        m_worker.waitForDone();
        if (m_running) {
            finished(m_serial);
            continue;
        }
        startNext();
    }
}

PaletteStore PaletteDocument::storeOf(const QString &palette) const
{
    if (palette.isEmpty() || palette == m_name)
        return m_store;
    if (const QString why = palettelibrary::problem(palette); !why.isEmpty())
        throw PaletteError(why);
    return PaletteStore(m_store.folder(), palettelibrary::fileName(palette));
}

PaletteDocument::Work PaletteDocument::step(const PaletteStore &store,
                                            std::shared_ptr<PaletteStep> made, bool appends,
                                            Done done)
{
    return [this, store, made, appends, done]() -> Finish {
        try {
            made->redo(store);
        } catch (const PaletteError &error) {
            return [this, store, done, message = error.message()] {
                if (done)
                    done(message);
                else
                    emit failed(message);
                // A refused step leaves the file as it is; the view shows it as it is.
                emit changed(store.fileName(), false);
            };
        }
        return [this, store, made, appends, done] {
            m_history->push(store, made);
            emit changed(store.fileName(), appends);
            if (done)
                done({});
        };
    };
}

void PaletteDocument::pick(Color color, const QString &palette, Done done)
{
    enqueue([this, color, palette, done]() -> Work {
        try {
            return step(
                storeOf(palette),
                palettesteps::append(QStringLiteral("Pick"),
                                     {ChartRecord::fromHexText(bascommon::ColorToHex(color))}),
                true, done);
        } catch (const PaletteError &error) {
            if (done)
                done(error.message());
            else
                emit failed(error.message());
            return {};
        }
    });
}

void PaletteDocument::addColors(const std::vector<Color> &colors, const QString &text)
{
    std::vector<ChartRecord> records;
    for (Color color : colors)
        records.push_back(ChartRecord::fromHexText(bascommon::ColorToHex(color)));
    enqueue([this, records, text] {
        return step(m_store, palettesteps::append(text, records), true, {});
    });
}

void PaletteDocument::importFile(const QString &path, const QString &palette, ImportDone done)
{
    const auto said = [this, done](const ImportOutcome &outcome) {
        if (done)
            done(outcome);
        else if (!outcome.said.isEmpty())
            emit failed(outcome.said);
    };
    enqueue([this, path, palette, said]() -> Work {
        PaletteStore store = m_store;
        try {
            store = storeOf(palette);
        } catch (const PaletteError &error) {
            said({ImportOutcome::Failed, error.message()});
            return {};
        }
        return [this, path, store, said]() -> Finish {
            std::shared_ptr<PaletteStep> made;
            QString notice;
            try {
                const paletteexchange::Imported read = paletteexchange::readFrom(path);
                notice = paletteexchange::notice(read, path);
                made = palettesteps::append(QStringLiteral("Import"), read.records);
                made->redo(store);
            } catch (const paletteexchange::ExchangeError &error) {
                const ImportOutcome outcome{error.kind == paletteexchange::ExchangeError::Malformed
                                                ? ImportOutcome::Malformed
                                                : ImportOutcome::Failed,
                                            error.message()};
                return [said, outcome] { said(outcome); };
            } catch (const PaletteError &error) {
                return [said, message = error.message()] {
                    said({ImportOutcome::Failed, message});
                };
            }
            return [this, store, made, said, notice] {
                m_history->push(store, made);
                emit changed(store.fileName(), true);
                said({ImportOutcome::Done, notice});
            };
        };
    });
}

void PaletteDocument::deleteRecord(qint64 recordNumber, const ChartRecord &expected)
{
    enqueue([this, recordNumber, expected] {
        return step(m_store, palettesteps::deleteRecord(recordNumber, expected), false, {});
    });
}

void PaletteDocument::cleanDuplicates()
{
    enqueue([this] { return step(m_store, palettesteps::cleanDuplicates(), false, {}); });
}

void PaletteDocument::undo()
{
    enqueue([this] { return turn(true); });
}

void PaletteDocument::redo()
{
    enqueue([this] { return turn(false); });
}

PaletteDocument::Work PaletteDocument::turn(bool back)
{
    const std::optional<PaletteHistory::Turn> taken =
        back ? m_history->toUndo() : m_history->toRedo();
    if (!taken)
        return {};
    return [this, back, turn = *taken]() -> Finish {
        QString failure;
        try {
            if (back)
                turn.step->undo(turn.store);
            else
                turn.step->redo(turn.store);
        } catch (const PaletteError &error) {
            failure = error.message();
        }
        return [this, back, fileName = turn.store.fileName(), failure] {
            if (back)
                m_history->undone(failure.isEmpty());
            else
                m_history->redone(failure.isEmpty());
            if (!failure.isEmpty())
                emit failed(failure);
            emit changed(fileName, false);
        };
    };
}

void PaletteDocument::show(const QString &name)
{
    m_name = name;
    m_store = PaletteStore(m_store.folder(), palettelibrary::fileName(name));
    m_history->setActive(m_store);
    emit paletteChanged(name);
}

void PaletteDocument::use(const QString &name)
{
    enqueue([this, name]() -> Work {
        if (const QString why = palettelibrary::problem(name); !why.isEmpty())
            emit failed(why);
        else
            show(name);
        return {};
    });
}

void PaletteDocument::create(const QString &name)
{
    enqueue([this, name]() -> Work {
        return [this, name, folder = m_store.folder()]() -> Finish {
            try {
                palettelibrary::create(folder, name);
            } catch (const PaletteError &error) {
                return [this, message = error.message()] { emit failed(message); };
            }
            return [this, name] { show(name); };
        };
    });
}

void PaletteDocument::rename(const QString &from, const QString &to)
{
    enqueue([this, from, to]() -> Work {
        return [this, from, to, folder = m_store.folder()]() -> Finish {
            try {
                palettelibrary::rename(folder, from, to);
            } catch (const PaletteError &error) {
                return [this, message = error.message()] { emit failed(message); };
            }
            return [this, from, to, folder] {
                // Its steps go with it.
                m_history->renamed(palettelibrary::fileName(from),
                                   PaletteStore(folder, palettelibrary::fileName(to)));
                if (m_name == from)
                    show(to);
            };
        };
    });
}

void PaletteDocument::remove(const QString &name)
{
    enqueue([this, name]() -> Work {
        return [this, name, folder = m_store.folder()]() -> Finish {
            try {
                palettelibrary::remove(folder, name);
            } catch (const PaletteError &error) {
                return [this, message = error.message()] { emit failed(message); };
            }
            return [this, name] {
                m_history->forget(palettelibrary::fileName(name));
                if (m_name == name)
                    show(palettelibrary::defaultName);
            };
        };
    });
}

void PaletteDocument::exportTo(const QString &path, paletteexchange::Format format)
{
    enqueue([this, path, format]() -> Work {
        return [this, path, format, store = m_store]() -> Finish {
            try {
                paletteexchange::exportTo(store, path, format);
            } catch (const PaletteError &error) {
                return [this, message = error.message()] { emit failed(message); };
            }
            return {};
        };
    });
}
