// The sample size kept for the next picking, in section "Picking" of the per-user INI file
// beside the window position and the copy choices.
#pragma once

#include "base/userstore.h"

#include <QString>

class SampleSettings
{
public:
    // applicationName is the executable's base name, as for the window position.
    explicit SampleSettings(QString applicationName);

    // The kept size; 1 when none is kept or the kept one is not a sample size.
    int read() const;
    // False when the store could not be written.
    bool write(int size);
    QString fileName() const;

private:
    UserStore m_store;
};
