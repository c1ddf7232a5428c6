// Whole files in and out, for tests that set up or inspect a palette or an exchange file.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTest>

// The file's bytes; "<missing>" when it cannot be read, so that a missing file never equals an
// empty one.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}
