// The kept sample size, in the per-user store of kept settings.
#include "samplesettings.h"

#include "samplesize.h"

namespace {

const QString key = QStringLiteral("Picking/Sample");

} // namespace

SampleSettings::SampleSettings(QString applicationName) : m_store(std::move(applicationName)) {}

int SampleSettings::read() const
{
    // Hand-edited files may hold anything.
    bool ok = false;
    const int size = m_store.value(key).toString().toInt(&ok);
    return ok && samplesize::valid(size) ? size : samplesize::smallest;
}

bool SampleSettings::write(int size)
{
    return m_store.write({{key, size}});
}

QString SampleSettings::fileName() const
{
    return m_store.fileName();
}
