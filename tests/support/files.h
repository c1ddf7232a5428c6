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

// A palette of `records` records numbered 1 up, oldest first: record n is n in six uppercase
// hexadecimal digits.
inline QByteArray numberedPalette(int records)
{
    QByteArray bytes;
    for (int i = 1; i <= records; ++i)
        bytes += QStringLiteral("%1").arg(i, 6, 16, QLatin1Char('0')).toUpper().toLatin1();
    return bytes;
}
