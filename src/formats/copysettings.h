// The copy menu's settings beside the window position: the user's own formats, the format
// chosen last, and whether each pick is copied. Section "Copy" of the same per-user INI file.
#pragma once

#include "base/userstore.h"

#include <QString>
#include <QStringList>

struct CopyChoices
{
    QStringList formats; // the user's templates, in menu order
    QString last = QStringLiteral("hex");
    bool eachPick = false;
};

class CopySettings
{
public:
    // applicationName is the executable's base name, as for the window position.
    explicit CopySettings(QString applicationName);

    // Stored values that are not valid formats are left out.
    CopyChoices read() const;
    // False when the store could not be written.
    bool write(const CopyChoices &choices);
    QString fileName() const;

private:
    UserStore m_store;
};
