// The palettes' undo stacks on QUndoGroup, which keeps their order, their limit and their texts.
// Its commands do nothing to the file themselves: the steps are made on a worker thread before
// the stack moves.
#include "palettehistory.h"

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
    Command(std::shared_ptr<PaletteStore> store, std::shared_ptr<PaletteStep> step)
        : QUndoCommand(step->text()), m_store(std::move(store)), m_step(std::move(step))
    {
    }
    void redo() override {}
    void undo() override {}
    Turn turn() const { return {m_step.get(), *m_store}; }

private:
    std::shared_ptr<PaletteStore> m_store;
    std::shared_ptr<PaletteStep> m_step;
};

PaletteHistory::PaletteHistory(QObject *parent) : QObject(parent), m_group(new QUndoGroup(this))
{
    connect(m_group, &QUndoGroup::indexChanged, this, &PaletteHistory::changed);
    connect(m_group, &QUndoGroup::activeStackChanged, this, &PaletteHistory::changed);
}

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

void PaletteHistory::push(const PaletteStore &store, std::shared_ptr<PaletteStep> step)
{
    Palette &target = palette(store);
    target.stack->push(new Command(target.store, std::move(step)));
}

std::optional<PaletteHistory::Turn> PaletteHistory::toUndo() const
{
    const QUndoStack *stack = m_group->activeStack();
    if (!stack || !stack->canUndo())
        return std::nullopt;
    return static_cast<const Command *>(stack->command(stack->index() - 1))->turn();
}

std::optional<PaletteHistory::Turn> PaletteHistory::toRedo() const
{
    const QUndoStack *stack = m_group->activeStack();
    if (!stack || !stack->canRedo())
        return std::nullopt;
    return static_cast<const Command *>(stack->command(stack->index()))->turn();
}

void PaletteHistory::undone(bool kept)
{
    QUndoStack *stack = m_group->activeStack();
    if (!stack || !stack->canUndo())
        return;
    // A step the file no longer allows never will: QUndoStack drops an obsolete one.
    const_cast<QUndoCommand *>(stack->command(stack->index() - 1))->setObsolete(!kept);
    stack->undo();
}

void PaletteHistory::redone(bool kept)
{
    QUndoStack *stack = m_group->activeStack();
    if (!stack || !stack->canRedo())
        return;
    const_cast<QUndoCommand *>(stack->command(stack->index()))->setObsolete(!kept);
    stack->redo();
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

QString PaletteHistory::undoText() const
{
    return canUndo() ? QStringLiteral("Undo %1").arg(m_group->undoText()) : QStringLiteral("Undo");
}

QString PaletteHistory::redoText() const
{
    return canRedo() ? QStringLiteral("Redo %1").arg(m_group->redoText()) : QStringLiteral("Redo");
}

bool PaletteHistory::canUndo() const
{
    return m_group->canUndo();
}

bool PaletteHistory::canRedo() const
{
    return m_group->canRedo();
}
