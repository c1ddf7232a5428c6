// The per-user INI file that keeps what a person chose between starts (the window's position,
// the copy choices, the sample size, the palette in use), one file per executable name.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

class UserStore
{
public:
    // applicationName is the executable's base name: a renamed copy keeps settings of its own.
    explicit UserStore(QString applicationName) : m_applicationName(std::move(applicationName)) {}

    // The value kept under key; invalid where none is.
    QVariant value(const QString &key) const;
    // Keeps every value under its key and writes the file at once; false when it could not be
    // written.
    bool write(const QList<std::pair<QString, QVariant>> &values);
    QString fileName() const;
    const QString &applicationName() const { return m_applicationName; }

private:
    QString m_applicationName;
};
