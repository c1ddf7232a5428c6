// The position settings, in the per-user store of kept settings.
#include "positionsettings.h"

PositionSettings::PositionSettings(QString applicationName) : m_store(std::move(applicationName)) {}

std::optional<QString> PositionSettings::read(const QString &key) const
{
    const QVariant value = m_store.value(QStringLiteral("Position/") + key);
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
    return m_store.write(
        {{QStringLiteral("Position/X"), left}, {QStringLiteral("Position/Y"), top}});
}

QString PositionSettings::fileName() const
{
    return m_store.fileName();
}
