// The palettes' undo stacks on QUndoGroup, each step a PaletteStep on its palette's file.
#include "palettehistory.h"

#include <QAction>
#include <QUndoGroup>
#include <QUndoStack>

// The palette a stack changes; shared with its commands, so that a rename reaches them.
struct PaletteHistory::Palette
{
    std::shared_ptr<PaletteStore> store;
    QUndoStack *stack = nullptr;
};

class PaletteHistory::Command : public QUndoCommand
{
public:
    Command(PaletteHistory *history, std::shared_ptr<PaletteStore> store,
            std::unique_ptr<PaletteStep> step)
        : QUndoCommand(step->text()), m_history(history), m_store(std::move(store)),
          m_step(std::move(step))
    {
    }

    // The first time, the step is already made: PaletteHistory::make made it before the push.
    void redo() override
    {
        if (m_made)
            return run([this] { m_step->redo(*m_store); });
        m_made = true;
    }
    void undo() override
    {
        run([this] { m_step->undo(*m_store); });
    }

private:
    template <typename F> void run(F turn)
    {
        try {
            turn();
            emit m_history->changed(m_store->fileName());
        } catch (const PaletteError &error) {
            // A step the file no longer allows never will: it leaves the stack.
            setObsolete(true);
            emit m_history->failed(error.message());
            emit m_history->changed(m_store->fileName());
        }
    }

    PaletteHistory *m_history;
    std::shared_ptr<PaletteStore> m_store;
    std::unique_ptr<PaletteStep> m_step;
    bool m_made = false;
};

PaletteHistory::PaletteHistory(QObject *parent) : QObject(parent), m_group(new QUndoGroup(this)) {}

PaletteHistory::~PaletteHistory() = default;

PaletteHistory::Palette &PaletteHistory::palette(const PaletteStore &store)
{
    std::unique_ptr<Palette> &palette = m_palettes[store.fileName()];
    if (!palette) {
        palette = std::make_unique<Palette>();
        palette->store = std::make_shared<PaletteStore>(store);
        palette->stack = new QUndoStack(m_group);
        palette->stack->setUndoLimit(limit);
    }
    return *palette;
}

void PaletteHistory::setActive(const PaletteStore &store)
{
    m_group->setActiveStack(palette(store).stack);
}

void PaletteHistory::make(const PaletteStore &store, std::unique_ptr<PaletteStep> step)
{
    step->redo(store);
    Palette &target = palette(store);
    target.stack->push(new Command(this, target.store, std::move(step)));
}

void PaletteHistory::renamed(const QString &oldFileName, const PaletteStore &store)
{
    auto found = m_palettes.find(oldFileName);
    if (found == m_palettes.end())
        return;
    std::unique_ptr<Palette> moved = std::move(found->second);
    m_palettes.erase(found);
    *moved->store = store;
    m_palettes[store.fileName()] = std::move(moved);
}

void PaletteHistory::forget(const QString &fileName)
{
    auto found = m_palettes.find(fileName);
    if (found == m_palettes.end())
        return;
    delete found->second->stack;
    m_palettes.erase(found);
}

QAction *PaletteHistory::createUndoAction(QObject *parent) const
{
    return m_group->createUndoAction(parent);
}

QAction *PaletteHistory::createRedoAction(QObject *parent) const
{
    return m_group->createRedoAction(parent);
}

QUndoStack *PaletteHistory::activeStack() const
{
    return m_group->activeStack();
}
