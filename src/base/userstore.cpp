// The kept settings through QSettings, in the per-user configuration folder.
#include "userstore.h"

#include <QSettings>

namespace {

// QSettings keeps the parsed file in a cache of its own, so opening it for each use costs little.
class Store : public QSettings
{
public:
    explicit Store(const QString &applicationName)
        : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                    applicationName)
    {
    }
};

} // namespace

QVariant UserStore::value(const QString &key) const
{
    return Store(m_applicationName).value(key);
}

bool UserStore::write(const QList<std::pair<QString, QVariant>> &values)
{
    Store settings(m_applicationName);
    for (const auto &[key, value] : values)
        settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString UserStore::fileName() const
{
    return Store(m_applicationName).fileName();
}
