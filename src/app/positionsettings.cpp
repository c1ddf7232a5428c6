// The position settings, kept by QSettings in an INI file in the per-user configuration folder.
#include "positionsettings.h"

#include <QSettings>

namespace {
const QString organization = QStringLiteral("huebrook");
}

PositionSettings::PositionSettings(QString applicationName)
    : m_applicationName(std::move(applicationName))
{
}

std::optional<QString> PositionSettings::read(const QString &key) const
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, organization, m_applicationName);
    const QVariant value = settings.value(QStringLiteral("Position/") + key);
    if (!value.isValid())
        return std::nullopt;
    // A hand-edited value with a comma reads back as a list; join it so that the number rules,
    // not the INI syntax, decide what it means.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

bool PositionSettings::write(const QString &left, const QString &top)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, organization, m_applicationName);
    settings.setValue(QStringLiteral("Position/X"), left);
    settings.setValue(QStringLiteral("Position/Y"), top);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString PositionSettings::fileName() const
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, organization, m_applicationName)
        .fileName();
}
