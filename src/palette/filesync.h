// Flushing written data to the disk, the one file-system call Qt does not offer.
#pragma once

#include <QString>

class QFile;

namespace filesync {
// True when the file's data reached the disk.
bool syncToDisk(QFile &file);
// Makes a rename in the folder durable; failures are harmless and ignored.
void syncFolder(const QString &folder);
} // namespace filesync
