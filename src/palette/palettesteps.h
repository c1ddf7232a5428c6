// The changes of a palette file that can be taken back and made again: an append (a pick or an
// import), a Delete and a Clean Duplicate. Each keeps what it added or removed, never a copy of
// the palette, and works on the file as it is then: what another program appended meanwhile is
// kept, and a step the file no longer allows is refused with nothing changed.
#pragma once

#include "paletteedit.h"
#include "palettestore.h"

#include <memory>

// Today's file no longer allows the step; nothing was changed.
class StepRefused : public PaletteError
{
public:
    using PaletteError::PaletteError;
};

class PaletteStep
{
public:
    virtual ~PaletteStep() = default;
    // What the step does, as the Edit menu names it: "Pick", "Import", "Delete", "Clean
    // Duplicate".
    virtual QString text() const = 0;
    // Makes the change, the first time and again after undo. Throws PaletteError (StepRefused
    // when the file no longer allows it).
    virtual void redo(const PaletteStore &store) = 0;
    virtual void undo(const PaletteStore &store) = 0;
};

namespace palettesteps {

// Appends records as one step named text.
std::unique_ptr<PaletteStep> append(const QString &text, std::vector<ChartRecord> records);
// Deletes record recordNumber (1-based), which must hold expected.
std::unique_ptr<PaletteStep> deleteRecord(qint64 recordNumber, const ChartRecord &expected);
std::unique_ptr<PaletteStep> cleanDuplicates();

} // namespace palettesteps
