// The per-user settings store: one string by application, section and key.
#pragma once

#include <QString>

namespace lw {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value, or the empty string when there is none.
    virtual QString GetSetting(const QString& appName, const QString& section, const QString& key) const = 0;
};

// QSettings under organisation and application `appName`, group `section`: on Linux
// ~/.config/<appName>/<appName>.conf, on Windows HKEY_CURRENT_USER\Software\<appName>\<appName>,
// on macOS ~/Library/Preferences/com.<appName>.<appName>.plist.
class QtSettingsStore : public SettingsStore {
public:
    QString GetSetting(const QString& appName, const QString& section, const QString& key) const override;
};

} // namespace lw
