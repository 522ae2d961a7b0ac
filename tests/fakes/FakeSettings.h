// A settings store that answers one value for every key and records what it was asked.
#pragma once

#include "Settings.h"

#include <QStringList>

namespace lw::fakes {

class FakeSettings : public SettingsStore {
public:
    QString value;             // a null string: nothing stored
    mutable QStringList asked; // "app|section|key"

    QString GetSetting(const QString& appName, const QString& section, const QString& key) const override
    {
        asked << appName + u'|' + section + u'|' + key;
        return value.isNull() ? QString() : value;
    }
};

} // namespace lw::fakes
