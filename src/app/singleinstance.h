// One running Huebrook per executable name and user: a lock file in the per-user runtime folder.
#pragma once

#include <QLockFile>
#include <memory>

class SingleInstance
{
public:
    explicit SingleInstance(const QString &applicationName);

    // True when no other instance holds the lock. A lock left by a killed process is stale at
    // once, because its PID no longer runs.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
