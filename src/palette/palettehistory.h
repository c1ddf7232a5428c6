// Undo and Redo of the palettes' changes: one stack of steps per palette file, the one of the
// palette in view the one Undo and Redo take. It only keeps the steps; PaletteDocument makes,
// undoes and redoes them on the file.
#pragma once

#include "palettesteps.h"

#include <QObject>
#include <map>
#include <memory>

class QUndoGroup;
class QUndoStack;

class PaletteHistory : public QObject
{
    Q_OBJECT
public:
    // At least this many steps of each palette are kept.
    static constexpr int limit = 100;

    // A step and the palette it changes; the palette follows a rename.
    struct Turn
    {
        PaletteStep *step = nullptr;
        PaletteStore store;
    };

    explicit PaletteHistory(QObject *parent = nullptr);
    ~PaletteHistory() override;

    // Undo and Redo take the steps of store's palette from now on.
    void setActive(const PaletteStore &store);
    // Keeps step, already made on store, on that palette's stack.
    void push(const PaletteStore &store, std::shared_ptr<PaletteStep> step);

    // The step Undo or Redo would take now, if any.
    std::optional<Turn> toUndo() const;
    std::optional<Turn> toRedo() const;
    // That step was undone or redone; one the file refused (kept false) leaves the stack.
    void undone(bool kept);
    void redone(bool kept);

    // A palette file renamed keeps its steps; a removed one loses them.
    void renamed(const QString &oldFileName, const PaletteStore &store);
    void forget(const QString &fileName);

    // "Undo Delete", "Redo Pick" and so on; "Undo" and "Redo" when there is nothing to take.
    QString undoText() const;
    QString redoText() const;
    bool canUndo() const;
    bool canRedo() const;

signals:
    // What Undo or Redo would take changed.
    void changed();

private:
    class Command;
    struct Palette;
    Palette &palette(const PaletteStore &store);

    QUndoGroup *m_group;
    std::map<QString, std::unique_ptr<Palette>> m_palettes;
};
