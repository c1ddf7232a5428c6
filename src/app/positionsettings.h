// The settings store of the main window's position: section "Position", keys "X" and "Y",
// under the executable's base name.
#pragma once

#include "base/userstore.h"

#include <QString>
#include <optional>

class PositionSettings
{
public:
    // applicationName is the executable's base name; another name starts without settings.
    explicit PositionSettings(QString applicationName);

    std::optional<QString> read(const QString &key) const;
    // False when the store could not be written.
    bool write(const QString &left, const QString &top);

    QString fileName() const;
    const QString &applicationName() const { return m_store.applicationName(); }

private:
    UserStore m_store;
};
