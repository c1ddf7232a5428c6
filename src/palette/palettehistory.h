// Undo and Redo of the palettes' changes: one stack of steps per palette file, the one of the
// palette in view acted on by the Edit menu's Undo and Redo.
#pragma once

#include "palettesteps.h"

#include <QObject>
#include <map>
#include <memory>

class QAction;
class QUndoGroup;
class QUndoStack;

class PaletteHistory : public QObject
{
    Q_OBJECT
public:
    // At least this many steps of each palette are kept.
    static constexpr int limit = 100;

    explicit PaletteHistory(QObject *parent = nullptr);
    ~PaletteHistory() override;

    // Undo and Redo act on the steps of store's palette from now on.
    void setActive(const PaletteStore &store);

    // Makes step on store and keeps it on that palette's stack. Throws PaletteError, and keeps
    // nothing, when it could not be made.
    void make(const PaletteStore &store, std::unique_ptr<PaletteStep> step);

    // A palette file renamed keeps its steps; a removed one loses them.
    void renamed(const QString &oldFileName, const PaletteStore &store);
    void forget(const QString &fileName);

    // "Undo Delete", "Redo Pick" and so on; disabled when there is nothing to undo or redo.
    QAction *createUndoAction(QObject *parent) const;
    QAction *createRedoAction(QObject *parent) const;
    QUndoStack *activeStack() const;

signals:
    // A step of the palette file fileName was undone or redone.
    void changed(const QString &fileName);
    // An undo or redo that could not be made, which is dropped from the stack.
    void failed(const QString &message);

private:
    class Command;
    struct Palette;
    Palette &palette(const PaletteStore &store);

    QUndoGroup *m_group;
    std::map<QString, std::unique_ptr<Palette>> m_palettes;
};
