// The copy menu's settings, kept in the per-user store beside the window position.
#include "copysettings.h"

#include "colorformat.h"

CopySettings::CopySettings(QString applicationName) : m_store(std::move(applicationName)) {}

CopyChoices CopySettings::read() const
{
    CopyChoices choices;
    // Hand-edited or older files may hold anything; a bad entry must not reach the menu.
    for (const QString &format : m_store.value(QStringLiteral("Copy/Formats")).toStringList())
        if (colorformat::problem(format).isEmpty() && !choices.formats.contains(format))
            choices.formats << format;
    const QString last = m_store.value(QStringLiteral("Copy/Last")).toString();
    if (!last.isEmpty() && colorformat::problem(last).isEmpty())
        choices.last = last;
    choices.eachPick =
        m_store.value(QStringLiteral("Copy/EachPick")).toString() == QLatin1String("true");
    return choices;
}

bool CopySettings::write(const CopyChoices &choices)
{
    return m_store.write({{QStringLiteral("Copy/Formats"), choices.formats},
                          {QStringLiteral("Copy/Last"), choices.last},
                          {QStringLiteral("Copy/EachPick"), choices.eachPick}});
}

QString CopySettings::fileName() const
{
    return m_store.fileName();
}
