// Flushing written data to the disk on POSIX systems.
#include "filesync.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace filesync {

bool syncToDisk(QFile &file)
{
    return ::fsync(file.handle()) == 0;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace filesync
