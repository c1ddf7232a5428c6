// Choosing the palette's folder once at start.
#include "palettelocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace palettelocation {

bool isWritableFolder(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.huebrook-probe-XXXXXX"));
    return probe.open();
}

bool isInstalled(const QString &executableFolder)
{
    return QFileInfo::exists(executableFolder +
                             QStringLiteral("/../share/applications/org.example.huebrook.desktop"));
}

QString chooseFolder(const QString &executableFolder)
{
    if (!isInstalled(executableFolder) && isWritableFolder(executableFolder))
        return executableFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

} // namespace palettelocation
