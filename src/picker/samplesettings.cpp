// The kept sample size, by QSettings.
#include "samplesettings.h"

#include "samplesize.h"

#include <QSettings>

namespace {

const QString key = QStringLiteral("Picking/Sample");

} // namespace

SampleSettings::SampleSettings(QString applicationName)
    : m_applicationName(std::move(applicationName))
{
}

int SampleSettings::read() const
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                       m_applicationName);
    // Hand-edited files may hold anything.
    bool ok = false;
    const int size = settings.value(key).toString().toInt(&ok);
    return ok && samplesize::valid(size) ? size : samplesize::smallest;
}

bool SampleSettings::write(int size)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                       m_applicationName);
    settings.setValue(key, size);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString SampleSettings::fileName() const
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                     m_applicationName)
        .fileName();
}
