// The copy menu's settings, kept by QSettings beside the window position.
#include "copysettings.h"

#include "colorformat.h"

#include <QSettings>

CopySettings::CopySettings(QString applicationName) : m_applicationName(std::move(applicationName))
{
}

CopyChoices CopySettings::read() const
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                       m_applicationName);
    CopyChoices choices;
    // Hand-edited or older files may hold anything; a bad entry must not reach the menu.
    for (const QString &format : settings.value(QStringLiteral("Copy/Formats")).toStringList())
        if (colorformat::problem(format).isEmpty() && !choices.formats.contains(format))
            choices.formats << format;
    const QString last = settings.value(QStringLiteral("Copy/Last")).toString();
    if (!last.isEmpty() && colorformat::problem(last).isEmpty())
        choices.last = last;
    choices.eachPick =
        settings.value(QStringLiteral("Copy/EachPick")).toString() == QLatin1String("true");
    return choices;
}

bool CopySettings::write(const CopyChoices &choices)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                       m_applicationName);
    settings.setValue(QStringLiteral("Copy/Formats"), choices.formats);
    settings.setValue(QStringLiteral("Copy/Last"), choices.last);
    settings.setValue(QStringLiteral("Copy/EachPick"), choices.eachPick);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString CopySettings::fileName() const
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                     m_applicationName)
        .fileName();
}
