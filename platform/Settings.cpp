// QSettings-backed settings store.
#include "Settings.h"

#include <QSettings>

namespace lw {

QString QtSettingsStore::GetSetting(const QString& appName, const QString& section, const QString& key) const
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
    if (settings.status() != QSettings::NoError)
        return {};
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    // Only a plain string counts; a list or other type written by hand reads as missing.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return {};
    return value.toString();
}

} // namespace lw
