// One running Huebrook per executable name and user.
#include "singleinstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString &applicationName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + applicationName +
                                         QStringLiteral(".lock"));
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}
